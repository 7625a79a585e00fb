// The yearly ETCCDI indices against the worked cases of the climdex.pcic package's own tests and
// against hand computations written here.
#include "analysis/summary.h"
#include "dayseries.h"

#include <QTest>

using namespace analysis;
using testing::Days;

namespace {

// The years 1995 and 1996 dry (0 mm) but for `values`, laid from `first` on.
DailySeries rainAround(const QDate& first, const std::vector<double>& values) {
    Days days({Rain});
    days.fill(QDate(1995, 1, 1), QDate(1996, 12, 31), Rain, 0);
    days.add(first, Rain, values);
    return days.series();
}

double index(const std::vector<YearIndices>& years, int year, ClimateIndex i) {
    for (const YearIndices& y : years) {
        if (y.year == year) {
            return y.values[i].computed() ? y.values[i].value : kMissing;
        }
    }
    return -1;
}

}  // namespace

class TestClimateIndices : public QObject {
    Q_OBJECT
  private slots:
    void climdexPrimitives();
    void climdexCasesOnTheCalendar();
    void spellsAcrossTheYearEnd();
    void missingDayEndsSpellsAndWindows();
    void thresholds();
    void missingDaysRule_data();
    void missingDaysRule();
    void table();
};

// pacificclimate/climdex.pcic, tests/test_primitives.R: two "years" of five days each.
void TestClimateIndices::climdexPrimitives() {
    const std::vector<double> prec = {0.1, 3.0, 4.3, 1.9, 1.3, 6.0, 0, 0, 4.0, 1};
    const std::vector<int> periods = {0, 0, 0, 0, 0, 1, 1, 1, 1, 1};
    // test.spell.length.max: CWD with spells spanning years is c(0, 5).
    QCOMPARE(longestSpells(prec, periods, 2, 1, true), (std::vector<double>{0, 5}));
    // CDD of the same days, by hand: 0.1 alone in the first, 0 0 in the second.
    QCOMPARE(longestSpells(prec, periods, 2, 1, false), (std::vector<double>{1, 2}));
    // test.nday.consec.prec.max, two "years" of twelve days: 1-day c(30, 50), 5-day sums counted
    // on their last day c(39, 50).
    const std::vector<double> nday = {0.1, 3.0, 4.3, 0.9, 0.7, 1.7, 8,  1, 0, 0, 30, 0,
                                      10,  8,   0,   0,   0,   1,   20, 0, 0, 0, 0,  50};
    std::vector<int> twelve(24, 0);
    std::fill(twelve.begin() + 12, twelve.end(), 1);
    QCOMPARE(largestSums(nday, twelve, 2, 1), (std::vector<double>{30, 50}));
    QCOMPARE(largestSums(nday, twelve, 2, 5), (std::vector<double>{39, 50}));
    // A period wholly inside a spell that ends later has no value of its own.
    const std::vector<double> spells = longestSpells({2, 2, 2, 2, 0}, {0, 0, 1, 1, 2}, 3, 1, true);
    QVERIFY(missing(spells[0]));
    QCOMPARE(spells[1], 4.0);
    QCOMPARE(spells[2], 0.0);
}

// The same cases on real dates: the ten days from 27 December 1995, every other day of the two
// years dry, which changes none of the rain indices.
void TestClimateIndices::climdexCasesOnTheCalendar() {
    const QDate from(1995, 12, 27);
    std::vector<YearIndices> y =
        climateIndicesByYear(rainAround(from, {0.1, 3.0, 4.3, 1.9, 1.3, 6.0, 0, 0, 4.0, 1}));
    QCOMPARE(int(y.size()), 2);
    // test.total.precip.op.threshold: c(10.5, 11).
    QCOMPARE(index(y, 1995, PRCPTOT), 10.5);
    QCOMPARE(index(y, 1996, PRCPTOT), 11.0);
    QCOMPARE(index(y, 1995, CWD), 0.0);
    QCOMPARE(index(y, 1996, CWD), 5.0);
    // test.simple.precipitation.intensity.index: c(43/15, 11/3).
    y = climateIndicesByYear(rainAround(from, {0.1, 3.0, 4.3, 0.9, 1.3, 6.0, 0, 0, 4.0, 1}));
    QCOMPARE(index(y, 1995, SDII), 43.0 / 15);
    QCOMPARE(index(y, 1996, SDII), 11.0 / 3);
    // test.nday.consec.prec.max from 20 December.
    y = climateIndicesByYear(
        rainAround(QDate(1995, 12, 20),
                   {0.1, 3.0, 4.3, 0.9, 0.7, 1.7, 8, 1, 0, 0, 30, 0, 10, 8, 0, 0, 0, 1, 20, 0, 0, 0, 0, 50}));
    QCOMPARE(index(y, 1995, Rx1day), 30.0);
    QCOMPARE(index(y, 1996, Rx1day), 50.0);
    QCOMPARE(index(y, 1995, Rx5day), 39.0);
    QCOMPARE(index(y, 1996, Rx5day), 50.0);
}

