// The viewer under a Wayland compositor (weston, headless, started by the test itself): every
// entry of the main window's menu opened as the user opens it, with the real modal showing; each
// window mapped at its fixed size, as Qt and the compositor see it, tied to its opener; a modal
// window refusing input to the windows below it; nothing printed as a warning, in this process and
// in the viewer's own run. Screenshots of the compositor's screen go to the build folder. Where the
// compositor places each window (it, not the program, decides on Wayland) is printed.
#include "controls/dbcombo.h"
#include "daily/frmaltorra.h"
#include "daily/frmtabella.h"
#include "db/location.h"
#include "intense/frmintense.h"
#include "intense/frmpioggia.h"
#include "registry/frmanagrafica.h"
#include "registry/frmdettaglio.h"
#include "samplegen/samplegen.h"
#include "shell/everywindow.h"
#include "shell/frmapertura.h"
#include "shell/frmhelp.h"
#include "shell/frmsplash.h"
#include "shell/westonsession.h"
#include "support/queryarchive.h"
#include "support/scriptedseams.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QMutex>
#include <QProcess>
#include <QPushButton>
#include <QSet>
#include <QTimer>
#include <QWindow>
#include <QtTest>

#include <functional>

namespace {

const QSize kScreen(1280, 1024);
waylandtest::Weston* g_weston = nullptr;
bool g_onX11 = false;  // the compositor on the X server, with its seat
QString g_westonError;

QMutex g_messagesLock;
QStringList g_warnings;
QtMessageHandler g_previous = nullptr;

void recordMessage(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (type != QtDebugMsg && type != QtInfoMsg) {
        QMutexLocker lock(&g_messagesLock);
        g_warnings.append(QStringLiteral("%1: %2").arg(QString::fromLatin1(context.category), text));
    }
    if (g_previous) {
        g_previous(type, context, text);
    }
}

// Counts the presses that reach a window: a window a modal one blocks gets none.
class InputProbe : public QObject {
  public:
    int presses = 0;

  protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::KeyPress) {
            ++presses;
        }
        return false;
    }
};

// True when a click and a key sent to `window` (on its background corner) reached it.
bool takesInput(QWidget* window) {
    QWindow* handle = window->windowHandle();
    if (!handle) {
        return false;
    }
    InputProbe probe;
    handle->installEventFilter(&probe);
    const QPoint corner(1, window->height() - 2);
    QTest::mousePress(handle, Qt::LeftButton, Qt::NoModifier, corner);
    QTest::mouseRelease(handle, Qt::LeftButton, Qt::NoModifier, corner);
    QTest::keyClick(handle, Qt::Key_Shift);
    handle->removeEventFilter(&probe);
    return probe.presses > 0;
}

QString describe(const QRect& r) {
    return QStringLiteral("%1,%2 %3x%4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
}

// The title the compositor gets: Qt gives a window without one the application's name.
QString shownTitle(const QWidget* window) {
    return window->windowTitle().isEmpty() ? QGuiApplication::applicationDisplayName()
                                           : window->windowTitle();
}

template <class T>
T* shown() {
    T* form = runtime::Forms::find<T>();
    return form && form->isVisible() && form->windowHandle() && form->windowHandle()->isExposed() ? form
                                                                                                  : nullptr;
}

// Escape closes the window, as the frame's close box does, where it has the keyboard; without a
// seat no window has it, and the window is closed as from its frame.
void closeByEscape(QWidget* window) {
    if (QGuiApplication::focusWindow() == window->windowHandle()) {
        QTest::keyClick(window->windowHandle(), Qt::Key_Escape);
    } else {
        window->close();
    }
}

// Runs later, from the event loop: a modal window shown from a step would otherwise keep the
// step's timer from firing again.
void later(std::function<void()> act) {
    QTimer::singleShot(0, qApp, std::move(act));
}

}  // namespace

class TestWayland : public QObject {
    Q_OBJECT

    QTemporaryDir folder_;
    QString shots_;
    QStringList problems_;
    QStringList placements_;
    QSet<QString> notes_;
    bool activated_ = false;
    int shotNumber_ = 0;

    // The compositor's view of a window, once it has one at the size Qt gave the window.
    waylandtest::View viewOf(QWidget* window) {
        for (int tries = 0; tries < 60; ++tries) {
            for (const waylandtest::View& view : g_weston->views()) {
                if (view.title == shownTitle(window) && view.rect.size() == window->frameGeometry().size()) {
                    return view;
                }
            }
            QTest::qWait(50);
        }
        return {};
    }

