#include "app/commandline.h"

#include "db/location.h"

#include <QCoreApplication>
#include <QString>

#include <cstdio>

namespace startup {

namespace {

const char kUsage[] = "uso: altorra [--help | --version]";

void print(std::FILE* stream, const QString& text) {
    std::fputs(text.toLocal8Bit().constData(), stream);
}

QString helpText(const QString& programFolder) {
    return QStringLiteral(
               "%1\n"
               "\n"
               "Altorra della Regione Sorvane: consultazione dell'archivio meteorologico 1990-1999\n"
               "(dati giornalieri, piogge intense, anagrafica delle stazioni).\n"
               "\n"
               "L'archivio %2 e la cartella cartograf con le immagini delle stazioni\n"
               "si trovano nella cartella del programma:\n"
               "  %3\n"
               "\n"
               "Opzioni:\n"
               "  -h, --help     mostra questo aiuto ed esce\n"
               "      --version  mostra la versione ed esce\n")
        .arg(QLatin1String(kUsage), QLatin1String(db::kDatabaseFileName), programFolder);
}

}  // namespace

Request readCommandLine(int argc, char* argv[]) {
    if (argc <= 1) {
        return Request::Run;
    }
    if (argc > 2) {
        return Request::Refused;
    }
    const QString argument = QString::fromLocal8Bit(argv[1]);
    if (argument == QLatin1String("--help") || argument == QLatin1String("-h")) {
        return Request::Help;
    }
    if (argument == QLatin1String("--version")) {
        return Request::Version;
    }
    return Request::Refused;
}

int answer(Request request, int argc, char* argv[]) {
    switch (request) {
        case Request::Help: {
            // A core application, not a windowed one: it knows the program folder and needs no display.
            QCoreApplication core(argc, argv);
            print(stdout, helpText(db::programFolder()));
            return 0;
        }
        case Request::Version:
            print(stdout, QStringLiteral("Altorra %1\n").arg(QLatin1String(ALTORRA_VERSION)));
            return 0;
        case Request::Refused:
        case Request::Run:
            break;
    }
    QStringList given;
    for (int i = 1; i < argc; ++i) {
        given << QString::fromLocal8Bit(argv[i]);
    }
    print(stderr, QStringLiteral("%1 (argomento non riconosciuto: %2)\n")
                      .arg(QLatin1String(kUsage), given.join(QLatin1Char(' '))));
    return 2;
}

}  // namespace startup
