// samplegen FOLDER [--jet3] [--rows N] [--stations N] [--queries] [--no-pictures]
// Writes the sample archive orbeni.mdb and its pictures into FOLDER.
#include "samplegen/samplegen.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QStringList>

#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    samplegen::Options options;
    QString folder;
    bool quiet = false;
    auto usage = [] {
        std::fprintf(stderr,
                     "uso: samplegen CARTELLA [--jet3] [--rows N] [--stations N] [--queries] [--no-pictures] "
                     "[--quiet]\n");
        return 2;
    };
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        bool ok = true;
        if (a == QLatin1String("--jet3")) {
            options.version = jetwriter::Version::Jet3;
        } else if (a == QLatin1String("--queries")) {
            options.lookupsAsQueries = true;
        } else if (a == QLatin1String("--no-pictures")) {
            options.pictures = false;
        } else if (a == QLatin1String("--quiet")) {
            quiet = true;
        } else if (a == QLatin1String("--rows") && i + 1 < args.size()) {
            options.minDailyRows = args[++i].toInt(&ok);
        } else if (a == QLatin1String("--stations") && i + 1 < args.size()) {
            options.stations = args[++i].toInt(&ok);
        } else if (!a.startsWith(QLatin1String("--")) && folder.isEmpty()) {
            folder = a;
        } else {
            return usage();
        }
        if (!ok || options.minDailyRows < 0 || options.stations < 1)
            return usage();
    }
    if (folder.isEmpty())
        return usage();
    QElapsedTimer timer;
    timer.start();
    QString error;
    if (!samplegen::writeSample(folder, options, &error)) {
        std::fprintf(stderr, "samplegen: %s\n", qPrintable(error));
        return 1;
    }
    if (!quiet) {
        const QString path = folder + QStringLiteral("/orbeni.mdb");
        std::printf("samplegen: %s, %lld byte, %.2f s\n", qPrintable(path), QFileInfo(path).size(),
                    timer.elapsed() / 1000.0);
    }
    return 0;
}
