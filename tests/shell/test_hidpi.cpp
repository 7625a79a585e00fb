// Every window on a HiDPI screen, at the scale factor QT_SCALE_FACTOR gives (the tests run at 1.5
// and 2), on an X server of the test's own large enough for the main window at 2 (Xvfb,
// 2600 x 2200): each window as large as its twips times the factor in the screen's pixels, every
// text whole, the title picture drawn for the factor (its pixels one to one with the screen's,
// not an enlarged picture of fewer), the stations' photos enlarged smoothly. A screenshot of each
// window goes to build/screenshots/hidpi/FACTOR/.
#include "chart/chartwindow.h"
#include "forms/gridactions.h"
#include "forms/picturebox.h"
#include "shell/everywindow.h"
#include "shell/textfit.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QProcess>
#include <QRegularExpression>
#include <QScreen>
#include <QStandardPaths>
#include <QtTest>

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <cerrno>
#include <csignal>
#include <cstring>

extern char** environ;

namespace {

const char* const kScreen = "2600x2200x24";
pid_t g_server = 0;
QString g_serverError;

// Starts Xvfb on a display it chooses itself (-displayfd) and points DISPLAY at it.
bool startServer() {
    const QString program = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
    if (program.isEmpty()) {
        g_serverError = QStringLiteral("Xvfb is not installed (scripts/setup.sh installs it)");
        return false;
    }
    int fds[2];
    if (pipe(fds) != 0) {
        g_serverError = QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    const QByteArray path = program.toLocal8Bit();
    const QByteArray fd = QByteArray::number(fds[1]);
    const char* argv[] = {path.constData(), "-displayfd", fd.constData(), "-screen", "0",
                          kScreen,          "-nolisten",  "tcp",          nullptr};
    posix_spawn_file_actions_t files;
    posix_spawn_file_actions_init(&files);
    posix_spawn_file_actions_addclose(&files, fds[0]);
    posix_spawn_file_actions_addopen(&files, 2, "/dev/null", O_WRONLY, 0);
    const int spawned = posix_spawn(&g_server, argv[0], &files, nullptr, const_cast<char**>(argv), environ);
    posix_spawn_file_actions_destroy(&files);
    close(fds[1]);
    QByteArray display;
    pollfd ready{fds[0], POLLIN, 0};
    char buffer[32];
    while (spawned == 0 && poll(&ready, 1, 20000) > 0) {
        const ssize_t got = read(fds[0], buffer, sizeof buffer);
        if (got <= 0) {
            break;
        }
        display.append(buffer, int(got));
        if (display.endsWith('\n')) {
            break;
        }
    }
    close(fds[0]);
    if (spawned != 0 || display.trimmed().isEmpty()) {
        if (spawned == 0) {
            kill(g_server, SIGTERM);
            int ended = 0;
            waitpid(g_server, &ended, 0);
        }
        g_server = 0;
        g_serverError = QStringLiteral("Xvfb did not start");
        return false;
    }
    setenv("DISPLAY", (":" + display.trimmed()).constData(), 1);
    return true;
}

// What xwininfo says the window's size is, in the X server's pixels.
QSize serverSize(const QWidget* window) {
    QProcess info;
    info.start(QStringLiteral("xwininfo"), {QStringLiteral("-id"), QString::number(window->winId())});
    info.waitForFinished(10000);
    const QString text = QString::fromLocal8Bit(info.readAllStandardOutput());
    const auto value = [&text](const char* name) {
        return QRegularExpression(QStringLiteral("%1: +(\\d+)").arg(QLatin1String(name)))
            .match(text)
            .captured(1)
            .toInt();
    };
    return QSize(value("Width"), value("Height"));
}

// Mean difference of two pictures of one size, per channel (0 to 255).
double difference(const QImage& a, const QImage& b) {
    const QImage x = a.convertToFormat(QImage::Format_RGB32);
    const QImage y = b.convertToFormat(QImage::Format_RGB32);
    if (x.size() != y.size() || x.isNull()) {
        return 255;
    }
    double sum = 0;
    for (int row = 0; row < x.height(); ++row) {
        const auto* p = reinterpret_cast<const QRgb*>(x.constScanLine(row));
        const auto* q = reinterpret_cast<const QRgb*>(y.constScanLine(row));
        for (int column = 0; column < x.width(); ++column) {
            sum += std::abs(qRed(p[column]) - qRed(q[column])) +
                   std::abs(qGreen(p[column]) - qGreen(q[column])) +
                   std::abs(qBlue(p[column]) - qBlue(q[column]));
        }
    }
    return sum / (3.0 * x.width() * x.height());
}

// How sharp a picture is: the mean difference of neighbouring pixels' grey.
double sharpness(const QImage& image) {
    const QImage grey = image.convertToFormat(QImage::Format_Grayscale8);
    double sum = 0;
    for (int row = 0; row + 1 < grey.height(); ++row) {
        const uchar* line = grey.constScanLine(row);
        const uchar* below = grey.constScanLine(row + 1);
        for (int column = 0; column + 1 < grey.width(); ++column) {
            sum += std::abs(line[column] - line[column + 1]) + std::abs(line[column] - below[column]);
        }
    }
    return sum / qMax(1.0, double(grey.width()) * grey.height());
}

// Every window, and the chart the daily grid draws (its size is its own, not in twips).
QList<windowtest::Opening> openings() {
    QList<windowtest::Opening> list = windowtest::everyWindow();
    std::function<QWidget*()> table;
    for (const windowtest::Opening& opening : list) {
        if (opening.name == QLatin1String("frmTabella")) {
            table = opening.open;
        }
    }
    list.append({QStringLiteral("frmGrafico"), [table]() -> QWidget* {
                     QWidget* grid = table ? table() : nullptr;
                     const QList<forms::GridActions*> actions =
                         grid ? grid->findChildren<forms::GridActions*>() : QList<forms::GridActions*>();
                     if (actions.isEmpty()) {
                         return nullptr;
                     }
                     QTableView* view = actions.first()->view();
                     view->setCurrentIndex(view->model()->index(0, 0));
                     actions.first()->chartAction()->trigger();
                     for (QWidget* window : QApplication::topLevelWidgets()) {
                         if (qobject_cast<chart::ChartWindow*>(window) && window->isVisible() &&
                             QTest::qWaitForWindowExposed(window)) {
                             return window;
                         }
                     }
                     return nullptr;
                 }});
    return list;
}

}  // namespace

class TestHiDpi : public QObject {
    Q_OBJECT

