#include "app/screenshot.h"

#include "shell/frmapertura.h"

#include <QApplication>
#include <QTimer>

#include <cstdio>
#include <cstdlib>

namespace startup {

namespace {

void saveAndEnd(QWidget* window, const QString& path) {
    const bool saved = window && window->grab().save(path, "PNG");
    std::fprintf(saved ? stdout : stderr, saved ? "%s\n" : "cannot save %s\n", qPrintable(path));
    std::fflush(nullptr);
    std::_Exit(saved ? 0 : 1);
}

void arrangeScreenshot(frmApertura* main, const QString& path, const QString& of) {
    if (of.isEmpty()) {
        QTimer::singleShot(1000, main, [main, path] { saveAndEnd(main, path); });
        return;
    }
    // The command opens a modal window: save it from inside its display.
    QTimer::singleShot(500, main, [main, of] {
        if (of == QLatin1String("esci")) {
            main->mnuEsci->trigger();
        } else {
            main->mnuInformazioni->trigger();
        }
    });
    auto* poll = new QTimer(main);
    QObject::connect(poll, &QTimer::timeout, [path, poll] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            poll->stop();
            QTimer::singleShot(1000, modal, [modal, path] { saveAndEnd(modal, path); });
        }
    });
    poll->start(100);
}

}  // namespace

void arrangeScreenshotFromEnvironment(frmApertura* main) {
    const QString path = qEnvironmentVariable("ALTORRA_SCREENSHOT");
    if (!path.isEmpty()) {
        arrangeScreenshot(main, path, qEnvironmentVariable("ALTORRA_SCREENSHOT_OF").toLower());
    }
}

}  // namespace startup
