// The summary window's charts, described from hand-made series: every bar, point and line end
// checked against values worked out by hand here.
#include "analysis/dayseries.h"
#include "daily/summarycharts.h"

#include <QtTest>

using namespace analysis;
using testing::Days;

namespace {

const chart::Series* named(const chart::Figure& f, const QString& name) {
    for (const chart::Series& s : f.panels.value(0).series) {
        if (s.name == name) {
            return &s;
        }
    }
    return nullptr;
}

// 1995: 2 mm of rain every day but 10 February (NULL) and 20 November (NULL); maxima 10 °C from the
// 1st to the 15th of January and 14 °C after, 10 °C the rest of the year but 1-6 July (NULL: six
// days, one more than a mean allows); minima 2 °C every day. 1996: rows for January to March only,
// 1 mm a day in January and February (29 days), 3 mm a day in March.
StationSummary sample() {
    Days days({Rain, TempMax, TempMin});
    days.fill(QDate(1995, 1, 1), QDate(1995, 12, 31), Rain, 2);
    days.fill(QDate(1995, 1, 1), QDate(1995, 12, 31), TempMax, 10);
    days.fill(QDate(1995, 1, 16), QDate(1995, 1, 31), TempMax, 14);
    days.fill(QDate(1995, 7, 1), QDate(1995, 7, 6), TempMax, kMissing);
    days.fill(QDate(1995, 1, 1), QDate(1995, 12, 31), TempMin, 2);
    days.add(QDate(1995, 2, 10), Rain, {kMissing});
    days.add(QDate(1995, 11, 20), Rain, {kMissing});
    days.fill(QDate(1996, 1, 1), QDate(1996, 2, 29), Rain, 1);
    days.fill(QDate(1996, 3, 1), QDate(1996, 3, 31), Rain, 3);
    days.fill(QDate(1996, 1, 1), QDate(1996, 3, 31), TempMax, 5);
    days.fill(QDate(1996, 1, 1), QDate(1996, 3, 31), TempMin, -1);
    return summarize(days.series());
}

// The twelve values, NaN compared as NaN.
bool same(const QVector<double>& actual, const QVector<double>& expected) {
    if (actual.size() != expected.size()) {
        return false;
    }
    for (int i = 0; i < actual.size(); ++i) {
        const bool a = std::isnan(actual[i]), e = std::isnan(expected[i]);
        if (a != e || (!a && std::fabs(actual[i] - expected[i]) > 1e-9)) {
            qWarning() << "at" << i << actual[i] << "expected" << expected[i];
            return false;
        }
    }
    return true;
}

constexpr double N = chart::kMissing;

}  // namespace

class TestSummaryCharts : public QObject {
    Q_OBJECT
  private slots:
    void climographOfAYear() {
        const chart::Figure f = daily::climograph(sample(), 1995, QStringLiteral("Monte Vessa"));
        QCOMPARE(f.caption, QStringLiteral("Climogramma - Monte Vessa - anno 1995"));
        QCOMPARE(f.panels.size(), 1);
        QCOMPARE(f.panels[0].x.categories.size(), 12);
        const chart::Series* rain = named(f, QStringLiteral("Pioggia totale (mm)"));
        const chart::Series* marks = named(f, QString::fromUtf8(daily::kNotComputedRain));
        const chart::Series* tmax = named(f, QStringLiteral("Temperatura massima media (°C)"));
        const chart::Series* tmin = named(f, QStringLiteral("Temperatura minima media (°C)"));
        QVERIFY(rain && marks && tmax && tmin);
        QCOMPARE(rain->mark, chart::Mark::Bar);
        QCOMPARE(tmax->mark, chart::Mark::Line);
        // 2 mm times the month's days; February and November each miss a day: no bar, a mark.
        QVERIFY(same(rain->y, {62, N, 62, 60, 62, 60, 62, 62, 60, 62, N, 62}));
        QVERIFY(same(marks->y, {N, 0, N, N, N, N, N, N, N, N, 0, N}));
        // January: (15 x 10 + 16 x 14) / 31; July: six days missing, the line broken there.
        QVERIFY(same(tmax->y, {374.0 / 31, 10, 10, 10, 10, 10, N, 10, 10, 10, 10, 10}));
        QVERIFY(same(tmin->y, QVector<double>(12, 2)));
    }

