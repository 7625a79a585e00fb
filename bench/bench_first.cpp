// bench_first FILE [ROUNDS]
// Times the first query of a process again and again (a cold row cache each round): open and
// the daily statement for the first station and a middle year. For profiling (perf record).
#include <QCoreApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "jet/jet.h"

#include <sys/resource.h>

namespace {
double cpuMs() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
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
        QStringLiteral(
            "select  nomestaz as [Denominazione], Giorno, Mese, Anno , Pioggia as [pioggia mm], TempMax as "
            "[Temperatura massima °C], TempMin as [Temperatura minima °C], TempMed as [Temperatura media "
            "°C], "
            "AltNeve as [Altezza della neve cm], VelMedia as [Velocità media del vento (Km/h)], VelMax as "
            "[Velocità massima del vento (Km/h)], DirVento as [Direzione prevalente del vento], OreDir as "
            "[Ore "
            "di permanenza della direzione prevalente], Umidità as [Umidità dell'aria], Radiazione as "
            "[Radiazione solare globale (MJ/MQ)], Umidmax as [Umidità massima], Umidmin as [Umidità minima], "
            "calme as [Calme di vento] from  database1 where codStaz = %1 and anno = %2")
            .arg(station)
            .arg(year);
    std::vector<double> times;
    std::vector<double> cpu;
    for (int i = 0; i < rounds; ++i) {
        jet::clearRowCache();
        QElapsedTimer t;
        const double c0 = cpuMs();
        t.start();
        jet::Error error;
        auto db = jet::Database::open(path, &error);
        auto rs = db ? db->openRecordSet(statement, &error) : nullptr;
        times.push_back(t.nsecsElapsed() / 1e6);
        cpu.push_back(cpuMs() - c0);
        if (i == 0) {
            std::printf("1o giro: %.2f ms, CPU %.2f ms\n", times.back(), cpu.back());
        }
        if (!rs) {
            std::fprintf(stderr, "errore %d\n", error.number);
            return 1;
        }
    }
    std::sort(times.begin(), times.end());
    std::sort(cpu.begin(), cpu.end());
    std::printf("giri %d: minimo %.2f ms, mediana %.2f ms, CPU mediana %.2f ms\n", rounds, times.front(),
                times[times.size() / 2], cpu[cpu.size() / 2]);
    return 0;
}
