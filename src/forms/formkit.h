// The look and placing the archive's windows share: the fixed frame, the colours, controls placed
// in twips from tables, and the check box whose caption wraps.
#pragma once

#include <QCheckBox>
#include <QColor>
#include <QFont>
#include <QString>

class QAction;
class QLabel;
class QPushButton;
class QWidget;

namespace controls {
class DBCombo;
}

namespace forms {

// Colours of the archive's forms, given as red, green, blue.
inline const QColor kLightGrey(224, 224, 224);
inline const QColor kBlueViolet(128, 128, 255);

// The type the windows' twip layouts are made for: a sans-serif face at 8 points, the size of the
// archive's tools. The windows keep it whatever the desktop's font and size, since their controls
// have fixed rectangles and a larger type would cut their captions (at 9 points the month and day
// lists already cut "Settembre" and "31").
QFont formFont();
// Gives the window formFont(); its controls inherit it (bold ones keep their weight).
void pinFont(QWidget* window);

// A colour written as the archive's tools wrote it: 0x00BBGGRR, red in the lowest byte.
QColor colourFromBgr(unsigned int value);

// A title bar with the close box only: no minimize or maximize button. Of the dialog type, so that
// window managers draw neither button (openbox draws both on a normal window whatever its hints),
// and transient for the window that opens it (tieToOpener), in the windows' own type (pinFont). Qt::Window is
// for the main window, which adds its minimize button. Window managers that offer those actions anyway (some
// offer minimize and full screen to every window) find them undone: a window shows only in the states its
// buttons allow.
void setFixedFrame(QWidget* window, Qt::WindowType kind = Qt::Dialog);
// Only the undoing of states the window's buttons do not allow (setFixedFrame does it too).
void keepFrameStates(QWidget* window);
// At each showing, the window is made transient for the window active then, its opener
// (setFixedFrame does it too).
void tieToOpener(QWidget* window);
// Alt+letter that nothing answers types nothing into lists, boxes and grids (setFixedFrame
// asks for it; once for the whole application).
void guardAltLetters();
// Escape closes the window as its frame's close box does (with no window manager there is no
// close box: a window closed only from its frame could not be closed at all).
void closeOnEscape(QWidget* window);
// Places the whole window, frame included, in the middle of the primary screen.
void centreFrame(QWidget* window);

// Fills the widget's background with `background` and paints its text in `text`, black when none
// is given: on a background the window fixes, the desktop's text colour (near-white in a dark
// palette) would not read.
void paint(QWidget* widget, const QColor& background, const QColor& text = QColor());

// A control's name, caption and rectangle in twips, as the tables of the windows give them.
struct Place {
    const char* name;
    const char* caption;
    int left, top, width, height;
};
QLabel* makeLabel(const Place& place, QWidget* parent);
// A push button in bold type.
QPushButton* makeButton(const Place& place, QWidget* parent);
// A data-bound list; its height is the list's own (the place's height is ignored when 0).
controls::DBCombo* makeList(const Place& place, QWidget* parent);

// The name a screen reader reads for `control`: `caption` without its mnemonic's `&`, given to the
// control and to the widget that takes its keyboard focus (its focus proxy, an editable list's text
// field), which Qt would otherwise leave nameless. For controls whose label is a separate widget.
void nameControl(QWidget* control, const QString& caption);
// `caption` without the `&` that marks its mnemonic ("&&" stands for one `&`).
QString withoutMnemonic(const QString& caption);

// A menu entry named `name` with `caption`, added to `menu` (a menu or a menu bar).
QAction* addEntry(QWidget* menu, const char* name, const char* caption);

// A check box whose caption wraps within its width, as the archive's boxes did.
class WrapCheckBox : public QCheckBox {
    Q_OBJECT
  public:
    WrapCheckBox(const QString& name, const QString& caption, QWidget* parent);
    QSize sizeHint() const override;

  protected:
    void paintEvent(QPaintEvent* event) override;
    bool hitButton(const QPoint& pos) const override;
};

// A ticked wrapping box at `place`, in the given colours.
WrapCheckBox* makeBox(const Place& place, QWidget* parent, const QColor& background, const QColor& text);

}  // namespace forms
