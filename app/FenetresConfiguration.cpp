#include "app/FenetresConfiguration.h"

#include <QDir>

#include "ui/WindowBuilder.h"

namespace korvalen {

namespace {

// Shows a window without blocking anything; it is centred the first time only, so that a window
// shown again stays where the operator put it. One already on screen is brought to the front.
void montrer(QWidget& fenetre) {
    if (fenetre.isVisible()) {
        fenetre.raise();
        fenetre.activateWindow();
        return;
    }
    fenetre.show();
    // Centred once shown, when the frame the window system adds around it is known.
    if (!fenetre.property("korvalenCentree").toBool()) {
        fenetre.setProperty("korvalenCentree", true);
        centreOnScreen(fenetre);
    }
}

}  // namespace

FenetresConfiguration::FenetresConfiguration(Variables& v, IMarche& principale, IMessages& messages,
                                             std::function<QStringList()> lecteurs)
    : v_(v), principale_(principale), messages_(messages), lecteurs_(std::move(lecteurs)) {}

FenetresConfiguration::~FenetresConfiguration() {
    delete sorties_.data();
    delete boutons_.data();
    delete options_.data();
    delete dossier_.data();
    delete lampes_.data();
}

void FenetresConfiguration::ouvrir(const QString& bouton) {
    if (bouton == QLatin1String("Command2")) {
        if (!sorties_) sorties_ = new Config_sorties(v_, principale_, messages_);
        montrer(*sorties_);
    } else if (bouton == QLatin1String("Command4")) {
        if (!boutons_) boutons_ = new Config_Boutons(v_, principale_, messages_);
        montrer(*boutons_);
    } else if (bouton == QLatin1String("Command7")) {
        montrer(creerOptions());
    }
}

void FenetresConfiguration::repertoireChange() {
    if (options_) options_->repertoireChange();
}

Options& FenetresConfiguration::creerOptions() {
    if (!options_) {
        options_ = new Options(v_, principale_, messages_);
        connect(options_, &Options::dossierDemande, this, &FenetresConfiguration::montrerSelecteurDossier);
        connect(options_, &Options::sortieDemandee, this, &FenetresConfiguration::montrerSortieDesLampes);
        connect(options_, &Options::telecommandeDemandee, this, &FenetresConfiguration::telecommandeDemandee);
    }
    return *options_;
}

void FenetresConfiguration::montrerSelecteurDossier() {
    if (!dossier_) {
        dossier_ = new frmFolder(messages_, lecteurs_(), QDir::currentPath());
        connect(dossier_, &frmFolder::dossierChoisi, this, &FenetresConfiguration::dossierChoisi);
    }
    montrer(*dossier_);
}

void FenetresConfiguration::montrerSortieDesLampes() {
    if (!lampes_) {
        lampes_ = new SortieDesLampes(v_.fichierINI, messages_);
        connect(lampes_, &SortieDesLampes::sortieAppliquee, this, [this](const ReglagesPort& r) {
            if (sortieAppliquee_) sortieAppliquee_(r);
        });
    }
    montrer(*lampes_);
}

void FenetresConfiguration::dossierChoisi(const QString& dossier) {
    // With the options window closed meanwhile, it is created hidden and shows the folder when next opened.
    creerOptions().recevoirDossier(dossier);
}

}  // namespace korvalen
