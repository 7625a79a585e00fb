// The viewer: shows the main window, and nothing else runs before it (the archive is not touched
// until a window that reads it is opened).
#include "app/commandline.h"
#include "app/screenshot.h"
#include "shell/artwork.h"
#include "shell/frmapertura.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>

int main(int argc, char* argv[]) {
    // Read before the application exists, so that --help and --version need no display.
    const startup::Request request = startup::readCommandLine(argc, argv);
    if (request != startup::Request::Run) {
        return startup::answer(request, argc, argv);
    }

    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Altorra"));
    QApplication::setApplicationVersion(QStringLiteral(ALTORRA_VERSION));
    // Ties the windows to the installed desktop entry, so that docks group them under its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("altorra"));
    QApplication::setWindowIcon(shell::programIcon());
    // The dialogs' own texts (tool tips, context menus, Qt's messages) in Italian, as the rest.
    auto* translator = new QTranslator(&application);
    if (translator->load(QStringLiteral("qtbase_it"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QApplication::installTranslator(translator);
    }

    auto* main = new frmApertura();
    main->load();
    main->show();
    startup::arrangeScreenshotFromEnvironment(main);
    return application.exec();
}
