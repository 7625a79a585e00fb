#include "forms/formkit.h"

#include "controls/dbcombo.h"
#include "runtime/form.h"

#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPalette>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTextEdit>
#include <QWindow>

namespace forms {

QFont formFont() {
    QFont font(QStringLiteral("DejaVu Sans"));
    // Where DejaVu is missing, a face of like width, then the desktop's sans-serif.
    font.setFamilies(
        {QStringLiteral("DejaVu Sans"), QStringLiteral("Verdana"), QStringLiteral("Liberation Sans")});
    font.setStyleHint(QFont::SansSerif);
    font.setPointSize(8);
    return font;
}

void pinFont(QWidget* window) {
    window->setFont(formFont());
}

QColor colourFromBgr(unsigned int value) {
    return QColor(int(value & 0xFF), int((value >> 8) & 0xFF), int((value >> 16) & 0xFF));
}

namespace {

// Puts a window back to its normal state when the window manager minimizes, maximizes or fills the
// screen with it against its buttons; a minimized modal form would leave the program blocked.
// Alt with a letter that no button, label or menu answers would otherwise type that letter into
// the list or box that has the focus (X11 gives the key its text), where it goes unseen and
// changes what is searched. The desktop the archive's users know answers such keys with nothing.
class AltLetterGuard : public QObject {
  public:
    using QObject::QObject;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress) {
            return false;
        }
        const auto* key = static_cast<QKeyEvent*>(event);
        const Qt::KeyboardModifiers mods = key->modifiers();
        if (!(mods & Qt::AltModifier) || (mods & Qt::ControlModifier) || key->text().isEmpty() ||
            !key->text().at(0).isPrint()) {
            return false;
        }
        // Menus take Alt+letter as their own entries' letters: only places that take text.
        return qobject_cast<QLineEdit*>(watched) || qobject_cast<QAbstractSpinBox*>(watched) ||
               qobject_cast<QTextEdit*>(watched) || qobject_cast<QPlainTextEdit*>(watched) ||
               qobject_cast<QComboBox*>(watched) || qobject_cast<QAbstractItemView*>(watched);
    }
};

// Each time the window is shown, it is declared transient for the window that was active then
// (the one that opens it): window managers keep it above that window and, for dialogs, centre it
// there; Wayland compositors place it only through that tie.
class OpenerTie : public QObject {
  public:
    using QObject::QObject;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* window = qobject_cast<QWidget*>(watched);
        if (event->type() == QEvent::Show && window && window->isWindow() && window->windowHandle()) {
            QWidget* opener = QApplication::activeWindow();
            QWindow* handle = opener && opener != window ? opener->windowHandle() : nullptr;
            // Never a loop: the opener must not itself hang on this window.
            for (QWindow* up = handle; up; up = up->transientParent()) {
                if (up == window->windowHandle()) {
                    handle = nullptr;
                    break;
                }
            }
            if (handle) {
                window->windowHandle()->setTransientParent(handle);
            }
        }
        return QObject::eventFilter(watched, event);
    }
};

class FrameGuard : public QObject {
  public:
    using QObject::QObject;

  private:
    static void restore(QWidget* window) {
        window->setWindowState(Qt::WindowNoState);
        window->show();
        window->raise();
        window->activateWindow();
    }

