// bench_summary [FOLDER] [ROUNDS]
// Measures the summary window ("Riepilogo") offscreen on the archive in FOLDER (the sample archive
// is written into a temporary folder when none is given): the ten years of one station, and a
// year of every station (on the 1 000 000-row archive, 100 010 rows) opened and then switched from
// station to station, each to a painted window. The computations alone are timed beside, and so is
// the read the window runs on its worker thread (the grid's statement again, with the station
// code). Medians of ROUNDS (5). Not part of the tests.
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>

#include <algorithm>
#include <array>
#include <cstdio>
#include <ctime>
#include <vector>

#include "analysis/summary.h"
#include "analysisrows/dailyrows.h"
#include "chart/tablefigure.h"
#include "daily/dailychart.h"
#include "daily/frmriepilogo.h"
#include "dailyselect.h"
#include "jet/jet.h"
#include "samplegen/samplegen.h"

namespace {

// The process's CPU time (every thread), which the other engineers' builds do not lengthen as
// they do the wall-clock time.
double cpuMs() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

// The rows as the window reads them (the grid's statement with the station code in front), and
// the median time that read takes once the grid's search has read the table.
std::shared_ptr<jet::RecordSet> rowsOf(const QString& path, const QString& where, int rounds) {
    const QString statement = bench::dailySelect(where);
    std::shared_ptr<jet::RecordSet> rows;
    std::vector<double> reads;
    for (int i = 0; i < rounds; ++i) {
        QElapsedTimer timer;
        timer.start();
        rows = daily::readWithCode(path, statement);
        reads.push_back(timer.nsecsElapsed() / 1e6);
        if (!rows) {
            std::fprintf(stderr, "bench_summary: the statement does not run: %s\n", qPrintable(statement));
            std::exit(1);
        }
    }
    std::printf("%s: read again with the station code (worker thread) %.1f ms median (first %.1f)\n",
                qPrintable(where), median(reads), reads.front());
    return rows;
}

// Opening: the window made, shown and painted, from the rows read; `steps` gets the time of each
// step (made, rows shown, shown, painted) and the CPU time of all.
double openWindow(const std::shared_ptr<jet::RecordSet>& rows, int row, std::array<double, 5>* steps) {
    QElapsedTimer timer;
    timer.start();
    const double cpu = cpuMs();
    auto* window = new daily::frmRiepilogo(nullptr);
    (*steps)[0] = timer.nsecsElapsed() / 1e6;
    window->setRows(rows, row);
    (*steps)[1] = timer.nsecsElapsed() / 1e6;
    window->show();
    (*steps)[2] = timer.nsecsElapsed() / 1e6;
    window->grab();  // painted once
    const double ms = timer.nsecsElapsed() / 1e6;
    (*steps)[3] = ms;
    (*steps)[4] = cpuMs() - cpu;
    for (int i = 3; i > 0; --i) {  // each step's own time
        (*steps)[size_t(i)] -= (*steps)[size_t(i - 1)];
    }
    delete window;
    return ms;
}

void measure(const char* what, const std::shared_ptr<jet::RecordSet>& rows, int rounds) {
    std::vector<double> open, compute;
    std::array<std::vector<double>, 5> steps;
    for (int i = 0; i < rounds; ++i) {
        std::array<double, 5> step{};
        open.push_back(openWindow(rows, 0, &step));
        for (size_t k = 0; k < 5; ++k) {
            steps[k].push_back(step[k]);
        }
        QElapsedTimer timer;
        timer.start();
        const analysisrows::DailyColumns columns = analysisrows::dailyColumns(*rows);
        const chart::Subjects stations =
            chart::subjectsOf(*rows, rows->fieldIndex(QString::fromLatin1(daily::kCodeCaption)),
                              rows->fieldIndex(QStringLiteral("Denominazione")));
        std::vector<int> first;
        for (int r = 0; r < rows->recordCount(); ++r) {
            if (stations.ofRow[r] == 0) {
                first.push_back(r);
            }
        }
        const analysis::StationSummary s = analysis::summarize(analysisrows::seriesOf(*rows, columns, first));
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
    std::printf(
        "  of which (medians): window made %.1f ms, rows shown %.1f, shown %.1f, painted %.1f; CPU time %.1f "
        "ms\n",
        median(steps[0]), median(steps[1]), median(steps[2]), median(steps[3]), median(steps[4]));
}

void measureSwitch(const std::shared_ptr<jet::RecordSet>& rows, int rounds) {
    auto* window = new daily::frmRiepilogo(nullptr);
    window->setRows(rows, 0);
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
    measure("one station, 1990-1999", rowsOf(path, QStringLiteral("codStaz = 1000"), rounds), rounds);
    const std::shared_ptr<jet::RecordSet> year = rowsOf(path, QStringLiteral("anno = 1995"), rounds);
    measure("every station, 1995", year, rounds);
    measureSwitch(year, rounds);
    return 0;
}
