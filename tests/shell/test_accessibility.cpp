// Every window as a screen reader meets it, on the sample archive: each control that takes the
// keyboard focus has a name (its own, or a label naming it), the grids give their column captions,
// the charts a text alternative. Checked twice: through Qt's accessibility interfaces in the
// process, and (x11 run) as the platform's accessibility bus (AT-SPI) hands it to screen readers,
// walked by atspiwalk.py with pyatspi on a D-Bus session of the test's own.
#include "chart/chartwindow.h"
#include "chart/figure.h"
#include "samplegen/samplegen.h"
#include "shell/accessibilitytour.h"

#include <QAccessible>
#include <QApplication>
#include <QFile>
#include <QMap>
#include <QProcess>
#include <QStandardPaths>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/types.h>
#include <csignal>
#include <cstdio>
#include <cstdlib>

namespace {

// A D-Bus session of the test's own, started before the application so that Qt's accessibility
// bridge finds it; empty `error` when it runs.
struct SessionBus {
    QString error;
    pid_t pid = 0;

    SessionBus() {
        if (QString::fromLocal8Bit(qgetenv("QT_QPA_PLATFORM")) != QStringLiteral("xcb")) {
            error = QStringLiteral("the accessibility bus is walked in the x11 run only");
            return;
        }
        FILE* daemon = popen("dbus-daemon --session --fork --print-address=1 --print-pid=1 2>/dev/null", "r");
        char address[512] = {0};
        char pidText[32] = {0};
        if (!daemon || !std::fgets(address, sizeof address, daemon) ||
            !std::fgets(pidText, sizeof pidText, daemon)) {
            error = QStringLiteral("no D-Bus session bus could be started (dbus-daemon)");
            if (daemon) {
                pclose(daemon);
            }
            return;
        }
        pclose(daemon);
        pid = pid_t(std::atoi(pidText));
        qputenv("DBUS_SESSION_BUS_ADDRESS", QByteArray(address).trimmed());
        qputenv("QT_ACCESSIBILITY", "1");
        qputenv("QT_LINUX_ACCESSIBILITY_ALWAYS_ON", "1");
    }
    ~SessionBus() {
        if (pid > 0) {
            ::kill(pid, SIGTERM);
        }
    }
};

// Debian's python3-pyatspi is for the system's interpreter, whatever else comes first on the path.
QString python() {
    return QFile::exists(QStringLiteral("/usr/bin/python3"))
               ? QStringLiteral("/usr/bin/python3")
               : QStandardPaths::findExecutable(QStringLiteral("python3"));
}

QString describe(QWidget* widget) {
    return (widget->objectName().isEmpty() ? QStringLiteral("(unnamed)") : widget->objectName()) +
           QStringLiteral(" ") + QString::fromLatin1(widget->metaObject()->className());
}

// What a screen reader would read as nothing, through Qt's interfaces: focusable controls shown
// without a name or a label, grid columns without a caption, charts without a text alternative.
QStringList faultsOf(QWidget* window) {
    QStringList faults;
    QList<QWidget*> widgets = window->findChildren<QWidget*>();
    widgets.prepend(window);
    for (QWidget* widget : widgets) {
        if (widget->window() != window || !widget->isVisible()) {
            continue;
        }
        QAccessibleInterface* item = QAccessible::queryAccessibleInterface(widget);
        if (!item) {
            continue;
        }
        // A label reads its text; one with none (a note not written yet) has nothing to read or operate.
        const bool label = item->role() == QAccessible::StaticText;
        if (widget->focusPolicy() != Qt::NoFocus && !label &&
            item->text(QAccessible::Name).trimmed().isEmpty() &&
            item->relations(QAccessible::Label).isEmpty()) {
            faults << QStringLiteral("nameless: ") + describe(widget);
        }
        if (auto* grid = qobject_cast<QTableView*>(widget); grid && grid->model()) {
            int captions = 0;
            for (int i = 0; i < item->childCount(); ++i) {
                QAccessibleInterface* child = item->child(i);
                captions += child && child->role() == QAccessible::ColumnHeader &&
                            !child->text(QAccessible::Name).trimmed().isEmpty();
            }
            if (captions != grid->model()->columnCount()) {
                faults
                    << QStringLiteral("%1 of %2 captions: ").arg(captions).arg(grid->model()->columnCount()) +
                           describe(widget);
            }
        }
        if (auto* chart = qobject_cast<chart::ChartWindow*>(widget)) {
            const QString text = item->text(QAccessible::Description);
            if (text.isEmpty() || text != chart::textAlternative(chart->data())) {
                faults << QStringLiteral("no text alternative: ") + describe(widget);
            }
        }
    }
    return faults;
}

}  // namespace

