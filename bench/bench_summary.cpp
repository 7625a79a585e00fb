// bench_summary [FOLDER] [ROUNDS]
// Measures the summary window ("Riepilogo") offscreen on the archive in FOLDER (the sample archive
// is written into a temporary folder when none is given): the ten years of one station, and a
// year of every station (on the 1 000 000-row archive, 100 010 rows) opened and then switched from
// station to station, each to a painted window. The computations alone are timed beside. Medians
// of ROUNDS (5). Not part of the tests.
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "analysis/dailyrows.h"
#include "analysis/summary.h"
#include "bench/dailyselect.h"
#include "daily/frmriepilogo.h"
#include "jet/jet.h"
#include "samplegen/samplegen.h"

namespace {

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

std::shared_ptr<jet::RecordSet> rowsOf(jet::Database& db, const QString& where) {
    jet::Error error;
    std::shared_ptr<jet::RecordSet> rows(db.openRecordSet(bench::dailySelect(where), &error));
    if (!rows) {
        std::fprintf(stderr, "bench_summary: %s\n", qPrintable(error.message));
        std::exit(1);
    }
    return rows;
}

// Opening: the window made, shown and painted, from the rows the grid holds.
double openWindow(const std::shared_ptr<jet::RecordSet>& rows, int row) {
    QElapsedTimer timer;
    timer.start();
    auto* window = new daily::frmRiepilogo(nullptr, rows, row);
    window->show();
    window->grab();  // painted once
    const double ms = timer.nsecsElapsed() / 1e6;
    delete window;
    return ms;
}

void measure(const char* what, const std::shared_ptr<jet::RecordSet>& rows, int rounds) {
    std::vector<double> open, compute;
    for (int i = 0; i < rounds; ++i) {
        open.push_back(openWindow(rows, 0));
        QElapsedTimer timer;
        timer.start();
        const analysis::DailyColumns columns = analysis::dailyColumns(*rows);
        const std::vector<analysis::StationRows> stations = analysis::stationsOf(*rows, columns);
        const analysis::StationSummary s =
            analysis::summarize(analysis::seriesOf(*rows, columns, stations.front().rows));
        const auto tables = {analysis::monthlyTable(s), analysis::indicesTable(s),
                             analysis::completenessTable(s)};
        compute.push_back(timer.nsecsElapsed() / 1e6);
        (void)tables;
    }
    std::printf(
        "%s (%d rows): window opened and painted %.1f ms median (min %.1f, max %.1f); "
        "grouping and summary alone %.1f ms\n",
        what, rows->recordCount(), median(open), *std::min_element(open.begin(), open.end()),
        *std::max_element(open.begin(), open.end()), median(compute));
}

void measureSwitch(const std::shared_ptr<jet::RecordSet>& rows, int rounds) {
    auto* window = new daily::frmRiepilogo(nullptr, rows, 0);
    window->show();
    window->grab();
    std::vector<double> switches;
    const int stations = window->stationCount();
    for (int i = 0; i < rounds * 4; ++i) {
        const int station = (i * 37 + 11) % stations;
        QElapsedTimer timer;
        timer.start();
        window->showStation(station);
        window->grab();
        switches.push_back(timer.nsecsElapsed() / 1e6);
    }
    std::printf("switching station among %d: %.1f ms median (max %.1f) over %zu switches\n", stations,
                median(switches), *std::max_element(switches.begin(), switches.end()), switches.size());
    delete window;
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
    QTemporaryDir dir;
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : dir.path();
    const int rounds = argc > 2 ? std::max(1, atoi(argv[2])) : 5;
    const QString path = folder + QStringLiteral("/orbeni.mdb");
    if (!QFileInfo::exists(path)) {
        QString error;
        samplegen::Options options;
        options.pictures = false;
        if (!samplegen::writeSample(folder, options, &error)) {
            std::fprintf(stderr, "bench_summary: %s\n", qPrintable(error));
            return 1;
        }
    }
    jet::Error error;
    std::shared_ptr<jet::Database> db = jet::Database::open(path, &error);
    if (!db) {
        std::fprintf(stderr, "bench_summary: cannot open %s\n", qPrintable(path));
        return 1;
    }
    measure("one station, 1990-1999", rowsOf(*db, QStringLiteral("codStaz = 1000")), rounds);
    const std::shared_ptr<jet::RecordSet> year = rowsOf(*db, QStringLiteral("anno = 1995"));
    measure("every station, 1995", year, rounds);
    measureSwitch(year, rounds);
    return 0;
}
