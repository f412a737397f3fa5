#include "ui/WindowBuilder.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSlider>
#include <cstdlib>

#include "ui/Controles.h"
#include "ui/Twips.h"

namespace korvalen {

QFont windowFont(qreal points, bool bold) {
    QFont f(QStringLiteral("Sans Serif"));
    f.setPointSizeF(points);
    f.setBold(bold);
    return f;
}

QString indexed(const QString& name, int i) { return QStringLiteral("%1[%2]").arg(name).arg(i); }

void setUpFixedWindow(QWidget& window, const QString& name, const QString& title, int widthTwips,
                      int heightTwips) {
    window.setObjectName(name);
    window.setWindowTitle(title);
    window.setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    window.setFont(windowFont());
    window.setFixedSize(twips(widthTwips), twips(heightTwips));
}

void setUpSecondaryWindow(QWidget& window, const QString& name, const QString& title, int widthTwips,
                          int heightTwips) {
    setUpFixedWindow(window, name, title, widthTwips, heightTwips);
    window.setAttribute(Qt::WA_DeleteOnClose);
}

void centreOnScreen(QWidget& window) {
    if (const QScreen* ecran = window.screen()) {
        QRect cadre = window.frameGeometry();
        cadre.moveCenter(ecran->availableGeometry().center());
        window.move(cadre.topLeft());
    }
}

namespace {

QWidget* make(const ControlDef& s, QWidget* parent) {
    switch (s.kind) {
        case ControlKind::Button: return new QPushButton(s.caption, parent);
        case ControlKind::Frame: return new QGroupBox(s.caption, parent);
        case ControlKind::Label: {
            auto* l = new QLabel(parent);
            l->setTextFormat(Qt::PlainText);  // names come from files and users
            l->setText(s.caption);
            return l;
        }
        case ControlKind::CheckBox: return new QCheckBox(s.caption, parent);
        case ControlKind::Option: return new QRadioButton(s.caption, parent);
        case ControlKind::TextBox: return new QLineEdit(s.caption, parent);
        case ControlKind::ComboBox:
        case ControlKind::DropDownList: {
            auto* c = new QComboBox(parent);
            c->setEditable(s.kind == ControlKind::ComboBox);
            c->setInsertPolicy(QComboBox::NoInsert);  // typed text never adds an entry
            return c;
        }
        case ControlKind::FileList: return new ListeFichiers(s.caption, parent);
        case ControlKind::Slider: {
            auto* sl = new QSlider(Qt::Vertical, parent);
            sl->setRange(0, 100);
            return sl;
        }
        case ControlKind::Line: {
            auto* f = new QFrame(parent);
            f->setFrameShape(s.width >= s.height ? QFrame::HLine : QFrame::VLine);
            f->setFrameShadow(QFrame::Sunken);
            return f;
        }
    }
    std::abort();
}

}  // namespace

QWidget* WindowBuilder::add(const ControlDef& s) {
    QWidget* parent = s.container.isEmpty() ? &window_ : find(s.container);
    QWidget* w = make(s, parent);
    w->setObjectName(s.name);
    w->setGeometry(rectTwips(s.left, s.top, s.width, s.height));
    return w;
}

QWidget* WindowBuilder::find(const QString& name) const {
    QWidget* w = window_.findChild<QWidget*>(name);
    if (!w) std::abort();
    return w;
}

}  // namespace korvalen
