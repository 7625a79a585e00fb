// The curve window's two charts as described for the chart library: every point drawn against a
// hand computation written here.
#include "intense/curvafigure.h"
#include "intense/curvareport.h"

#include <QImage>
#include <QPainter>

#include <QtTest>

#include <cmath>

using analysis::GumbelMethod;

namespace {

constexpr double kTolerance = 0.005;  // mm, half the tables' last decimal

// Five years whose 1-hour maxima are 30, 10, 50, 20, 40 mm and whose longer durations are the
// same values times √t (t in hours, or in days for the days' group scaled by t^0.3): every
// quantile then lies on h = h(T, 1)·√t, so n = 0.5 and a = h(T) of one hour.
std::vector<analysis::YearMaxima> scaledYears() {
    const double oneHour[5] = {30, 10, 50, 20, 40};
    std::vector<analysis::YearMaxima> years;
    for (int y = 0; y < 5; ++y) {
        analysis::YearMaxima m;
        m.year = 2000 + y;
        for (int d = 0; d < analysis::kDurations; ++d) {
            const analysis::Duration& duration = analysis::kDurationList[d];
            m.values[d] = oneHour[y] * std::pow(duration.length, duration.days ? 0.3 : 0.5);
        }
        years.push_back(m);
    }
    return years;
}

constexpr std::array<bool, analysis::kDurations> kAll{true, true, true, true, true,
                                                      true, true, true, true, true};

const chart::Series* seriesNamed(const chart::Panel& panel, const QString& name, chart::Mark mark) {
    for (const chart::Series& s : panel.series) {
        if (s.name == name && s.mark == mark) {
            return &s;
        }
    }
    return nullptr;
}

// The y of `s` at x (a point of the series, to 1e-9), NaN when it has none there.
double at(const chart::Series& s, double x) {
    for (qsizetype i = 0; i < s.x.size(); ++i) {
        if (std::abs(s.x[i] - x) < 1e-9) {
            return s.y[i];
        }
    }
    return std::nan("");
}

}  // namespace

class TestCurvaFigure : public QObject {
    Q_OBJECT

  private slots:
    // By hand for 10, 20, 30, 40, 50 mm (moments): m = 30, s = √250 = 15.811388 (N − 1),
    // α = π / (s·√6) = 0.0811156, u = m − 0.5772157 / α = 22.884034. Weibull positions i/6 give the
    // reduced variates −0.583198, −0.094048, 0.366513, 0.902720, 1.701983; the line runs from the
    // first of them to T = 200 (y = 5.295812): h = 15.694316 to 88.171276 mm; the quantiles are
    // u + y_T / α: T = 2 27.402437, T = 10 50.626762, T = 100 79.595082 mm. L-moments: b0 = 30,
    // b1 = (0·10 + ¼·20 + ½·30 + ¾·40 + 1·50) / 5 = 20, λ₂ = 2·b1 − b0 = 10, α = ln 2 / 10,
    // u = 30 − 0.5772157 / α = 21.672538, so T = 10 gives 54.138476 mm and the line starts at
    // 13.258768 mm.
    void gumbelPlot_data() {
        QTest::addColumn<int>("method");
        QTest::addColumn<double>("lineStart");
        QTest::addColumn<double>("lineEnd");
        QTest::addColumn<double>("h10");
        QTest::newRow("momenti") << int(GumbelMethod::Moments) << 15.694316 << 88.171276 << 50.626762;
        QTest::newRow("L-momenti") << int(GumbelMethod::LMoments) << 13.258768
                                   << 21.672538 + 5.295812 / 0.0693147 << 54.138476;
    }
    void gumbelPlot() {
        QFETCH(int, method);
        QFETCH(double, lineStart);
        QFETCH(double, lineEnd);
        QFETCH(double, h10);
        const analysis::DdfAnalysis a = analysis::analyseDdf(scaledYears(), kAll, GumbelMethod(method));
        const chart::Figure f = intense::gumbelFigure(a, 0, QStringLiteral("Curva"));
        QCOMPARE(f.panels.size(), 1);
        const chart::Panel& p = f.panels[0];
        QCOMPARE(p.axes[0].title + QStringLiteral(" (") + p.axes[0].unit + QStringLiteral(")"),
                 QStringLiteral("Altezza di pioggia (mm)"));
        QVERIFY(p.x.title.contains(QStringLiteral("Tempo di ritorno (anni)")));

        const chart::Series* observed = nullptr;
        const chart::Series* line = nullptr;
        for (const chart::Series& s : p.series) {
            if (s.mark == chart::Mark::Fit) {
                line = &s;
            } else if (s.name.startsWith(QStringLiteral("Massimi"))) {
                observed = &s;
            }
        }
        const chart::Series* quantiles = seriesNamed(p, QStringLiteral("T = 10 anni"), chart::Mark::Points);
        QVERIFY(observed && line && quantiles);
        const double variates[5] = {-0.583198, -0.094048, 0.366513, 0.902720, 1.701983};
        QCOMPARE(observed->x.size(), 5);
        for (int i = 0; i < 5; ++i) {
            QVERIFY(std::abs(observed->x[i] - variates[i]) < 5e-7);
            QCOMPARE(observed->y[i], 10.0 * (i + 1));  // in increasing order, whatever the years'
        }
        QCOMPARE(line->x.size(), 2);
        QVERIFY(std::abs(line->x[0] - variates[0]) < 5e-7);
        QVERIFY(std::abs(line->x[1] - 5.295812) < 5e-7);
        QVERIFY2(std::abs(line->y[0] - lineStart) < kTolerance, qPrintable(QString::number(line->y[0])));
        QVERIFY2(std::abs(line->y[1] - lineEnd) < kTolerance, qPrintable(QString::number(line->y[1])));
        QCOMPARE(quantiles->x.size(), 1);
        QVERIFY(std::abs(quantiles->x[0] - 2.250367) < 5e-7);
        QVERIFY2(std::abs(quantiles->y[0] - h10) < kTolerance, qPrintable(QString::number(quantiles->y[0])));
        // Each return period's point has its colour in the chart of the curves.
        const chart::Figure curves = intense::curveFigure(a, QStringLiteral("Monte Vessa - anni 2000-2004"));
        QCOMPARE(quantiles->colour,
                 seriesNamed(curves.panels[0], QStringLiteral("T = 10 anni"), chart::Mark::Fit)->colour);
        QCOMPARE(f.caption, QStringLiteral("Carta probabilistica di Gumbel - Curva - durata 1 ora"));
    }

