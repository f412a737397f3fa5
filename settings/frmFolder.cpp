#include "settings/frmFolder.h"

#include <QComboBox>
#include <QFile>
#include <QPushButton>
#include <QSignalBlocker>

#include "settings/Lecteurs.h"
#include "settings/ListeDossiers.h"
#include "engine/RaisonSysteme.h"
#include "translations/TexteQt.h"
#include "ui/Messages.h"
#include "ui/Twips.h"
#include "ui/WindowBuilder.h"

namespace korvalen {

frmFolder::frmFolder(IMessages& messages, QStringList lecteurs, const QString& dossierDepart)
    : messages_(messages), lecteurs_(std::move(lecteurs)) {
    // The close box destroys it; its buttons only hide it.
    setUpSecondaryWindow(*this, QStringLiteral("frmFolder"), tr("Sélection du repertoire"), 3120, 2430);
    if (!lecteurs_.contains(QStringLiteral("/"))) lecteurs_.prepend(QStringLiteral("/"));

    using K = ControlKind;
    WindowBuilder b(*this);
    b.add({
        {K::DropDownList, "drv", {}, 120, 0, 2895, 315},
        {K::Button, "cmdCancel", {}, 120, 2040, 1335, 375, tr("Annuler")},
        {K::Button, "cmdOK", {}, 1560, 2040, 1455, 375, tr("Appliquer")},
    });
    drv_ = b.get<QComboBox>("drv");
    drv_->addItems(lecteurs_);
    fld_ = new ListeDossiers(this);
    fld_->setObjectName(QStringLiteral("fld"));
    fld_->setGeometry(rectTwips(120, 360, 2895, 1665));
    setTabOrder(drv_, fld_);

    auto* ok = b.get<QPushButton>("cmdOK");
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &frmFolder::cmdOK_Click);
    connect(b.get<QPushButton>("cmdCancel"), &QPushButton::clicked, this, &frmFolder::cmdCancel_Click);

    QString lecteur = lecteurDe(lecteurs_, dossierDepart);
    if (lecteur.isEmpty() || !fld_->ouvrir(lecteur, dossierDepart)) {
        lecteur = QStringLiteral("/");
        fld_->ouvrir(lecteur, lecteur);
    }
    lecteurActuel_ = static_cast<int>(lecteurs_.indexOf(lecteur));
    drv_->setCurrentIndex(lecteurActuel_);
    dossierParLecteur_.insert(lecteur, fld_->chemin());

    connect(drv_, &QComboBox::currentIndexChanged, this, &frmFolder::drv_Change);
    connect(fld_, &ListeDossiers::cheminChange, this,
            [this](const QString& d) { dossierParLecteur_.insert(fld_->racine(), d); });
    connect(fld_, &ListeDossiers::illisible, this, [this](const QString& d) {
        const QString raison = traduire(raisonDossier(QFile::encodeName(d).toStdString()));
        const QString texte = raison.isEmpty() ? tr("Le dossier « %1 » ne peut pas être ouvert.").arg(d)
                                               : tr("Le dossier « %1 » ne peut pas être ouvert : %2.").arg(d, raison);
        messages_.afficher(texte, windowTitle(), Icone::Exclamation);
    });
}

QString frmFolder::dossier() const { return fld_->chemin(); }

void frmFolder::drv_Change(int position) {
    if (position < 0 || position == lecteurActuel_) return;
    const QString lecteur = lecteurs_.at(position);
    // Back on a drive, the folder list opens the folder last open there.
    const QString dossier = dossierParLecteur_.value(lecteur, lecteur);
    if (fld_->ouvrir(lecteur, dossier) || fld_->ouvrir(lecteur, lecteur)) {
        lecteurActuel_ = position;
        return;
    }
    {
        const QSignalBlocker bloque(drv_);
        drv_->setCurrentIndex(lecteurActuel_);
    }
    messages_.afficher(tr("Le lecteur « %1 » ne peut pas être lu. Le lecteur « %2 » reste choisi.")
                           .arg(lecteur, lecteurs_.at(lecteurActuel_)),
                       windowTitle(), Icone::Exclamation);
}

void frmFolder::cmdOK_Click() {
    emit dossierChoisi(fld_->chemin());
    hide();
}

void frmFolder::cmdCancel_Click() { hide(); }

void frmFolder::reject() { cmdCancel_Click(); }

}  // namespace korvalen