    // Moves the window so that its whole frame lies on its screen's free area (the top left
    // corner first when it is larger than that area). True when it stood there already.
    static bool keepOnScreen(QWidget* window) {
        const QScreen* screen = window->screen();
        if (!screen || !window->isVisible() || window->windowState() != Qt::WindowNoState) {
            return true;
        }
        const QRect area = screen->availableGeometry();
        const QRect client = window->geometry();
        QRect frame = window->frameGeometry();
        // The frame's right and bottom edges may be measured after its left and top; managers
        // draw there the border they draw on the left.
        const int border = client.left() - frame.left();
        frame.setRight(qMax(frame.right(), client.right() + border));
        frame.setBottom(qMax(frame.bottom(), client.bottom() + border));
        if (area.contains(frame)) {
            return true;
        }
        QPoint shift;
        shift.rx() = qMin(0, area.right() - frame.right());
        shift.ry() = qMin(0, area.bottom() - frame.bottom());
        shift.rx() = qMax(shift.x(), area.left() - frame.left());
        shift.ry() = qMax(shift.y(), area.top() - frame.top());
        window->move(window->pos() + shift);
        return false;
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* window = qobject_cast<QWidget*>(watched);
        // A window manager may leave a window partly off the screen: once placed and framed, it is
        // brought wholly on. Only until it first stands there after each showing: the user may
        // move it anywhere afterwards.
        if (window && window->isWindow()) {
            if (event->type() == QEvent::Show) {
                placing_ = true;
            } else if ((event->type() == QEvent::Move || event->type() == QEvent::Paint) && placing_ &&
                       window->isVisible() && window->frameGeometry() != window->geometry()) {
                // Decided once the frame is known: before, a window seems to stand where its
                // frame does not fit.
                placing_ = !keepOnScreen(window);
            } else if (event->type() == QEvent::Hide) {
                placing_ = false;
            }
        }
        if (event->type() == QEvent::WindowStateChange && window && window->isWindow()) {
            const Qt::WindowFlags flags = window->windowFlags();
            const Qt::WindowStates state = window->windowState();
            const bool refused =
                state.testFlag(Qt::WindowFullScreen) ||
                (state.testFlag(Qt::WindowMinimized) && !flags.testFlag(Qt::WindowMinimizeButtonHint)) ||
                (state.testFlag(Qt::WindowMaximized) && !flags.testFlag(Qt::WindowMaximizeButtonHint));
            if (refused) {
                // After the change has been delivered: the window manager's own handling comes first.
                QMetaObject::invokeMethod(
                    window, [window] { restore(window); }, Qt::QueuedConnection);
            }
        }
        return QObject::eventFilter(watched, event);
    }

  private:
    bool placing_ = false;
};

// Installs a filter of type T once, found again by its name: the filters have no meta-object of
// their own, so findChild<T*> would take any child for one.
template <class T>
void installOnce(QWidget* window, const QString& name) {
    if (!window->findChild<QObject*>(name, Qt::FindDirectChildrenOnly)) {
        auto* filter = new T(window);
        filter->setObjectName(name);
        window->installEventFilter(filter);
    }
}

}  // namespace

void setFixedFrame(QWidget* window, Qt::WindowType kind) {
    window->setWindowFlags(kind | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                           Qt::WindowCloseButtonHint);
    keepFrameStates(window);
    tieToOpener(window);
    pinFont(window);
    guardAltLetters();
}

void tieToOpener(QWidget* window) {
    installOnce<OpenerTie>(window, QStringLiteral("openerTie"));
}

void guardAltLetters() {
    static QPointer<AltLetterGuard> guard;
    if (!guard && QCoreApplication::instance()) {
        guard = new AltLetterGuard(QCoreApplication::instance());
        QCoreApplication::instance()->installEventFilter(guard);
    }
}

void keepFrameStates(QWidget* window) {
    installOnce<FrameGuard>(window, QStringLiteral("frameGuard"));
}

void closeOnEscape(QWidget* window) {
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), window);
    escape->setObjectName(QStringLiteral("closeOnEscape"));
    escape->setContext(Qt::WindowShortcut);
    QObject::connect(escape, &QShortcut::activated, window, [window] { window->close(); });
}

void centreFrame(QWidget* window) {
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        const QSize outer = window->frameGeometry().size();
        window->move(area.center() - QPoint(outer.width() / 2, outer.height() / 2));
    }
}

void paint(QWidget* widget, const QColor& background, const QColor& text) {
    // Only the window roles: a form's colours must not reach the button faces of its push buttons.
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, background);
    palette.setColor(QPalette::WindowText, text.isValid() ? text : QColor(Qt::black));
    widget->setPalette(palette);
    widget->setBackgroundRole(QPalette::Window);  // a check box would fill with the button role otherwise
    widget->setAutoFillBackground(true);
}

