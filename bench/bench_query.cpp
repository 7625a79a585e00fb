// bench_query [--jet3] [--rows N] [--keep] [FILE]
// Measures, in one run, how fast the daily statement is answered on a big archive (generated with
// the sample generator, at least N daily rows, 1 000 000 by default, or the FILE given):
//   1. the first query in the process (cold row cache): open + the daily form's statement for a
//      station and a year with all quantities, as a snapshot;
//   2. the same lookup with mdb-sql (its own syntax: no aliases) and with mdb-export piped to a
//      filter, each as a whole process;
//   3. a second query (another station), a third (only a month: all stations and years), a
//      fourth (a year of all stations), from the kept key arrays;
//   4. the same first query through libmdb only, for comparison.
// Prints a table with the times, the rows and the peak memory (getrusage). Not part of the tests.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <sys/resource.h>

#include <cstdio>

#include "jet/jet.h"
#include "samplegen/samplegen.h"

namespace {

const char* const kFragments =
    ", Pioggia as [pioggia mm], TempMax as [Temperatura massima °C], TempMin as [Temperatura minima °C], "
    "TempMed "
    "as [Temperatura media °C], AltNeve as [Altezza della neve cm], VelMedia as [Velocità media del vento "
    "(Km/h)], "
    "VelMax as [Velocità massima del vento (Km/h)], DirVento as [Direzione prevalente del vento], OreDir as "
    "[Ore di "
    "permanenza della direzione prevalente], Umidità as [Umidità dell'aria], Radiazione as [Radiazione "
    "solare "
    "globale (MJ/MQ)], Umidmax as [Umidità massima], Umidmin as [Umidità minima], calme as [Calme di vento]";

QString daily(const QString& where) {
    return QStringLiteral("select  nomestaz as [Denominazione], Giorno, Mese, Anno ") +
           QString::fromUtf8(kFragments) + QStringLiteral(" from  database1 where ") + where;
}

long peakKb(int who) {
    rusage usage{};
    getrusage(who, &usage);
    return usage.ru_maxrss;
}

// Processor time (user + system) of this process or of its finished children, in ms: under a
// shared machine's load it varies far less than the elapsed time.
double cpuMs(int who) {
    rusage usage{};
    getrusage(who, &usage);
    return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
}

struct Line {
    QString what;
    double ms = 0;
    qint64 rows = 0;
    double cpu = 0;
};

// Opens the archive and runs a statement into a snapshot; the time covers both.
Line timed(const QString& what, const QString& path, const QString& statement) {
    QElapsedTimer t;
    const double cpu = cpuMs(RUSAGE_SELF);
    t.start();
    jet::Error error;
    std::shared_ptr<jet::Database> db = jet::Database::open(path, &error);
    std::unique_ptr<jet::RecordSet> rs = db ? db->openRecordSet(statement, &error) : nullptr;
    Line line{what, t.nsecsElapsed() / 1e6, rs ? rs->recordCount() : -1, cpuMs(RUSAGE_SELF) - cpu};
    if (!rs) {
        std::fprintf(stderr, "errore %d: %s\n", error.number, qPrintable(error.message));
    }
    return line;
}

Line shell(const QString& what, const QString& command, const QByteArray& input = QByteArray()) {
    QProcess p;
    QElapsedTimer t;
    const double cpu = cpuMs(RUSAGE_CHILDREN);
    t.start();
    p.start(QStringLiteral("bash"), {QStringLiteral("-c"), command});
    p.waitForStarted();
    p.write(input);
    p.closeWriteChannel();
    p.waitForFinished(-1);
    const double ms = t.nsecsElapsed() / 1e6;
    const QByteArray out = p.readAllStandardOutput();
    qint64 rows = 0;
    for (const QByteArray& l : out.split('\n')) {
        rows += l.trimmed().isEmpty() ? 0 : 1;
    }
    return Line{what, ms, rows, cpuMs(RUSAGE_CHILDREN) - cpu};
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    samplegen::Options options;
    options.pictures = false;
    options.minDailyRows = 1000000;
    QString path;
    bool keep = false;
    for (int i = 0; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--jet3")) {
            options.version = jetwriter::Version::Jet3;
        } else if (args[i] == QLatin1String("--rows") && i + 1 < args.size()) {
            options.minDailyRows = args[++i].toInt();
        } else if (args[i] == QLatin1String("--keep")) {
            keep = true;
        } else {
            path = args[i];
        }
    }
    QTemporaryDir dir;
    dir.setAutoRemove(!keep);
    if (path.isEmpty()) {
        QElapsedTimer t;
        t.start();
        QString error;
        if (!samplegen::writeSample(dir.path(), options, &error)) {
            std::fprintf(stderr, "archivio non scritto: %s\n", qPrintable(error));
            return 1;
        }
        path = dir.filePath(QStringLiteral("orbeni.mdb"));
        std::printf("archivio generato in %.1f s: %s\n", t.elapsed() / 1000.0, qPrintable(path));
    }
    const long startKb = peakKb(RUSAGE_SELF);

