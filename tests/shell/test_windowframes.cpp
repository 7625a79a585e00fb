// Every window under a real window manager (openbox on the X server the x11 run starts): the size
// hints and the actions the manager allows must give each window only the border and title-bar
// buttons it is made with. Offscreen there is no window manager: the cases skip.
#include "daily/frmaltorra.h"
#include "daily/frmtabella.h"
#include "db/location.h"
#include "forms/resultwindow.h"
#include "intense/frmintense.h"
#include "intense/frmpioggia.h"
#include "registry/frmanagrafica.h"
#include "registry/frmdettaglio.h"
#include "runtime/form.h"
#include "shell/frmapertura.h"
#include "shell/frmhelp.h"
#include "shell/frmsplash.h"
#include "support/scriptedseams.h"

#include <QApplication>
#include <QGuiApplication>
#include <QPointer>
#include <QProcess>
#include <QRegularExpression>
#include <QScreen>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <functional>
#include <memory>

namespace {

// What xprop says of a window's property ("root" for the root window); empty when it cannot be asked.
QString xproperty(const QString& id, const QString& name) {
    QProcess xprop;
    const QStringList window = id == QStringLiteral("root") ? QStringList{QStringLiteral("-root")}
                                                            : QStringList{QStringLiteral("-id"), id};
    xprop.start(QStringLiteral("xprop"), window + QStringList{name});
    if (!xprop.waitForFinished(10000)) {
        return QString();
    }
    return QString::fromLocal8Bit(xprop.readAllStandardOutput());
}

// The window the window manager says is active, as xprop writes its id (decimal).
QString activeWindowId() {
    const QString text = xproperty(QStringLiteral("root"), QStringLiteral("_NET_ACTIVE_WINDOW"));
    const QRegularExpressionMatch match =
        QRegularExpression(QStringLiteral("window id # (0x[0-9a-fA-F]+)")).match(text);
    bool ok = false;
    const qulonglong id = match.captured(1).toULongLong(&ok, 16);
    return ok ? QString::number(id) : QString();
}

// The window WM_TRANSIENT_FOR names (decimal id), empty when it names none.
QString transientId(const QString& id) {
    const QRegularExpressionMatch match = QRegularExpression(QStringLiteral("window id # (0x[0-9a-fA-F]+)"))
                                              .match(xproperty(id, QStringLiteral("WM_TRANSIENT_FOR")));
    bool ok = false;
    const qulonglong transient = match.captured(1).toULongLong(&ok, 16);
    return ok ? QString::number(transient) : QString();
}

// The window's first _NET_WM_WINDOW_TYPE.
QString windowType(QWidget* window) {
    const QRegularExpressionMatch match =
        QRegularExpression(QStringLiteral("= (_NET_WM_WINDOW_TYPE_\\w+)"))
            .match(xproperty(QString::number(window->winId()), QStringLiteral("_NET_WM_WINDOW_TYPE")));
    return match.captured(1);
}

QSize hintedSize(const QString& hints, const QString& which) {
    const QRegularExpression pattern(
        QStringLiteral("program specified %1 size: (\\d+) by (\\d+)").arg(which));
    const QRegularExpressionMatch match = pattern.match(hints);
    return match.hasMatch() ? QSize(match.captured(1).toInt(), match.captured(2).toInt()) : QSize();
}

struct Frame {
    bool fixed;     // minimum size = maximum size
    bool minimize;  // the manager offers to minimize it
};

}  // namespace

class TestWindowFrames : public QObject {
    Q_OBJECT

    QTemporaryDir home_;
    QProcess openbox_;
    std::unique_ptr<testsupport::ScriptedSeams> seams_;

