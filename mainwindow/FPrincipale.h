#pragma once

#include <QString>
#include <QWidget>
#include <array>
#include <vector>

#include "run/IVueMarche.h"

class QCheckBox;
class QLabel;
class QPushButton;

namespace korvalen {

class BarreNiveau;
class BoutonDirect;
class IMessages;
class ListeFichiers;
class Marche;

/// The main window: builds its controls, shows what the run tells it, forwards the operator's
/// clicks to the run and asks the quit question.
class FPrincipale : public QWidget, public IVueMarche {
    Q_OBJECT
public:
    FPrincipale(Marche& marche, IMessages& messages, QWidget* parent = nullptr);
    ~FPrincipale() override;

    /// The start-up sequence, run by the run with this window showing it; false when the program
    /// must end (no usable capture device).
    bool Form_Load();
    Marche& marche() { return marche_; }

    // Events, named after their control.
    void Command5_Click();
    void File1_DblClick();

    // What the run shows.
    void setCaption(int indicateur, const std::string& texte) override;
    void setValue(int indicateur, int valeur) override;
    void poserNiveaux(const std::array<float, NB_BARRES>& niveaux) override;
    void peindreNiveaux() override;
    void montrerMarche(bool enMarche) override;
    void montrerBoutonsConfigActifs(bool actifs) override;
    void montrerBoutonDirect(int k, Entier valeur) override;
    void montrerLegendeBoutonDirect(int k, const QString& legende) override;
    void montrerNomMode(const QString& nom) override;
    bool montrerDossier(const QString& dossier) override;
    std::optional<QString> modeListe(int position) const override;
    int positionMode(const QString& nom) const override;
    bool utilisable(Controle controle, int k) const override;

signals:
    /// The operator confirmed leaving the program.
    void quitter();
    /// A configuration button asked for its window (its object name: "Command6", "Command7", ...).
    void fenetreDemandee(const QString& bouton);

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void construireControles();
    bool demanderQuitter();

    Marche& marche_;
    IMessages& messages_;
    bool centree_ = false;
    bool quitteConfirme_ = false;

    QLabel* Label1_ = nullptr;
    ListeFichiers* File1_ = nullptr;
    std::array<BarreNiveau*, NB_BARRES> ProgressBar1_{};
    std::array<QCheckBox*, NB_INDICATEURS> Check1_{};
    std::array<BoutonDirect*, 5> Check2_{};
    QPushButton* Command3_ = nullptr;
    QPushButton* Command8_ = nullptr;
    std::vector<QPushButton*> boutonsConfig_;  // Command2, 4, 5, 6, 7, 8: disabled while running
};

}  // namespace korvalen