void TestClimateIndices::spellsAcrossTheYearEnd() {
    // Wet (2 mm) every day, dry from 20 December 1995 to 10 January 1996: 22 days, all in 1996.
    Days days({Rain});
    days.fill(QDate(1995, 1, 1), QDate(1996, 12, 31), Rain, 2);
    days.fill(QDate(1995, 12, 20), QDate(1996, 1, 10), Rain, 0);
    std::vector<YearIndices> y = climateIndicesByYear(days.series());
    QCOMPARE(index(y, 1995, CDD), 0.0);
    QCOMPARE(index(y, 1996, CDD), 22.0);
    QCOMPARE(index(y, 1995, CWD), 353.0);  // 1 January to 19 December
    QCOMPARE(index(y, 1996, CWD), 356.0);  // 11 January to 31 December

    // A dry spell from 1 December 1995 to 31 January 1997: 1996 lies inside it and has no CDD;
    // 1997 holds it whole, 31 + 366 + 31 days.
    Days longDry({Rain});
    longDry.fill(QDate(1995, 1, 1), QDate(1997, 12, 31), Rain, 5);
    longDry.fill(QDate(1995, 12, 1), QDate(1997, 1, 31), Rain, 0);
    y = climateIndicesByYear(longDry.series());
    QCOMPARE(index(y, 1995, CDD), 0.0);
    QVERIFY(missing(index(y, 1996, CDD)));
    QCOMPARE(index(y, 1996, CWD), 0.0);
    QCOMPARE(index(y, 1997, CDD), 428.0);
    QCOMPARE(y[1].values[CDD].status, Status::Forbidden);
}

void TestClimateIndices::missingDayEndsSpellsAndWindows() {
    Days days({Rain});
    days.fill(QDate(1995, 1, 1), QDate(1995, 12, 31), Rain, 3);
    days.fill(QDate(1995, 3, 1), QDate(1995, 3, 10), Rain, 0);
    days.add(QDate(1995, 3, 5), Rain, {kMissing});  // splits the ten dry days into 4 and 5
    days.fill(QDate(1995, 6, 1), QDate(1995, 6, 30), Rain, 0);
    days.add(QDate(1995, 6, 1), Rain, {10, 10, kMissing, 10, 10});
    std::vector<YearIndices> y = climateIndicesByYear(days.series());
    // Dry: 6-10 March (5 days) and 6-30 June (25 days); June's 1st to 5th are wet but for the 3rd.
    QCOMPARE(index(y, 1995, CDD), 25.0);
    // No window holds the missing 3 June: 1-5 June would give 40; the largest without it is
    // 29 May - 2 June, 3 + 3 + 3 + 10 + 10 = 29.
    QCOMPARE(index(y, 1995, Rx5day), 29.0);
    QCOMPARE(y[0].withData[Rain], 363);
}

// 1995, every other day 10 °C maximum, 5 °C minimum, no rain; then the limits one by one.
void TestClimateIndices::thresholds() {
    Days days({Rain, TempMax, TempMin});
    days.fill(QDate(1995, 1, 1), QDate(1995, 12, 31), Rain, 0);
    days.fill(QDate(1995, 1, 1), QDate(1995, 12, 31), TempMax, 10);
    days.fill(QDate(1995, 1, 1), QDate(1995, 12, 31), TempMin, 5);
    days.add(QDate(1995, 7, 1), TempMax, {-0.1, 0, 25, 25.1, 30});
    days.add(QDate(1995, 7, 1), TempMin, {-0.1, 0, 20, 20.5});
    days.add(QDate(1995, 7, 1), Rain, {10, 9.9, 20});
    const std::vector<YearIndices> y = climateIndicesByYear(days.series());
    QCOMPARE(index(y, 1995, ID), 1.0);  // < 0 °C: -0.1 only
    QCOMPARE(index(y, 1995, SU), 2.0);  // > 25 °C: 25.1 and 30, not 25
    QCOMPARE(index(y, 1995, TXx), 30.0);
    QCOMPARE(index(y, 1995, FD), 1.0);
    QCOMPARE(index(y, 1995, TR), 1.0);  // > 20 °C: 20.5, not 20
    QCOMPARE(index(y, 1995, TNn), -0.1);
    QCOMPARE(index(y, 1995, R10mm), 2.0);  // >= 10 mm: 10 and 20
    QCOMPARE(index(y, 1995, R20mm), 1.0);
    QCOMPARE(index(y, 1995, PRCPTOT), 39.9);
    QCOMPARE(index(y, 1995, SDII), 39.9 / 3);
    QCOMPARE(index(y, 1995, Rx1day), 20.0);
    QCOMPARE(index(y, 1995, Rx5day), 39.9);
    QCOMPARE(index(y, 1995, CWD), 3.0);
    QCOMPARE(index(y, 1995, CDD), 181.0);  // 4 July to 31 December
}