class TestAccessibility : public QObject {
    Q_OBJECT

  public:
    explicit TestAccessibility(const QString& busError) : busError_(busError) {}

  private:
    QString busError_;
    QTemporaryDir folder_;
    QStringList steps_;                  // in the order visited
    QMap<QString, QStringList> faults_;  // step: what Qt's interfaces miss
    QMap<QString, QString> walks_;       // step: what the AT-SPI walk printed
    QStringList windows_;

    // The AT-SPI walk of the windows titled as `window`, while the event loop answers it.
    QString walk(QWidget* window) {
        QProcess walker;
        walker.setProcessChannelMode(QProcess::MergedChannels);
        walker.start(python(), {QString::fromLocal8Bit(qgetenv("ALTORRA_SOURCE_DIR")) +
                                    QStringLiteral("/tests/shell/atspiwalk.py"),
                                QString::number(QCoreApplication::applicationPid()), window->windowTitle()});
        if (!QTest::qWaitFor([&] { return walker.state() == QProcess::NotRunning; }, 120000)) {
            walker.kill();
            walker.waitForFinished();
            return QStringLiteral("walk timed out");
        }
        const QString out = QString::fromLocal8Bit(walker.readAll());
        return walker.exitCode() == 0 ? out : QStringLiteral("walk failed: ") + out;
    }

  private slots:
    void initTestCase() {
        QVERIFY(folder_.isValid());
        samplegen::Options options;
        options.stations = 6;
        QString error;
        QVERIFY2(samplegen::writeSample(folder_.path(), options, &error), qPrintable(error));
        const bool atspi = busError_.isEmpty() && !python().isEmpty();
        windows_ = a11ytest::openEveryWindow(folder_.path(), [&](QWidget* window, const QString& step) {
            steps_ << step;
            faults_[step] = faultsOf(window);
            if (atspi) {
                walks_[step] = walk(window);
            }
        });
    }

    // Each window the tour must reach was reached (else its checks below would pass unseen).
    void everyWindowReached() {
        for (const QString& name : a11ytest::expectedWindows()) {
            QVERIFY2(windows_.contains(name), qPrintable(name + QStringLiteral(" not reached; reached: ") +
                                                         windows_.join(QStringLiteral(", "))));
        }
    }

    void namedControls_data() {
        QTest::addColumn<QString>("step");
        for (const QString& step : steps_) {
            QTest::newRow(qPrintable(step)) << step;
        }
    }
    // Through Qt's accessibility interfaces, in the process.
    void namedControls() {
        QFETCH(QString, step);
        const QStringList faults = faults_.value(step);
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QStringLiteral("; "))));
    }

    void atspiTree_data() { namedControls_data(); }
    // As the accessibility bus hands it to a screen reader.
    void atspiTree() {
        if (!busError_.isEmpty()) {
            QSKIP(qPrintable(QStringLiteral("AT-SPI walk skipped: ") + busError_));
        }
        if (walks_.isEmpty()) {
            QSKIP("AT-SPI walk skipped: python3 is needed (scripts/setup.sh installs it with pyatspi)");
        }
        QVERIFY2(QFile::exists(QStringLiteral("/usr/libexec/at-spi-bus-launcher")),
                 "at-spi2-core is needed (scripts/setup.sh installs it)");
        QFETCH(QString, step);
        const QString out = walks_.value(step);
        std::printf("%s: %s", qPrintable(step), qPrintable(out));
        QVERIFY2(out.contains(QStringLiteral("WINDOWS ")), qPrintable(out));
        QVERIFY2(!out.contains(QStringLiteral("WINDOWS 0 ")),
                 qPrintable(QStringLiteral("window not on the bus")));
        QVERIFY2(!out.contains(QStringLiteral("NAMELESS")) && !out.contains(QStringLiteral("NOCAPTION")),
                 qPrintable(out));
    }
};

int main(int argc, char** argv) {
    SessionBus bus;
    QApplication app(argc, argv);
    TestAccessibility test(bus.error);
    return QTest::qExec(&test, argc, argv);
}

#include "test_accessibility.moc"