    void climographOfTheNormals() {
        const chart::Figure f = daily::climograph(sample(), 0, QStringLiteral("Monte Vessa"));
        QCOMPARE(f.title, QStringLiteral("Monte Vessa - normale, anni 1995-1996"));
        // January (62 + 31) / 2, February 1996's 29 alone, March (62 + 93) / 2; from April 1995
        // alone; November not computed in any year: marked.
        QVERIFY(same(named(f, QStringLiteral("Pioggia totale (mm)"))->y,
                     {46.5, 29, 77.5, 60, 62, 60, 62, 62, 60, 62, N, 62}));
        QVERIFY(same(named(f, QString::fromUtf8(daily::kNotComputedRain))->y,
                     {N, N, N, N, N, N, N, N, N, N, 0, N}));
        QVERIFY(same(named(f, QStringLiteral("Temperatura minima media (°C)"))->y,
                     {0.5, 0.5, 0.5, 2, 2, 2, 2, 2, 2, 2, 2, 2}));
    }

    // 1996 holds rows for three months only: the other nine are empty, not marked as missing days.
    void climographOfAShortYear() {
        const chart::Figure f = daily::climograph(sample(), 1996, QStringLiteral("Monte Vessa"));
        QVERIFY(same(named(f, QStringLiteral("Pioggia totale (mm)"))->y,
                     {31, 29, 93, N, N, N, N, N, N, N, N, N}));
        QVERIFY(!named(f, QString::fromUtf8(daily::kNotComputedRain)));
    }

    void cumulativeRain() {
        const chart::Figure f = daily::cumulativeRain(sample(), QStringLiteral("Monte Vessa"));
        QCOMPARE(f.caption, QStringLiteral("Pioggia cumulata - Monte Vessa - anni 1995-1996"));
        const chart::Series* y1995 = named(f, QStringLiteral("1995"));
        const chart::Series* y1996 = named(f, QStringLiteral("1996"));
        QVERIFY(y1995 && y1996);
        // 1995 ends on 9 February, day 40, at 80 mm: 10 February is missing.
        QCOMPARE(y1995->x.size(), 40);
        QCOMPARE(y1995->x.front(), 1.0);
        QCOMPARE(y1995->x.back(), 40.0);
        QCOMPARE(y1995->y.back(), 80.0);
        // 1996: 31 mm on 31 January (day 31), 60 on 29 February (day 60), 60 + 93 on 31 March
        // (day 91); 1 April has no row.
        QCOMPARE(y1996->x.size(), 91);
        QCOMPARE(y1996->y[30], 31.0);
        QCOMPARE(y1996->x[59], 60.0);
        QCOMPARE(y1996->y[59], 60.0);
        QCOMPARE(y1996->y[90], 153.0);
    }

    // No rain in the result: the climograph draws the temperatures alone and no cumulative line.
    void withoutRain() {
        Days days({TempMax});
        days.fill(QDate(1995, 1, 1), QDate(1995, 1, 31), TempMax, 4);
        const StationSummary s = summarize(days.series());
        const chart::Figure f = daily::climograph(s, 1995, QStringLiteral("X"));
        QCOMPARE(f.panels[0].series.size(), 1);
        QCOMPARE(f.panels[0].series[0].y[0], 4.0);
        QVERIFY(daily::cumulativeRain(s, QStringLiteral("X")).panels[0].series.isEmpty());
    }
};

QTEST_APPLESS_MAIN(TestSummaryCharts)
#include "test_summarycharts.moc"
