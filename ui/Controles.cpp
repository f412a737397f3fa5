#include "ui/Controles.h"

#include <QAccessible>
#include <QAccessibleValueInterface>
#include <QAccessibleWidget>
#include <QCheckBox>
#include <QDir>
#include <QPainter>
#include <algorithm>
#include <cstdlib>

namespace korvalen {

BoutonDirect::BoutonDirect(QWidget* parent) : QPushButton(parent) {
    setCheckable(true);
    connect(this, &QPushButton::toggled, this, [this] {
        grise_ = false;
        emit valeurChangee(valeur());
    });
}

int BoutonDirect::valeur() const { return grise_ ? 2 : (isChecked() ? 1 : 0); }

void BoutonDirect::setValeur(int valeur) {
    if (valeur == this->valeur()) return;  // the refresh tick sets it each time: no repaint for nothing
    setChecked(valeur == 1);
    grise_ = (valeur == 2);
    emit valeurChangee(this->valeur());
}

BarreNiveau::BarreNiveau(QWidget* parent) : QWidget(parent) {
    // The bar paints every pixel of itself, so the frame beneath is not painted again under it.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void BarreNiveau::setValue(int valeur) { valeur_ = valeur < 0 ? 0 : (valeur > 100 ? 100 : valeur); }

void BarreNiveau::showValue() {
    if (valeur_ == affichee_) return;
    // Only the band between the old and the new level changes.
    const int h = height() - 2;
    const int a = h - h * affichee_ / 100, b = h - h * valeur_ / 100;
    update(0, 1 + std::min(a, b), width(), std::abs(a - b) + 1);
    affichee_ = valeur_;
    // Nothing is built for the event while no assistive technology listens.
    if (QAccessible::isActive()) {
        QAccessibleValueChangeEvent changement(this, affichee_);
        QAccessible::updateAccessibility(&changement);
    }
}

namespace {

// A level bar as assistive technology sees it: a progress bar whose value is the level shown.
class BarreNiveauAccessible : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    explicit BarreNiveauAccessible(BarreNiveau* barre) : QAccessibleWidget(barre, QAccessible::ProgressBar) {}

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::ValueInterface) return static_cast<QAccessibleValueInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }
    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Value) return QString::number(niveau());
        return QAccessibleWidget::text(t);
    }
    QVariant currentValue() const override { return niveau(); }
    void setCurrentValue(const QVariant&) override {}  // the sound sets it, not the reader
    QVariant maximumValue() const override { return 100; }
    QVariant minimumValue() const override { return 0; }
    QVariant minimumStepSize() const override { return 1; }

private:
    int niveau() const { return static_cast<const BarreNiveau*>(object())->niveauAffiche(); }
};

QAccessibleInterface* fabriqueAccessible(const QString& classe, QObject* objet) {
    if (classe == QLatin1String("korvalen::BarreNiveau") && objet != nullptr && objet->isWidgetType()) {
        return new BarreNiveauAccessible(static_cast<BarreNiveau*>(objet));
    }
    return nullptr;
}

}  // namespace

void installerAccessibiliteBarres() { QAccessible::installFactory(fabriqueAccessible); }

void BarreNiveau::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QRect cadre = rect().adjusted(0, 0, -1, -1);
    const QRect interieur = rect().adjusted(1, 1, -1, -1);
    const int plein = interieur.height() * affichee_ / 100;
    p.fillRect(interieur.adjusted(0, 0, 0, -plein), palette().base());
    p.fillRect(interieur.adjusted(0, interieur.height() - plein, 0, 0), palette().highlight());
    p.setPen(palette().color(QPalette::Mid));
    p.drawRect(cadre);
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
    if (valeur == valeurCase(c)) return;  // a check box repaints at every setCheckState, even unchanged
    if (valeur == 2) c.setTristate(true);
    c.setCheckState(valeur == 1 ? Qt::Checked : (valeur == 2 ? Qt::PartiallyChecked : Qt::Unchecked));
}

ListeFichiers::ListeFichiers(QString motif, QWidget* parent) : QListWidget(parent), motif_(std::move(motif)) {
    setSelectionMode(QAbstractItemView::SingleSelection);
    connect(this, &QListWidget::itemDoubleClicked, this, &ListeFichiers::doubleClic);
    // Any change to the entries makes the name index stale; it is rebuilt at the next lookup.
    const auto perime = [this] { indexValide_ = false; };
    connect(model(), &QAbstractItemModel::rowsInserted, this, perime);
    connect(model(), &QAbstractItemModel::rowsRemoved, this, perime);
    connect(model(), &QAbstractItemModel::rowsMoved, this, perime);
    connect(model(), &QAbstractItemModel::modelReset, this, perime);
    connect(model(), &QAbstractItemModel::layoutChanged, this, perime);
    connect(model(), &QAbstractItemModel::dataChanged, this, perime);
}

ListeFichiers::~ListeFichiers() {
    // The model outlives this part of the object: its reset while the widget is torn down must not
    // reach the index of a list that is already gone.
    disconnect(model(), nullptr, this, nullptr);
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

int ListeFichiers::ligne(const QString& nom) const {
    if (!indexValide_) {
        index_.clear();
        for (int r = 0; r < count(); ++r) index_.insert(item(r)->text(), r);
        indexValide_ = true;
    }
    return index_.value(nom, -1);
}

QString ListeFichiers::fichierSelectionne() const {
    // Only what the operator picked: the keyboard focus makes a row current without selecting it.
    const QList<QListWidgetItem*> choisis = selectedItems();
    return choisis.isEmpty() ? QString() : choisis.first()->text();
}

}  // namespace korvalen
