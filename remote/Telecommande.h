#pragma once
// Live control of the main window from a MIDI pad and from OSC surfaces.

#include <QObject>
#include <QTimer>
#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <thread>
#include <vector>

#include "config/Configuration.h"
#include "remote/ActionDistante.h"
#include "remote/CadenceRetour.h"
#include "remote/ClientsRecents.h"
#include "remote/FileBornee.h"
#include "remote/FileMidi.h"
#include "remote/IDistant.h"
#include "remote/LectureOsc.h"
#include "remote/ReseauxOsc.h"

namespace korvalen {

class ICommandesDistantes;
class IMessages;

/// Receives remote actions on the MIDI and OSC threads, queues them (bounded) and plays them on the
/// window's thread as clicks; sends the live buttons' states to the pad and the lamps to the surfaces.
class Telecommande : public QObject {
    Q_OBJECT
public:
    /// How many actions the queue holds before dropping what comes (and as many MIDI messages wait
    /// in the MIDI callback's own queue).
    static constexpr std::size_t CAPACITE = 64;
    /// How many clicks one pass of the event loop plays at most, so that a refresh tick's event
    /// pass (a mode file read per click at worst) stays short.
    static constexpr std::size_t LOT = 8;
    /// How often a watcher thread looks into the MIDI callback's queue, which may not wake anyone
    /// (that would take a lock or a system call on the MIDI library's real-time thread), and wakes
    /// the window's thread when a message waits: every millisecond while the pad is played (a
    /// message within PAD_ACTIF), less often when it rests.
    static constexpr int SONDAGE_MIDI_MS = 1;
    static constexpr int SONDAGE_MIDI_REPOS_MS = 5;
    static constexpr std::chrono::seconds PAD_ACTIF{10};

    Telecommande(ICommandesDistantes& fenetre, IMessages& messages, QObject* parent = nullptr);
    ~Telecommande() override;

    /// Keeps the MIDI driver and opens its ports when `reglages.actif`; a failure is told once and MIDI stays off.
    void brancherMidi(IMidi& midi, const ReglagesMidi& reglages);
    /// Keeps the OSC server and opens it when a port is set; a failure is told once and OSC stays off.
    void brancherOsc(IServeurOsc& osc, const ReglagesOsc& reglages);
    /// Takes new settings at once (the drivers given before): the OSC server is reopened; the MIDI
    /// ports are kept when they are open through the same "Pilote" and stay wanted, so that the
    /// connections made to them (aconnect, a patchbay) survive, and are opened or closed otherwise.
    void appliquer(const ReglagesMidi& midi, const ReglagesOsc& osc);

    /// From now on each note-on of the pad is handed to `noteApprise` instead of acting; the MIDI
    /// ports are opened for it (through `pilote`) when they are closed. False, told, when they cannot.
    bool apprendre(const std::string& pilote);
    /// Notes act again (unless the ports are open for learning only, when they act on nothing).
    void arreterApprentissage();
    /// The settings window is gone: ports opened for learning only are closed.
    void libererApprentissage();

    // From any thread.
    void recevoir(ActionDistante action);
    /// On the MIDI library's thread: copies the message into a lock-free queue, nothing more.
    void recevoirMidi(std::span<const std::uint8_t> message);
    /// On the server's thread: a packet from a sender outside "Clients" (or, listening on the
    /// loopback, from another address) is counted and left unread; the others are played.
    void recevoirPaquetOsc(std::span<const std::uint8_t> paquet, const ClientOsc& de);

    /// Messages ignored (unreadable, unknown, or refused by the window), packets from strangers, and
    /// actions dropped by a full queue.
    std::uint64_t ignores() const { return ignores_.load(); }
    std::uint64_t perdues() const { return perdues_.load(); }
    /// Packets refused for their sender, left unread (counted among the ignored too, one per packet).
    std::uint64_t etrangers() const { return etrangers_.load(); }

signals:
    /// A note-on while learning: its note number.
    void noteApprise(int note);

public slots:
    /// The pad's light of live button `k` follows it.
    void boutonDirectChange(int k, bool bas);
    /// The surfaces get the sixteen outputs, once per pass of the event loop at most.
    void sortiesChangees();

private:
    void vider();
    bool executer(const ActionDistante& action);
    void envoyerSorties();
    void envoyerRetour();
    void recevoirOsc(const DecodageOsc& d, const ClientOsc& de, std::uint32_t hote);
    void lireMidi();
    std::optional<Texte> ouvrirMidi(const ReglagesMidi& reglages);
    void fermerMidi();
    void fermerOsc();
    void direListesIllisibles(const ErreurListe& clients, const ErreurListe& retour);

    ICommandesDistantes& fenetre_;
    IMessages& messages_;
    FileBornee<ActionDistante> file_{CAPACITE};
    std::atomic<std::uint64_t> ignores_{0};
    std::atomic<std::uint64_t> perdues_{0};
    std::atomic<std::uint64_t> etrangers_{0};
    bool enCours_ = false;
    bool relancer_ = false;

    // MIDI. The queue is fed by the driver's thread and read here on the window's thread only.
    IMidi* pilote_ = nullptr;
    bool midiOuvert_ = false;
    bool ouvertPourApprendre_ = false;
    std::string piloteOuvert_;  // the "Pilote" the ports were opened through
    bool apprentissage_ = false;
    ReglagesMidi reglagesMidi_;
    FileMidi<CAPACITE> fileMidi_;
    std::thread veilleur_;                  // looks into the queue while the ports are open
    std::atomic<bool> arretVeilleur_{false};
    std::atomic<bool> lecturePrevue_{false};  // a wake-up of the window's thread is on its way

    // OSC. What the server's thread reads (filter, feedback hosts) changes only while it is stopped.
    IServeurOsc* serveur_ = nullptr;
    IServeurOsc* osc_ = nullptr;  // the server while it listens
    bool reseau_ = false;
    PorteOsc porte_;
    std::vector<ClientOsc> retour_;             // the listed feedback addresses
    std::vector<AdresseUdp> hotesRetour_;       // the same, as the server's thread compares them
    std::unique_ptr<std::atomic<bool>[]> retourEntendu_;  // each listed address heard since listening began
    std::uint64_t generation_ = 0;              // bumped at each reopening: older posts are dropped
    CadenceRetour cadence_;
    QTimer minuterieRetour_;
    ClientsRecents clients_;
    bool envoiPrevu_ = false;
    std::array<bool, 16> dernierEnvoi_{};  // the outputs as the surfaces heard lately last got them
};

}  // namespace korvalen
