#include "mainwindow/FPrincipale.h"

#include <algorithm>
#include <system_error>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include "audio/AnalyseContinue.h"
#include "audio/Battements.h"
#include "config/Configuration.h"
#include "engine/Chenillards.h"
#include "engine/Ecriture_Sortie.h"
#include "engine/Rafraichissement.h"
#include "engine/Sorties.h"
#include "ui/Controles.h"
#include "ui/Messages.h"
#include "ui/Twips.h"
#include "ui/WindowBuilder.h"
#include "modes/FichierModes.h"

namespace korvalen {

namespace {

constexpr int LARGEUR_FENETRE = 8925, HAUTEUR_FENETRE = 5790;
// The analysis' steps repaint no faster than the screen's pace for the indicators, and half of it
// for the bars, which move at every block: painting them 60 times a second cost a whole 0.5 % of a
// core more, for a movement the eye does not follow (the lamps themselves are written at once).
constexpr int IMAGE_MS = 16;
constexpr int IMAGE_BARRES_MS = 33;
const char* const LEGENDES_DIRECTES[5] = {"Chenillard", "Slow", "Inversé", "Bouton 4", "Bouton 5"};

QString texte(const std::string& s) { return QString::fromStdString(s); }

}  // namespace

FPrincipale::FPrincipale(Variables& v, IAudioDeviceEnumerator& cartes, IAudioInput& entree, IPort& port,
                         IMessages& messages, Emplacements emplacements, QWidget* parent)
    : QWidget(parent),
      v_(v),
      enumerateur_(cartes),
      port_(port),
      messages_(messages),
      emplacements_(std::move(emplacements)),
      capture_(entree) {
    setUpFixedWindow(*this, QStringLiteral("FPrincipale"), QStringLiteral("Korvalen"), LARGEUR_FENETRE,
                     HAUTEUR_FENETRE);
    construireControles();
}

FPrincipale::~FPrincipale() {
    // A listing or an opening still running uses the capture and the device list: both end within
    // their own bounds.
    if (travail_.joinable()) travail_.join();
}

void FPrincipale::construireControles() {
    using K = ControlKind;
    WindowBuilder b(*this);
    b.add({
        {K::Button, "Command6", {}, 0, 0, 2895, 255, "Config Modes"},
        {K::Button, "Command7", {}, 3000, 0, 3735, 255, "Options"},
        {K::Button, "Command2", {}, 6840, 0, 2055, 255, "Config Sorties"},
        {K::Frame, "Frame2", {}, 0, 360, 2895, 4215, "Modes de Fonctionnement"},
        {K::Label, "Label1", "Frame2", 120, 240, 2655, 375},
        {K::FileList, "File1", "Frame2", 120, 720, 2655, 3210, "*.lum"},
        {K::Frame, "Frame3", {}, 3000, 360, 3735, 3255, "Barre Graph"},
        {K::Button, "Command3", {}, 3000, 3720, 3735, 855, "Lancement"},
        {K::Frame, "Frame1", {}, 6840, 360, 2055, 4215, "Sorties"},
        {K::Frame, "Frame4", {}, 0, 4560, 8895, 855, "Boutons "},
        {K::Button, "Command4", {}, 0, 5520, 2895, 255, "Config Boutons"},
        {K::Button, "Command8", {}, 3000, 5520, 3735, 255, "Initialisation"},
        {K::Button, "Command5", {}, 6840, 5520, 2055, 255, "Quitter"},
    });
    Label1_ = b.get<QLabel>("Label1");
    Label1_->setFont(windowFont(9.75, true));
    File1_ = b.get<ListeFichiers>("File1");
    connect(File1_, &ListeFichiers::doubleClic, this, &FPrincipale::File1_DblClick);

    Command3_ = b.get<QPushButton>("Command3");
    Command3_->setFont(windowFont(12, true));
    connect(Command3_, &QPushButton::clicked, this, &FPrincipale::Command3_Click);
    connect(b.get<QPushButton>("Command5"), &QPushButton::clicked, this, &FPrincipale::Command5_Click);
    Command8_ = b.get<QPushButton>("Command8");
    connect(Command8_, &QPushButton::clicked, this, &FPrincipale::Command8_Click);
    for (const char* nom : {"Command6", "Command7", "Command2", "Command4"}) {
        connect(b.get<QPushButton>(nom), &QPushButton::clicked, this,
                [this, nom] { emit fenetreDemandee(QString::fromLatin1(nom)); });
    }
    for (const char* nom : {"Command2", "Command4", "Command5", "Command6", "Command7", "Command8"}) {
        boutonsConfig_.push_back(b.get<QPushButton>(nom));
    }

    QWidget* frame3 = b.get("Frame3");
    for (int k = 0; k < NB_BARRES; ++k) {
        auto* barre = new BarreNiveau(frame3);
        barre->setObjectName(indexed("ProgressBar1", k));
        barre->setAccessibleName(QStringLiteral("Niveau de la barre %1").arg(k + 1));
        barre->setGeometry(rectTwips(120 + 360 * k, 360, 255, 2775));
        ProgressBar1_[k] = barre;
    }
    for (int i = 0; i < NB_INDICATEURS; ++i) {
        Check1_[i] = static_cast<QCheckBox*>(
            b.add({K::CheckBox, indexed("Check1", i), "Frame1", 120, 240 + 240 * i, 1815, 255, "Lumière"}));
    }
    QWidget* frame4 = b.get("Frame4");
    for (int k = 0; k < 5; ++k) {
        auto* d = new BoutonDirect(frame4);
        d->setObjectName(indexed("Check2", k));
        d->setText(QString::fromUtf8(LEGENDES_DIRECTES[k]));
        d->setGeometry(rectTwips(120 + 1800 * k, 240, 1455, 495));
        connect(d, &QPushButton::toggled, this, [this, k](bool bas) { emit boutonDirectChange(k, bas); });
        connect(d, &BoutonDirect::valeurChangee, this,
                [this, k](int valeur) { v_.boutonsDirects[k] = static_cast<Entier>(valeur); });
        Check2_[k] = d;
    }

    Timer1_ = new Minuterie(0, true, this);
    Timer1_->setObjectName(QStringLiteral("Timer1"));
    connect(Timer1_, &Minuterie::tick, this, &FPrincipale::Timer1_Timer);
    pasPrevu_ = new QTimer(this);
    pasPrevu_->setSingleShot(true);
    pasPrevu_->setTimerType(Qt::PreciseTimer);
    connect(pasPrevu_, &QTimer::timeout, this, &FPrincipale::pasPrevuEchu);
    ecran_ = new QTimer(this);
    ecran_->setSingleShot(true);
    ecran_->setInterval(IMAGE_MS);
    connect(ecran_, &QTimer::timeout, this, &FPrincipale::montrerEcran);
    ecranBarres_ = new QTimer(this);
    ecranBarres_->setSingleShot(true);
    ecranBarres_->setInterval(IMAGE_BARRES_MS);
    connect(ecranBarres_, &QTimer::timeout, this, &FPrincipale::montrerBarres);
    Timer2_ = new Minuterie(30, false, this);
    Timer2_->setObjectName(QStringLiteral("Timer2"));
    connect(Timer2_, &Minuterie::tick, this, &FPrincipale::Timer2_Timer);

    // The run button comes first in the keyboard order and holds the focus; the rest follows the
    // layout: the top row, the columns from left to right, the live buttons, the bottom row.
    std::vector<QWidget*> ordre = {Command3_, b.get("Command6"), b.get("Command7"), b.get("Command2"), File1_};
    ordre.insert(ordre.end(), Check1_.begin(), Check1_.end());
    ordre.insert(ordre.end(), Check2_.begin(), Check2_.end());
    ordre.insert(ordre.end(), {b.get("Command4"), b.get("Command8"), b.get("Command5")});
    for (std::size_t i = 1; i < ordre.size(); ++i) QWidget::setTabOrder(ordre[i - 1], ordre[i]);
    setFocusProxy(Command3_);
}

bool FPrincipale::Form_Load() {
    // Waited for here only when nothing else can run meanwhile; otherwise the window shows at once
    // and the list fills when the sound system answers.
    if (!enFond_) {
        InitDevices();
        if (nomsCartes_.empty()) {
            messages_.afficher(QStringLiteral("You have no audio input devices!"), QStringLiteral("Ack!"),
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
    Affichage_sortie(v_, *this);
    NumeroterSorties(v_);
    ActualiserListes();
    afficherNomMode();
    legendesBoutonsDirects();
    if (!v_.fichierLUM.empty()) ChargerModes(v_);
    Command3_->setFocus();
    return true;
}

void FPrincipale::InitDevices() { remplirCartes(enumerateur_.devices()); }

void FPrincipale::remplirCartes(const std::vector<AudioDeviceInfo>& liste) {
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

void FPrincipale::actualiserCartes() {
    if (!carteAttendue_.isEmpty()) enumerateur_.rechercherCartes();
    InitDevices();
    reprendreCarteAttendue();
}

void FPrincipale::reprendreCarteAttendue() {
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

void FPrincipale::enFond(std::function<void()> travail, std::function<void()> ensuite) {
    if (!enFond_) {
        travail();
        ensuite();
        return;
    }
    // Only one runs at a time (listeEnAttente_, lancementEnAttente_): the previous one has ended.
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

void FPrincipale::listerCartes() {
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

void FPrincipale::cartesListees(const std::vector<AudioDeviceInfo>& liste, bool complete) {
    listeEnAttente_ = false;
    remplirCartes(liste);
    reprendreCarteAttendue();
    if (enFond_ && !listeFaite_ && nomsCartes_.empty() && complete) {
        // As at a start that waited for the list: nothing to listen to ends the program. A sound
        // system that did not answer has said so in its notice; "Lancement" asks it again.
        quitteConfirme_ = true;
        messages_.afficher(QStringLiteral("You have no audio input devices!"), QStringLiteral("Ack!"), Icone::Critique);
        emit quitter();
        return;
    }
    listeFaite_ = true;
    emit listeCartesChangee();
    if (lancementEnAttente_) ouvrirCarte();
}

int FPrincipale::positionCarte(const QString& nom) const {
    const auto trouvee = std::find(nomsCartes_.begin(), nomsCartes_.end(), nom);
    return trouvee != nomsCartes_.end() ? static_cast<int>(trouvee - nomsCartes_.begin()) : -1;
}

bool FPrincipale::ActualiserListes() {
    const bool existe = File1_->setDossier(texte(v_.repertoire));
    emit listesActualisees();
    return existe;
}

void FPrincipale::afficherSorties() { Affichage_sortie(v_, *this); }

void FPrincipale::ecrireSorties() { EcrireSorties(v_, port_); }

void FPrincipale::setLegendeBoutonDirect(int k, const QString& legende) { Check2_[k]->setText(literalCaption(legende)); }

void FPrincipale::setPeriodeChenillard(int ms) { Timer2_->setInterval(ms); }

void FPrincipale::afficherNomMode() {
    QString nom = texte(v_.fichierLUM);
    nom.remove(QStringLiteral(".lum"), Qt::CaseSensitive);
    Label1_->setText(nom);
    emit nomModeAffiche();
}

void FPrincipale::legendesBoutonsDirects() {
    for (int k = 0; k < 5; ++k) {
        const Entier b = v_.Bouton[k + 1];
        for (int j = 0; j < NB_SORTIES_GROUPE; ++j) {
            if (b == v_.SortieA[j].numero) setLegendeBoutonDirect(k, texte(v_.SortieA[j].nom));
            if (b == v_.SortieB[j].numero) setLegendeBoutonDirect(k, texte(v_.SortieB[j].nom));
        }
    }
}

void FPrincipale::setBoutonsConfigActifs(bool actifs) {
    for (QPushButton* b : boutonsConfig_) b->setEnabled(actifs);
}

void FPrincipale::Command3_Click() {
    if (v_.enMarche) {
        arreter();
    } else {
        demarrer();
    }
}

void FPrincipale::demarrer() {
    // Pressed again while the last press still waits for the sound system: nothing more to do.
    if (lancementEnAttente_) return;
    lancementEnAttente_ = true;
    setBoutonsConfigActifs(false);
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

void FPrincipale::ouvrirCarte() {
    if (!carteAttendue_.isEmpty() && !manqueSignale_ && carteChoisie_ >= 0) {
        manqueSignale_ = true;
        messages_.signaler(QStringLiteral("La carte son « %1 » choisie dans les options n'est pas là (débranchée ?) : "
                                          "Korvalen écoute « %2 » à sa place.")
                               .arg(carteAttendue_, nomsCartes_[static_cast<std::size_t>(carteChoisie_)]),
                           QStringLiteral("Carte son"));
    }
    const int position = carteChoisie_;
    const int numero = (position >= 0 && position < static_cast<int>(numerosCartes_.size()))
                           ? numerosCartes_[position]
                           : -1;
    // The opening may wait for a sound server that hangs: the window goes on answering meanwhile.
    auto ouverte = std::make_shared<bool>(false);
    // Blocks fitted to the refresh period, chosen now: the options cannot change while running.
    const int bloc = echantillonsParBloc(v_.Temps_timer, v_.analyse);
    enFond([this, numero, bloc, ouverte] { *ouverte = capture_.ouvrirEtDemarrer(numero, bloc); },
           [this, ouverte] { finirLancement(*ouverte); });
}

void FPrincipale::finirLancement(bool ouverte) {
    lancementEnAttente_ = false;
    if (!ouverte) {
        setBoutonsConfigActifs(true);
        messages_.afficher(QStringLiteral("Wave input device didn't open!"), QStringLiteral("Ack!"),
                           Icone::Exclamation);
        return;
    }
    silenceSignale_ = false;
    ++marche_;
    Timer2_->setEnabled(true);
    v_.enMarche = VRAI;
    Command3_->setText(QStringLiteral("Arret"));
    Timer1_->setInterval(v_.Temps_timer);
    Timer1_->setEnabled(true);
    appliquerAnalyse();
}

void FPrincipale::arreter() {
    battements_.reset();
    oublierPasPrevus();
    analyseContinue_.reset();
    capture_.CloseDevice();
    Timer2_->setEnabled(false);
    v_.enMarche = FAUX;
    Command3_->setText(QStringLiteral("Lancement"));
    setBoutonsConfigActifs(true);
    Timer1_->setEnabled(false);
}

void FPrincipale::CaptureLevels() {
    const CaptureResult r = capture_.CaptureLevels(v_);
    // The bars hold the new levels from here on; they are painted with the outputs at the end of the tick.
    for (int k = 0; k < NB_BARRES; ++k) ProgressBar1_[k]->setValue(static_cast<int>(v_.niveaux[k]));
    if (r == CaptureResult::TimedOut) signalerSilence();
    QCoreApplication::processEvents();
}

void FPrincipale::signalerSilence() {
    // Told once per run: the bars keep the last levels until the input delivers again.
    if (silenceSignale_) return;
    silenceSignale_ = true;
    messages_.signaler(QStringLiteral("L'entrée audio ne délivre plus de son. Les barres gardent les derniers "
                                      "niveaux mesurés ; vérifiez la carte son ou le micro."),
                       QStringLiteral("Ack!"));
}

void FPrincipale::Timer1_Timer() {
    // A tick that would start inside the event pass of another is skipped.
    if (dansRafraichissement_) return;
    dansRafraichissement_ = true;
    const unsigned marche = marche_;
    CaptureLevels();
    // "Arret" clicked in the event pass ended this run: the rest of the tick belongs to it and is
    // dropped, so that the timers stay off and the lamps keep their state.
    if (!v_.enMarche || marche != marche_) {
        montrerBarres();
        dansRafraichissement_ = false;
        return;
    }
    etapeRafraichissement(v_, nullptr, *this, port_);
    suivreBoutonsDirects();
    montrerBarres();
    dansRafraichissement_ = false;
}

void FPrincipale::suivreBoutonsDirects() {
    // The step sampled the live buttons: the chaser's timer runs exactly while the chaser is on,
    // and the buttons on screen show what the step made of them (Inversé put up).
    Timer2_->setEnabled(v_.chenillardActif != FAUX);
    for (int k = 0; k < 5; ++k) Check2_[k]->setValeur(v_.boutonsDirects[k]);
}

void FPrincipale::montrerBarres() {
    for (BarreNiveau* barre : ProgressBar1_) barre->showValue();
}

void FPrincipale::Timer2_Timer() {
    // While beats come, they step the chaser; the timer takes over when they stop.
    if (battements_ && std::chrono::steady_clock::now() - dernierBattement_ < ATTENTE_BATTEMENT) return;
    Chenillards(v_);
}

void FPrincipale::appliquerAnalyse() {
    // With the bands on, each block of sound drives the lamps and the refresh timer rests.
    const bool bandes = v_.enMarche && v_.analyse.bandes;
    if (!bandes) {
        analyseContinue_.reset();
    } else if (!analyseContinue_ || analyseContinue_->gainAuto() != v_.analyse.gainAuto) {
        // New settings start afresh, the gain from its most.
        analyseContinue_.reset();
        derniereEcriture_ = {};
        differes_.legendes = {};  // the names may have changed since: the first step shows them all
        const unsigned marche = marche_;
        analyseContinue_ = std::make_unique<AnalyseContinue>(
            capture_.anneau(), FREQUENCE_CAPTURE, v_.analyse.gainAuto,
            [this, marche](const std::array<float, NB_BARRES>& niveaux) {
                QMetaObject::invokeMethod(this, [this, marche, niveaux] { niveauxAnalyse(niveaux, marche); },
                                          Qt::QueuedConnection);
            },
            [this, marche] {
                QMetaObject::invokeMethod(
                    this, [this, marche] { if (analyseContinue_ && marche == marche_) signalerSilence(); },
                    Qt::QueuedConnection);
            });
    }
    if (v_.enMarche) Timer1_->setEnabled(!bandes);
    const bool suivre = v_.enMarche && v_.analyse.rythme;
    if (!suivre) {
        battements_.reset();
        oublierPasPrevus();
        return;
    }
    if (battements_) return;
    dernierBattement_ = {};
    // The beats are found on a thread of their own; each is handed to this window's thread.
    battements_ = std::make_unique<SuiviBattements>(
        capture_.anneau(), FREQUENCE_CAPTURE,
        [this](const BattementPrevu& b) {
            QMetaObject::invokeMethod(this, [this, b] { battementEntendu(b); }, Qt::QueuedConnection);
        },
        [this] {
            // The music stopped: no more steps on the beat, the chaser's timer takes over at once.
            QMetaObject::invokeMethod(
                this,
                [this] {
                    if (!battements_) return;
                    dernierBattement_ = {};
                    oublierPasPrevus();
                },
                Qt::QueuedConnection);
        });
}

void FPrincipale::battementEntendu(const BattementPrevu& b) {
    // A beat posted just before the run or the setting ended is dropped.
    if (!battements_) return;
    const auto maintenant = std::chrono::steady_clock::now();
    dernierBattement_ = maintenant;
    periodePas_ = b.periode;
    const auto proche = [&](auto t, auto u) { return (t > u ? t - u : u - t) < b.periode / 2; };
    // The beat just heard has had its step unless a step came within half a period (the one
    // placed on it beforehand): otherwise, and while the tempo is not known, it steps now, in
    // place of any step placed on it that is still to come.
    if (!b.quand || maintenant - dernierPas_ > b.periode / 2) {
        std::erase_if(pasPrevus_, [&](auto t) { return proche(t, maintenant); });
        battement();
    }
    if (!b.quand) {
        armerPasPrevu();
        return;
    }
    // The next beat's step goes where its sound will arrive, less the way from here to the port;
    // a step already placed within half a period of it is that same beat, placed again.
    const auto quand = *b.quand - AVANCE_PORT;
    std::erase_if(pasPrevus_, [&](auto t) { return proche(t, quand); });
    pasPrevus_.insert(std::upper_bound(pasPrevus_.begin(), pasPrevus_.end(), quand), quand);
    armerPasPrevu();
}

void FPrincipale::armerPasPrevu() {
    if (pasPrevus_.empty()) {
        pasPrevu_->stop();
        return;
    }
    const auto reste = pasPrevus_.front() - std::chrono::steady_clock::now();
    pasPrevu_->start(static_cast<int>(std::max<long long>(0, std::chrono::ceil<std::chrono::milliseconds>(reste).count())));
}

void FPrincipale::pasPrevuEchu() {
    if (pasPrevus_.empty()) return;
    pasPrevus_.erase(pasPrevus_.begin());
    // A beat heard a little early has already stepped for this one.
    if (battements_ && std::chrono::steady_clock::now() - dernierPas_ >= periodePas_ / 2) battement();
    armerPasPrevu();
}

void FPrincipale::oublierPasPrevus() {
    pasPrevus_.clear();
    pasPrevu_->stop();
}

void FPrincipale::battement() {
    if (!battements_) return;
    dernierPas_ = std::chrono::steady_clock::now();
    // The chaser timer runs exactly while the chaser is on: a beat steps it in its place, and the
    // step reaches the lamps at once rather than at the next refresh.
    if (!Timer2_->isEnabled()) return;
    Chenillards(v_);
    etapeRafraichissement(v_, nullptr, affichageEtape(), port_, analyseContinue_ ? &derniereEcriture_ : nullptr);
    suivreBoutonsDirects();
    apresEtape();
}

void FPrincipale::niveauxAnalyse(const std::array<float, NB_BARRES>& niveaux, unsigned marche) {
    // Levels posted just before the run or the setting ended are dropped.
    if (!analyseContinue_ || marche != marche_ || !v_.enMarche) return;
    etapeRafraichissement(v_, &niveaux, differes_, port_, &derniereEcriture_);
    suivreBoutonsDirects();
    for (int k = 0; k < NB_BARRES; ++k) ProgressBar1_[k]->setValue(static_cast<int>(v_.niveaux[k]));
    apresEtape();
}

IIndicateurs& FPrincipale::affichageEtape() {
    if (analyseContinue_) return differes_;
    return *this;
}

void FPrincipale::apresEtape() {
    if (!analyseContinue_) return;
    if (!ecran_->isActive()) ecran_->start();
    if (!ecranBarres_->isActive()) ecranBarres_->start();
}

void FPrincipale::montrerEcran() {
    for (int n = 0; n < NB_INDICATEURS; ++n) {
        const int valeur = std::exchange(differes_.valeurs[static_cast<std::size_t>(n)], -1);
        if (valeur >= 0) setValue(n, valeur);
    }
}

void FPrincipale::File1_DblClick() { chargerMode(File1_->fichierSelectionne()); }

void FPrincipale::chargerMode(const QString& nom) {
    if (nom.isEmpty()) return;
    v_.fichierLUM = nom.toStdString();
    afficherNomMode();
    ChargerModes(v_);
    emit modeCharge();
}

void FPrincipale::Command8_Click() {
    for (int i = 0; i < NB_SORTIES_GROUPE; ++i) {
        v_.SortieA[i].coche = FAUX;
        v_.SortieB[i].coche = FAUX;
    }
    Affichage_sortie(v_, *this);
    EcrireSorties(v_, port_);
}

bool FPrincipale::demanderQuitter() {
    return messages_.demander(QStringLiteral("Voulez-vous vraiment Quitter!"), QStringLiteral("Quitter"));
}

void FPrincipale::Command5_Click() {
    if (!demanderQuitter()) return;
    quitteConfirme_ = true;
    emit quitter();
}

void FPrincipale::closeEvent(QCloseEvent* event) {
    // Quitting the application closes its windows: the answer already given holds.
    if (quitteConfirme_) {
        event->accept();
        return;
    }
    // While capture runs or starts the close box is refused and the capture left untouched; "Arret" stops it first.
    if (v_.enMarche || lancementEnAttente_ || !demanderQuitter()) {
        event->ignore();
        return;
    }
    quitteConfirme_ = true;
    event->accept();
    emit quitter();
}

void FPrincipale::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (centree_) return;
    centree_ = true;
    centreOnScreen(*this);
    Command3_->setFocus();
}

void FPrincipale::setCaption(int indicateur, const std::string& t) {
    Check1_[indicateur]->setText(literalCaption(texte(t)));
}

void FPrincipale::setValue(int indicateur, int valeur) {
    if (valeurCase(*Check1_[indicateur]) == valeur) return;
    setValeurCase(*Check1_[indicateur], valeur);
    emit sortiesChangees();
}

}  // namespace korvalen
