// The viewer: shows the main window, and nothing else runs before it (the archive is not touched
// until a window that reads it is opened).
//
// For the build scripts only: ALTORRA_SCREENSHOT=FILE.png saves a picture of the main window once
// it is shown and ends; with ALTORRA_SCREENSHOT_OF=informazioni (or esci) that menu command is
// chosen first and the window it opens is saved instead.
#include "shell/artwork.h"
#include "shell/frmapertura.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QTimer>
#include <QTranslator>

#include <cstdio>
#include <cstdlib>

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

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Altorra"));
    QApplication::setWindowIcon(shell::programIcon());
    // The dialogs' own texts (tool tips, context menus, Qt's messages) in Italian, as the rest.
    auto* translator = new QTranslator(&app);
    if (translator->load(QStringLiteral("qtbase_it"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QApplication::installTranslator(translator);
    }

    auto* main = new frmApertura();
    main->load();
    main->show();

    const QString screenshot = qEnvironmentVariable("ALTORRA_SCREENSHOT");
    if (!screenshot.isEmpty()) {
        arrangeScreenshot(main, screenshot, qEnvironmentVariable("ALTORRA_SCREENSHOT_OF").toLower());
    }
    return app.exec();
}
