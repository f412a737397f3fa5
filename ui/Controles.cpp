#include "ui/Controles.h"

#include <QCheckBox>
#include <QDir>

namespace korvalen {

Minuterie::Minuterie(int intervalle, bool actif, QObject* parent)
    : QObject(parent), intervalle_(intervalle < 0 ? 0 : intervalle), actif_(actif) {
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, &Minuterie::tick);
    appliquer();
}

void Minuterie::setInterval(int ms) {
    intervalle_ = ms < 0 ? 0 : ms;
    appliquer();  // a new interval restarts the count, as the operator expects
}

void Minuterie::setEnabled(bool actif) {
    if (actif == actif_) return;  // enabling a running timer again must not delay its next tick
    actif_ = actif;
    appliquer();
}

void Minuterie::appliquer() {
    // A QTimer of interval 0 fires at every pass of the event loop: here 0 means no tick at all.
    if (actif_ && intervalle_ > 0) {
        timer_.start(intervalle_);
    } else {
        timer_.stop();
    }
}

BoutonDirect::BoutonDirect(QWidget* parent) : QPushButton(parent) {
    setCheckable(true);
    connect(this, &QPushButton::toggled, this, [this] { grise_ = false; });
}

int BoutonDirect::valeur() const { return grise_ ? 2 : (isChecked() ? 1 : 0); }

void BoutonDirect::setValeur(int valeur) {
    setChecked(valeur == 1);
    grise_ = (valeur == 2);
}

QString literalCaption(const QString& texte) {
    QString s = texte;
    return s.replace(QLatin1Char('&'), QStringLiteral("&&"));
}

int valeurCase(const QCheckBox& c) {
    switch (c.checkState()) {
        case Qt::Checked: return 1;
        case Qt::PartiallyChecked: return 2;
        default: return 0;
    }
}

void setValeurCase(QCheckBox& c, int valeur) {
    if (valeur == 2) c.setTristate(true);
    c.setCheckState(valeur == 1 ? Qt::Checked : (valeur == 2 ? Qt::PartiallyChecked : Qt::Unchecked));
}

ListeFichiers::ListeFichiers(QString motif, QWidget* parent) : QListWidget(parent), motif_(std::move(motif)) {
    setSelectionMode(QAbstractItemView::SingleSelection);
    connect(this, &QListWidget::itemDoubleClicked, this, &ListeFichiers::doubleClic);
}

bool ListeFichiers::setDossier(const QString& dossier) {
    if (dossier.isEmpty() || !QDir(dossier).exists()) return false;
    dossier_ = dossier;
    refresh();
    return true;
}

void ListeFichiers::refresh() {
    clear();
    if (dossier_.isEmpty()) return;
    // Without QDir::CaseSensitive the pattern matches "FETE.LUM" as well as "fete.lum".
    const QStringList noms = QDir(dossier_).entryList({motif_}, QDir::Files | QDir::Hidden, QDir::Name);
    addItems(noms);
}

QString ListeFichiers::fichierSelectionne() const {
    const QListWidgetItem* item = currentItem();
    return item ? item->text() : QString();
}

}  // namespace korvalen
