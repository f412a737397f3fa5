#pragma once

#include <QString>
#include <QWidget>
#include <array>
#include <chrono>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

#include "audio/Battements.h"
#include "audio/CaptureAudio.h"
#include "audio/IAudio.h"
#include "config/Configuration.h"
#include "engine/IIndicateurs.h"
#include "engine/IPort.h"
#include "engine/Rafraichissement.h"
#include "engine/Variables.h"
#include "ui/ICommandesDistantes.h"
#include "ui/IFenetrePrincipale.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QTimer;

namespace korvalen {

class AnalyseContinue;
class BarreNiveau;
class BoutonDirect;
class IMessages;
class ListeFichiers;
class Minuterie;

/// The main window: mode list, level bars, lamp outputs, live buttons, run button and the engine's timers.
class FPrincipale : public QWidget, public IFenetrePrincipale, public ICommandesDistantes, private IIndicateurs {
    Q_OBJECT
public:
    FPrincipale(Variables& v, IAudioDeviceEnumerator& cartes, IAudioInput& entree, IPort& port, IMessages& messages,
                Emplacements emplacements, QWidget* parent = nullptr);
    ~FPrincipale() override;

    /// The start-up sequence; false when the program must end (no usable capture device).
    bool Form_Load();
    /// Whether the device list and the opening of a device run off the window's thread (the real
    /// program), the window answering meanwhile; otherwise they run in the caller's call. Set before Form_Load.
    void setAttenteEnFond(bool enFond) { enFond_ = enFond; }

    // Events, named after their control.
    void Command3_Click();
    void Command5_Click();
    void Command8_Click();
    void File1_DblClick();
    /// Loads the mode file `nom` of the save folder, as a double click on its entry does.
    void chargerMode(const QString& nom);
    void Timer1_Timer();
    void Timer2_Timer();

    // What the other windows do to this one.
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

    /// How long the chaser waits for a beat before its timer drives it again.
    static constexpr std::chrono::milliseconds ATTENTE_BATTEMENT{2000};
    /// How long before a beat's sound arrives its step leaves: the way from the timer to the port.
    static constexpr std::chrono::milliseconds AVANCE_PORT{1};

    // What a remote controller clicks (FPrincipaleDistante.cpp).
    bool boutonDirectBas(int k) const override;
    bool cliquerBoutonDirect(int k) override;
    bool choisirModeParPosition(int position) override;
    bool choisirModeParNom(const QString& nom) override;
    bool enMarche() const override;
    bool cliquerMarche() override;
    bool cliquerInitialisation() override;
    std::array<bool, 16> sortiesAllumees() const override;

signals:
    /// The operator confirmed leaving the program.
    void quitter();
    /// A configuration button asked for its window (its object name: "Command6", "Command7", ...).
    void fenetreDemandee(const QString& bouton);
    /// The main window's list now shows `repertoire`; the mode editor's list follows it.
    void listesActualisees();
    /// The mode label now shows `fichierLUM` without ".lum"; the mode editor's label follows it.
    void nomModeAffiche();
    /// The current mode was read again (a double click in the list); an open editor shows it.
    void modeCharge();
    /// Live button `k` went down or up, by any hand.
    void boutonDirectChange(int k, bool bas);
    /// At least one of the sixteen output indicators changed.
    void sortiesChangees();
    /// A listing run beside the window has come and the device list shows it.
    void listeCartesChangee();

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void construireControles();
    void InitDevices();
    /// Puts `liste` in place of the device list, keeping the chosen card by its name.
    void remplirCartes(const std::vector<AudioDeviceInfo>& liste);
    /// Lists the devices (off the window's thread when enFond_), then hands the list to cartesListees.
    void listerCartes();
    void cartesListees(const std::vector<AudioDeviceInfo>& liste, bool complete);
    /// Chooses the card Config.ini names once it is listed, unless another card was applied since.
    void reprendreCarteAttendue();
    /// Runs `travail` off the window's thread when enFond_, then `ensuite` on the window's thread.
    void enFond(std::function<void()> travail, std::function<void()> ensuite);
    void ouvrirCarte();
    void finirLancement(bool ouverte);
    /// Where the card named `nom` stands in the list, or -1.
    int positionCarte(const QString& nom) const;
    void demarrer();
    void arreter();
    void CaptureLevels();
    void montrerBarres();
    void suivreBoutonsDirects();
    void signalerSilence();
    void niveauxAnalyse(const std::array<float, NB_BARRES>& niveaux, unsigned marche);
    /// Where a step shows the outputs: the indicators at once, or at the screen's pace while the
    /// analysis drives the lamps.
    IIndicateurs& affichageEtape();
    void apresEtape();
    void montrerEcran();
    void legendesBoutonsDirects();
    void setBoutonsConfigActifs(bool actifs);
    bool demanderQuitter();
    void battement();
    void battementEntendu(const BattementPrevu& b);
    void armerPasPrevu();
    void pasPrevuEchu();
    void oublierPasPrevus();

