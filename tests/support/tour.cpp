#include "support/tour.h"

#include "db/location.h"

#include <QDir>
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <QTest>

#include <cstdio>

namespace testsupport {

bool startTour(const QStringList& args, const char* usage, QString* output) {
    if (args.size() < 3) {
        std::fprintf(stderr, "uso: %s\n", usage);
        return false;
    }
    db::setProgramFolder(args[1]);
    *output = args[2];
    QDir().mkpath(*output);
    return true;
}

QString screenshot(const QString& folder, const QString& name) {
    QTest::qWait(300);
    const QPixmap pixmap = QGuiApplication::primaryScreen()->grabWindow(0);
    const QString path = QDir(folder).filePath(name + QStringLiteral(".png"));
    pixmap.save(path);
    std::printf("screenshot %s (%dx%d)\n", qPrintable(path), pixmap.width(), pixmap.height());
    std::fflush(stdout);
    return path;
}

}  // namespace testsupport