    // The scaled years: each curve is h = h(T, 1 h)·√t, through the quantiles of its durations,
    // and every year's maximum is a point at its duration. T = 2: 27.402437 mm at 1 hour,
    // 27.402437·√6 = 67.121989 at 6 hours, 27.402437·√24 = 134.243979 at 24; T = 100:
    // 79.595082·√24 = 389.934674. The observed 3-hour points are 10√3 ... 50√3 (17.320508 ...
    // 86.602540). Days: 1 day is 1 hour's values (t^0.3 of 1), 5 days 5^0.3 = 1.620657 times.
    void curves() {
        const analysis::DdfAnalysis a = analysis::analyseDdf(scaledYears(), kAll, GumbelMethod::Moments);
        const chart::Figure f = intense::curveFigure(a, QStringLiteral("Curva"));
        QCOMPARE(f.panels.size(), 2);
        const chart::Panel& hours = f.panels[0];
        QCOMPARE(hours.x.title, QStringLiteral("Durata (ore)"));
        QCOMPARE(hours.x.scale, chart::Scale::Log);
        QCOMPARE(hours.axes[0].scale, chart::Scale::Log);
        QCOMPARE(f.panels[1].x.title, QStringLiteral("Durata (giorni)"));

        const chart::Series* two = seriesNamed(hours, QStringLiteral("T = 2 anni"), chart::Mark::Fit);
        const chart::Series* hundred = seriesNamed(hours, QStringLiteral("T = 100 anni"), chart::Mark::Fit);
        QVERIFY(two && hundred);
        QCOMPARE(two->x.first(), 1.0);
        QCOMPARE(two->x.last(), 24.0);
        QVERIFY(std::abs(two->y.first() - 27.402437) < kTolerance);
        QVERIFY(std::abs(two->y.last() - 134.243979) < kTolerance);
        QVERIFY(std::abs(hundred->y.last() - 389.934674) < kTolerance);
        for (qsizetype i = 0; i < two->x.size(); ++i) {
            QVERIFY(std::abs(two->y[i] - 27.402437 * std::sqrt(two->x[i])) < kTolerance);
        }
        const chart::Series* twoPoints =
            seriesNamed(hours, QStringLiteral("T = 2 anni"), chart::Mark::Points);
        QVERIFY(twoPoints);
        QCOMPARE(twoPoints->x.size(), 5);
        QVERIFY(std::abs(at(*twoPoints, 6) - 67.121989) < kTolerance);
        // The two shapes of one return period share its colour, so the legend's one entry names both.
        QCOMPARE(twoPoints->colour, two->colour);

        const chart::Series* observed =
            seriesNamed(hours, QStringLiteral("Massimi annui osservati"), chart::Mark::Points);
        QVERIFY(observed);
        QCOMPARE(observed->x.size(), 25);
        QCOMPARE(observed->x.count(3.0), 5);
        for (qsizetype i = 0; i < observed->x.size(); ++i) {
            if (observed->x[i] == 3.0) {
                const double k = observed->y[i] / 17.320508;
                QVERIFY2(std::abs(k - std::round(k)) < 1e-6 && std::round(k) >= 1 && std::round(k) <= 5,
                         qPrintable(QString::number(observed->y[i], 'g', 12)));
            }
        }
        const chart::Series* fiveDays =
            seriesNamed(f.panels[1], QStringLiteral("T = 2 anni"), chart::Mark::Fit);
        QVERIFY(fiveDays);
        QCOMPARE(fiveDays->x.last(), 5.0);
        QVERIFY(std::abs(fiveDays->y.last() - 27.402437 * 1.620657) < kTolerance);
    }

