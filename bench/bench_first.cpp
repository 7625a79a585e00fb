// bench_first FILE [ROUNDS]
// Times the first query of a process again and again (a cold row cache each round): open and
// the daily statement for the first station and a middle year. For profiling (perf record).
// Alternated with it, the floor: reading the whole file with pread in 256 KiB pieces. Prints the
// medians, and the bytes per table row the key arrays and row locations take.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "dailyselect.h"
#include "jet/jet.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

namespace {
double cpuMs() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
}
// The whole file read in 256 KiB pieces, as the scan reads its runs of pages.
qint64 readWhole(const QString& path) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY);
    if (fd < 0) {
        return -1;
    }
    // Page-aligned, as the scan's buffer: the kernel copies into aligned memory faster.
    constexpr size_t kSize = 256 * 1024;
    char* buffer = static_cast<char*>(std::aligned_alloc(4096, kSize));
    qint64 total = 0;
    ssize_t n;
    while (buffer && (n = ::pread(fd, buffer, kSize, total)) > 0) {
        total += n;
    }
    std::free(buffer);
    ::close(fd);
    return total;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 2) {
        std::fprintf(stderr, "uso: bench_first FILE [GIRI]\n");
        return 2;
    }
    const QString path = args[1];
    const int rounds = args.size() > 2 ? args[2].toInt() : 10;
    int station = 0, year = 0;
    {
        jet::Error error;
        auto db = jet::Database::open(path, &error);
        auto stations = db ? db->openRecordSet(QStringLiteral("Anagraficab"), &error) : nullptr;
        auto years = db ? db->openRecordSet(QStringLiteral("Anno"), &error) : nullptr;
        if (!stations || !years || stations->recordCount() == 0 || years->recordCount() == 0) {
            std::fprintf(stderr, "archivio senza stazioni o anni\n");
            return 1;
        }
        station = int(stations->value(0, stations->fieldIndex(QStringLiteral("codstaz"))).toInt());
        year = int(years->value(years->recordCount() / 2, 0).toInt());
    }
    const QString statement =
        bench::dailySelect(QStringLiteral("codStaz = %1 and anno = %2").arg(station).arg(year));
    std::vector<double> times, cpu, readTimes, readCpu;
    jet::RowCacheSize cached;
    for (int i = 0; i < rounds; ++i) {
        jet::clearRowCache();
        QElapsedTimer t;
        double c0 = cpuMs();
        t.start();
        jet::Error error;
        auto db = jet::Database::open(path, &error);
        auto rs = db ? db->openRecordSet(statement, &error) : nullptr;
        times.push_back(t.nsecsElapsed() / 1e6);
        cpu.push_back(cpuMs() - c0);
        if (!rs) {
            std::fprintf(stderr, "errore %d\n", error.number);
            return 1;
        }
        cached = jet::rowCacheSize();
        c0 = cpuMs();
        t.restart();
        if (readWhole(path) <= 0) {
            std::fprintf(stderr, "file non letto\n");
            return 1;
        }
        readTimes.push_back(t.nsecsElapsed() / 1e6);
        readCpu.push_back(cpuMs() - c0);
    }
    const double first = median(times), firstCpu = median(cpu);
    const double floor = median(readTimes), floorCpu = median(readCpu);
    std::printf("giri %d: 1a interrogazione mediana %.2f ms (CPU %.2f ms), minimo %.2f ms\n", rounds, first,
                firstCpu, *std::min_element(times.begin(), times.end()));
    std::printf("lettura del file intero: mediana %.2f ms (CPU %.2f ms); rapporto %.2f (CPU %.2f)\n", floor,
                floorCpu, first / floor, firstCpu / floorCpu);
    std::printf("chiavi e posizioni: %lld righe, %lld byte, %.2f byte per riga\n", cached.rows, cached.bytes,
                cached.rows ? double(cached.bytes) / double(cached.rows) : 0.0);
    return 0;
}