void TestClimateIndices::missingDaysRule_data() {
    QTest::addColumn<int>("year");
    QTest::addColumn<int>("missingRain");
    QTest::addColumn<int>("missingTmax");
    QTest::newRow("15 of 365") << 1995 << 15 << 0;
    QTest::newRow("16 of 365") << 1995 << 16 << 0;
    QTest::newRow("15 of 366") << 1996 << 15 << 16;
    QTest::newRow("16 of 366") << 1996 << 16 << 15;
}

// The missing days are spread one a week, so no monthly rule is at stake.
void TestClimateIndices::missingDaysRule() {
    QFETCH(int, year);
    QFETCH(int, missingRain);
    QFETCH(int, missingTmax);
    Days days({Rain, TempMax});
    days.fill(QDate(year, 1, 1), QDate(year, 12, 31), Rain, 1);
    days.fill(QDate(year, 1, 1), QDate(year, 12, 31), TempMax, 12);
    for (int i = 0; i < missingRain; ++i) {
        days.add(QDate(year, 1, 3).addDays(7 * i), Rain, {kMissing});
    }
    for (int i = 0; i < missingTmax; ++i) {
        days.add(QDate(year, 1, 4).addDays(7 * i), TempMax, {kMissing});
    }
    const std::vector<YearIndices> y = climateIndicesByYear(days.series());
    QCOMPARE(int(y.size()), 1);
    QCOMPARE(y[0].withData[Rain], QDate(year, 1, 1).daysInYear() - missingRain);
    for (const IndexSpec& spec : climateIndices()) {
        const int missingDays = spec.quantity == Rain ? missingRain : missingTmax;
        if (spec.quantity == TempMin) {
            QCOMPARE(y[0].values[spec.index].status, Status::Absent);
            continue;
        }
        QCOMPARE(y[0].values[spec.index].computed(), missingDays <= 15);
        QCOMPARE(y[0].values[spec.index].missing, missingDays);
    }
    if (missingRain <= 15) {
        QCOMPARE(index(y, year, PRCPTOT), double(QDate(year, 1, 1).daysInYear() - missingRain));
    }
}

void TestClimateIndices::table() {
    Days days({Rain, TempMin});
    days.fill(QDate(1995, 1, 1), QDate(1995, 12, 31), Rain, 1);
    days.fill(QDate(1995, 1, 1), QDate(1995, 12, 31), TempMin, -1);
    days.fill(QDate(1996, 1, 1), QDate(1996, 1, 31), Rain, 1);  // a January only
    const StationSummary s = summarize(days.series());
    const std::shared_ptr<Table> t = indicesTable(s);
    QCOMPARE(t->fieldName(0), QStringLiteral("Anno"));
    QCOMPARE(t->fieldName(1), QStringLiteral("Giorni con dati: pioggia"));
    QCOMPARE(t->fieldName(2), QStringLiteral("PRCPTOT"));
    QCOMPARE(t->fieldIndex(QStringLiteral("TXx")), -1);  // no maximum temperature in the result
    const int fd = t->fieldIndex(QStringLiteral("FD"));
    QCOMPARE(t->fieldName(fd - 2), QStringLiteral("Giorni con dati: temperatura minima"));
    QCOMPARE(t->recordCount(), 2);
    QCOMPARE(t->value(0, 2).toDouble(), 365.0);
    QCOMPARE(t->value(0, fd).toInt(), qint64(365));
    QCOMPARE(t->value(1, 1).toInt(), qint64(31));
    QVERIFY(t->value(1, 2).isNull());
    QCOMPARE(t->mark(1, 2), Mark::NotComputed);
    QVERIFY(t->note(1, 2).contains(QLatin1String("335 giorni mancanti")));
    QVERIFY(indexRules().contains(QLatin1String("CDD (giorni): Massimo numero di giorni asciutti")));
}

QTEST_APPLESS_MAIN(TestClimateIndices)
#include "test_climateindices.moc"
