#include "ui/Messages.h"

#include <QMessageBox>

namespace korvalen {

namespace {
QMessageBox::Icon icone(Icone i) {
    switch (i) {
        case Icone::Critique: return QMessageBox::Critical;
        case Icone::Exclamation: return QMessageBox::Warning;
        default: return QMessageBox::NoIcon;
    }
}
// Messages often carry file, folder and output names: shown as they stand, never as rich text.
void enTexteSimple(QMessageBox& box) { box.setTextFormat(Qt::PlainText); }

}  // namespace

void MessagesQt::afficher(const QString& texte, const QString& titre, Icone i) {
    QMessageBox box(icone(i), titre, texte, QMessageBox::Ok, parent_);
    enTexteSimple(box);
    box.exec();
}

bool MessagesQt::demander(const QString& texte, const QString& titre) {
    QMessageBox box(QMessageBox::NoIcon, titre, texte, QMessageBox::Yes | QMessageBox::No, parent_);
    enTexteSimple(box);
    box.setDefaultButton(QMessageBox::Yes);
    return box.exec() == QMessageBox::Yes;
}

void MessagesQt::signaler(const QString& texte, const QString& titre) {
    auto* box = new QMessageBox(QMessageBox::Warning, titre, texte, QMessageBox::Ok, parent_);
    enTexteSimple(*box);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setModal(false);
    box->show();
}

}  // namespace korvalen