    // Two stations of database1 (the first and one from the middle) and a year they have.
    int first = 0, second = 0, year = 0;
    {
        jet::Error error;
        auto db = jet::Database::open(path, &error);
        auto stations = db ? db->openRecordSet(QStringLiteral("Anagraficab"), &error) : nullptr;
        auto years = db ? db->openRecordSet(QStringLiteral("Anno"), &error) : nullptr;
        if (!stations || stations->recordCount() < 2 || !years || years->recordCount() == 0) {
            std::fprintf(stderr, "archivio senza stazioni o anni: %s\n", qPrintable(error.message));
            return 1;
        }
        const int code = stations->fieldIndex(QStringLiteral("codstaz"));
        first = int(stations->value(0, code).toInt());
        second = int(stations->value(stations->recordCount() / 2, code).toInt());
        year = int(years->value(years->recordCount() / 2, 0).toInt());
    }
    jet::clearRowCache();
    const QString where1 = QStringLiteral("codStaz = %1 and anno = %2").arg(first).arg(year);

    QList<Line> lines;
    lines << timed(QStringLiteral("1a interrogazione (cache fredda)"), path, daily(where1));
    const long afterFirstKb = peakKb(RUSAGE_SELF);
    lines << timed(QStringLiteral("2a interrogazione (altra stazione)"), path,
                   daily(QStringLiteral("codStaz = %1 and anno = %2").arg(second).arg(year)));
    lines << timed(QStringLiteral("3a interrogazione (solo un mese)"), path,
                   daily(QStringLiteral("mese = 3")));
    lines << timed(QStringLiteral("4a interrogazione (un anno, tutte)"), path,
                   daily(QStringLiteral("anno = %1").arg(year)));
    lines << timed(QStringLiteral("stessa della 1a, ripetuta"), path, daily(where1));
    lines << timed(QStringLiteral("anni distinti (come query salvata)"), path,
                   QStringLiteral("SELECT DISTINCT database1.Anno FROM database1 ORDER BY database1.Anno"));
    const long peakOwnKb = peakKb(RUSAGE_SELF);
    const QString columns = QStringLiteral(
        "nomestaz, Giorno, Mese, Anno, Pioggia, TempMax, TempMin, TempMed, AltNeve, VelMedia, VelMax, "
        "DirVento, "
        "OreDir, Umidità, Radiazione, Umidmax, Umidmin, calme");
    lines << shell(QStringLiteral("mdb-sql (processo intero)"),
                   QStringLiteral("mdb-sql -H -F -P '%1'").arg(path),
                   QStringLiteral("select %1 from database1 where codStaz = %2 and Anno = %3\ngo\n")
                       .arg(columns)
                       .arg(first)
                       .arg(year)
                       .toUtf8());
    lines << shell(QStringLiteral("mdb-export | awk"),
                   QStringLiteral("mdb-export '%1' database1 | awk -F, '$1 == %2 && $5 == %3'")
                       .arg(path)
                       .arg(first)
                       .arg(year));

    std::printf("\nfile: %s (%.1f MB)\n", qPrintable(path), QFileInfo(path).size() / 1048576.0);
    // The machine and how busy it was: elapsed times on a shared machine depend on both.
    QFile cpuinfo(QStringLiteral("/proc/cpuinfo"));
    if (cpuinfo.open(QIODevice::ReadOnly)) {
        for (const QByteArray& l : cpuinfo.readAll().split('\n')) {
            if (l.startsWith("model name")) {
                std::printf("processore: %s, %d core\n", l.mid(l.indexOf(':') + 2).constData(),
                            QThread::idealThreadCount());
                break;
            }
        }
    }
    QFile load(QStringLiteral("/proc/loadavg"));
    if (load.open(QIODevice::ReadOnly)) {
        std::printf("carico medio: %s", load.readAll().constData());
    }
    std::printf("%-38s %10s %10s %10s %10s %10s\n", "misura", "ms", "ms CPU", "righe", "x mdb-sql", "CPU x");
    const Line& mdbSql = lines[lines.size() - 2];
    for (const Line& l : lines) {
        std::printf("%-38s %10.2f %10.2f %10lld %10.3f %10.3f\n", qPrintable(l.what), l.ms, l.cpu, l.rows,
                    l.ms / mdbSql.ms, l.cpu / mdbSql.cpu);
    }
    std::printf("\nmemoria di picco del processo: all'avvio %ld MB, dopo la 1a %ld MB, alla fine %ld MB\n",
                startKb / 1024, afterFirstKb / 1024, peakOwnKb / 1024);
    return 0;
}