    // What the window told the compositor, once the protocol log has its geometry (the log is
    // written by a client of its own, which may lag behind on a busy machine).
    waylandtest::Declared declaredBy(QWidget* window) {
        waylandtest::Declared declared;
        for (int tries = 0; tries < 100; ++tries) {
            declared = g_weston->declared().value(shownTitle(window));
            if (declared.geometry.size() == window->frameGeometry().size()) {
                break;
            }
            QTest::qWait(50);
        }
        return declared;
    }

    // Size, declared state and place of a shown window; `opener` the window it is opened from.
    void look(QWidget* window, QWidget* opener, bool modal) {
        const QString name = window->objectName();
        const QSize size = windowtest::twipsSize(window);
        if (window->size() != size || window->windowHandle()->geometry().size() != size) {
            problems_ << QStringLiteral("%1: %2 in Qt, %3 mapped, %4 expected")
                             .arg(name, describe(window->geometry()),
                                  describe(window->windowHandle()->geometry()),
                                  describe(QRect(QPoint(), size)));
        }
        if (name != QLatin1String("frmApertura") && window->minimumSize() != window->maximumSize()) {
            problems_ << name + QStringLiteral(": not fixed");
        }
        if (modal && (QApplication::activeModalWidget() != window || !window->isModal())) {
            problems_ << name + QStringLiteral(": not the active modal window");
        }
        const waylandtest::View view = viewOf(window);
        if (view.rect.isEmpty()) {
            QStringList views;
            for (const waylandtest::View& other : g_weston->views()) {
                views << QStringLiteral("\"%1\" %2").arg(other.title, describe(other.rect));
            }
            problems_ << QStringLiteral("%1: the compositor shows no window \"%2\" of %3 (it shows %4)")
                             .arg(name, window->windowTitle(), describe(window->frameGeometry()),
                                  views.join(QStringLiteral(", ")));
            return;
        }
        const waylandtest::Declared declared = declaredBy(window);
        if (declared.geometry.size() != window->frameGeometry().size()) {
            problems_ << QStringLiteral("%1: xdg geometry %2, frame %3")
                             .arg(name, describe(declared.geometry), describe(window->frameGeometry()));
        }
        // The tie is made to the window active when this one shows. A compositor with no seat
        // (weston's headless backend has no keyboard) activates no window: nothing to tie to.
        activated_ = activated_ || QGuiApplication::focusWindow();
        // A window of fixed size says so, so that the compositor offers no resizing.
        if (window->minimumSize() == window->maximumSize() &&
            (declared.minimum != declared.maximum || declared.minimum.isEmpty())) {
            problems_ << QStringLiteral("%1: declared minimum %2x%3, maximum %4x%5")
                             .arg(name)
                             .arg(declared.minimum.width())
                             .arg(declared.minimum.height())
                             .arg(declared.maximum.width())
                             .arg(declared.maximum.height());
        }
        if (opener && !activated_) {
            notes_.insert(
                QStringLiteral("no window was ever activated (the compositor has no seat): the "
                               "tie to the opener (xdg_toplevel.set_parent) is not checked"));
        } else if (opener && declared.parent != shownTitle(opener)) {
            problems_ << QStringLiteral("%1: parent \"%2\" told the compositor, opener \"%3\"")
                             .arg(name, declared.parent, opener->windowTitle());
        }
        QString place = QStringLiteral("%1 at %2").arg(name, describe(view.rect));
        if (opener) {
            const waylandtest::View under = viewOf(opener);
            const QPoint offset = view.rect.center() - under.rect.center();
            place += QStringLiteral(", centre %1,%2 from its opener's").arg(offset.x()).arg(offset.y());
        }
        placements_ << place;
        screenshot(name);
    }

    // The user's click on a window, where the compositor shows it: with a seat that activates it
    // (on Wayland a program cannot activate its own windows). Through the X server the compositor
    // takes its input from (xdotool); without a seat nothing can.
    void activate(QWidget* window) {
        if (!g_onX11 || QGuiApplication::focusWindow() == window->windowHandle()) {
            return;
        }
        const waylandtest::View view = viewOf(window);
        const QPoint client = window->geometry().topLeft() - window->frameGeometry().topLeft();
        const QPoint at = view.rect.topLeft() + client + QPoint(2, window->height() - 3);
        QProcess::execute(QStringLiteral("xdotool"),
                          {QStringLiteral("mousemove"), QStringLiteral("--sync"), QString::number(at.x()),
                           QString::number(at.y()), QStringLiteral("click"), QStringLiteral("1")});
        for (int tries = 0; tries < 60 && QGuiApplication::focusWindow() != window->windowHandle(); ++tries) {
            QTest::qWait(50);
        }
        if (QGuiApplication::focusWindow() != window->windowHandle()) {
            problems_ << window->objectName() + QStringLiteral(": not activated by a click");
        }
    }

