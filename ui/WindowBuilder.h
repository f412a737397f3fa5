#pragma once
// Windows are built from tables of controls placed in twips, all through this one builder.

#include <QFont>
#include <QString>
#include <QWidget>
#include <initializer_list>

namespace korvalen {

/// The kinds of control the windows are made of.
enum class ControlKind {
    Button,        // push button
    Frame,         // group box; an empty caption draws a plain frame
    Label,         // plain-text label
    CheckBox,
    Option,        // option (radio) button; excludes the other options of its container
    TextBox,       // one-line text field
    ComboBox,      // drop-down list with an editable text field
    DropDownList,  // drop-down list without a text field
    FileList,      // ListeFichiers, the caption holding the pattern
    Slider,        // vertical slider
    Line,          // a horizontal or vertical separating line
};

/// One control of a window's table: kind, object name, container (empty = the window), place in twips, caption.
struct ControlDef {
    ControlKind kind;
    QString name;
    QString container;
    int left, top, width, height;
    QString caption = {};
};

/// The program's stand-in for "MS Sans Serif", at a size in points.
QFont windowFont(qreal points = 8, bool bold = false);

/// "Check1[3]": the object name of element i of a control array.
QString indexed(const QString& name, int i);

/// Gives a window its object name, title, font and fixed client size in twips.
void setUpFixedWindow(QWidget& window, const QString& name, const QString& title, int widthTwips,
                      int heightTwips);

/// The same for a secondary window, which is destroyed when it is closed.
void setUpSecondaryWindow(QWidget& window, const QString& name, const QString& title, int widthTwips,
                          int heightTwips);

/// Moves a window to the centre of its screen.
void centreOnScreen(QWidget& window);

/// Builds controls into one window and finds them again by object name.
class WindowBuilder {
public:
    explicit WindowBuilder(QWidget& window) : window_(window) {}

    /// Builds one control in its container, which must already exist.
    QWidget* add(const ControlDef& control);
    void add(std::initializer_list<ControlDef> controls) {
        for (const ControlDef& c : controls) add(c);
    }

    /// The control of that object name; never null (a missing name is a programming error).
    template <class T = QWidget>
    T* get(const QString& name) const {
        return static_cast<T*>(find(name));
    }

private:
    QWidget* find(const QString& name) const;
    QWidget& window_;
};

}  // namespace korvalen
