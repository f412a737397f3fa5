#include "settings/FenetreTelecommande.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <optional>

#include "remote/ReseauxOsc.h"
#include "remote/Telecommande.h"
#include "ui/Messages.h"
#include "ui/Saisie.h"
#include "ui/WindowBuilder.h"
#include "translations/TexteQt.h"

namespace korvalen {

namespace {

const char* const LIBELLES_NOTES[FenetreTelecommande::NOTES] = {
    QT_TRANSLATE_NOOP("korvalen::FenetreTelecommande", "Bouton 1"),
    QT_TRANSLATE_NOOP("korvalen::FenetreTelecommande", "Bouton 2"),
    QT_TRANSLATE_NOOP("korvalen::FenetreTelecommande", "Bouton 3"),
    QT_TRANSLATE_NOOP("korvalen::FenetreTelecommande", "Bouton 4"),
    QT_TRANSLATE_NOOP("korvalen::FenetreTelecommande", "Bouton 5"),
    QT_TRANSLATE_NOOP("korvalen::FenetreTelecommande", "Lancement"),
    QT_TRANSLATE_NOOP("korvalen::FenetreTelecommande", "Initialisation")};

// A whole number typed by the operator within minimum..maximum.
std::optional<int> entier(const QString& saisie, int minimum, int maximum) {
    const std::optional<qint64> n = entierSaisi(saisie, minimum, maximum);
    return n ? std::optional<int>(static_cast<int>(*n)) : std::nullopt;
}

}  // namespace

FenetreTelecommande::FenetreTelecommande(Telecommande& telecommande, IMessages& messages, std::string fichierINI)
    : telecommande_(telecommande), messages_(messages), fichierINI_(std::move(fichierINI)) {
    setUpSecondaryWindow(*this, QStringLiteral("Telecommande"), tr("Télécommande"), 7320, 4860);
    using K = ControlKind;
    WindowBuilder b(*this);
    b.add({
        {K::Frame, "FrameMidi", {}, 120, 120, 3720, 4080, "MIDI"},
        {K::CheckBox, "CheckActif", "FrameMidi", 120, 300, 3360, 300, tr("Actif")},
        {K::Label, "LabelCanal", "FrameMidi", 120, 720, 1080, 255, tr("Canal :")},
        {K::DropDownList, "ComboCanal", "FrameMidi", 1320, 660, 2280, 315},
        {K::Label, "LabelPilote", "FrameMidi", 120, 1140, 1080, 255, tr("Pilote :")},
        {K::DropDownList, "ComboPilote", "FrameMidi", 1320, 1080, 2280, 315},
        {K::Frame, "FrameOsc", {}, 3960, 120, 3240, 2880, "OSC"},
        {K::Label, "LabelPort", "FrameOsc", 120, 360, 960, 255, tr("Port :")},
        {K::TextBox, "TextPort", "FrameOsc", 1200, 300, 975, 285},
        {K::Label, "LabelEcoute", "FrameOsc", 120, 780, 960, 255, tr("Ecoute :")},
        {K::DropDownList, "ComboEcoute", "FrameOsc", 1200, 720, 1920, 315},
        {K::Label, "LabelRetour", "FrameOsc", 120, 1200, 3000, 255, tr("Retour (adresse:port, ...) :")},
        {K::TextBox, "TextRetour", "FrameOsc", 120, 1500, 3000, 285},
        {K::Label, "LabelClients", "FrameOsc", 120, 1980, 3000, 255, tr("Clients (réseau/préfixe, ...) :")},
        {K::TextBox, "TextClients", "FrameOsc", 120, 2280, 3000, 285},
        {K::Button, "CommandAnnuler", {}, 5040, 4320, 975, 375, tr("Annuler")},
        {K::Button, "CommandAppliquer", {}, 6120, 4320, 975, 375, tr("Appliquer")},
    });
    for (int i = 0; i < NOTES; ++i) {
        const int haut = 1560 + i * 360;
        b.add({
            {K::Label, indexed("LabelNote", i), "FrameMidi", 120, haut + 45, 1320, 255, tr(LIBELLES_NOTES[i])},
            {K::TextBox, indexed("TextNote", i), "FrameMidi", 1440, haut, 615, 285},
            {K::Button, indexed("CommandApprendre", i), "FrameMidi", 2160, haut, 1440, 285, tr("Apprendre")},
        });
        Notes_[static_cast<std::size_t>(i)] = b.get<QLineEdit>(indexed("TextNote", i));
        Apprendre_[static_cast<std::size_t>(i)] = b.get<QPushButton>(indexed("CommandApprendre", i));
        connect(Apprendre_[static_cast<std::size_t>(i)], &QPushButton::clicked, this, [this, i] { CommandApprendre_Click(i); });
    }
    Actif_ = b.get<QCheckBox>("CheckActif");
    Canal_ = b.get<QComboBox>("ComboCanal");
    Canal_->addItem(tr("Tous"));
    for (int c = 1; c <= 16; ++c) Canal_->addItem(QString::number(c));
    Pilote_ = b.get<QComboBox>("ComboPilote");
    // The drivers go by their own names, the value stored.
    Pilote_->addItems({tr("Automatique"), QStringLiteral("alsa"), QStringLiteral("jack")});
    Port_ = b.get<QLineEdit>("TextPort");
    Ecoute_ = b.get<QComboBox>("ComboEcoute");
    Ecoute_->addItems({tr("local"), tr("reseau")});
    Retour_ = b.get<QLineEdit>("TextRetour");
    Clients_ = b.get<QLineEdit>("TextClients");
    connect(b.get<QPushButton>("CommandAppliquer"), &QPushButton::clicked, this, &FenetreTelecommande::CommandAppliquer_Click);
    connect(b.get<QPushButton>("CommandAnnuler"), &QPushButton::clicked, this, &FenetreTelecommande::CommandAnnuler_Click);
    connect(&telecommande_, &Telecommande::noteApprise, this, &FenetreTelecommande::noteApprise);
    Form_Load();
}

FenetreTelecommande::~FenetreTelecommande() {
    arreterApprentissage();
    telecommande_.libererApprentissage();
}

void FenetreTelecommande::Form_Load() {
    const ReglagesMidi midi = ChargerMidi(fichierINI_);
    const ReglagesOsc osc = ChargerOsc(fichierINI_);
    Actif_->setChecked(midi.actif);
    Canal_->setCurrentIndex(midi.canal);
    Pilote_->setCurrentIndex(midi.pilote == "alsa" ? 1 : midi.pilote == "jack" ? 2 : 0);
    for (std::size_t i = 0; i < 5; ++i) Notes_[i]->setText(QString::number(midi.notesBoutons[i]));
    Notes_[5]->setText(QString::number(midi.noteLancement));
    Notes_[6]->setText(QString::number(midi.noteInitialisation));
    Port_->setText(QString::number(osc.port));
    Ecoute_->setCurrentIndex(osc.reseau ? 1 : 0);
    Retour_->setText(QString::fromStdString(osc.retour));
    Clients_->setText(QString::fromStdString(osc.clients));
}

void FenetreTelecommande::CommandApprendre_Click(int i) {
    arreterApprentissage();
    const QString pilote = Pilote_->currentIndex() == 0 ? QString() : Pilote_->currentText();
    if (!telecommande_.apprendre(pilote.toStdString())) return;
    apprentissage_ = i;
    Apprendre_[static_cast<std::size_t>(i)]->setText(tr("Touchez le pad…"));
}

void FenetreTelecommande::noteApprise(int note) {
    if (apprentissage_ < 0) return;
    Notes_[static_cast<std::size_t>(apprentissage_)]->setText(QString::number(note));
    arreterApprentissage();
}

void FenetreTelecommande::arreterApprentissage() {
    if (apprentissage_ < 0) return;
    Apprendre_[static_cast<std::size_t>(apprentissage_)]->setText(tr("Apprendre"));
    apprentissage_ = -1;
    telecommande_.arreterApprentissage();
}

void FenetreTelecommande::keyPressEvent(QKeyEvent* event) {
    // Échap gives up the note being learnt, and leaves the window open.
    if (event->key() == Qt::Key_Escape && apprentissage_ >= 0) {
        arreterApprentissage();
        return;
    }
    QWidget::keyPressEvent(event);
}

void FenetreTelecommande::closeEvent(QCloseEvent* event) {
    arreterApprentissage();
    telecommande_.libererApprentissage();
    QWidget::closeEvent(event);
}

void FenetreTelecommande::refuser(QWidget& champ, const QString& texte) {
    messages_.afficher(texte, windowTitle(), Icone::Exclamation);
    champ.setFocus();
    if (auto* ligne = qobject_cast<QLineEdit*>(&champ)) ligne->selectAll();
}

void FenetreTelecommande::CommandAppliquer_Click() {
    arreterApprentissage();
    // Every field is checked before anything is stored or reopened.
    ReglagesMidi midi;
    midi.actif = Actif_->isChecked();
    midi.canal = Canal_->currentIndex();
    midi.pilote = Pilote_->currentIndex() == 0 ? std::string() : Pilote_->currentText().toStdString();
    std::array<int, NOTES> notes{};
    for (std::size_t i = 0; i < NOTES; ++i) {
        const std::optional<int> note = entier(Notes_[i]->text(), 0, 127);
        if (!note) {
            refuser(*Notes_[i], tr("La note de « %1 » doit être un nombre entier de 0 à 127.").arg(tr(LIBELLES_NOTES[i])));
            return;
        }
        notes[i] = *note;
    }
    for (std::size_t i = 0; i < 5; ++i) midi.notesBoutons[i] = notes[i];
    midi.noteLancement = notes[5];
    midi.noteInitialisation = notes[6];

    const QString port = Port_->text().trimmed();
    const std::optional<int> numero = port.isEmpty() ? std::optional<int>(0) : entier(port, 0, 65535);
    if (!numero || (*numero != 0 && *numero < 1024)) {
        refuser(*Port_, tr("Le port OSC doit être un nombre entier de 1024 à 65535, ou 0 pour ne pas écouter."));
        return;
    }
    for (QLineEdit* liste : {Retour_, Clients_}) {
        // Read back whole from Config.ini up to this length; a list found cut there shows one more.
        if (liste->text().size() > static_cast<qsizetype>(LONGUEUR_TELECOMMANDE_MAX)) {
            refuser(*liste, tr("Cette liste ne peut pas dépasser %1 caractères (celle-ci en compte %2).")
                                .arg(LONGUEUR_TELECOMMANDE_MAX)
                                .arg(liste->text().size()));
            return;
        }
    }
    const std::string retour = Retour_->text().trimmed().toStdString();
    const std::string clients = Clients_->text().trimmed().toStdString();
    ErreurListe erreur;
    lireRetour(retour, &erreur);
    if (!erreur.texte.vide()) {
        refuser(*Retour_, traduire(erreur.texte));
        return;
    }
    lireClients(clients, &erreur);
    if (!erreur.texte.vide()) {
        refuser(*Clients_, traduire(erreur.texte));
        return;
    }
    const ReglagesOsc osc(static_cast<std::uint16_t>(*numero), Ecoute_->currentIndex() == 1, retour, clients);

    if (const std::optional<Texte> echec = SauverTelecommande(midi, osc, fichierINI_)) {
        // Nothing typed is lost: the window stays open with its edits.
        messages_.afficher(traduire(*echec), windowTitle(), Icone::Critique);
        return;
    }
    // The ports are reopened at once; one that cannot open is told by the remote control itself.
    telecommande_.appliquer(midi, osc);
    close();
}

void FenetreTelecommande::CommandAnnuler_Click() { close(); }

}  // namespace korvalen