    // A modal window must keep input from every window below it.
    void checkBlocks(QWidget* modal, const QList<QWidget*>& below) {
        for (QWidget* window : below) {
            if (takesInput(window)) {
                problems_ << QStringLiteral("%1 takes input while %2 is open")
                                 .arg(window->objectName(), modal->objectName());
            }
        }
    }

    void screenshot(const QString& name) {
        QTest::qWait(200);  // painted and committed
        const QString file = QDir(shots_).filePath(
            QStringLiteral("%1-%2.png").arg(++shotNumber_, 2, 10, QLatin1Char('0')).arg(name));
        const QString error = g_weston->screenshot(file);
        if (!error.isEmpty()) {
            problems_ << error;
        }
    }

    struct Step {
        QString name;
        std::function<bool()> ready;
        std::function<void()> act;
    };

    QList<Step> dailySteps(frmApertura* main);
    QList<Step> intenseSteps(frmApertura* main);
    QList<Step> otherSteps(frmApertura* main);

  private slots:
    void initTestCase() {
        if (!g_weston) {
            QSKIP(qPrintable(QStringLiteral("Wayland test skipped: ") + g_westonError));
        }
        // QtTest has put its own handler in place of the one main installed: ours goes before it.
        g_previous = qInstallMessageHandler(recordMessage);
        QCOMPARE(QGuiApplication::platformName(), QStringLiteral("wayland"));
        QVERIFY(folder_.isValid());
        QString error;
        QVERIFY2(samplegen::writeSample(folder_.path(), samplegen::Options(), &error), qPrintable(error));
        shots_ = QDir(qEnvironmentVariable("ALTORRA_BINARY_DIR", QDir::currentPath()))
                     .filePath(g_onX11 ? QStringLiteral("screenshots/wayland/x11")
                                       : QStringLiteral("screenshots/wayland/headless"));
        QDir(shots_).removeRecursively();
        QVERIFY(QDir().mkpath(shots_));
        QVERIFY(g_weston->startProtocolLog());
    }

    void everyMenuEntry();
    void viewerPrintsNothing_data();
    void viewerPrintsNothing();
    void noWarnings() {
        QMutexLocker lock(&g_messagesLock);
        QVERIFY2(g_warnings.isEmpty(), qPrintable(g_warnings.join(QLatin1Char('\n'))));
    }
};

QList<TestWayland::Step> TestWayland::dailySteps(frmApertura* main) {
    return {
        {QStringLiteral("daily search"), [] { return shown<frmAltorra>() != nullptr; },
         [this, main] {
             frmAltorra* form = shown<frmAltorra>();
             look(form, main, true);
             checkBlocks(form, {main});
             querytest::choose(form->DBCmbStazione, form->DBCmbStazione->itemText(0));
             querytest::choose(form->DBcmbAnno, form->DBcmbAnno->itemText(1));
             later([form] { form->cmdSeleziona->click(); });
         }},
        {QStringLiteral("daily values"), [] { return shown<frmTabella>() != nullptr; },
         [this, main] {
             frmTabella* table = shown<frmTabella>();
             table->Timer1->stop();
             look(table, runtime::Forms::find<frmAltorra>(), true);
             checkBlocks(table, {runtime::Forms::find<frmAltorra>(), main});
             later([table] { table->CmdPrecedente->click(); });
         }},
        {QStringLiteral("daily values closed"),
         [] { return !runtime::Forms::find<frmTabella>() && shown<frmAltorra>(); },
         [] { later([] { shown<frmAltorra>()->CmdChiudi->click(); }); }},
    };
}

