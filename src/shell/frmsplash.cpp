#include "shell/frmsplash.h"

#include "forms/formkit.h"
#include "runtime/seams.h"
#include "shell/artwork.h"
#include "shell/credits.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QTimer>

namespace {

const int kShowMs = 10000;

struct LabelPlace {
    const QString* text;
    int left, top, width, height;  // twips, inside Frame1
    bool bold;
};

}  // namespace

frmSplash::frmSplash(QWidget* parent) : runtime::Form(parent) {
    setObjectName(QStringLiteral("frmSplash"));
    // No caption, no control box, no taskbar button.
    setWindowFlags(Qt::Tool | Qt::FramelessWindowHint);
    forms::keepFrameStates(this);
    forms::tieToOpener(this);
    forms::pinFont(this);
    setClientTwips(9075, 6570, true);
    setFixedSize(size());

    Frame1 = new QFrame(this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Frame1->setFrameStyle(QFrame::Box | QFrame::Sunken);
    Frame1->setAutoFillBackground(true);
    QPalette grey = Frame1->palette();
    grey.setColor(QPalette::Window, QColor(192, 192, 192));
    grey.setColor(QPalette::WindowText, Qt::black);
    Frame1->setPalette(grey);
    // Its top edge lies above the window, hidden.
    Frame1->setGeometry(runtime::twipsRect(0, -120, 9165, 6660));
    Frame1->installEventFilter(this);

    imgLogo = new QLabel(Frame1);
    imgLogo->setObjectName(QStringLiteral("imgLogo"));
    imgLogo->setPixmap(shell::titlePicture());
    imgLogo->setScaledContents(true);
    imgLogo->setGeometry(runtime::twipsRect(120, 240, 3270, 2475));
    imgLogo->installEventFilter(this);

    using namespace shell::credits;
    const LabelPlace places[] = {
        {&kPublishingOffice, 3600, 300, 5400, 285, true},
        {&kDirectorate, 3600, 660, 5400, 285, false},
        {&kDirectorateAndDepartment, 3600, 990, 5400, 480, false},
        {&kDepartment, 3600, 1530, 5400, 285, false},
        {&kDirector, 3600, 1890, 5400, 285, false},
        {&kDepartmentHead, 3600, 2250, 5400, 480, false},
        {&kEditors, 240, 2940, 8760, 285, false},
        {&kSoftware, 240, 3300, 8760, 285, false},
        {&kContributors, 240, 3660, 8760, 480, false},
        {&kPublisher, 240, 4380, 8760, 285, true},
        {&kStreetAndCity, 240, 4740, 8760, 285, false},
        {&kPhone, 240, 5100, 8760, 285, false},
        {&kWeb, 240, 5460, 8760, 285, false},
    };
    int index = 1;
    for (const LabelPlace& place : places) {
        auto* label = new QLabel(*place.text, Frame1);
        label->setObjectName(QStringLiteral("Label%1").arg(index++));
        label->setWordWrap(true);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        if (place.bold) {
            QFont bold = label->font();
            bold.setBold(true);
            label->setFont(bold);
        }
        label->setGeometry(runtime::twipsRect(place.left, place.top, place.width, place.height));
        // A click on a label does nothing: the label keeps the click from reaching the frame.
        label->installEventFilter(this);
        labels.append(label);
    }

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(kShowMs);
    Timer1->setTimerType(Qt::PreciseTimer);  // a coarse timer may fire 5% early
    connect(Timer1, &QTimer::timeout, this, &frmSplash::Timer1_Timer);

    // The screen previews the keyboard: key presses reach it whatever control has the focus.
    qApp->installEventFilter(this);
}

void frmSplash::Form_Load() {
    Timer1->start();
}

std::function<qint64()> frmSplash::clock = [] {
    static QElapsedTimer monotonic;
    if (!monotonic.isValid()) {
        monotonic.start();
    }
    return monotonic.elapsed();
};

void frmSplash::showEvent(QShowEvent* event) {
    runtime::Form::showEvent(event);
    if (shownAt_ < 0) {
        // The ten seconds count from the moment the screen shows.
        shownAt_ = clock();
        Timer1->start(kShowMs);
    }
}

void frmSplash::Timer1_Timer() {
    const qint64 left = shownAt_ < 0 ? kShowMs : kShowMs - (clock() - shownAt_);
    if (left > 0) {
        Timer1->start(int(left));  // early: the screen stays its full ten seconds
        return;
    }
    seams::endProgram();
}

void frmSplash::Frame1_Click() {
    seams::endProgram();
}

void frmSplash::imgLogo_Click() {
    seams::endProgram();
}

void frmSplash::Form_KeyPress(int) {
    Unload();
}

bool frmSplash::eventFilter(QObject* watched, QEvent* event) {
    if (isUnloaded()) {
        return false;
    }
    if (event->type() == QEvent::KeyPress) {
        QWidget* target = qobject_cast<QWidget*>(watched);
        if (!target || (target != this && !isAncestorOf(target))) {
            return false;
        }
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->text().isEmpty()) {
            return false;  // not a character key (arrows, shift, function keys)
        }
        Form_KeyPress(key->text().at(0).unicode());
        return true;
    }
    const bool onLabel = labels.contains(watched);
    if (watched != Frame1 && watched != imgLogo && !onLabel) {
        return false;
    }
    switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
            if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
                pressed_ = watched;
            }
            return true;
        case QEvent::MouseButtonRelease: {
            const auto* mouse = static_cast<QMouseEvent*>(event);
            if (mouse->button() != Qt::LeftButton) {
                return true;
            }
            // A click is a press and a release on the same control.
            QObject* pressed = pressed_;
            pressed_ = nullptr;
            auto* widget = static_cast<QWidget*>(watched);
            if (pressed != watched || !widget->rect().contains(mouse->position().toPoint())) {
                return true;
            }
            if (watched == Frame1) {
                Frame1_Click();
            } else if (watched == imgLogo) {
                imgLogo_Click();
            }
            return true;
        }
        default:
            return false;
    }
}
