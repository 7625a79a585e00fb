// bench_curva [FOLDER] [ROUNDS]
// Measures the curve window ("Curva di possibilità pluviometrica") offscreen on the archive in
// FOLDER (the sample archive is written into a temporary folder when none is given): opened and
// painted for the ten years of one station, from the rows the rainfall grid would hold; the method
// switched; the two charts opened and painted; and the analysis alone. Medians of ROUNDS (5). Not
// part of the tests.
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "analysis/ddf.h"
#include "analysis/ddftables.h"
#include "chart/chartwindow.h"
#include "intense/curvadata.h"
#include "intense/frmcurva.h"
#include "jet/jet.h"
#include "query/query.h"
#include "samplegen/samplegen.h"

namespace {

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

template <class F>
double timed(F f) {
    QElapsedTimer timer;
    timer.start();
    f();
    return timer.nsecsElapsed() / 1e6;
}

void report(const char* what, const std::vector<double>& ms) {
    std::printf("%s: %.1f ms median (min %.1f, max %.1f)\n", what, median(ms),
                *std::min_element(ms.begin(), ms.end()), *std::max_element(ms.begin(), ms.end()));
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
            std::fprintf(stderr, "bench_curva: %s\n", qPrintable(error));
            return 1;
        }
    }
    jet::Error error;
    std::shared_ptr<jet::Database> db = jet::Database::open(path, &error);
    std::shared_ptr<jet::RecordSet> rows(db ? db->openRecordSet(query::curvaStatement(1000), &error)
                                            : nullptr);
    if (!rows) {
        std::fprintf(stderr, "bench_curva: %s\n", qPrintable(error.message));
        return 1;
    }
    std::vector<double> open, method, curves, gumbel, compute;
    for (int i = 0; i < rounds; ++i) {
        auto* window = new frmCurva(nullptr);
        open.push_back(timed([&] {
            window->showRows(rows, 0, QStringLiteral("1000"));
            window->show();
            window->grab();
        }));
        method.push_back(timed([&] {
            window->optLMomenti->click();
            window->grab();
        }));
        curves.push_back(timed([&] {
            window->cmdGrafico->click();
            window->curveChart()->grab();
        }));
        gumbel.push_back(timed([&] {
            window->cmdGumbel->click();
            window->gumbelChart()->grab();
        }));
        delete window;
        compute.push_back(timed([&] {
            const std::vector<intense::StationRows> stations = intense::stationsOf(*rows);
            const analysis::MaximaRows maxima = intense::maximaOf(*rows, stations.front());
            const analysis::DdfAnalysis a =
                analysis::analyseDdf(maxima.years, maxima.present, analysis::GumbelMethod::Moments);
            const auto tables = {analysis::quantileTable(a), analysis::curveTable(a, false),
                                 analysis::curveTable(a, true), analysis::fitTable(a)};
            (void)tables;
        }));
    }
    std::printf("one station, %d rows\n", rows->recordCount());
    report("window opened and painted", open);
    report("method switched and painted", method);
    report("chart of the curves opened and painted", curves);
    report("Gumbel plot opened and painted", gumbel);
    report("analysis and tables alone", compute);
    return 0;
}