QLabel* makeLabel(const Place& place, QWidget* parent) {
    auto* label = new QLabel(QString::fromUtf8(place.caption), parent);
    label->setObjectName(QString::fromUtf8(place.name));
    label->setGeometry(runtime::twipsRect(place.left, place.top, place.width, place.height));
    return label;
}

QPushButton* makeButton(const Place& place, QWidget* parent) {
    auto* button = new QPushButton(QString::fromUtf8(place.caption), parent);
    button->setObjectName(QString::fromUtf8(place.name));
    QFont font = button->font();
    font.setBold(true);
    button->setFont(font);
    button->setGeometry(runtime::twipsRect(place.left, place.top, place.width, place.height));
    return button;
}

controls::DBCombo* makeList(const Place& place, QWidget* parent) {
    const QString name = QString::fromUtf8(place.name);
    auto* list = new controls::DBCombo(name, parent);
    list->setObjectName(name);
    list->setGeometry(runtime::twipsRect(place.left, place.top, place.width, place.height));
    return list;
}

QString withoutMnemonic(const QString& caption) {
    QString text;
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption.at(i) == u'&' && i + 1 < caption.size()) {
            ++i;
        }
        text += caption.at(i);
    }
    return text;
}

void nameControl(QWidget* control, const QString& caption) {
    const QString name = withoutMnemonic(caption);
    for (QWidget* widget = control; widget; widget = widget->focusProxy()) {
        widget->setAccessibleName(name);
        if (auto* list = qobject_cast<QComboBox*>(widget); list && list->lineEdit()) {
            list->lineEdit()->setAccessibleName(name);
        }
        if (widget->focusProxy() == widget) {
            break;
        }
    }
}

QAction* addEntry(QWidget* menu, const char* name, const char* caption) {
    QAction* action = menu->addAction(QString::fromUtf8(caption));
    action->setObjectName(QString::fromUtf8(name));
    return action;
}

WrapCheckBox::WrapCheckBox(const QString& name, const QString& caption, QWidget* parent)
    : QCheckBox(caption, parent) {
    setObjectName(name);
}

QSize WrapCheckBox::sizeHint() const {
    return size().isValid() ? size() : QCheckBox::sizeHint();
}

namespace {
QRect indicatorRect(const QCheckBox* box) {
    QStyleOptionButton option;
    option.initFrom(box);
    const int w = box->style()->pixelMetric(QStyle::PM_IndicatorWidth, &option, box);
    const int h = box->style()->pixelMetric(QStyle::PM_IndicatorHeight, &option, box);
    return QRect(2, (box->height() - h) / 2, w, h);
}

QStyle::StateFlag stateFlag(Qt::CheckState state) {
    switch (state) {
        case Qt::Checked:
            return QStyle::State_On;
        case Qt::PartiallyChecked:
            return QStyle::State_NoChange;
        case Qt::Unchecked:
            break;
    }
    return QStyle::State_Off;
}
}  // namespace

void WrapCheckBox::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    QStyleOptionButton option;
    option.initFrom(this);
    option.rect = indicatorRect(this);
    option.state |= stateFlag(checkState());
    if (isDown()) {
        option.state |= QStyle::State_Sunken;
    }
    style()->drawPrimitive(QStyle::PE_IndicatorCheckBox, &option, &painter, this);
    const int textLeft = option.rect.right() + 6;
    const QRect textRect(textLeft, 0, width() - textLeft - 2, height());
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(textRect, Qt::AlignVCenter | Qt::AlignLeft | Qt::TextWordWrap | Qt::TextShowMnemonic,
                     text());
    if (hasFocus()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = textRect.adjusted(-2, 2, 0, -2);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, this);
    }
}

bool WrapCheckBox::hitButton(const QPoint& pos) const {
    return rect().contains(pos);
}

WrapCheckBox* makeBox(const Place& place, QWidget* parent, const QColor& background, const QColor& text) {
    auto* box = new WrapCheckBox(QString::fromUtf8(place.name), QString::fromUtf8(place.caption), parent);
    box->setGeometry(runtime::twipsRect(place.left, place.top, place.width, place.height));
    paint(box, background, text);
    box->setCheckState(Qt::Checked);
    return box;
}

}  // namespace forms