    // What the data do not hold is not drawn: a year without its 1-hour maximum has no point there
    // (never a zero), two fitted durations of the hours give their quantiles but no curve, and a
    // search for hours only has no panel of days.
    void missing() {
        std::vector<analysis::YearMaxima> years = scaledYears();
        years[1].values[0].reset();
        for (analysis::YearMaxima& y : years) {
            y.values[2].reset();
            y.values[3].reset();
            y.values[4].reset();
        }
        std::array<bool, analysis::kDurations> hoursOnly{};
        std::fill(hoursOnly.begin(), hoursOnly.begin() + 5, true);
        const analysis::DdfAnalysis a = analysis::analyseDdf(years, hoursOnly, GumbelMethod::Moments);
        const chart::Figure f = intense::curveFigure(a, QStringLiteral("Curva"));
        QCOMPARE(f.panels.size(), 1);
        const chart::Panel& hours = f.panels[0];
        QVERIFY(!seriesNamed(hours, QStringLiteral("T = 2 anni"), chart::Mark::Fit));
        const chart::Series* points = seriesNamed(hours, QStringLiteral("T = 2 anni"), chart::Mark::Points);
        QVERIFY(points);
        QCOMPARE(points->x, (QVector<double>{3}));  // 1 hour has four years: no fit, no quantile
        const chart::Series* observed =
            seriesNamed(hours, QStringLiteral("Massimi annui osservati"), chart::Mark::Points);
        QCOMPARE(observed->x.count(1.0), 4);
        QVERIFY(!observed->y.contains(0.0));
        QCOMPARE(intense::plottableDurations(a), (QVector<int>{0, 1}));

        // The Gumbel plot of the unfitted hour: its four points and nothing else.
        const chart::Figure g = intense::gumbelFigure(a, 0, QStringLiteral("Curva"));
        QCOMPARE(g.panels[0].series.size(), 1);
        QCOMPARE(g.panels[0].series[0].y, (QVector<double>{20, 30, 40, 50}));
        // Weibull positions of four values: i / 5; the first −ln(−ln 0.2) = −0.475885.
        QVERIFY(std::abs(g.panels[0].series[0].x[0] + 0.475885) < 5e-7);
    }

    // The printed page draws the curves beside the tables: the colour of T = 2 appears in the right
    // part of the page only, and not at all when the figure has nothing to draw.
    void reportDrawsTheCurves() {
        const analysis::DdfAnalysis a = analysis::analyseDdf(scaledYears(), kAll, GumbelMethod::Moments);
        const auto greenIn = [](const QImage& page, int from, int to) {
            const QColor green = chart::colours::palette(0);
            int found = 0;
            for (int y = 0; y < page.height(); ++y) {
                for (int x = from; x < to; ++x) {
                    const QColor c = page.pixelColor(x, y);
                    found += std::abs(c.red() - green.red()) + std::abs(c.green() - green.green()) +
                                         std::abs(c.blue() - green.blue()) <
                                     40
                                 ? 1
                                 : 0;
                }
            }
            return found;
        };
        for (const bool drawn : {true, false}) {
            QImage page(1600, 1130, QImage::Format_RGB32);
            page.fill(Qt::white);
            QPainter painter(&page);
            const chart::Figure curve =
                drawn ? intense::curveFigure(a, QStringLiteral("Monte Vessa")) : chart::Figure();
            intense::paintReport(painter, QRectF(page.rect()), QStringLiteral("Curva"),
                                 QStringLiteral("Metodo"), a, curve);
            painter.end();
            QCOMPARE(greenIn(page, 0, 400), 0);
            QCOMPARE(greenIn(page, 800, 1600) > 200, drawn);
        }
    }
};

QTEST_MAIN(TestCurvaFigure)
#include "test_curvafigure.moc"
