#pragma once
// Live control of the main window from a MIDI pad and from OSC surfaces.

#include <QObject>
#include <array>
#include <atomic>
#include <cstdint>
#include <optional>
#include <span>

#include "config/Configuration.h"
#include "remote/ActionDistante.h"
#include "remote/ClientsRecents.h"
#include "remote/FileBornee.h"
#include "remote/IDistant.h"

namespace korvalen {

class ICommandesDistantes;
class IMessages;

/// Receives remote actions on the MIDI and OSC threads, queues them (bounded) and plays them on the
/// window's thread as clicks; sends the live buttons' states to the pad and the lamps to the surfaces.
class Telecommande : public QObject {
    Q_OBJECT
public:
    /// How many actions the queue holds before dropping what comes.
    static constexpr std::size_t CAPACITE = 64;
    /// How many clicks one pass of the event loop plays at most, so that a refresh tick's event
    /// pass (a mode file read per click at worst) stays short.
    static constexpr std::size_t LOT = 8;

    Telecommande(ICommandesDistantes& fenetre, IMessages& messages, QObject* parent = nullptr);

    /// Opens the MIDI ports when `reglages.actif`; a failure is told once and MIDI stays off.
    void brancherMidi(IMidi& midi, const ReglagesMidi& reglages);
    /// Opens the OSC server when a port is set; a failure is told once and OSC stays off.
    void brancherOsc(IServeurOsc& osc, const ReglagesOsc& reglages);

    // From any thread.
    void recevoir(ActionDistante action);
    void recevoirMidi(std::span<const std::uint8_t> message);
    void recevoirOsc(const std::optional<MessageOsc>& message, const ClientOsc& de);

    /// Messages ignored (unreadable, unknown or refused by the window) and actions dropped by a full queue.
    std::uint64_t ignores() const { return ignores_.load(); }
    std::uint64_t perdues() const { return perdues_.load(); }

public slots:
    /// The pad's light of live button `k` follows it.
    void boutonDirectChange(int k, bool bas);
    /// The surfaces heard lately get the sixteen outputs, once per pass of the event loop.
    void sortiesChangees();

private:
    void vider();
    bool executer(const ActionDistante& action);
    void envoyerSorties();

    ICommandesDistantes& fenetre_;
    IMessages& messages_;
    IMidi* midi_ = nullptr;
    IServeurOsc* osc_ = nullptr;
    ReglagesMidi reglagesMidi_;
    FileBornee<ActionDistante> file_{CAPACITE};
    ClientsRecents clients_;
    std::atomic<std::uint64_t> ignores_{0};
    std::atomic<std::uint64_t> perdues_{0};
    bool enCours_ = false;
    bool relancer_ = false;
    bool envoiPrevu_ = false;
    bool clientNouveau_ = false;
    std::array<bool, 16> dernierEnvoi_{};  // the outputs as the surfaces last got them
};

}  // namespace korvalen
