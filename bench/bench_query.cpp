// bench_query [--jet3] [--rows N] [--keep] [--rounds K] [--probe PATH] [FILE]
// Our command-line reader against the mdbtools programs doing the same work, each a whole
// process on a file in the page cache, both writing to /dev/null:
//   1. the first query of a process: the daily form's statement for one station and one year
//      (altorra-query against mdb-sql given the same selection and criteria);
//   2. a year of all stations, the same way;
//   3. the whole daily table (altorra-query with the table's name against mdb-export).
// Rounds alternate ours and the peer (which goes first changes every round); the table gives
// medians of elapsed and processor time, their ratios, the rows each wrote (counted once before
// the timed rounds) and each process's peak memory (wait4). FILE is an archive, or one is
// generated with at least N daily rows (1 000 000 by default). Not part of the tests.
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QThread>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

#include "dailyselect.h"
#include "jet/jet.h"
#include "samplegen/samplegen.h"

namespace {

// mdb-sql takes no aliases: the same fields under their names.
const char* const kPeerFields =
    "nomestaz, Giorno, Mese, Anno, Pioggia, TempMax, TempMin, TempMed, AltNeve, VelMedia, VelMax, "
    "DirVento, OreDir, Umidità, Radiazione, Umidmax, Umidmin, calme";

struct Command {
    QStringList argv;
    QByteArray input;  // written to its standard input
    int headerLines = 0;
};

struct Run {
    double ms = 0;
    double cpuMs = 0;
    double peakMb = 0;
    qint64 rows = -1;
    bool ok = false;
};

double nowMs() {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

// Runs a command as its own process. Its output goes to /dev/null, or, when counting, through a
// pipe whose lines are counted.
Run run(const Command& c, bool count) {
    int in[2], out[2] = {-1, -1};
    if (pipe(in) != 0 || (count && pipe(out) != 0)) {
        return Run{};
    }
    std::vector<QByteArray> args;
    for (const QString& a : c.argv) {
        args.push_back(QFile::encodeName(a));
    }
    std::vector<char*> argv;
    for (QByteArray& a : args) {
        argv.push_back(a.data());
    }
    argv.push_back(nullptr);
    const double start = nowMs();
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(in[0], STDIN_FILENO);
        const int sink = count ? out[1] : open("/dev/null", O_WRONLY);
        dup2(sink, STDOUT_FILENO);
        const int quiet = open("/dev/null", O_WRONLY);
        dup2(quiet, STDERR_FILENO);
        close(in[1]);
        if (count) {
            close(out[0]);
        }
        execvp(argv[0], argv.data());
        _exit(127);
    }
    close(in[0]);
    if (count) {
        close(out[1]);
    }
    // The inputs are a few hundred bytes: the pipe takes them whole.
    if (!c.input.isEmpty() && write(in[1], c.input.constData(), size_t(c.input.size())) != c.input.size()) {
        std::fprintf(stderr, "ingresso non scritto\n");
    }
    close(in[1]);
    Run r;
    if (count) {
        // Lines with something on them: mdb-sql starts with an empty one.
        qint64 lines = 0;
        bool content = false;
        char buffer[65536];
        ssize_t n;
        while ((n = read(out[0], buffer, sizeof buffer)) > 0) {
            for (ssize_t i = 0; i < n; ++i) {
                if (buffer[i] == '\n') {
                    lines += content ? 1 : 0;
                    content = false;
                } else if (buffer[i] != '\r') {
                    content = true;
                }
            }
        }
        close(out[0]);
        r.rows = lines - c.headerLines;
    }
    int status = 0;
    rusage usage{};
    if (pid < 0 || wait4(pid, &status, 0, &usage) != pid) {
        return Run{};
    }
    r.ms = nowMs() - start;
    r.cpuMs = (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 +
              (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
    r.peakMb = usage.ru_maxrss / 1024.0;
    r.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return r;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

struct Work {
    const char* what;
    Command ours;
    Command peer;
    std::vector<Run> oursRuns, peerRuns;
    qint64 oursRows = -1, peerRows = -1;
};

void printLoad() {
    QFile load(QStringLiteral("/proc/loadavg"));
    if (load.open(QIODevice::ReadOnly)) {
        std::printf("carico medio: %s", load.readAll().constData());
    }
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    samplegen::Options options;
    options.pictures = false;
    options.minDailyRows = 1000000;
    QString path;
    QString probe = QCoreApplication::applicationDirPath() + QStringLiteral("/../program/altorra-query");
    bool keep = false;
    int rounds = 5;
    for (int i = 0; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--jet3")) {
            options.version = jetwriter::Version::Jet3;
        } else if (args[i] == QLatin1String("--rows") && i + 1 < args.size()) {
            options.minDailyRows = args[++i].toInt();
        } else if (args[i] == QLatin1String("--rounds") && i + 1 < args.size()) {
            rounds = qBound(1, args[++i].toInt(), 99);
        } else if (args[i] == QLatin1String("--probe") && i + 1 < args.size()) {
            probe = args[++i];
        } else if (args[i] == QLatin1String("--keep")) {
            keep = true;
        } else {
            path = args[i];
        }
    }
    QTemporaryDir dir;
    dir.setAutoRemove(!keep);
    if (path.isEmpty()) {
        const double t = nowMs();
        QString error;
        if (!samplegen::writeSample(dir.path(), options, &error)) {
            std::fprintf(stderr, "archivio non scritto: %s\n", qPrintable(error));
            return 1;
        }
        path = dir.filePath(QStringLiteral("orbeni.mdb"));
        std::printf("archivio generato in %.1f s: %s\n", (nowMs() - t) / 1000.0, qPrintable(path));
    }
    probe = QFileInfo(probe).absoluteFilePath();

    // The first station of database1's list and a middle year.
    int station = 0, year = 0;
    {
        jet::Error error;
        auto db = jet::Database::open(path, &error);
        auto stations = db ? db->openRecordSet(QStringLiteral("Anagraficab"), &error) : nullptr;
        auto years = db ? db->openRecordSet(QStringLiteral("Anno"), &error) : nullptr;
        if (!stations || stations->recordCount() == 0 || !years || years->recordCount() == 0) {
            std::fprintf(stderr, "archivio senza stazioni o anni: %s\n", qPrintable(error.message));
            return 1;
        }
        station = int(stations->value(0, stations->fieldIndex(QStringLiteral("codstaz"))).toInt());
        year = int(years->value(years->recordCount() / 2, 0).toInt());
    }
    auto ours = [&](const QString& where) {
        return Command{{probe, path, bench::dailySelect(where)}, {}, 1};
    };
    auto peer = [&](const QString& where) {
        return Command{{QStringLiteral("mdb-sql"), QStringLiteral("-H"), QStringLiteral("-F"),
                        QStringLiteral("-P"), path},
                       QStringLiteral("select %1 from database1 where %2\ngo\n")
                           .arg(QString::fromUtf8(kPeerFields), where)
                           .toUtf8(),
                       0};
    };
    const QString stationYear = QStringLiteral("codStaz = %1 and anno = %2").arg(station).arg(year);
    const QString wholeYear = QStringLiteral("anno = %1").arg(year);
    std::vector<Work> works;
    works.push_back(Work{"1a interrogazione: stazione e anno", ours(stationYear), peer(stationYear), {}, {}});
    works.push_back(Work{"un anno, tutte le stazioni", ours(wholeYear), peer(wholeYear), {}, {}});
    works.push_back(Work{"tabella intera (mdb-export)",
                         Command{{probe, path, QStringLiteral("database1")}, {}, 1},
                         Command{{QStringLiteral("mdb-export"), path, QStringLiteral("database1")}, {}, 1},
                         {},
                         {}});

    std::printf("file: %s (%.1f MB)\n", qPrintable(path), QFileInfo(path).size() / 1048576.0);
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
    printLoad();
    // Rows counted once (this also brings the file into the page cache).
    for (Work& w : works) {
        const Run a = run(w.ours, true);
        const Run b = run(w.peer, true);
        if (!a.ok || !b.ok) {
            std::fprintf(stderr, "%s: %s non riuscito\n", w.what, !a.ok ? "altorra-query" : "il confronto");
            return 1;
        }
        w.oursRows = a.rows;
        w.peerRows = b.rows;
    }
    for (int round = 0; round < rounds; ++round) {
        for (Work& w : works) {
            if (round % 2 == 0) {
                w.oursRuns.push_back(run(w.ours, false));
                w.peerRuns.push_back(run(w.peer, false));
            } else {
                w.peerRuns.push_back(run(w.peer, false));
                w.oursRuns.push_back(run(w.ours, false));
            }
        }
    }
    printLoad();
    std::printf("mediane di %d giri alternati, uscita su /dev/null\n", rounds);
    std::printf("%-36s %9s %9s %9s %9s %7s %7s %9s %9s %7s %7s\n", "lavoro", "ms", "CPU ms", "ms conf.",
                "CPU conf.", "x", "CPU x", "righe", "r. conf.", "MB", "MB c.");
    for (const Work& w : works) {
        auto field = [](const std::vector<Run>& runs, double Run::*f) {
            std::vector<double> v;
            for (const Run& r : runs) {
                v.push_back(r.*f);
            }
            return median(v);
        };
        const double ms = field(w.oursRuns, &Run::ms), cpu = field(w.oursRuns, &Run::cpuMs);
        const double pms = field(w.peerRuns, &Run::ms), pcpu = field(w.peerRuns, &Run::cpuMs);
        std::printf("%-36s %9.1f %9.1f %9.1f %9.1f %7.3f %7.3f %9lld %9lld %7.1f %7.1f\n", w.what, ms, cpu,
                    pms, pcpu, ms / pms, cpu / pcpu, w.oursRows, w.peerRows, field(w.oursRuns, &Run::peakMb),
                    field(w.peerRuns, &Run::peakMb));
    }
    return 0;
}