    qreal factor_ = 1;
    QString shots_;

    // The title picture shown in the main window: pixel for pixel its variant drawn for the
    // factor, and sharper than the picture of ratio 1 enlarged.
    void checkTitle(forms::PictureBox* box) {
        const QPixmap picture = box->picture();
        QCOMPARE(picture.devicePixelRatio(), factor_);
        const QImage shown = box->grab().toImage();
        const QRect area(QPoint(), shown.size().boundedTo(picture.size()));
        const QImage drawn = picture.toImage().copy(area);
        const QImage enlarged =
            QImage(QStringLiteral(":/altorra/title.png"))
                .scaled(QSize(746, 564) * factor_, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                .copy(area);
        const double same = difference(shown.copy(area), drawn);
        qInfo("title picture: %.2f from its drawing at %.1f; sharpness %.2f shown, %.2f enlarged from 1",
              same, factor_, sharpness(shown.copy(area)), sharpness(enlarged));
        QVERIFY2(same < 1.0, "the title picture is not shown as drawn for the screen's ratio");
        QVERIFY(sharpness(shown.copy(area)) > sharpness(enlarged));
    }

    // A photo has the pixels its file has: it must be enlarged smoothly, not pixel by pixel.
    void checkPhoto(forms::PictureBox* box) {
        const QImage source = box->picture().toImage();
        const QImage shown = box->grab().toImage();
        const QSize size = (source.size() * factor_).boundedTo(shown.size());
        const QRect inner = QRect(QPoint(), size).adjusted(4, 4, -4, -4);  // no focus frame
        const QImage smooth =
            source.scaled(source.size() * factor_, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                .copy(inner);
        const QImage blocky =
            source.scaled(source.size() * factor_, Qt::IgnoreAspectRatio, Qt::FastTransformation).copy(inner);
        const double toSmooth = difference(shown.copy(inner), smooth);
        const double toBlocky = difference(shown.copy(inner), blocky);
        qInfo("%s: %.2f from the smooth enlargement, %.2f from the pixel by pixel one",
              qPrintable(box->objectName()), toSmooth, toBlocky);
        QVERIFY2(toSmooth < toBlocky,
                 qPrintable(box->objectName() + QStringLiteral(" is enlarged pixel by pixel")));
    }

  private slots:
    void initTestCase() {
        if (!g_server) {
            QSKIP(qPrintable(QStringLiteral("HiDPI test skipped: ") + g_serverError));
        }
        factor_ = qEnvironmentVariable("QT_SCALE_FACTOR", QStringLiteral("1")).toDouble();
        QVERIFY2(factor_ > 1, "QT_SCALE_FACTOR gives the factor to test");
        QCOMPARE(qApp->devicePixelRatio(), factor_);
        shots_ = QDir(qEnvironmentVariable("ALTORRA_BINARY_DIR", QDir::currentPath()))
                     .filePath(QStringLiteral("screenshots/hidpi/%1").arg(factor_));
        QDir(shots_).removeRecursively();
        QVERIFY(QDir().mkpath(shots_));
    }

    void windows_data() {
        QTest::addColumn<int>("window");
        const QList<windowtest::Opening> windows = openings();
        for (int i = 0; i < windows.size(); ++i) {
            QTest::newRow(qPrintable(windows[i].name)) << i;
        }
    }

    void windows() {
        QFETCH(int, window);
        windowtest::Archive archive;
        QVERIFY2(archive.isValid(), qPrintable(archive.error()));
        const windowtest::Opening opening = openings().at(window);
        QWidget* shown = opening.open();
        QVERIFY2(shown, qPrintable(opening.name));
        QTest::qWait(300);  // painted
        QCOMPARE(shown->devicePixelRatio(), factor_);
        // The chart window has no twips: its own size, and its drawing wholly inside it.
        const auto* chart = qobject_cast<chart::ChartWindow*>(shown);
        const QSize twips = chart ? shown->size() : windowtest::twipsSize(shown);
        QCOMPARE(shown->size(), twips);
        if (chart) {
            QVERIFY(shown->rect().contains(chart->view()->geometry()));
        }
        // The X server's pixels: the twips' size times the factor, to the pixel Qt rounds to.
        const QSize pixels = serverSize(shown);
        const QSize expected = twips * factor_;
        QVERIFY2(
            qAbs(pixels.width() - expected.width()) <= 1 && qAbs(pixels.height() - expected.height()) <= 1,
            qPrintable(QStringLiteral("%1x%2 on the screen, %3x%4 expected")
                           .arg(pixels.width())
                           .arg(pixels.height())
                           .arg(expected.width())
                           .arg(expected.height())));
        const QPixmap screenshot = shown->screen()->grabWindow(shown->winId());
        QCOMPARE(screenshot.size(), pixels);
        QVERIFY(screenshot.save(QDir(shots_).filePath(opening.name + QStringLiteral(".png"))));

        const QStringList cut = windowtest::cutTexts(shown);
        QVERIFY2(cut.isEmpty(), qPrintable(cut.join(QLatin1Char('\n'))));
        for (forms::PictureBox* box : shown->findChildren<forms::PictureBox*>()) {
            if (!box->isVisible() || box->picture().isNull()) {
                continue;
            }
            if (box->objectName() == QLatin1String("Picture1")) {
                checkTitle(box);
            } else {
                checkPhoto(box);
            }
        }
        // The closing screen and the information window stretch the title picture: drawn for
        // this ratio or a finer one, it is reduced, never enlarged.
        for (QLabel* logo : shown->findChildren<QLabel*>(QStringLiteral("imgLogo"))) {
            QVERIFY(logo->pixmap().devicePixelRatio() >= factor_);
        }
    }
};

// The X server is started before the application object, which connects to it.
int main(int argc, char** argv) {
    if (startServer()) {
        qputenv("QT_QPA_PLATFORM", "xcb");
    } else {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    int status = 0;
    {
        QApplication app(argc, argv);
        TestHiDpi test;
        status = QTest::qExec(&test, argc, argv);
    }
    if (g_server) {
        kill(g_server, SIGTERM);
        int ended = 0;
        waitpid(g_server, &ended, 0);
    }
    return status;
}

#include "test_hidpi.moc"
