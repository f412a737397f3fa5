#include "run/Marche.h"

#include <QCoreApplication>
#include <QTimer>
#include <algorithm>
#include <system_error>
#include <utility>

#include "audio/AnneauSon.h"
#include "engine/Chenillards.h"
#include "engine/Ecriture_Sortie.h"
#include "engine/Sorties.h"
#include "modes/FichierModes.h"
#include "run/Minuterie.h"
#include "run/IMessages.h"

namespace korvalen {

namespace {

// The analysis' steps show no faster than the screen's pace for the indicators, and half of it
// for the bars, which move at every block: painting them 60 times a second cost a whole 0.5 % of a
// core more, for a movement the eye does not follow (the lamps themselves are written at once).
constexpr int IMAGE_MS = 16;
constexpr int IMAGE_BARRES_MS = 33;

QString texte(const std::string& s) { return QString::fromStdString(s); }

}  // namespace

void HorlogeSon::caler(std::uint64_t total, std::chrono::steady_clock::time_point instant) {
    // The clock never goes back: a reading older than what it already knows is dropped, and time
    // goes on while a stalled device delivers nothing.
    const double prevu =
        static_cast<double>(total_) + std::chrono::duration<double>(instant - instant_).count() * FREQUENCE_CAPTURE;
    if (total_ != 0 && static_cast<double>(total) <= prevu) return;
    total_ = total;
    instant_ = instant;
}

double HorlogeSon::maintenant() const {
    const auto instant = horloge_();
    const double depuis =
        static_cast<double>(total_) + std::chrono::duration<double>(instant - instant_).count() * FREQUENCE_CAPTURE;
    // Sound that came faster than the clock says (a backlog handed over at once) is there all the
    // same: the clock goes on from it.
    if (const std::uint64_t total = anneau_ != nullptr ? anneau_->total() : 0; static_cast<double>(total) > depuis) {
        total_ = total;
        instant_ = instant;
        return static_cast<double>(total);
    }
    return depuis;
}

std::chrono::steady_clock::duration HorlogeSon::dans(double position) const {
    return std::chrono::duration_cast<std::chrono::steady_clock::duration>(
        std::chrono::duration<double>((position - maintenant()) / FREQUENCE_CAPTURE));
}

void Marche::IndicateursDifferes::setCaption(int n, const std::string& t) {
    // Every step gives the sixteen names again: only a new one reaches its check box.
    std::string& vu = legendes[static_cast<std::size_t>(n)];
    if (vu == t) return;
    vu = t;
    marche.vue_->setCaption(n, t);
}

Marche::Marche(Variables& v, IAudioDeviceEnumerator& cartes, IAudioInput& entree, IPort& port, IMessages& messages,
               Emplacements emplacements, QObject* parent)
    : QObject(parent),
      v_(v),
      enumerateur_(cartes),
      port_(port),
      messages_(messages),
      emplacements_(std::move(emplacements)),
      capture_(entree),
      vue_(&vueMuette_),
      horlogeSon_(&capture_.anneau()),
      placement_(static_cast<double>(AVANCE_PORT.count()) * FREQUENCE_CAPTURE / 1000.0) {
    Timer1_ = new Minuterie(0, true, this);
    Timer1_->setObjectName(QStringLiteral("Timer1"));
    connect(Timer1_, &Minuterie::tick, this, &Marche::Timer1_Timer);
    Timer2_ = new Minuterie(30, false, this);
    Timer2_->setObjectName(QStringLiteral("Timer2"));
    connect(Timer2_, &Minuterie::tick, this, &Marche::Timer2_Timer);
    suiteTick_ = new QTimer(this);
    suiteTick_->setSingleShot(true);
    suiteTick_->setTimerType(Qt::PreciseTimer);
    connect(suiteTick_, &QTimer::timeout, this, &Marche::poursuivreTick);
    pasPrevu_ = new QTimer(this);
    pasPrevu_->setSingleShot(true);
    pasPrevu_->setTimerType(Qt::PreciseTimer);
    connect(pasPrevu_, &QTimer::timeout, this, &Marche::pasPrevuEchu);
    ecran_ = new QTimer(this);
    ecran_->setSingleShot(true);
    ecran_->setInterval(IMAGE_MS);
    connect(ecran_, &QTimer::timeout, this, &Marche::montrerEcran);
    ecranBarres_ = new QTimer(this);
    ecranBarres_->setSingleShot(true);
    ecranBarres_->setInterval(IMAGE_BARRES_MS);
    connect(ecranBarres_, &QTimer::timeout, this, &Marche::montrerBarres);
}

Marche::~Marche() {
    lecteur_.reset();
    // A listing or an opening still running uses the capture and the device list: both end within
    // their own bounds.
    if (travail_.joinable()) travail_.join();
}

void Marche::setVue(IVueMarche* vue) { vue_ = vue != nullptr ? vue : &vueMuette_; }

bool Marche::demarrage() {
    // Waited for here only when nothing else can run meanwhile; otherwise the window shows at once
    // and the list fills when the sound system answers.
    if (!enFond_) {
        InitDevices();
        if (nomsCartes_.empty()) {
            messages_.afficher(tr("You have no audio input devices!"), tr("Ack!"),
                               Icone::Critique);
            return false;
        }
    }
    v_.fichierINI = cheminConfig(emplacements_.dossierConfig);
    ChargerSorties(v_);
    ChargerOptions(v_, emplacements_.dossierModes);
    ChargerBoutons(v_);
    ChargerAnalyse(v_);
    if (const std::optional<std::string> carte = ChargerCarte(v_)) carteAttendue_ = texte(*carte);
    if (enFond_) {
        listerCartes();
    } else {
        reprendreCarteAttendue();
    }
    afficherSorties();
    NumeroterSorties(v_);
    ActualiserListes();
    afficherNomMode();
    legendesBoutonsDirects();
    if (!v_.fichierLUM.empty()) ChargerModes(v_);
    return true;
}

// ---- The device list and the card ----

void Marche::InitDevices() { remplirCartes(enumerateur_.devices()); }

void Marche::remplirCartes(const std::vector<AudioDeviceInfo>& liste) {
    const QString choisie = carteChoisie_ >= 0 && carteChoisie_ < static_cast<int>(nomsCartes_.size())
                                ? nomsCartes_[static_cast<std::size_t>(carteChoisie_)]
                                : QString();
    nomsCartes_.clear();
    numerosCartes_.clear();
    for (int d = 0; d < static_cast<int>(liste.size()); ++d) {
        // Devices without the capture format are left out; the position keeps its device number.
        if (!liste[d].supportsFormat) continue;
        nomsCartes_.push_back(texte(liste[d].name));
        numerosCartes_.push_back(d);
    }
    const int position = positionCarte(choisie);
    carteChoisie_ = position >= 0 ? position : (nomsCartes_.empty() ? -1 : 0);
}

void Marche::actualiserCartes() {
    if (!carteAttendue_.isEmpty()) enumerateur_.rechercherCartes();
    InitDevices();
    reprendreCarteAttendue();
}

void Marche::reprendreCarteAttendue() {
    if (carteAttendue_.isEmpty()) return;
    // "Appliquer" in the options saves the card chosen there: the one awaited is then given up.
    const std::optional<std::string> sauvee = ChargerCarte(v_);
    if (!sauvee || texte(*sauvee) != carteAttendue_) {
        carteAttendue_.clear();
        return;
    }
    if (const int position = positionCarte(carteAttendue_); position >= 0) {
        carteChoisie_ = position;
        carteAttendue_.clear();
    }
}

void Marche::enFond(std::function<void()> travail, std::function<void()> ensuite) {
    if (!enFond_) {
        travail();
        ensuite();
        return;
    }
    // Only one runs at a time (listeEnAttente_, lancementEnAttente_, reouvertureEnCours_): the
    // previous one has ended.
    if (travail_.joinable()) travail_.join();
    try {
        travail_ = std::thread([this, travail, ensuite] {
            travail();
            QMetaObject::invokeMethod(this, ensuite, Qt::QueuedConnection);
        });
    } catch (const std::system_error&) {
        // No thread to spare: the work keeps its own bounds here.
        travail();
        ensuite();
    }
}

void Marche::listerCartes() {
    listeEnAttente_ = true;
    auto liste = std::make_shared<std::vector<AudioDeviceInfo>>();
    auto complete = std::make_shared<bool>(true);
    enFond(
        [this, liste, complete] {
            *liste = enumerateur_.devices();
            *complete = enumerateur_.listeComplete();
        },
        [this, liste, complete] { cartesListees(*liste, *complete); });
}

void Marche::cartesListees(const std::vector<AudioDeviceInfo>& liste, bool complete) {
    listeEnAttente_ = false;
    remplirCartes(liste);
    reprendreCarteAttendue();
    if (enFond_ && !listeFaite_ && nomsCartes_.empty() && complete) {
        // As at a start that waited for the list: nothing to listen to ends the program. A sound
        // system that did not answer has said so in its notice; "Lancement" asks it again.
        messages_.afficher(tr("You have no audio input devices!"), tr("Ack!"), Icone::Critique);
        emit quitter();
        return;
    }
    listeFaite_ = true;
    emit listeCartesChangee();
    if (lancementEnAttente_) ouvrirCarte();
}

int Marche::positionCarte(const QString& nom) const {
    const auto trouvee = std::find(nomsCartes_.begin(), nomsCartes_.end(), nom);
    return trouvee != nomsCartes_.end() ? static_cast<int>(trouvee - nomsCartes_.begin()) : -1;
}

int Marche::numeroCarte() const {
    return (carteChoisie_ >= 0 && carteChoisie_ < static_cast<int>(numerosCartes_.size()))
               ? numerosCartes_[static_cast<std::size_t>(carteChoisie_)]
               : -1;
}

// ---- "Lancement", "Arret", "Initialisation" ----

void Marche::Command3_Click() {
    // The card is being opened again beside the window: the stop waits for that to end.
    if (reouvertureEnCours_) {
        arretApresReouverture_ = true;
        return;
    }
    if (v_.enMarche) {
        arreter();
    } else {
        demarrer();
    }
}

void Marche::demarrer() {
    // Pressed again while the last press still waits for the sound system: nothing more to do.
    if (lancementEnAttente_ || reouvertureEnCours_) return;
    lancementEnAttente_ = true;
    vue_->montrerBoutonsConfigActifs(false);
    port_.reconnecter();
    if (listeEnAttente_) return;  // the listing's end goes on with the opening
    // A card Config.ini names that was missing may have been plugged in since, or the sound
    // system that did not answer may answer now.
    if (!carteAttendue_.isEmpty() || nomsCartes_.empty()) {
        if (!carteAttendue_.isEmpty()) enumerateur_.rechercherCartes();
        listerCartes();
        return;
    }
    ouvrirCarte();
}

void Marche::ouvrirCarte() {
    if (!carteAttendue_.isEmpty() && !manqueSignale_ && carteChoisie_ >= 0) {
        manqueSignale_ = true;
        messages_.signaler(tr("La carte son « %1 » choisie dans les options n'est pas là (débranchée ?) : "
                                          "Korvalen écoute « %2 » à sa place.")
                               .arg(carteAttendue_, nomsCartes_[static_cast<std::size_t>(carteChoisie_)]),
                           tr("Carte son"));
    }
    const int numero = numeroCarte();
    // The opening may wait for a sound server that hangs: the window goes on answering meanwhile.
    auto ouverte = std::make_shared<bool>(false);
    // Blocks fitted to the refresh period and the analysis; "Appliquer" changes them during the run.
    const int bloc = echantillonsParBloc(v_.Temps_timer, v_.analyse);
    enFond([this, numero, bloc, ouverte] { *ouverte = capture_.ouvrirEtDemarrer(numero, bloc); },
           [this, ouverte, bloc] {
               blocOuvert_ = bloc;
               finirLancement(*ouverte);
           });
}

void Marche::finirLancement(bool ouverte) {
    lancementEnAttente_ = false;
    const bool arret = std::exchange(arretApresLancement_, false);
    if (!ouverte) {
        vue_->montrerBoutonsConfigActifs(true);
        messages_.afficher(tr("Wave input device didn't open!"), tr("Ack!"),
                           Icone::Exclamation);
        return;
    }
    silenceSignale_ = false;
    ++marche_;
    Timer2_->setEnabled(true);
    v_.enMarche = VRAI;
    vue_->montrerMarche(true);
    Timer1_->setInterval(v_.Temps_timer);
    Timer1_->setEnabled(true);
    appliquerAnalyse();
    // A pad or a surface said stop while the card opened: the run it started ends at once.
    if (arret) arreter();
}

void Marche::arreter() {
    abandonnerTick();
    lecteur_.reset();
    placement_.oublier();
    pasPrevu_->stop();
    capture_.CloseDevice();
    Timer2_->setEnabled(false);
    v_.enMarche = FAUX;
    vue_->montrerMarche(false);
    vue_->montrerBoutonsConfigActifs(true);
    Timer1_->setEnabled(false);
}

void Marche::reouvrir(int bloc) {
    // New blocks need a new stream: the card closes and opens again beside the window, the ticks
    // meanwhile skipped, and the run goes on.
    abandonnerTick();
    reouvertureEnCours_ = true;
    const int numero = numeroCarte();
    const unsigned marche = marche_;
    auto ouverte = std::make_shared<bool>(false);
    enFond(
        [this, numero, bloc, ouverte] {
            capture_.CloseDevice();
            *ouverte = capture_.ouvrirEtDemarrer(numero, bloc);
        },
        [this, ouverte, bloc, marche] {
            reouvertureEnCours_ = false;
            blocOuvert_ = bloc;
            if (marche != marche_ || !v_.enMarche) return;
            if (std::exchange(arretApresReouverture_, false)) {
                arreter();
                return;
            }
            if (!*ouverte) {
                arreter();
                messages_.afficher(tr("Wave input device didn't open!"), tr("Ack!"),
                                   Icone::Exclamation);
                return;
            }
            // Settings applied while the card reopened take effect now.
            appliquerAnalyse();
        });
}

void Marche::Command8_Click() {
    for (int i = 0; i < NB_SORTIES_GROUPE; ++i) {
        v_.SortieA[i].coche = FAUX;
        v_.SortieB[i].coche = FAUX;
    }
    afficherSorties();
    EcrireSorties(v_, port_);
}

// ---- The refresh tick and the chaser tick ----

void Marche::Timer1_Timer() {
    // A tick due while the last one still waits for its sound starts as soon as that one ends, so
    // that a period as short as the capture loses no tick; one that would start inside the event
    // pass of another is skipped, and so is one while the card reopens.
    if (tickEnAttente_) {
        tickDiffere_ = true;
        return;
    }
    if (dansRafraichissement_ || reouvertureEnCours_) return;
    dansRafraichissement_ = true;
    marcheTick_ = marche_;
    capture_.demanderCapture();
    poursuivreTick();
}

void Marche::poursuivreTick() {
    // The tick's sound not there yet: the thread goes on with other work and the tick resumes
    // when the sound has come, never waiting for it.
    const std::optional<CaptureResult> r = capture_.releverCapture(v_);
    if (!r) {
        tickEnAttente_ = true;
        suiteTick_->start(static_cast<int>(capture_.prochainRegard().count()));
        return;
    }
    tickEnAttente_ = false;
    // The bars hold the new levels from here on; they are painted with the outputs at the end of the tick.
    vue_->poserNiveaux(v_.niveaux);
    if (*r == CaptureResult::TimedOut) signalerSilence();
    // Other events may run between the capture and the rest of the tick.
    QCoreApplication::processEvents();
    // "Arret" clicked in the event pass ended this run: the rest of the tick belongs to it and is
    // dropped, so that the timers stay off and the lamps keep their state.
    if (v_.enMarche && marcheTick_ == marche_) {
        etapeRafraichissement(v_, nullptr, *vue_, port_);
        suivreBoutonsDirects();
        signalerSorties();
    }
    vue_->peindreNiveaux();
    dansRafraichissement_ = false;
    if (std::exchange(tickDiffere_, false) && v_.enMarche && marcheTick_ == marche_) Timer1_Timer();
}

void Marche::abandonnerTick() {
    tickDiffere_ = false;
    if (!tickEnAttente_) return;
    suiteTick_->stop();
    tickEnAttente_ = false;
    dansRafraichissement_ = false;
}

void Marche::Timer2_Timer() {
    // While beats come, they step the chaser; the timer takes over when they stop.
    if (lecteur_ && lecteur_->reglages().rythme && battementsRecents()) return;
    Chenillards(v_);
    // With the bands on, no refresh tick shows the step: it goes out now, so that the chaser goes
    // on when the device stalls.
    if (analyseAuBloc()) {
        etapeRafraichissement(v_, nullptr, differes_, port_, &derniereEcriture_);
        suivreBoutonsDirects();
        apresEtape();
    }
}

void Marche::signalerSilence() {
    // Told once per run: the bars keep the last levels until the input delivers again.
    if (silenceSignale_) return;
    silenceSignale_ = true;
    messages_.signaler(tr("L'entrée audio ne délivre plus de son. Les barres gardent les derniers "
                          "niveaux mesurés ; vérifiez la carte son ou le micro."),
                       tr("Ack!"));
}

void Marche::suivreBoutonsDirects() {
    // The step sampled the live buttons: the chaser's timer runs exactly while the chaser is on,
    // and the buttons on screen show what the step made of them (Inversé put up).
    Timer2_->setEnabled(v_.chenillardActif != FAUX);
    for (int k = 0; k < 5; ++k) vue_->montrerBoutonDirect(k, v_.boutonsDirects[static_cast<std::size_t>(k)]);
}

void Marche::signalerSorties() {
    if (v_.sortiesAffichees == sortiesSignalees_) return;
    sortiesSignalees_ = v_.sortiesAffichees;
    emit sortiesChangees();
}

// ---- The analysis ----

void Marche::appliquerAnalyse() {
    if (!v_.enMarche) return;
    // The blocks follow the settings at once: new ones reopen the card, and this is done again
    // once it is open.
    if (reouvertureEnCours_) return;
    if (const int bloc = echantillonsParBloc(v_.Temps_timer, v_.analyse); bloc != blocOuvert_) {
        lecteur_.reset();
        reouvrir(bloc);
        return;
    }
    const bool voulu = v_.analyse.bandes || v_.analyse.rythme;
    const ReglagesAnalyse reglages{v_.analyse.bandes, v_.analyse.bandes && v_.analyse.gainAuto, v_.analyse.rythme};
    if (!voulu) {
        lecteur_.reset();
    } else if (!lecteur_ || !(lecteur_->reglages() == reglages)) {
        // New settings start afresh: the gain from its most, the beats from the next one heard.
        lecteur_.reset();
        derniereEcriture_ = {};
        differes_.legendes = {};  // the names may have changed since: the first step shows them all
        placement_.oublier();
        pasPrevu_->stop();
        {
            const std::lock_guard l(mLecture_);
            lecture_.reset();
        }
        const unsigned marche = marche_;
        try {
            lecteur_ = std::make_unique<LecteurSon>(capture_.anneau(), FREQUENCE_CAPTURE, reglages,
                                                    [this, marche](const LectureSon& l) {
                // Merged with what the run's thread has not taken yet: one post at a time, so that
                // a thread held up never gets a burst of old states.
                {
                    const std::lock_guard verrou(mLecture_);
                    if (!lecture_) {
                        lecture_ = l;
                    } else {
                        if (l.niveaux) lecture_->niveaux = l.niveaux;
                        // A beat after the music's end is a new song's: the end is past.
                        if (l.battement) lecture_->finMusique = false;
                        if (l.battement) lecture_->battement = l.battement;
                        lecture_->finMusique = lecture_->finMusique || l.finMusique;
                        lecture_->silence = lecture_->silence || l.silence;
                        lecture_->total = l.total;
                        lecture_->instant = l.instant;
                    }
                    if (lecturePostee_) return;
                    lecturePostee_ = true;
                }
                QMetaObject::invokeMethod(this, [this, marche] { lectureArrivee(marche); }, Qt::QueuedConnection);
            });
        } catch (const std::system_error&) {
            // No thread to spare: the run goes on without this analysis.
            messages_.signaler(tr("Korvalen n'a pas pu lancer l'analyse du son : les lampes suivent "
                                  "les échantillons au rythme du rafraîchissement."),
                               tr("Analyse du son"));
        }
    }
    // With the bands on, each block of sound drives the lamps and the refresh timer rests.
    Timer1_->setEnabled(!analyseAuBloc());
}

void Marche::lectureArrivee(unsigned marche) {
    std::optional<LectureSon> l;
    {
        const std::lock_guard verrou(mLecture_);
        lecturePostee_ = false;
        l.swap(lecture_);
    }
    // Findings posted just before the run or the settings ended are dropped.
    if (!l || !lecteur_ || marche != marche_ || !v_.enMarche) return;
    horlogeSon_.caler(l->total, l->instant);
    if (l->silence) signalerSilence();
    if (l->niveaux && analyseAuBloc()) niveauxAnalyse(*l->niveaux);
    if (l->battement && lecteur_->reglages().rythme) battementEntendu(*l->battement);
    if (l->finMusique) {
        // The music stopped: no more steps on the beat, the chaser's timer takes over at once.
        placement_.oublier();
        pasPrevu_->stop();
    }
}

void Marche::niveauxAnalyse(const std::array<float, NB_BARRES>& niveaux) {
    etapeRafraichissement(v_, &niveaux, differes_, port_, &derniereEcriture_);
    suivreBoutonsDirects();
    apresEtape();
}

bool Marche::battementsRecents() const {
    const std::optional<double> dernier = placement_.dernierBattement();
    return dernier && horlogeSon_.maintenant() - *dernier <
                          std::chrono::duration<double>(ATTENTE_BATTEMENT).count() * FREQUENCE_CAPTURE;
}

void Marche::battementEntendu(const BattementPrevu& b) {
    if (placement_.battement(b.entendu, b.prochain, b.periode)) battement();
    armerPasPrevu();
}

void Marche::armerPasPrevu() {
    const std::optional<double> echeance = placement_.echeance();
    if (!echeance) {
        pasPrevu_->stop();
        return;
    }
    const auto reste = std::chrono::ceil<std::chrono::milliseconds>(horlogeSon_.dans(*echeance)).count();
    pasPrevu_->start(static_cast<int>(std::max<long long>(0, reste)));
}

void Marche::pasPrevuEchu() {
    if (!lecteur_) return;
    const std::optional<double> echeance = placement_.echeance();
    if (!echeance) return;
    // The timer may come a little before the sound it waits for: it is then set again.
    if (horlogeSon_.maintenant() + 1 < *echeance) {
        armerPasPrevu();
        return;
    }
    if (placement_.echu(*echeance)) battement();
    armerPasPrevu();
}

void Marche::battement() {
    // The chaser timer runs exactly while the chaser is on: a beat steps it in its place, and the
    // step reaches the lamps at once rather than at the next refresh.
    if (!Timer2_->isEnabled()) return;
    Chenillards(v_);
    etapeRafraichissement(v_, nullptr, affichageEtape(), port_, analyseAuBloc() ? &derniereEcriture_ : nullptr);
    suivreBoutonsDirects();
    apresEtape();
}

IIndicateurs& Marche::affichageEtape() {
    if (analyseAuBloc()) return differes_;
    return *vue_;
}

void Marche::apresEtape() {
    signalerSorties();
    if (!analyseAuBloc()) return;
    if (!ecran_->isActive()) ecran_->start();
    if (!ecranBarres_->isActive()) ecranBarres_->start();
}

void Marche::montrerEcran() {
    for (int n = 0; n < NB_INDICATEURS; ++n) {
        const int valeur = std::exchange(differes_.valeurs[static_cast<std::size_t>(n)], -1);
        if (valeur >= 0) vue_->setValue(n, valeur);
    }
}

void Marche::montrerBarres() {
    vue_->poserNiveaux(v_.niveaux);
    vue_->peindreNiveaux();
}

// ---- The live buttons ----

void Marche::setBoutonDirect(int k, Entier valeur) {
    Entier& etat = v_.boutonsDirects[static_cast<std::size_t>(k)];
    if (etat == valeur) return;
    const bool avant = etat == 1;
    etat = valeur;
    vue_->montrerBoutonDirect(k, valeur);
    if (avant != (valeur == 1)) emit boutonDirectChange(k, valeur == 1);
}

void Marche::etapeImmediate() {
    // Steps 2 to 7 of a tick with the last levels, only while running: stopped, the lamps keep
    // their state as ever.
    if (!v_.enMarche || reouvertureEnCours_ || !capture_.ouvert()) return;
    etapeRafraichissement(v_, nullptr, affichageEtape(), port_, analyseAuBloc() ? &derniereEcriture_ : nullptr);
    suivreBoutonsDirects();
    apresEtape();
}

// ---- What the other windows ask ----

bool Marche::ActualiserListes() {
    const bool existe = vue_->montrerDossier(texte(v_.repertoire));
    emit listesActualisees();
    return existe;
}

void Marche::afficherNomMode() {
    QString nom = texte(v_.fichierLUM);
    nom.remove(QStringLiteral(".lum"), Qt::CaseSensitive);
    vue_->montrerNomMode(nom);
    emit nomModeAffiche();
}

void Marche::afficherSorties() {
    Affichage_sortie(v_, *vue_);
    signalerSorties();
}

void Marche::ecrireSorties() { EcrireSorties(v_, port_); }

void Marche::setLegendeBoutonDirect(int k, const QString& legende) { vue_->montrerLegendeBoutonDirect(k, legende); }

void Marche::setPeriodeChenillard(int ms) { Timer2_->setInterval(ms); }

void Marche::legendesBoutonsDirects() {
    for (int k = 0; k < 5; ++k) {
        const Entier b = v_.Bouton[static_cast<std::size_t>(k + 1)];
        for (int j = 0; j < NB_SORTIES_GROUPE; ++j) {
            if (b == v_.SortieA[j].numero) setLegendeBoutonDirect(k, texte(v_.SortieA[j].nom));
            if (b == v_.SortieB[j].numero) setLegendeBoutonDirect(k, texte(v_.SortieB[j].nom));
        }
    }
}

void Marche::chargerMode(const QString& nom) {
    if (nom.isEmpty()) return;
    v_.fichierLUM = nom.toStdString();
    afficherNomMode();
    ChargerModes(v_);
    emit modeCharge();
}

// ---- What a pad or a surface presses ----

bool Marche::boutonDirectBas(int k) const { return v_.boutonsDirects[static_cast<std::size_t>(k)] == 1; }

bool Marche::cliquerBoutonDirect(int k) {
    if (!vue_->utilisable(IVueMarche::Controle::BoutonDirect, k)) return false;
    // A press turns the state over as a click would (greyed counts as up), and reaches the lamps
    // at once rather than at the next refresh tick.
    setBoutonDirect(k, boutonDirectBas(k) ? 0 : 1);
    etapeImmediate();
    return true;
}

// The remote chooses within the list as it stands: it never re-reads the folder nor moves the
// operator's selection, so that a flood of names costs a lookup each and leaves the list alone.
bool Marche::choisirModeParPosition(int position) {
    if (!vue_->utilisable(IVueMarche::Controle::ListeModes)) return false;
    const std::optional<QString> nom = vue_->modeListe(position);
    if (!nom) return false;
    chargerMode(*nom);
    return true;
}

bool Marche::choisirModeParNom(const QString& nom) {
    if (!vue_->utilisable(IVueMarche::Controle::ListeModes)) return false;
    int position = vue_->positionMode(nom);
    if (position < 0) position = vue_->positionMode(nom + QStringLiteral(".lum"));
    return choisirModeParPosition(position);
}

bool Marche::enMarche() const { return v_.enMarche != FAUX; }

bool Marche::cliquerMarche() {
    if (!vue_->utilisable(IVueMarche::Controle::Marche)) return false;
    Command3_Click();
    return true;
}

bool Marche::commanderMarche(bool actif) {
    if (lancementEnAttente_) {
        if (!vue_->utilisable(IVueMarche::Controle::Marche)) return false;
        arretApresLancement_ = !actif;
        return true;
    }
    return enMarche() == actif || cliquerMarche();
}

bool Marche::cliquerInitialisation() {
    // Only possible while stopped, as the button on screen.
    if (v_.enMarche || lancementEnAttente_ || !vue_->utilisable(IVueMarche::Controle::Initialisation)) return false;
    Command8_Click();
    return true;
}

std::array<bool, 16> Marche::sortiesAllumees() const { return v_.sortiesAffichees; }

}  // namespace korvalen
