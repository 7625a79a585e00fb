// bench_sheet FILE [YEAR] [ROUNDS]: the grid tools on a year of every station (the daily
// statement with every quantity): writing the rows shown as .xlsx and as .ods, sorting the view
// by a text, a number and again, filtering by a value and by a part of a text. Each figure is
// the median of ROUNDS (5) runs in this process; memory is the resident set's growth (current
// and peak, from /proc/self/status) over the rows already held. The process's CPU time is given
// beside the wall-clock time: on a shared machine it is the figure that compares like for like.
#include "dailyselect.h"
#include "db/roworder.h"
#include "db/rowview.h"
#include "export/spreadsheet.h"
#include "jet/jet.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QStandardItemModel>
#include <QTemporaryDir>

#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

// VmRSS and VmHWM, in MB.
std::pair<double, double> memory() {
    QFile status(QStringLiteral("/proc/self/status"));
    double rss = 0, peak = 0;
    if (status.open(QIODevice::ReadOnly)) {
        for (const QByteArray& line : status.readAll().split('\n')) {
            if (line.startsWith("VmRSS:")) {
                rss = line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024;
            } else if (line.startsWith("VmHWM:")) {
                peak = line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024;
            }
        }
    }
    return {rss, peak};
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

double cpuMs() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
}

// Median wall-clock and CPU milliseconds.
std::pair<double, double> timed(int rounds, const std::function<void()>& before,
                                const std::function<void()>& work) {
    std::vector<double> ms, cpu;
    for (int i = 0; i < rounds; ++i) {
        before();
        QElapsedTimer t;
        const double c = cpuMs();
        t.start();
        work();
        ms.push_back(t.nsecsElapsed() / 1e6);
        cpu.push_back(cpuMs() - c);
    }
    return {median(ms), median(cpu)};
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_sheet FILE [YEAR] [ROUNDS]\n");
        return 2;
    }
    const QString year = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QStringLiteral("1995");
    const int rounds = argc > 3 ? std::max(1, atoi(argv[3])) : 5;
    jet::Error error;
    auto db = jet::Database::open(QString::fromLocal8Bit(argv[1]), &error);
    if (!db) {
        std::fprintf(stderr, "cannot open: %s\n", qPrintable(error.message));
        return 1;
    }
    std::shared_ptr<const jet::RecordSet> rows =
        db->openRecordSet(bench::dailySelect(QStringLiteral("anno = ") + year), &error);
    if (!rows) {
        std::fprintf(stderr, "query failed: %s\n", qPrintable(error.message));
        return 1;
    }
    std::printf("rows %d x %d\n", rows->recordCount(), rows->fieldCount());
    QStringList captions;
    for (int c = 0; c < rows->fieldCount(); ++c) {
        captions << rows->fieldName(c);
    }
    QTemporaryDir dir;
    const auto [rssBefore, peakBefore] = memory();
    for (const auto& [format, name] :
         {std::pair{exporter::SheetFormat::Xlsx, "xlsx"}, std::pair{exporter::SheetFormat::Ods, "ods"}}) {
        const QString path = dir.filePath(QStringLiteral("anno.") + QLatin1String(name));
        bool ok = true;
        const auto [ms, cpu] = timed(
            rounds, [] {},
            [&] { ok = ok && exporter::writeSpreadsheet(*rows, captions, {}, format, path).written; });
        const auto [rss, peak] = memory();
        std::printf("write %-4s %8.0f ms (cpu %5.0f)  %5.1f MB file  rss +%.1f MB  peak +%.1f MB%s\n", name,
                    ms, cpu, QFileInfo(path).size() / 1048576.0, rss - rssBefore, peak - peakBefore,
                    ok ? "" : "  FAILED");
    }

    // The view as the grid has it (a model of as many rows; the view reads the record set).
    QStandardItemModel model(rows->recordCount(), rows->fieldCount());
    db::RowView view(
        &model, [rows] { return rows; }, nullptr);
    struct Sort {
        const char* what;
        int column;
        Qt::SortOrder order;
    };
    for (const Sort& s : {Sort{"sort by station (text)", 0, Qt::AscendingOrder},
                          Sort{"sort by max temperature", 5, Qt::DescendingOrder},
                          Sort{"sort by day (ties)", 1, Qt::AscendingOrder}}) {
        const auto [ms, cpu] = timed(
            rounds, [&] { view.originalOrder(); }, [&] { view.sortBy(s.column, s.order); });
        std::printf("%-26s %8.1f ms (cpu %5.1f)\n", s.what, ms, cpu);
    }
    view.originalOrder();
    const int station = 0;
    db::RowFilter equal = db::filterByCell(*rows, 0, station, false);
    db::RowFilter contains;
    contains.column = station;
    contains.condition = db::Condition::Contains;
    contains.text = QStringLiteral("san");
    db::RowFilter greater;
    greater.column = 5;
    greater.condition = db::Condition::Greater;
    greater.value = jet::Value::fromReal(25);
    for (const auto& [what, filter] :
         {std::pair{"filter station = first", equal}, std::pair{"filter station contains", contains},
          std::pair{"filter max temp > 25", greater}}) {
        int shown = 0;
        const auto [ms, cpu] = timed(
            rounds, [&] { view.clearFilters(); },
            [&] {
                view.addFilter(filter);
                shown = view.shownCount();
            });
        std::printf("%-26s %8.1f ms (cpu %5.1f)  (%d rows)\n", what, ms, cpu, shown);
    }
    return 0;
}