    // Indicators Check1(0..15), as the engine drives them.
    void setCaption(int indicateur, const std::string& texte) override;
    void setValue(int indicateur, int valeur) override;

    Variables& v_;
    IAudioDeviceEnumerator& enumerateur_;
    IPort& port_;
    IMessages& messages_;
    Emplacements emplacements_;
    CaptureAudio capture_;

    std::vector<QString> nomsCartes_;
    std::vector<int> numerosCartes_;  // list position -> device number
    int carteChoisie_ = -1;
    QString carteAttendue_;   // the card Config.ini names while it is not listed
    bool manqueSignale_ = false;  // its absence has been told
    bool enFond_ = false;
    std::thread travail_;      // the listing or the opening running off the window's thread
    bool listeEnAttente_ = false;      // a listing has not answered yet
    bool lancementEnAttente_ = false;  // "Lancement" waits for a listing or an opening
    bool listeFaite_ = false;          // the first list has come
    bool dansRafraichissement_ = false;
    bool silenceSignale_ = false;
    bool centree_ = false;
    bool quitteConfirme_ = false;
    unsigned marche_ = 0;  // counts the starts, so a tick can tell that its run has ended
    std::unique_ptr<SuiviBattements> battements_;  // while running with the chaser on the beat
    std::chrono::steady_clock::time_point dernierBattement_{};
    std::chrono::steady_clock::time_point dernierPas_{};  // the last step a beat made
    std::chrono::steady_clock::duration periodePas_{};    // the beats' period, as last told
    std::vector<std::chrono::steady_clock::time_point> pasPrevus_;  // steps placed on the beats to come
    QTimer* pasPrevu_ = nullptr;                                     // due at the first of them
    std::unique_ptr<AnalyseContinue> analyseContinue_;  // while running with the bands on
    DerniereEcriture derniereEcriture_;                 // of the analysis' steps, which write only changes

    /// The indicators as the analysis' steps set them, until the screen's next frame shows them.
    struct IndicateursDifferes : IIndicateurs {
        explicit IndicateursDifferes(FPrincipale& f) : fenetre(f) { valeurs.fill(-1); }
        void setCaption(int n, const std::string& t) override {
            // Every step gives the sixteen names again: only a new one reaches its check box.
            std::string& vu = legendes[static_cast<std::size_t>(n)];
            if (vu == t) return;
            vu = t;
            fenetre.setCaption(n, t);
        }
        void setValue(int n, int valeur) override { valeurs[static_cast<std::size_t>(n)] = valeur; }
        FPrincipale& fenetre;
        std::array<int, NB_INDICATEURS> valeurs{};  // -1: not set since the last frame
        std::array<std::string, NB_INDICATEURS> legendes{};
    };
    IndicateursDifferes differes_{*this};
    QTimer* ecran_ = nullptr;        // the indicators at most 60 times a second
    QTimer* ecranBarres_ = nullptr;  // the bars at most 30 times a second

    QLabel* Label1_ = nullptr;
    ListeFichiers* File1_ = nullptr;
    std::array<BarreNiveau*, NB_BARRES> ProgressBar1_{};
    std::array<QCheckBox*, NB_INDICATEURS> Check1_{};
    std::array<BoutonDirect*, 5> Check2_{};
    QPushButton* Command3_ = nullptr;
    QPushButton* Command8_ = nullptr;
    std::vector<QPushButton*> boutonsConfig_;  // Command2, 4, 5, 6, 7, 8: disabled while running
    Minuterie* Timer1_ = nullptr;
    Minuterie* Timer2_ = nullptr;
};

}  // namespace korvalen
