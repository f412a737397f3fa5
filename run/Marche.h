#pragma once
// The run: one place that the refresh timer, the chaser timer, the analysis of the sound, the beats
// and a remote press all drive. Qt Core only; the main window shows what it is told.

#include <QObject>
#include <QString>
#include <array>
#include <chrono>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "audio/CaptureAudio.h"
#include "audio/IAudio.h"
#include "audio/LecteurSon.h"
#include "audio/PlacementPas.h"
#include "config/Configuration.h"
#include "engine/IIndicateurs.h"
#include "engine/IPort.h"
#include "engine/Rafraichissement.h"
#include "engine/Variables.h"
#include "run/ICommandesDistantes.h"
#include "run/IMarche.h"
#include "run/IVueMarche.h"

class QTimer;

namespace korvalen {

class AnneauSon;
class IMessages;
class Minuterie;

/// The sound's present as a sample position of the capture ring, from the last reading of the ring
/// and the clock: what beats are placed by.
class HorlogeSon {
public:
    using Horloge = std::function<std::chrono::steady_clock::time_point()>;
    explicit HorlogeSon(const AnneauSon* anneau, Horloge horloge = std::chrono::steady_clock::now)
        : anneau_(anneau), horloge_(std::move(horloge)) {}
    /// The ring held `total` samples at `instant`.
    void caler(std::uint64_t total, std::chrono::steady_clock::time_point instant);
    /// The sample arriving now.
    double maintenant() const;
    /// How long until sample `position` arrives (none or negative: it is there).
    std::chrono::steady_clock::duration dans(double position) const;

private:
    const AnneauSon* anneau_;
    Horloge horloge_;
    mutable std::uint64_t total_ = 0;
    mutable std::chrono::steady_clock::time_point instant_{};
};

/// The run: the device list and the awaited card, opening and closing the card, "Lancement",
/// "Arret" and "Initialisation", both timers, the capture and its analysis, the steps on the beat,
/// the start-up's reading of the configuration and the mode, and the live buttons' state.
class Marche : public QObject, public IMarche, public ICommandesDistantes {
    Q_OBJECT
public:
    Marche(Variables& v, IAudioDeviceEnumerator& cartes, IAudioInput& entree, IPort& port, IMessages& messages,
           Emplacements emplacements, QObject* parent = nullptr);
    ~Marche() override;

    /// Who shows the run; a run without one shows nothing.
    void setVue(IVueMarche* vue);
    /// Whether the device list and the opening of a device run off the run's thread (the real
    /// program), the window answering meanwhile; otherwise they run in the caller's call. Set before demarrage().
    void setAttenteEnFond(bool enFond) { enFond_ = enFond; }

    /// The start-up sequence; false when the program must end (no usable capture device).
    bool demarrage();

    // What the main window's controls do.
    void Command3_Click();
    void Command8_Click();
    /// Loads the mode file `nom` of the save folder, as a double click on its entry does.
    void chargerMode(const QString& nom);
    /// Live button `k` is set to `valeur` (a click: the next refresh tick samples it); the button
    /// on screen shows it and a change of down or up is told.
    void setBoutonDirect(int k, Entier valeur);
    /// Whether "Lancement" waits for the sound system (the window then refuses to close).
    bool lancementEnAttente() const { return lancementEnAttente_; }
    void Timer1_Timer();
    void Timer2_Timer();

    // IMarche: what the other windows ask.
    bool ActualiserListes() override;
    void afficherNomMode() override;
    void afficherSorties() override;
    void ecrireSorties() override;
    void setLegendeBoutonDirect(int k, const QString& legende) override;
    void setPeriodeChenillard(int ms) override;
    const std::vector<QString>& listeCartes() const override { return nomsCartes_; }
    int carteChoisie() const override { return carteChoisie_; }
    void choisirCarte(int position) override { carteChoisie_ = position; }
    void actualiserCartes() override;
    void appliquerAnalyse() override;

    // ICommandesDistantes: what a pad or a surface presses.
    bool boutonDirectBas(int k) const override;
    bool cliquerBoutonDirect(int k) override;
    bool choisirModeParPosition(int position) override;
    bool choisirModeParNom(const QString& nom) override;
    bool enMarche() const override;
    bool cliquerMarche() override;
    bool commanderMarche(bool actif) override;
    bool cliquerInitialisation() override;
    std::array<bool, 16> sortiesAllumees() const override;