QList<TestWayland::Step> TestWayland::intenseSteps(frmApertura* main) {
    return {
        {QStringLiteral("intense search"), [] { return !runtime::Forms::find<frmAltorra>(); },
         [this, main] {
             activate(main);
             later([main] { main->mnuPiogge_intense_Click(); });
         }},
        {QStringLiteral("intense form"), [] { return shown<frmPioggia>() != nullptr; },
         [this, main] {
             frmPioggia* form = shown<frmPioggia>();
             look(form, main, true);
             checkBlocks(form, {main});
             querytest::choose(form->DBCmbStazione, form->DBCmbStazione->itemText(0));
             later([form] { form->cmdSeleziona->click(); });
         }},
        {QStringLiteral("intense values"), [] { return shown<frmIntense>() != nullptr; },
         [this, main] {
             frmIntense* table = shown<frmIntense>();
             table->Timer1->stop();
             look(table, runtime::Forms::find<frmPioggia>(), true);
             checkBlocks(table, {runtime::Forms::find<frmPioggia>(), main});
             later([table] { table->CmdChiudi->click(); });
         }},
        {QStringLiteral("intense values closed"),
         [] { return !runtime::Forms::find<frmIntense>() && shown<frmPioggia>(); },
         [] { later([] { shown<frmPioggia>()->CmdChiudi->click(); }); }},
    };
}

QList<TestWayland::Step> TestWayland::otherSteps(frmApertura* main) {
    return {
        {QStringLiteral("registry"), [] { return !runtime::Forms::find<frmPioggia>(); },
         [this, main] {
             activate(main);
             later([main] { main->mnuAnagrafica_Click(); });
         }},
        {QStringLiteral("registry card"), [] { return shown<frmAnagrafica>() != nullptr; },
         [this, main] {
             frmAnagrafica* card = shown<frmAnagrafica>();
             querytest::choose(card->DBCombo1, card->DBCombo1->itemText(1));
             look(card, main, false);
             if (!takesInput(main)) {  // the registry is not modal: the main window stays usable
                 problems_ << QStringLiteral("frmApertura refuses input beside the registry");
             }
             later([card] { card->PctUbic_Click(); });
         }},
        {QStringLiteral("large picture"), [] { return shown<frmDettaglio>() != nullptr; },
         [this, main] {
             frmDettaglio* picture = shown<frmDettaglio>();
             look(picture, runtime::Forms::find<frmAnagrafica>(), true);
             checkBlocks(picture, {runtime::Forms::find<frmAnagrafica>(), main});
             later([picture] { closeByEscape(picture); });
         }},
        {QStringLiteral("large picture closed"), [] { return !runtime::Forms::find<frmDettaglio>(); },
         [] { later([] { runtime::Forms::find<frmAnagrafica>()->mnuChiudi_Click(); }); }},
        {QStringLiteral("information"), [] { return !runtime::Forms::find<frmAnagrafica>(); },
         [this, main] {
             activate(main);
             later([main] { main->mnuInformazioni_Click(); });
         }},
        {QStringLiteral("information shown"), [] { return shown<frmHelp>() != nullptr; },
         [this, main] {
             frmHelp* help = shown<frmHelp>();
             look(help, main, true);
             checkBlocks(help, {main});
             later([help] { closeByEscape(help); });
         }},
        {QStringLiteral("closing screen"), [] { return !runtime::Forms::find<frmHelp>(); },
         [this, main] {
             activate(main);
             later([main] { main->mnuEsci_Click(); });
         }},
        {QStringLiteral("closing screen shown"), [] { return shown<frmSplash>() != nullptr; },
         [this, main] {
             frmSplash* splash = shown<frmSplash>();
             splash->Timer1->stop();  // it would end the program
             look(splash, main, true);
             checkBlocks(splash, {main});
             later([splash] { QTest::keyClick(splash, Qt::Key_Space); });  // back to the main window
         }},
        {QStringLiteral("back in the main window"),
         [] { return !runtime::Forms::find<frmSplash>() && shown<frmApertura>(); }, [] {}},
    };
}

