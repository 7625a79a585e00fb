// The depth-duration-frequency curve against published worked examples and hand computations.
#include <QtTest>

#include <cmath>

#include "analysis/ddf.h"
#include "analysis/ddftables.h"

using analysis::GumbelMethod;

namespace {

// Stazione di Arezzo, annual maxima 1964-1993 of 1, 3, 6, 12 and 24 hours (mm), from the worked
// example "Linea Segnalatrice di Possibilità Pluviometrica, stazione di Arezzo 1964-1993"
// (EsempioLSPP, https://it.scribd.com/document/371950287/EsempioLSPP-1).
constexpr int kArezzoYears = 30;
constexpr double kArezzo[kArezzoYears][5] = {
    {41, 81, 107, 119, 125},        {93.5, 145, 152, 152, 152},   {33, 74, 102, 163, 227},
    {14, 20, 29, 33.5, 37},         {24.5, 31, 40, 40, 44.5},     {29, 38, 55, 69.5, 75.5},
    {16.3, 18.3, 23, 29, 35.5},     {11, 17.8, 27.8, 28.3, 31.4}, {17.5, 28, 28, 33.3, 38},
    {15, 23.2, 30, 35, 45.6},       {17.5, 23.5, 25.9, 39, 49.3}, {18.7, 19.8, 30.5, 43.3, 48.6},
    {25, 32, 34, 43, 61.4},         {13.7, 17, 28.4, 29.5, 31.7}, {23, 28.5, 30, 41, 58},
    {21.8, 57, 73, 78.8, 83},       {32, 47, 56.8, 69, 76.4},     {21, 41.2, 53, 60, 70},
    {50, 92.5, 93, 93.1, 93.1},     {31.8, 39, 43.2, 52.3, 62},   {21, 33, 36.5, 37.2, 42.8},
    {19, 22.3, 24.4, 33, 32.6},     {22, 37, 41.2, 47, 60.3},     {25, 37.5, 48.3, 71.5, 96.2},
    {14.5, 28.5, 32.7, 32.7, 34.7}, {28.5, 40, 40, 43.5, 55.5},   {13.5, 56.4, 59.2, 59.2, 69},
    {25, 26, 40, 63, 68.6},         {25, 35, 54, 77.3, 107},      {35.6, 73.1, 102, 106.4, 106.4},
};
// What the example prints for each duration: mean m, deviation s, α ("u") and u ("b").
constexpr double kArezzoMean[5] = {25.9467, 42.0867, 51.3300, 60.7467, 70.6033};
constexpr double kArezzoSd[5] = {15.2236, 27.2054, 30.4197, 34.6182, 41.1936};
constexpr double kArezzoAlpha[5] = {0.0843, 0.0472, 0.0422, 0.0371, 0.0311};
constexpr double kArezzoU[5] = {19.0960, 29.8443, 37.6411, 45.1685, 52.0662};
// Its quantile table h(T) in mm, for T = 2, 10, 50, 100, 200 years.
constexpr int kArezzoPeriods[5] = {2, 10, 50, 100, 200};
constexpr double kArezzoH[5][5] = {
    {23.44, 37.62, 46.33, 55.06, 63.83},     {45.80, 77.56, 91.00, 105.89, 124.32},
    {65.40, 112.58, 130.16, 150.45, 177.35}, {73.68, 127.39, 146.71, 169.29, 199.76},
    {81.93, 142.14, 163.20, 188.06, 222.10},
};
constexpr double kHours[5] = {1, 3, 6, 12, 24};

std::vector<double> arezzoColumn(int d) {
    std::vector<double> v;
    for (const auto& row : kArezzo) {
        v.push_back(row[d]);
    }
    return v;
}

std::vector<analysis::YearMaxima> arezzoYears() {
    std::vector<analysis::YearMaxima> years;
    for (int y = 0; y < kArezzoYears; ++y) {
        analysis::YearMaxima m;
        m.year = 1964 + y;
        for (int d = 0; d < 5; ++d) {
            m.values[d] = kArezzo[y][d];
        }
        years.push_back(m);
    }
    return years;
}

constexpr std::array<bool, analysis::kDurations> kHoursOnly{true,  true,  true,  true,  true,
                                                            false, false, false, false, false};

}  // namespace

class TestDdf : public QObject {
    Q_OBJECT