    /// How long the chaser waits for a beat before its timer drives it again.
    static constexpr std::chrono::milliseconds ATTENTE_BATTEMENT{2000};
    /// How long before a beat's sound arrives its step leaves: the way from the timer to the port.
    static constexpr std::chrono::milliseconds AVANCE_PORT{1};

signals:
    /// The operator's "Quitter" was confirmed or nothing can be listened to: the program ends.
    void quitter();
    /// The main window's list now shows `repertoire`; the mode editor's list follows it.
    void listesActualisees();
    /// The mode label now shows `fichierLUM` without ".lum"; the mode editor's label follows it.
    void nomModeAffiche();
    /// The current mode was read again (a double click in the list); an open editor shows it.
    void modeCharge();
    /// Live button `k` went down or up, by any hand.
    void boutonDirectChange(int k, bool bas);
    /// At least one of the sixteen outputs as shown changed.
    void sortiesChangees();
    /// A listing run beside the window has come and the device list shows it.
    void listeCartesChangee();

private:
    void InitDevices();
    void remplirCartes(const std::vector<AudioDeviceInfo>& liste);
    void listerCartes();
    void cartesListees(const std::vector<AudioDeviceInfo>& liste, bool complete);
    void reprendreCarteAttendue();
    void enFond(std::function<void()> travail, std::function<void()> ensuite);
    void ouvrirCarte();
    void finirLancement(bool ouverte);
    int positionCarte(const QString& nom) const;
    int numeroCarte() const;
    void demarrer();
    void arreter();
    /// Opens the card again with the blocks the analysis now wants, during a run.
    void reouvrir(int bloc);
    /// The rest of a refresh tick once its sound has come.
    void poursuivreTick();
    /// A tick still waiting for its sound is dropped: the card is closing.
    void abandonnerTick();
    void signalerSilence();
    void legendesBoutonsDirects();
    /// Steps 2 to 7 of a tick with the last levels: what a remote press makes at once.
    void etapeImmediate();
    void suivreBoutonsDirects();
    /// The analysis' newest findings, merged since the last were taken, on the run's thread.
    void lectureArrivee(unsigned marche);
    void niveauxAnalyse(const std::array<float, NB_BARRES>& niveaux);
    void battementEntendu(const BattementPrevu& b);
    void armerPasPrevu();
    void pasPrevuEchu();
    void battement();
    bool battementsRecents() const;
    IIndicateurs& affichageEtape();
    void apresEtape();
    /// Tells the remote when the outputs as shown changed.
    void signalerSorties();
    void montrerEcran();
    void montrerBarres();
    bool analyseAuBloc() const { return lecteur_ && lecteur_->reglages().bandes; }

    /// The indicators as the analysis' steps set them, until the screen's next frame shows them.
    struct IndicateursDifferes : IIndicateurs {
        explicit IndicateursDifferes(Marche& m) : marche(m) { valeurs.fill(-1); }
        void setCaption(int n, const std::string& t) override;
        void setValue(int n, int valeur) override { valeurs[static_cast<std::size_t>(n)] = valeur; }
        Marche& marche;
        std::array<int, NB_INDICATEURS> valeurs{};  // -1: not set since the last frame
        std::array<std::string, NB_INDICATEURS> legendes{};
    };

    Variables& v_;
    IAudioDeviceEnumerator& enumerateur_;
    IPort& port_;
    IMessages& messages_;
    Emplacements emplacements_;
    CaptureAudio capture_;
    VueMuette vueMuette_;
    IVueMarche* vue_;

    std::vector<QString> nomsCartes_;
    std::vector<int> numerosCartes_;  // list position -> device number
    int carteChoisie_ = -1;
    QString carteAttendue_;        // the card Config.ini names while it is not listed
    bool manqueSignale_ = false;   // its absence has been told
    bool enFond_ = false;
    std::thread travail_;               // the listing or the opening running off the run's thread
    bool listeEnAttente_ = false;       // a listing has not answered yet
    bool lancementEnAttente_ = false;   // "Lancement" waits for a listing or an opening
    bool arretApresLancement_ = false;  // a remote stop came while it waited
    bool reouvertureEnCours_ = false;   // the card reopens for new blocks
    bool arretApresReouverture_ = false;  // "Arret" came meanwhile
    bool listeFaite_ = false;           // the first list has come
    bool dansRafraichissement_ = false;
    bool tickEnAttente_ = false;    // a tick waits for its sound
    bool tickDiffere_ = false;      // the next tick came due meanwhile
    unsigned marcheTick_ = 0;       // the run the tick under way belongs to
    QTimer* suiteTick_ = nullptr;   // when to look again for its sound
    bool silenceSignale_ = false;
    unsigned marche_ = 0;  // counts the starts, so a tick can tell that its run has ended
    int blocOuvert_ = ECHANTILLONS_CAPTURE;

    // The analysis that reads every hop, and what it found that the run's thread has not taken yet.
    std::unique_ptr<LecteurSon> lecteur_;
    std::mutex mLecture_;
    std::optional<LectureSon> lecture_;
    bool lecturePostee_ = false;

    // The steps on the beat, in the sound's time.
    HorlogeSon horlogeSon_;
    PlacementPas placement_;
    QTimer* pasPrevu_ = nullptr;
    DerniereEcriture derniereEcriture_;  // of the analysis' steps, which write only changes

    std::array<bool, NB_INDICATEURS> sortiesSignalees_{};  // as last told to the remote
    IndicateursDifferes differes_{*this};
    QTimer* ecran_ = nullptr;        // the indicators at most 60 times a second
    QTimer* ecranBarres_ = nullptr;  // the bars at most 30 times a second
    Minuterie* Timer1_ = nullptr;
    Minuterie* Timer2_ = nullptr;
};

}  // namespace korvalen