void TestWayland::everyMenuEntry() {
    db::setProgramFolder(folder_.path());
    testsupport::ScriptedSeams seams(testsupport::ScriptedSeams::Messages |
                                     testsupport::ScriptedSeams::ProgramEnds);
    frmApertura* main = runtime::Forms::show<frmApertura>(runtime::Modality::Modeless);
    QVERIFY(QTest::qWaitForWindowExposed(main));
    QTest::qWait(500);  // the protocol log has caught up
    look(main, nullptr, false);
    QVERIFY2(takesInput(main), "the probe sees no input reach the main window");

    QList<Step> steps{{QStringLiteral("daily"), [] { return true; },
                       [main] { later([main] { main->mnuDati_giornalieri_Click(); }); }}};
    steps += dailySteps(main) + intenseSteps(main) + otherSteps(main);
    int next = 0;
    QTimer poll;
    poll.setInterval(20);
    QElapsedTimer clock;
    clock.start();
    connect(&poll, &QTimer::timeout, this, [&] {
        if (next < steps.size() && clock.elapsed() > 90000) {
            // A step that never comes: every window goes, so that the modal loops end.
            problems_ << QStringLiteral("timed out before: ") + steps[next].name;
            next = steps.size();
            runtime::Forms::unloadAll();
        } else if (next < steps.size() && steps[next].ready()) {
            qInfo("step: %s", qPrintable(steps[next].name));
            steps[next++].act();
        }
    });
    poll.start();
    // The steps run inside the modal windows' own loops; this waits for the last of them.
    QTRY_VERIFY_WITH_TIMEOUT(next == steps.size(), 120000);
    poll.stop();
    for (const QString& note : std::as_const(notes_)) {
        qInfo("%s", qPrintable(note));
    }
    std::printf("Placement by the compositor (screen %dx%d):\n  %s\n", kScreen.width(), kScreen.height(),
                qPrintable(placements_.join(QStringLiteral("\n  "))));
    QVERIFY2(seams.messages.isEmpty(), qPrintable(seams.messages.join(QLatin1Char('\n'))));
    runtime::Forms::unloadAll();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    db::setProgramFolder(QString());
    QVERIFY2(problems_.isEmpty(), qPrintable(problems_.join(QLatin1Char('\n'))));
}

// The viewer itself, started as a user starts it on Wayland, saving its main window and the
// windows its screenshot option opens: it must end normally and write nothing on its terminal.
void TestWayland::viewerPrintsNothing_data() {
    QTest::addColumn<QString>("window");
    QTest::newRow("main window") << QString();
    QTest::newRow("information") << QStringLiteral("informazioni");
    QTest::newRow("closing screen") << QStringLiteral("esci");
}

void TestWayland::viewerPrintsNothing() {
    QFETCH(QString, window);
    const QString viewer =
        QDir(qEnvironmentVariable("ALTORRA_BINARY_DIR")).filePath(QStringLiteral("program/altorra"));
    if (!QFileInfo::exists(viewer)) {
        QSKIP("the viewer is not built");
    }
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("wayland"));
    env.remove(QStringLiteral("DISPLAY"));
    const QString picture = QDir(shots_).filePath(
        QStringLiteral("viewer-%1.png").arg(window.isEmpty() ? QStringLiteral("main") : window));
    env.insert(QStringLiteral("ALTORRA_SCREENSHOT"), picture);
    if (!window.isEmpty()) {
        env.insert(QStringLiteral("ALTORRA_SCREENSHOT_OF"), window);
    }
    process.setProcessEnvironment(env);
    process.start(viewer, {});
    QVERIFY(process.waitForFinished(60000));
    QCOMPARE(process.exitCode(), 0);
    QCOMPARE(QString::fromLocal8Bit(process.readAllStandardError()), QString());
    QVERIFY(!QImage(picture).isNull());
    // The dock finds the viewer's icon by the desktop entry its main window names.
    const QString entry =
        QDir(qEnvironmentVariable("ALTORRA_SOURCE_DIR")).filePath(QStringLiteral("data/altorra.desktop"));
    QVERIFY(QFileInfo::exists(entry));
    QTRY_COMPARE(g_weston->declared().value(QStringLiteral("Altorra della Regione Sorvane")).appId,
                 QFileInfo(entry).completeBaseName());
}

// The compositor is started before the application object: the platform plugin connects to it
// while QApplication is made. When it cannot run, the tests skip with the reason.
int main(int argc, char** argv) {
    waylandtest::Weston weston;
    // The x11 run puts the compositor on the X server, for a seat that activates windows.
    const bool onX11 = qEnvironmentVariableIsSet("ALTORRA_WESTON_ON_X11");
    if (onX11 && qEnvironmentVariableIsEmpty("DISPLAY")) {
        g_westonError = QStringLiteral("no X server for weston's x11 backend");
    } else if (weston.start(kScreen, onX11)) {
        g_weston = &weston;
        g_onX11 = onX11;
        qputenv("QT_QPA_PLATFORM", "wayland");
        qunsetenv("DISPLAY");
    } else {
        g_westonError = weston.error();
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    g_previous = qInstallMessageHandler(recordMessage);
    int status = 0;
    {
        QApplication app(argc, argv);
        TestWayland test;
        status = QTest::qExec(&test, argc, argv);
    }
    weston.stop();
    return status;
}

#include "test_wayland.moc"
