#include "modes/Config_modes.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSlider>

#include "config/Configuration.h"
#include "config/SafeFile.h"
#include "modes/FichierModes.h"
#include "ui/Controles.h"
#include "ui/FileDialogs.h"
#include "run/IMarche.h"
#include "ui/Messages.h"
#include "ui/WindowBuilder.h"
#include "translations/TexteQt.h"

namespace korvalen {

namespace {

constexpr int LARGEUR_FENETRE = 10545, HAUTEUR_FENETRE = 4785;
constexpr int NB_POSITIONS = 2 * NB_SORTIES_GROUPE;

QString texte(const std::string& s) { return QString::fromStdString(s); }

QString sansExtension(const std::string& fichier) {
    QString nom = texte(fichier);
    nom.remove(QStringLiteral(".lum"), Qt::CaseSensitive);
    return nom;
}

}  // namespace

Config_modes::Config_modes(Variables& v, IMarche& principale, IMessages& messages,
                           IFileDialogs& dialogues, QWidget* parent)
    : QWidget(parent), v_(v), principale_(principale), messages_(messages), dialogues_(dialogues) {
    setUpSecondaryWindow(*this, QStringLiteral("Config_modes"), tr("Configuration des modes "),
                         LARGEUR_FENETRE, HAUTEUR_FENETRE);
    construireControles();
}

void Config_modes::construireControles() {
    using K = ControlKind;
    WindowBuilder b(*this);
    b.add({
        {K::Frame, "Frame2", {}, 0, 0, 2895, 4695, tr("Modes de Fonctionnement")},
        {K::Label, "Label1", "Frame2", 120, 240, 2655, 375},
        {K::FileList, "File1", "Frame2", 120, 720, 2655, 3405, "*.lum"},
        {K::Button, "Command1", "Frame2", 120, 4200, 1095, 375, tr("Add")},
        {K::Button, "Command2", "Frame2", 1680, 4200, 1095, 375, tr("Suprimer")},
        {K::Frame, "Frame1", {}, 3000, 0, 7455, 4215, tr("Gestion des Sorties")},
        {K::ComboBox, "Combo1", "Frame1", 120, 360, 2295, 315},
        {K::CheckBox, "Check1", "Frame1", 2640, 360, 1335, 375, tr("Active")},
        {K::Button, "Command5", "Frame1", 5040, 240, 2175, 375, tr("Enregistrer")},
        {K::Button, "Command3", {}, 9000, 4320, 1455, 375, tr("Quitter")},
    });
    // One frame per level bar, so that its two option buttons exclude each other and no others.
    for (int j = 0; j < NB_BARRES; ++j) {
        const QString cadre = indexed("Frame3", j);
        b.add({K::Frame, cadre, "Frame1", 120 + 720 * j, 720, 735, 3375});
        Check2_[j] = static_cast<QCheckBox*>(b.add({K::CheckBox, indexed("Check2", j), cadre, 240, 240, 255, 195, "Check2"}));
        Slider1_[j] = static_cast<QSlider*>(b.add({K::Slider, indexed("Slider1", j), cadre, 120, 360, 495, 2415}));
        Option1_[j] = static_cast<QRadioButton*>(b.add({K::Option, indexed("Option1", j), cadre, 120, 2760, 495, 255, "<"}));
        Option2_[j] = static_cast<QRadioButton*>(b.add({K::Option, indexed("Option2", j), cadre, 120, 3000, 495, 255, ">"}));
        Option1_[j]->setChecked(true);
    }

    Label1_ = b.get<QLabel>("Label1");
    Label1_->setFont(windowFont(9.75, true));
    File1_ = b.get<ListeFichiers>("File1");
    Combo1_ = b.get<QComboBox>("Combo1");
    Check1_ = b.get<QCheckBox>("Check1");

    connect(File1_, &ListeFichiers::doubleClic, this, &Config_modes::File1_DblClick);
    connect(Combo1_, &QComboBox::activated, this, &Config_modes::Combo1_Click);
    connect(Combo1_->lineEdit(), &QLineEdit::textEdited, this, &Config_modes::Combo1_Change);
    connect(b.get<QPushButton>("Command1"), &QPushButton::clicked, this, &Config_modes::Command1_Click);
    connect(b.get<QPushButton>("Command2"), &QPushButton::clicked, this, &Config_modes::Command2_Click);
    connect(b.get<QPushButton>("Command3"), &QPushButton::clicked, this, &Config_modes::Command3_Click);
    connect(b.get<QPushButton>("Command5"), &QPushButton::clicked, this, &Config_modes::Command5_Click);
}

void Config_modes::Form_Load() {
    Combo1_->clear();
    for (const Sortie& s : v_.SortieA) Combo1_->addItem(texte(s.nom));
    for (const Sortie& s : v_.SortieB) Combo1_->addItem(texte(s.nom));
    Combo1_->setCurrentIndex(-1);  // adding to an empty list would select the first entry
    affichageconfigsorties();
    principale_.ActualiserListes();
    Label1_->setText(texte(v_.fichierLUM));
    // The sliders already span the level bars' scale, 0 to 100, from the builder.
}

bool Config_modes::pointerListe() { return File1_->setDossier(texte(v_.repertoire)); }

void Config_modes::afficherNomMode() { Label1_->setText(sansExtension(v_.fichierLUM)); }

Sortie* Config_modes::selection() {
    const int p = Combo1_->currentIndex();
    if (p < 0 || p >= NB_POSITIONS) return nullptr;
    return p < NB_SORTIES_GROUPE ? &v_.SortieA[p] : &v_.SortieB[p - NB_SORTIES_GROUPE];
}

void Config_modes::effacerGroupe(int j) {
    Slider1_[j]->setValue(0);
    Check2_[j]->setChecked(false);
    Option1_[j]->setChecked(true);
}

void Config_modes::affichageconfigsorties() {
    const Sortie* r = selection();
    if (r == nullptr) {
        // Blank state: the option buttons stay as they are.
        Check1_->setChecked(false);
        for (int j = 0; j < NB_BARRES; ++j) {
            Slider1_[j]->setValue(0);
            Check2_[j]->setChecked(false);
        }
        return;
    }
    if (r->active == FAUX) {
        Check1_->setChecked(false);
        for (int j = 0; j < NB_BARRES; ++j) effacerGroupe(j);
        return;
    }
    Check1_->setChecked(true);
    for (int j = 0; j < NB_BARRES; ++j) {
        // A threshold outside 0..100 (hand-edited file) shows at the nearest end; the record keeps it.
        Slider1_[j]->setValue(r->seuil[j]);
        switch (r->sens[j]) {
            case 1:
                Option1_[j]->setChecked(true);
                Check2_[j]->setChecked(true);
                break;
            case 2:
                Option2_[j]->setChecked(true);
                Check2_[j]->setChecked(true);
                break;
            case 0: effacerGroupe(j); break;
            default: break;  // an unknown comparison leaves the box and the options as they were
        }
    }
}

void Config_modes::Combo1_Click() { affichageconfigsorties(); }

void Config_modes::Combo1_Change() {
    // A typed name picks the output of that name; any other text picks none, so that
    // "Enregistrer" never stores into the output shown before.
    const QString saisi = Combo1_->currentText();
    const int position = Combo1_->findText(saisi, Qt::MatchFixedString);
    if (position != Combo1_->currentIndex()) {
        QLineEdit* champ = Combo1_->lineEdit();
        const int curseur = champ->cursorPosition();
        const QSignalBlocker bloque(Combo1_);
        Combo1_->setCurrentIndex(position);
        champ->setText(saisi);  // the index change rewrites the field
        champ->setCursorPosition(curseur);
    }
    affichageconfigsorties();
}

void Config_modes::Command5_Click() {
    Sortie* r = selection();
    if (r == nullptr) return;
    // After the save folder changed, the same name may be another mode: never replace it unasked.
    const std::string cible = cheminModes(v_);
    if (!v_.fichierLUM.empty() && !v_.modeLu.empty() && cible != v_.modeLu && QFileInfo::exists(texte(cible)) &&
        !messages_.demander(tr("Le mode affiché a été lu dans\n%1\nEnregistrer remplacera un autre fichier :\n%2\n"
                               "Voulez-vous le remplacer ?")
                                .arg(texte(v_.modeLu), texte(cible)),
                            tr("Enregistrer"))) {
        return;
    }
    if (Check1_->isChecked()) {
        r->active = VRAI;
        for (int j = 0; j < NB_BARRES; ++j) {
            r->seuil[j] = static_cast<Entier>(Slider1_[j]->value());
            if (Check2_[j]->isChecked()) {
                if (Option1_[j]->isChecked()) r->sens[j] = 1;
                if (Option2_[j]->isChecked()) r->sens[j] = 2;
            } else {
                r->sens[j] = 0;
            }
        }
    } else {
        r->active = FAUX;  // the thresholds and comparisons stay for a later "Active"
    }
    if (v_.fichierLUM.empty()) {
        messages_.afficher(tr("Aucun fichier selectionne"), tr("Attention"), Icone::Aucune);
        return;
    }
    if (const auto erreur = SauverModes(v_)) {
        messages_.afficher(traduire(*erreur), tr("Enregistrer"), Icone::Exclamation);
        return;
    }
    v_.modeLu = cible;
}

void Config_modes::File1_DblClick() {
    const QString nom = File1_->fichierSelectionne();
    if (nom.isEmpty()) return;
    v_.fichierLUM = nom.toStdString();
    afficherNomMode();
    principale_.afficherNomMode();
    ChargerModes(v_);
    affichageconfigsorties();
}

void Config_modes::Command1_Click() {
    const QString chemin = dialogues_.askNewFile(tr("Nouveau"), tr("Fichier Lumière (*.lum)"),
                                                 texte(v_.repertoire));
    if (chemin.isEmpty()) return;
    const QFileInfo fichier(chemin);
    // The dialog leaves this question to us: the placeholder would wipe a saved mode.
    if (fichier.exists() &&
        !messages_.demander(tr("Le fichier %1 existe déjà. Voulez-vous le remplacer ?").arg(chemin), tr("Nouveau"))) {
        return;
    }
    if (const auto erreur = creerModeVide(chemin.toStdString())) {
        messages_.afficher(traduire(*erreur), tr("Nouveau"), Icone::Exclamation);
        return;
    }
    v_.repertoire = fichier.absolutePath().toStdString();
    if (const auto erreur = SauverOptions(v_)) {
        messages_.afficher(traduire(*erreur), tr("Nouveau"), Icone::Exclamation);
    }
    principale_.ActualiserListes();
}

void Config_modes::Command2_Click() {
    const QString nom = File1_->fichierSelectionne();
    if (nom.isEmpty()) {
        messages_.afficher(tr("Aucun fichier selectionne"), tr("Attention"), Icone::Aucune);
        return;
    }
    if (!messages_.demander(tr("Voulez-vous vraiment effacer!\n%1").arg(nom), tr("Effacer"))) {
        return;
    }
    // The file shown in the list, in the folder the list shows.
    const std::string chemin = (File1_->dossier() + QLatin1Char('/') + nom).toStdString();
    if (const auto erreur = removeFile(chemin)) {
        messages_.afficher(traduire(*erreur), tr("Effacer"), Icone::Exclamation);
        return;
    }
    principale_.ActualiserListes();
}

void Config_modes::Command3_Click() { close(); }

void Config_modes::closeEvent(QCloseEvent* event) {
    event->accept();
    emit fermee();
}

}  // namespace korvalen