  private slots:
    // The Arezzo example divides the deviation by N (its s is our sdN, not the N − 1 one) and
    // rounds the moment constants to α = 1.283 / s and u = m − 0.45·s. With those choices every
    // figure it prints comes back: the parameters to their four decimals, the quantiles to 0.01 mm.
    void arezzoExample() {
        for (int d = 0; d < 5; ++d) {
            const analysis::SampleStats s = analysis::sampleStats(arezzoColumn(d));
            QCOMPARE(s.count, kArezzoYears);
            QVERIFY(std::abs(s.mean - kArezzoMean[d]) < 0.00005);
            QVERIFY(std::abs(s.sdN - kArezzoSd[d]) < 0.00005);
            // The N − 1 deviation is the same one scaled by √(30/29): not what the example used.
            QVERIFY(std::abs(s.sd - kArezzoSd[d] * std::sqrt(30.0 / 29.0)) < 0.0001);
            const analysis::Gumbel g = analysis::gumbelFromMoments(s.mean, s.sdN, 1.283, 0.45);
            QVERIFY(std::abs(g.alpha - kArezzoAlpha[d]) < 0.00005);
            QVERIFY(std::abs(g.u - kArezzoU[d]) < 0.00005);
            for (int t = 0; t < 5; ++t) {
                const double h = analysis::gumbelQuantile(g, kArezzoPeriods[t]);
                QVERIFY2(
                    std::abs(h - kArezzoH[t][d]) <= 0.005 + 1e-9,
                    qPrintable(QStringLiteral("durata %1, T %2: %3").arg(d).arg(kArezzoPeriods[t]).arg(h)));
            }
        }
    }

    // A published example with our moment estimator, the constants exact: "CEE 304 - Section Example
    // Problems (10-11-06)", problem 1 (Cornell University, https://www.coursehero.com/file/6233/Section6/):
    // annual maximum 24-hour rainfall in Vermont, mean 2.5 in, standard deviation 0.7 in; from
    // μ = ξ + 0.5772 / α and σ² = 1.645 / α² it finds α = 1.832, ξ = 2.185 and the 50-year (98th
    // percentile) rain ξ − ln(−ln 0.98) / α = 4.315 in. Inches, not mm: three decimals as printed.
    void cornellExample() {
        analysis::SampleStats s;
        s.count = 30;
        s.mean = 2.5;
        s.sd = 0.7;
        const std::optional<analysis::Gumbel> g = analysis::fitGumbel(s, GumbelMethod::Moments);
        QVERIFY(g);
        QVERIFY(std::abs(g->alpha - 1.832) < 0.0005);
        QVERIFY(std::abs(g->u - 2.185) < 0.0005);
        QVERIFY(std::abs(analysis::gumbelQuantile(*g, 50) - 4.315) < 0.0005);
        QVERIFY(std::abs(analysis::gumbelCdf(*g, 4.315) - 0.98) < 0.0001);
    }

    // The example's curve for T = 2: the least-squares line of ln h on ln t through its quantiles is
    // printed as f(x) = 0.3129652336x + 3.2211340298 with R² = 0.9755816696, so a = 25.0565.
    void arezzoCurve() {
        std::vector<double> t(kHours, kHours + 5);
        std::vector<double> h;
        for (int d = 0; d < 5; ++d) {
            const analysis::SampleStats s = analysis::sampleStats(arezzoColumn(d));
            h.push_back(analysis::gumbelQuantile(analysis::gumbelFromMoments(s.mean, s.sdN, 1.283, 0.45), 2));
        }
        const analysis::PowerLaw p = analysis::fitPowerLaw(t, h);
        QVERIFY(p.valid);
        QCOMPARE(p.points, 5);
        QVERIFY(std::abs(p.n - 0.3129652336) < 1e-9);
        QVERIFY(std::abs(std::log(p.a) - 3.2211340298) < 1e-9);
        QVERIFY(std::abs(p.a - 25.0565) < 0.00005);
        QVERIFY(std::abs(p.r2 - 0.9755816696) < 1e-9);
    }

    // The whole analysis of the same rows with our estimators: s with N − 1 and the constants
    // exact. By hand from the example's m and s: s' = s·√(30/29), α = π / (s'·√6),
    // u = m − 0.5772157 / α, h(T) = u − ln(−ln(1 − 1/T)) / α.
    void arezzoOurEstimators() {
        const analysis::DdfAnalysis a =
            analysis::analyseDdf(arezzoYears(), kHoursOnly, GumbelMethod::Moments);
        QCOMPARE(a.firstYear, 1964);
        QCOMPARE(a.lastYear, 1993);
        for (int d = 0; d < 5; ++d) {
            const analysis::DurationFit& f = a.fits[d];
            QVERIFY(f.gumbel);
            QCOMPARE(int(f.years.size()), kArezzoYears);
            const double s = kArezzoSd[d] * std::sqrt(30.0 / 29.0);
            const double alpha = 3.14159265 / (s * std::sqrt(6.0));
            const double u = kArezzoMean[d] - 0.5772157 / alpha;
            for (int t = 0; t < analysis::kReturnPeriodCount; ++t) {
                const double T = analysis::kReturnPeriods[t];
                const double h = u - std::log(-std::log(1 - 1 / T)) / alpha;
                QVERIFY2(std::abs(f.quantiles[t] - h) < 0.005, qPrintable(QString::number(f.quantiles[t])));
            }
        }
        // T = 10 years, 1 hour: 46.15 mm with N − 1 and exact constants, where the example has 45.80.
        QVERIFY(std::abs(a.fits[0].quantiles[2] - 46.15) < 0.005);
        QVERIFY(!a.fits[5].present);
        QVERIFY(!a.days[0].valid);
        QVERIFY(a.hours[0].valid);
    }

