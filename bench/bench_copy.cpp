// bench_copy [FOLDER]
// Measures copying and charting what a daily result grid shows, on the sample archive (written
// into a temporary folder, or FOLDER when it holds one): about 100 000 rows of all quantities
// copied whole as text and HTML with captions; the chart's series taken from them; and the chart
// of one station's year and of a year of every station drawn once, offscreen. Not part of the tests.
#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdio>
#include <ctime>

#include "chart/chartwindow.h"
#include "daily/dailychart.h"
#include "dailyselect.h"
#include "forms/gridcopy.h"
#include "jet/jet.h"
#include "samplegen/samplegen.h"

namespace {

QString dailyStatement(const QString& where) {
    return bench::dailySelect(where);
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
    QTemporaryDir dir;
    QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : dir.path();
    const QString path = folder + QStringLiteral("/orbeni.mdb");
    if (!QFileInfo::exists(path)) {
        QString error;
        if (!samplegen::writeSample(folder, samplegen::Options(), &error)) {
            std::fprintf(stderr, "bench_copy: %s\n", qPrintable(error));
            return 1;
        }
    }
    jet::Error error;
    std::shared_ptr<jet::Database> db = jet::Database::open(path, &error);
    if (!db) {
        std::fprintf(stderr, "bench_copy: cannot open %s\n", qPrintable(path));
        return 1;
    }
    auto run = [&](const QString& where) {
        std::unique_ptr<jet::RecordSet> rows = db->openRecordSet(dailyStatement(where), &error);
        if (!rows) {
            std::fprintf(stderr, "bench_copy: %s\n", qPrintable(error.message));
            std::exit(1);
        }
        return rows;
    };

    QElapsedTimer timer;
    const std::unique_ptr<jet::RecordSet> many = run(QStringLiteral("anno <= 1996"));
    const QVector<forms::CellRange> all{{0, 0, many->recordCount() - 1, many->fieldCount() - 1}};
    for (int pass = 1; pass <= 3; ++pass) {
        timer.start();
        const std::clock_t cpu = std::clock();
        const forms::CopiedCells copied = forms::copyCells(*many, all, true);
        std::printf(
            "copy all, pass %d: %d rows x %d fields in %lld ms (%.0f ms processor; text %lld chars, html "
            "%lld chars)\n",
            pass, many->recordCount(), many->fieldCount(), timer.elapsed(),
            double(std::clock() - cpu) * 1000.0 / CLOCKS_PER_SEC, qlonglong(copied.text.size()),
            qlonglong(copied.html.size()));
    }
    timer.start();
    const std::optional<chart::Figure> figure =
        daily::dailyChart(path, dailyStatement(QStringLiteral("anno <= 1996")));
    qlonglong seriesCount = 0;
    for (const chart::Panel& panel : figure ? figure->panels : QVector<chart::Panel>()) {
        seriesCount += panel.series.size();
    }
    std::printf("daily figure of every row (read again with the station code): %lld series in %lld ms\n",
                seriesCount, timer.elapsed());

    const struct {
        const char* name;
        QString where;
    } charts[] = {{"one station, one year", QStringLiteral("codStaz = 1000 and anno = 1995")},
                  {"every station, one year", QStringLiteral("anno = 1995")}};
    for (const auto& c : charts) {
        const std::unique_ptr<jet::RecordSet> rows = run(c.where);
        chart::ChartWindow window(nullptr);
        timer.start();
        window.showData(*daily::dailyChart(path, dailyStatement(c.where)));
        window.show();
        QApplication::processEvents();
        window.view()->grab();
        std::printf("chart of %s (%d rows): built and drawn in %lld ms\n", c.name, rows->recordCount(),
                    timer.elapsed());
    }
    return 0;
}