  private slots:
    void initTestCase() {
        if (QGuiApplication::platformName() != QStringLiteral("xcb")) {
            QSKIP("no window manager offscreen");
        }
        const QString program = QStandardPaths::findExecutable(QStringLiteral("openbox"));
        if (program.isEmpty() || QStandardPaths::findExecutable(QStringLiteral("xprop")).isEmpty()) {
            QSKIP("openbox and xprop are needed (scripts/setup.sh installs them)");
        }
        QVERIFY(home_.isValid());
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        // The manager keeps its own files in a home of its own.
        env.insert(QStringLiteral("HOME"), home_.path());
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), home_.filePath(QStringLiteral("config")));
        env.insert(QStringLiteral("XDG_CACHE_HOME"), home_.filePath(QStringLiteral("cache")));
        openbox_.setProcessEnvironment(env);
        openbox_.start(program, {QStringLiteral("--sm-disable")});
        QVERIFY(openbox_.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(xproperty(QStringLiteral("root"), QStringLiteral("_NET_SUPPORTING_WM_CHECK"))
                                     .contains(QLatin1Char('#')),
                                 20000);
        db::setProgramFolder(home_.path());  // no archive: nothing is loaded, only the frames count
    }

    void cleanupTestCase() {
        if (openbox_.state() != QProcess::NotRunning) {
            openbox_.terminate();
            openbox_.waitForFinished(10000);
        }
    }

    void init() { seams_ = std::make_unique<testsupport::ScriptedSeams>(); }
    void cleanup() { testsupport::endScriptedTest(seams_); }

    void frames_data() {
        QTest::addColumn<std::function<QWidget*()>>("make");
        QTest::addColumn<bool>("modal");
        QTest::addColumn<bool>("fixed");
        QTest::addColumn<bool>("minimize");
        auto add = [](const char* name, std::function<QWidget*()> make, bool modal, Frame frame) {
            QTest::newRow(name) << make << modal << frame.fixed << frame.minimize;
        };
        add("frmApertura", [] { return new frmApertura; }, false, {false, true});
        add("frmAltorra", [] { return new frmAltorra; }, true, {true, false});
        add("frmTabella", [] { return new frmTabella; }, true, {true, false});
        add("frmPioggia", [] { return new frmPioggia; }, true, {true, false});
        add("frmIntense", [] { return new frmIntense; }, true, {true, false});
        add("frmAnagrafica", [] { return new frmAnagrafica; }, false, {true, false});
        add("frmDettaglio", [] { return new frmDettaglio; }, true, {true, false});
        add("frmHelp", [] { return new frmHelp; }, true, {true, false});
        add("frmSplash", [] { return new frmSplash; }, true, {true, false});
    }
    void frames() {
        QFETCH(std::function<QWidget*()>, make);
        QFETCH(bool, modal);
        QFETCH(bool, fixed);
        QFETCH(bool, minimize);
        std::unique_ptr<QWidget> window(make());
        if (modal) {
            window->setWindowModality(Qt::ApplicationModal);  // as modal windows are shown
        }
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get(), 20000));
        const QString id = QString::number(window->winId());

        const QString hints = xproperty(id, QStringLiteral("WM_NORMAL_HINTS"));
        const QSize minimum = hintedSize(hints, QStringLiteral("minimum"));
        const QSize maximum = hintedSize(hints, QStringLiteral("maximum"));
        if (fixed) {
            QVERIFY2(minimum.isValid() && minimum == maximum, qPrintable(hints));
            QCOMPARE(minimum, window->size());
        } else {
            QVERIFY2(minimum != maximum, qPrintable(hints));
        }

        QString actions;
        QTRY_VERIFY_WITH_TIMEOUT(
            (actions = xproperty(id, QStringLiteral("_NET_WM_ALLOWED_ACTIONS"))).contains(QLatin1Char('=')),
            10000);
        // Fixed windows cannot be resized, hence not maximized. Openbox offers minimize, full screen
        // and (to a sizable window) maximize whatever the window's hints: there the window itself refuses.
        QCOMPARE(actions.contains(QStringLiteral("_NET_WM_ACTION_RESIZE")), !fixed);
        if (fixed) {
            QVERIFY2(!actions.contains(QStringLiteral("_NET_WM_ACTION_MAXIMIZE")), qPrintable(actions));
        }
        QList<Qt::WindowState> refused = {Qt::WindowFullScreen, Qt::WindowMaximized};
        if (!minimize) {
            refused.append(Qt::WindowMinimized);
        }
        const QSize size = window->size();
        for (Qt::WindowState state : refused) {
            window->setWindowState(state);  // asks the window manager, as its window menu would
            QTRY_COMPARE_WITH_TIMEOUT(window->windowState(), Qt::WindowNoState, 10000);
            QTRY_VERIFY_WITH_TIMEOUT(
                xproperty(id, QStringLiteral("WM_STATE")).contains(QStringLiteral("Normal")), 10000);
            QTRY_VERIFY_WITH_TIMEOUT(
                !xproperty(id, QStringLiteral("_NET_WM_STATE")).contains(QStringLiteral("FULLSCREEN")) &&
                    !xproperty(id, QStringLiteral("_NET_WM_STATE")).contains(QStringLiteral("MAXIMIZED")),
                10000);
            QVERIFY(window->isVisible());
            QTRY_COMPARE_WITH_TIMEOUT(window->size(), size, 10000);
        }
    }

    // Every window with no minimize button is a dialog to the window manager (openbox draws no
    // minimize or maximize button on one), and each window is transient for the window it was
    // opened from: the modal ones stay above it, and compositors place them by it.
    void windowsHangOnTheirOpener() {
        frmApertura* main = runtime::Forms::show<frmApertura>(runtime::Modality::Modeless);
        QVERIFY(QTest::qWaitForWindowExposed(main, 20000));
        QTRY_VERIFY_WITH_TIMEOUT(activeWindowId() == QString::number(main->winId()), 20000);
        QTRY_COMPARE(QApplication::activeWindow(), main);
        QCOMPARE(windowType(main), QStringLiteral("_NET_WM_WINDOW_TYPE_NORMAL"));

        QMap<QString, QString> ids;           // window name: its id
        QMap<QString, QString> transientFor;  // window name: the id WM_TRANSIENT_FOR names
        QMap<QString, QString> types;         // window name: its _NET_WM_WINDOW_TYPE
        ids[main->objectName()] = QString::number(main->winId());
        const auto look = [&](QWidget* window) {
            const QString id = QString::number(window->winId());
            ids[window->objectName()] = id;
            (void)QTest::qWaitFor([&] { return activeWindowId() == id; },
                                  5000);  // a frameless one may not be
            transientFor[window->objectName()] = transientId(id);
            types[window->objectName()] = windowType(window);
        };
        seams_->onModal = [&](QWidget* shown) {
            if (auto* results = qobject_cast<forms::ResultWindow*>(shown)) {
                results->Timer1->stop();  // without an archive it would close at its first tick
            }
            if (!QTest::qWaitForWindowExposed(shown, 20000)) {
                return;
            }
            look(shown);
            // The result windows are opened from their selection forms.
            if (qobject_cast<frmAltorra*>(shown)) {
                runtime::Forms::show<frmTabella>(runtime::Modality::Modal);
            } else if (qobject_cast<frmPioggia*>(shown)) {
                runtime::Forms::show<frmIntense>(runtime::Modality::Modal);
            }
        };
        // Each from the main window's menu, as the user chooses it there: with the main window active.
        for (void (frmApertura::*entry)() :
             {&frmApertura::mnuDati_giornalieri_Click, &frmApertura::mnuPiogge_intense_Click,
              &frmApertura::mnuInformazioni_Click, &frmApertura::mnuEsci_Click,
              &frmApertura::mnuAnagrafica_Click}) {
            QTRY_COMPARE_WITH_TIMEOUT(QApplication::activeWindow(), main, 20000);
            (main->*entry)();
        }
        auto* registry = runtime::Forms::find<frmAnagrafica>();
        QVERIFY(registry && QTest::qWaitForWindowExposed(registry, 20000));
        look(registry);
        registry->PctUbic_Click();

        const QList<std::pair<QString, QString>> openers = {
            {"frmAltorra", "frmApertura"},    {"frmTabella", "frmAltorra"},     {"frmPioggia", "frmApertura"},
            {"frmIntense", "frmPioggia"},     {"frmHelp", "frmApertura"},       {"frmSplash", "frmApertura"},
            {"frmAnagrafica", "frmApertura"}, {"frmDettaglio", "frmAnagrafica"}};
        for (const auto& [window, opener] : openers) {
            QVERIFY2(ids.contains(window), qPrintable(window));
            QVERIFY2(transientFor.value(window) == ids.value(opener),
                     qPrintable(window + QStringLiteral(": ") + transientFor.value(window)));
            if (window != QStringLiteral("frmSplash")) {  // no frame at all: a utility window
                QCOMPARE(types.value(window), QStringLiteral("_NET_WM_WINDOW_TYPE_DIALOG"));
            }
        }
    }

    // A window that the window manager leaves partly off the screen is brought wholly onto it.
    void windowsStandWhollyOnTheScreen() {
        auto window = std::make_unique<frmDettaglio>();
        const QRect area = window->screen()->availableGeometry();
        window->move(area.right() - 100, area.bottom() - 100);  // where a manager might leave it
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get(), 20000));
        QTRY_VERIFY_WITH_TIMEOUT(area.contains(window->frameGeometry()), 20000);
    }

    // The forms that are not centred open cascaded from the window that opens them, wholly on the
    // screen; openbox, finding no free room beside the main window, put them in a corner of the
    // screen, half over the main window's edge. When one goes, the window that opened it has the
    // keyboard again, at the window manager too.
    void uncentredFormsOpenOverTheirOpener_data() {
        QTest::addColumn<std::function<void()>>("open");
        QTest::newRow("frmPioggia") << std::function<void()>(
            [] { runtime::Forms::show<frmPioggia>(runtime::Modality::Modal); });
        QTest::newRow("frmIntense") << std::function<void()>(
            [] { runtime::Forms::show<frmIntense>(runtime::Modality::Modal); });
    }
    void uncentredFormsOpenOverTheirOpener() {
        QFETCH(std::function<void()>, open);
        frmApertura* main = runtime::Forms::show<frmApertura>(runtime::Modality::Modeless);
        QVERIFY(QTest::qWaitForWindowExposed(main, 20000));
        const QString mainId = QString::number(main->winId());
        QTRY_VERIFY_WITH_TIMEOUT(activeWindowId() == mainId, 20000);
        const QRect opener = main->geometry();

        // Client areas are compared: both windows wear the same frame.
        QRect placed;
        bool active = false;
        seams_->onModal = [&](QWidget* shown) {
            // Without an archive a result window would close itself at its first tick.
            if (auto* results = qobject_cast<forms::ResultWindow*>(shown)) {
                results->Timer1->stop();
            }
            QPointer<QWidget> window(shown);
            if (!QTest::qWaitForWindowExposed(window, 20000)) {
                return;
            }
            const QString id = QString::number(window->winId());
            active = QTest::qWaitFor([&] { return activeWindowId() == id; }, 20000);
            QTest::qWait(200);  // the window manager's placing reported
            if (window) {
                placed = window->geometry();
            }
        };
        open();
        QVERIFY(active);
        QVERIFY(placed.isValid());
        const QRect area = main->screen()->availableGeometry();
        const QString where = QStringLiteral("%1,%2 %3x%4")
                                  .arg(placed.x())
                                  .arg(placed.y())
                                  .arg(placed.width())
                                  .arg(placed.height());
        QVERIFY2(area.contains(placed), qPrintable(where));
        // One title bar's height right and down (the corner put it hundreds of pixels away).
        const QPoint offset = placed.topLeft() - opener.topLeft();
        const int step = runtime::twipsToPixels(600);
        QVERIFY2(offset.x() > 0 && offset.y() > 0 && offset.x() <= step && offset.y() <= step,
                 qPrintable(where));
        QTRY_VERIFY_WITH_TIMEOUT(activeWindowId() == mainId, 20000);
        QTRY_COMPARE(QApplication::activeWindow(), main);
    }
};

QTEST_MAIN(TestWindowFrames)
#include "test_windowframes.moc"