    // The fit table's figures for the Arezzo 1 hour, by hand from the example's m and s: 30 years,
    // mean 25.95, s with N − 1 = 15.2236·√(30/29) = 15.4839, α = π/(15.4839·√6) = 0.082832,
    // u = 25.9467 − 0.5772157/α = 18.98. Thirty years allow χ² with six classes, three degrees of freedom.
    void fitTable() {
        const analysis::TextTable t =
            analysis::fitTable(analysis::analyseDdf(arezzoYears(), kHoursOnly, GumbelMethod::Moments));
        QCOMPARE(t.rows.size(), 5);
        const QStringList& row = t.rows[0];
        QCOMPARE(row.size(), t.captions.size());
        QCOMPARE(row[0], QStringLiteral("1 ora"));
        QCOMPARE(row[1], QStringLiteral("30"));
        QCOMPARE(row[2], QStringLiteral("25.95"));
        QCOMPARE(row[3], QStringLiteral("15.48"));
        QVERIFY(std::abs(row[4].toDouble() - 0.082832) < 1.5e-6);
        QCOMPARE(row[5], QStringLiteral("18.98"));
        QCOMPARE(row[11], QStringLiteral("6 equiprobabili, 3 g.d.l."));
        QVERIFY(row[8] == QStringLiteral("accettata") || row[8] == QStringLiteral("respinta"));
        QVERIFY(row[13].isEmpty());
        // Each caption names one column: a copy with captions, the export and a spreadsheet tell the
        // statistic from the verdict.
        QCOMPARE(QSet<QString>(t.captions.cbegin(), t.captions.cend()).size(), t.captions.size());
        QCOMPARE(t.captions[12], QStringLiteral("Esito χ²"));
    }

    // Missing maxima, too few years, equal values: the figure is left empty with the reason, never a
    // zero, an infinity or a NaN; a year twice is refused.
    void properties() {
        std::vector<analysis::YearMaxima> years;
        for (int y = 0; y < 6; ++y) {
            analysis::YearMaxima m;
            m.year = 1990 + y;
            m.values[0] = 20;                                                      // equal values
            m.values[1] = y < 4 ? std::optional<double>(10.0 + y) : std::nullopt;  // four years
            m.values[2] = 10.0 * (y + 1);
            years.push_back(m);
        }
        std::array<bool, analysis::kDurations> three{true, true, true};
        const analysis::DdfAnalysis a = analysis::analyseDdf(years, three, GumbelMethod::LMoments);
        QCOMPARE(a.firstYear, 1990);
        QCOMPARE(a.lastYear, 1995);
        QVERIFY(!a.fits[0].gumbel);
        QCOMPARE(a.fits[0].stats.sd, 0.0);
        QVERIFY(a.fits[0].reason.contains(QStringLiteral("tutti uguali")));
        QVERIFY(!a.fits[1].gumbel);
        QCOMPARE(a.fits[1].stats.count, 4);
        QCOMPARE(a.fits[1].reason, QStringLiteral("4 anni con un valore: ne servono almeno 5"));
        QVERIFY(a.fits[2].gumbel);
        QVERIFY(!a.hours[0].valid);
        QCOMPARE(a.hours[0].reason, QStringLiteral("1 durate adattate: ne servono almeno 3"));
        for (const analysis::TextTable& t :
             {analysis::quantileTable(a), analysis::curveTable(a, false), analysis::fitTable(a)}) {
            for (const QStringList& row : t.rows) {
                for (const QString& cell : row) {
                    QVERIFY2(!cell.contains(QStringLiteral("nan")) && !cell.contains(QStringLiteral("inf")),
                             qPrintable(cell));
                }
            }
        }
        QCOMPARE(analysis::quantileTable(a).rows[0],
                 (QStringList{"2", "", "", analysis::quantileTable(a).rows[0][3]}));
        years.push_back(years[2]);
        QCOMPARE(analysis::checkYears(years),
                 QStringLiteral(
                     "L'anno 1992 compare in più righe: le righe non sono la serie di una sola stazione."));
    }
};

QTEST_APPLESS_MAIN(TestDdf)
#include "test_ddf.moc"
