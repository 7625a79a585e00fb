// Monthly and yearly figures under the completeness rules, against hand computations written here
// and against monthly summaries published for a real station.
#include "analysis/summary.h"
#include "dayseries.h"

#include <QTest>

using namespace analysis;
using testing::Days;

namespace {

const MonthSummary* monthOf(const std::vector<MonthSummary>& months, int year, int month) {
    for (const MonthSummary& m : months) {
        if (m.year == year && m.month == month) {
            return &m;
        }
    }
    return nullptr;
}

// March 1995 with the maximum temperature equal to the day's number, minus the days listed.
DailySeries marchWithout(const QList<int>& missingDays, bool asRows) {
    Days days({TempMax});
    for (int d = 1; d <= 31; ++d) {
        days.add(QDate(1995, 3, d), TempMax, {missingDays.contains(d) && !asRows ? kMissing : double(d)});
    }
    for (int d : missingDays) {
        if (asRows) {
            days.drop(QDate(1995, 3, d), QDate(1995, 3, d));
        }
    }
    // A row on the 1st of April keeps the series' calendar the same whatever March misses.
    days.add(QDate(1995, 4, 1), TempMax, {1});
    return days.series();
}

}  // namespace

class TestDailySummary : public QObject {
    Q_OBJECT
  private slots:
    void meanRule_data();
    void meanRule();
    void totalRule_data();
    void totalRule();
    void leapFebruary();
    void yearAcrossMissingMonth();
    void normals();
    void rowsThatDisagree();
    void datesOutsideTheCalendar();
    void absentQuantity();
    void publishedMonths_data();
    void publishedMonths();
};

// Days 1..31 sum to 496. Missing days are given as NULL cells and, the second time, as no row.
void TestDailySummary::meanRule_data() {
    QTest::addColumn<QList<int>>("missingDays");
    QTest::addColumn<bool>("computed");
    QTest::addColumn<double>("mean");
    QTest::addColumn<double>("highest");
    QTest::addColumn<int>("highestDay");
    QTest::newRow("complete") << QList<int>{} << true << 496.0 / 31 << 31.0 << 31;
    QTest::newRow("5 missing, none consecutive")
        << QList<int>{23, 25, 27, 29, 31} << true << (496.0 - 135) / 26 << 30.0 << 30;
    QTest::newRow("6 missing, none consecutive")
        << QList<int>{2, 8, 14, 20, 26, 30} << false << 0.0 << 0.0 << 0;
    QTest::newRow("3 consecutive") << QList<int>{10, 11, 12} << true << (496.0 - 33) / 28 << 31.0 << 31;
    QTest::newRow("4 consecutive") << QList<int>{10, 11, 12, 13} << false << 0.0 << 0.0 << 0;
    QTest::newRow("5 missing, 3 of them consecutive")
        << QList<int>{5, 6, 7, 20, 25} << true << (496.0 - 63) / 26 << 31.0 << 31;
    QTest::newRow("4 consecutive at the month's end")
        << QList<int>{28, 29, 30, 31} << false << 0.0 << 0.0 << 0;
    QTest::newRow("every day") << [] {
        QList<int> all;
        for (int d = 1; d <= 31; ++d) {
            all << d;
        }
        return all;
    }() << false << 0.0 << 0.0 << 0;
}

void TestDailySummary::meanRule() {
    QFETCH(QList<int>, missingDays);
    QFETCH(bool, computed);
    for (bool asRows : {false, true}) {
        const DailySeries s = marchWithout(missingDays, asRows);
        const std::vector<MonthSummary> months = monthlySummaries(s);
        const MonthSummary* march = monthOf(months, 1995, 3);
        if (missingDays.size() == 31 && asRows) {
            QVERIFY(!march);  // no row at all: the month is not in the table
            continue;
        }
        QVERIFY(march);
        QCOMPARE(march->withData[TempMax], 31 - int(missingDays.size()));
        const Figure& mean = march->figures[TempMaxMean];
        const Figure& highest = march->figures[TempMaxHighest];
        QCOMPARE(mean.computed(), computed);
        QCOMPARE(highest.computed(), computed);
        if (computed) {
            QFETCH(double, mean);
            QFETCH(double, highest);
            QFETCH(int, highestDay);
            QVERIFY(qAbs(march->figures[TempMaxMean].value - mean) < 1e-9);
            QCOMPARE(march->figures[TempMaxHighest].value, highest);
            QCOMPARE(march->figures[TempMaxHighest].date, QDate(1995, 3, highestDay));
        } else {
            QCOMPARE(mean.status, Status::Forbidden);
            QVERIFY(missing(mean.value));  // never a number made from the days there are
        }
    }
}

// Rain of March 1995: the day's number on days divisible by 3 (3 + 6 + ... + 30 = 165 mm on 10
// days), nothing on the others.
void TestDailySummary::totalRule_data() {
    QTest::addColumn<int>("nullDay");   // a NULL rain cell on this day (0: none)
    QTest::addColumn<int>("noRowDay");  // no row on this day (0: none)
    QTest::addColumn<bool>("totals");
    QTest::newRow("complete") << 0 << 0 << true;
    QTest::newRow("a dry day NULL") << 7 << 0 << false;
    QTest::newRow("a dry day without row") << 0 << 7 << false;
    QTest::newRow("the wettest day NULL") << 30 << 0 << false;
}

void TestDailySummary::totalRule() {
    QFETCH(int, nullDay);
    QFETCH(int, noRowDay);
    QFETCH(bool, totals);
    Days days({Rain});
    for (int d = 1; d <= 31; ++d) {
        days.add(QDate(1995, 3, d), Rain, {d == nullDay ? kMissing : d % 3 == 0 ? double(d) : 0.0});
    }
    if (noRowDay) {
        days.drop(QDate(1995, 3, noRowDay), QDate(1995, 3, noRowDay));
    }
    const std::vector<MonthSummary> months = monthlySummaries(days.series());
    QCOMPARE(int(months.size()), 1);
    const MonthSummary& m = months[0];
    QCOMPARE(m.figures[RainTotal].computed(), totals);
    QCOMPARE(m.figures[RainDays].computed(), totals);
    // One day missing still allows the month's largest rain.
    QVERIFY(m.figures[RainMax].computed());
    if (totals) {
        QCOMPARE(m.figures[RainTotal].value, 165.0);
        QCOMPARE(m.figures[RainDays].value, 10.0);
    } else {
        QCOMPARE(m.figures[RainTotal].missing, 1);
        QVERIFY(missing(m.figures[RainTotal].value));
    }
    QCOMPARE(m.figures[RainMax].value, nullDay == 30 ? 27.0 : 30.0);
    QCOMPARE(m.figures[RainMax].date, QDate(1995, 3, nullDay == 30 ? 27 : 30));

    // Zero rain is a dry day with a value, not a missing one; 1 mm is a rain day, 0.9 mm is not.
    Days dry({Rain});
    dry.fill(QDate(1995, 3, 1), QDate(1995, 3, 31), Rain, 0);
    dry.add(QDate(1995, 3, 10), Rain, {1.0, 0.9});
    const MonthSummary d = monthlySummaries(dry.series())[0];
    QVERIFY(d.figures[RainTotal].computed());
    QCOMPARE(d.figures[RainTotal].value, 1.9);
    QCOMPARE(d.figures[RainDays].value, 1.0);
}

void TestDailySummary::leapFebruary() {
    Days days({Rain});
    days.fill(QDate(1995, 2, 1), QDate(1995, 2, 28), Rain, 1);
    days.fill(QDate(1996, 2, 1), QDate(1996, 2, 29), Rain, 1);
    days.fill(QDate(1997, 2, 1), QDate(1997, 2, 28), Rain, 1);  // its 29th does not exist
    std::vector<MonthSummary> months = monthlySummaries(days.series());
    QCOMPARE(int(months.size()), 3);
    QCOMPARE(months[0].days, 28);
    QCOMPARE(months[0].figures[RainTotal].value, 28.0);
    QCOMPARE(months[1].days, 29);
    QCOMPARE(months[1].figures[RainTotal].value, 29.0);
    QCOMPARE(months[1].figures[RainDays].value, 29.0);
    QVERIFY(months[2].figures[RainTotal].computed());

    // Without the 29th, a leap February misses a day.
    days.drop(QDate(1996, 2, 29), QDate(1996, 2, 29));
    months = monthlySummaries(days.series());
    QCOMPARE(months[1].withData[Rain], 28);
    QVERIFY(!months[1].figures[RainTotal].computed());
    QCOMPARE(months[1].figures[RainTotal].missing, 1);
}

// 1995 has no row in June; 1996 is complete, rain 1 mm a day and maximum temperature the month's
// number. A yearly mean is the mean of the twelve monthly means: (1 + ... + 12) / 12 = 6.5 (the
// mean of the 366 days would be 2382 / 366).
void TestDailySummary::yearAcrossMissingMonth() {
    Days days({Rain, TempMax});
    days.fill(QDate(1995, 1, 1), QDate(1995, 12, 31), Rain, 2);
    days.fill(QDate(1995, 1, 1), QDate(1995, 12, 31), TempMax, 10);
    days.drop(QDate(1995, 6, 1), QDate(1995, 6, 30));
    days.fill(QDate(1996, 1, 1), QDate(1996, 12, 31), Rain, 1);
    for (int m = 1; m <= 12; ++m) {
        const QDate first(1996, m, 1);
        days.fill(first, first.addDays(first.daysInMonth() - 1), TempMax, m);
    }
    const DailySeries s = days.series();
    const std::vector<MonthSummary> months = monthlySummaries(s);
    QCOMPARE(int(months.size()), 23);  // June 1995 has no row: it is not in the table
    QVERIFY(!monthOf(months, 1995, 6));
    const std::vector<YearSummary> years = yearlySummaries(s, months);
    QCOMPARE(int(years.size()), 2);
    QCOMPARE(years[0].monthsWithRows, 11);
    for (MonthlyFigure f : {RainTotal, RainDays, RainMax, TempMaxMean, TempMaxHighest}) {
        QCOMPARE(years[0].figures[f].status, Status::Forbidden);
        QCOMPARE(years[0].figures[f].missing, 1);
    }
    QCOMPARE(years[1].figures[RainTotal].value, 366.0);
    QCOMPARE(years[1].figures[RainDays].value, 366.0);
    QCOMPARE(years[1].figures[TempMaxMean].value, 6.5);
    QCOMPARE(years[1].figures[TempMaxHighest].value, 12.0);
    QCOMPARE(years[1].figures[TempMaxHighest].date, QDate(1996, 12, 1));
    // The year's table: the same figures, the forbidden ones empty and marked.
    const StationSummary summary = summarize(s);
    const std::shared_ptr<Table> t = yearlyTable(summary);
    const int total = t->fieldIndex(QStringLiteral("Pioggia totale (mm)"));
    QVERIFY(t->value(0, total).isNull());
    QCOMPARE(t->mark(0, total), Mark::NotComputed);
    QVERIFY(t->note(0, total).contains(QLatin1String("1 mesi")));
    QCOMPARE(t->value(1, total).toDouble(), 366.0);
}

// March: 1994 all 1 mm, 1995 all 3 mm, 1996 all 2 mm but one day missing.
void TestDailySummary::normals() {
    Days days({Rain});
    days.fill(QDate(1994, 3, 1), QDate(1994, 3, 31), Rain, 1);
    days.fill(QDate(1995, 3, 1), QDate(1995, 3, 31), Rain, 3);
    days.fill(QDate(1996, 3, 1), QDate(1996, 3, 31), Rain, 2);
    days.add(QDate(1996, 3, 15), Rain, {kMissing});
    const StationSummary s = summarize(days.series());
    const MonthNormal& march = s.normals[2];
    QCOMPARE(march.years[RainTotal], 2);
    QCOMPARE(march.figures[RainTotal].value, (31.0 + 93.0) / 2);
    QCOMPARE(march.years[RainMax], 3);
    QCOMPARE(march.figures[RainMax].value, (1.0 + 3.0 + 2.0) / 3);
    QCOMPARE(s.normals[3].years[RainTotal], 0);  // April: no row in any year
    const std::shared_ptr<Table> t = normalTable(s);
    QCOMPARE(t->recordCount(), 1);  // only the months the result holds
    QCOMPARE(t->value(0, 0).text(), QStringLiteral("mar"));
    QCOMPARE(t->value(0, 1).toDouble(), 62.0);
    QCOMPARE(t->fieldName(2), QStringLiteral("Anni"));
    QCOMPARE(t->value(0, 2).toInt(), qint64(2));
}

void TestDailySummary::rowsThatDisagree() {
    Days days({Rain, TempMax});
    days.fill(QDate(1995, 3, 1), QDate(1995, 3, 31), Rain, 0);
    days.fill(QDate(1995, 3, 1), QDate(1995, 3, 31), TempMax, 10);
    std::vector<DailyRecord> rows = days.records();
    DailyRecord twice = rows[9];  // the 10th again: rain differs, temperature agrees
    twice.values[Rain] = 25;
    rows.push_back(twice);
    rows.push_back(rows[3]);  // the 4th again, identical
    std::array<bool, kQuantities> present{};
    present[Rain] = present[TempMax] = true;
    const DailySeries s = DailySeries::build(rows, present);
    QCOMPARE(s.conflictingDays(), 1);
    QVERIFY(missing(s.value(Rain, s.indexOf(QDate(1995, 3, 10)))));
    QCOMPARE(s.value(TempMax, s.indexOf(QDate(1995, 3, 10))), 10.0);
    const MonthSummary m = monthlySummaries(s)[0];
    QVERIFY(!m.figures[RainTotal].computed());  // neither 0 nor 25 is the station's value
    QCOMPARE(m.figures[RainMax].value, 0.0);
    QCOMPARE(m.figures[TempMaxMean].value, 10.0);
}

void TestDailySummary::datesOutsideTheCalendar() {
    std::array<bool, kQuantities> present{};
    present[Rain] = true;
    std::vector<DailyRecord> rows(4);
    rows[0] = {1995, 2, 29, {}};  // not a day
    rows[1] = {1, 1, 1, {}};      // a damaged year: no calendar of two thousand years
    rows[2] = {1995, 13, 1, {}};
    rows[3] = {1995, 3, 1, {}};
    rows[3].values[Rain] = 4;
    const DailySeries s = DailySeries::build(rows, present);
    QCOMPARE(s.invalidDates(), 3);
    QCOMPARE(s.firstYear(), 1995);
    QCOMPARE(s.dayCount(), 365);
    QCOMPARE(int(monthlySummaries(s).size()), 1);
}

void TestDailySummary::absentQuantity() {
    Days days({Rain});
    days.fill(QDate(1995, 3, 1), QDate(1995, 3, 31), Rain, 1);
    const StationSummary s = summarize(days.series());
    QCOMPARE(s.months[0].figures[TempMaxMean].status, Status::Absent);
    const std::shared_ptr<Table> t = monthlyTable(s);
    QCOMPARE(t->fieldIndex(QStringLiteral("Temperatura massima media (°C)")), -1);
    QCOMPARE(t->fieldIndex(QStringLiteral("Giorni con dati: temperatura massima")), -1);
    QCOMPARE(t->fieldIndex(QStringLiteral("Pioggia totale (mm)")), 2);
    QCOMPARE(t->value(0, t->fieldIndex(QStringLiteral("Giorni con dati: pioggia"))).toInt(), qint64(31));
}

// Monthly observations of the cooperative station at LaVale, Maryland (observer Scott Lohr),
// published by Nate Mullins as "Monthly weather data and obs - LaVale MD":
// http://www.natemullins.com/Oct08.txt, http://www.natemullins.com/Apr08.txt and
// http://natemullins.com/files/Jul13.txt. Temperatures in °F, rain in inches; the figures read
// are unit-free (means, extremes, totals), so the days go in as published, a trace as 0. The
// published "AVG/SUM" and "EXT" lines and the "Mean Monthly Temperature" (the mean of the daily
// (max + min) / 2) are the expected values. The April extreme minimum, 32, is published against
// the 16th with "*" (also on earlier dates): we name the first day, the 15th.
void TestDailySummary::publishedMonths_data() {
    QTest::addColumn<QDate>("month");
    QTest::addColumn<QVector<double>>("tmax");
    QTest::addColumn<QVector<double>>("tmin");
    QTest::addColumn<QVector<double>>("rain");
    QTest::addColumn<QVector<double>>("published");  // tmax mean, tmin mean, rain total, mean
    QTest::addColumn<QVector<double>>("extremes");   // max, its day, min, its day, rain max, its day
    QTest::newRow("October 2008") << QDate(2008, 10, 1)
                                  << QVector<double>{59, 58, 59, 65, 69, 67, 62, 59, 72, 67, 68,
                                                     70, 73, 74, 80, 72, 53, 53, 53, 57, 53, 53,
                                                     55, 49, 53, 62, 50, 45, 43, 54, 70}
                                  << QVector<double>{52, 48, 50, 48, 50, 47, 57, 43, 57, 47, 44,
                                                     44, 45, 57, 59, 53, 44, 38, 32, 30, 38, 42,
                                                     29, 42, 38, 37, 43, 41, 34, 33, 33}
                                  << QVector<double>{.08, 0, 0, 0, 0, 0, 0, 0,   0,   0, 0, 0,   0,   0, 0, 0,
                                                     0,   0, 0, 0, 0, 0, 0, .18, .42, 0, 0, .12, .03, 0, 0}
                                  << QVector<double>{60.5, 43.7, 0.83, 52.1}
                                  << QVector<double>{80, 15, 29, 23, 0.42, 25};
    QTest::newRow("April 2008") << QDate(2008, 4, 1)
                                << QVector<double>{71, 54, 51, 55, 56, 48, 47, 58, 69, 76, 78, 72, 56, 56, 62,
                                                   70, 80, 86, 80, 55, 56, 64, 75, 77, 77, 83, 63, 55, 52, 54}
                                << QVector<double>{50, 37, 35, 37, 45, 45, 42, 41, 46, 51, 58, 56, 48, 37, 32,
                                                   32, 38, 46, 50, 53, 52, 55, 49, 52, 48, 62, 52, 45, 40, 38}
                                << QVector<double>{0,    0, .18, .07, .03, .08, .03, 0,   0,   0,
                                                   .18,  0, 0,   0,   0,   0,   0,   0,   .02, 1.84,
                                                   1.14, 0, .01, 0,   .43, .50, 0,   .83, .08, .03}
                                << QVector<double>{64.5, 45.7, 5.45, 55.1}
                                << QVector<double>{86, 18, 32, 15, 1.84, 20};
    QTest::newRow("July 2013")
        << QDate(2013, 7, 1)
        << QVector<double>{84, 83, 86, 86, 88, 90, 85, 86, 86, 86, 80, 74, 81, 90, 92, 93,
                           94, 95, 94, 86, 81, 87, 86, 77, 74, 81, 72, 83, 76, 78, 77}
        << QVector<double>{68, 68, 68, 68, 69, 71, 66, 65, 69, 69, 69, 65, 65, 67, 68, 69,
                           73, 73, 72, 69, 67, 69, 69, 65, 55, 53, 60, 64, 56, 55, 56}
        << QVector<double>{.12, .10, .42, 0,   .31, .07, .69, 0, 0, .22, .09, .17, 0, 0, 0,  0,
                           0,   0,   0,   .03, 0,   .23, .18, 0, 0, 0,   .02, 0,   0, 0, .03}
        << QVector<double>{84.2, 65.8, 2.68, 75.0} << QVector<double>{95, 18, 53, 26, 0.69, 7};
}

void TestDailySummary::publishedMonths() {
    QFETCH(QDate, month);
    QFETCH(QVector<double>, tmax);
    QFETCH(QVector<double>, tmin);
    QFETCH(QVector<double>, rain);
    QFETCH(QVector<double>, published);
    QFETCH(QVector<double>, extremes);
    QCOMPARE(tmax.size(), month.daysInMonth());
    QCOMPARE(tmin.size(), month.daysInMonth());
    QCOMPARE(rain.size(), month.daysInMonth());
    std::vector<double> mean;
    for (int i = 0; i < tmax.size(); ++i) {
        mean.push_back((tmax[i] + tmin[i]) / 2);
    }
    Days days({Rain, TempMax, TempMin, TempMean});
    days.add(month, TempMax, std::vector<double>(tmax.begin(), tmax.end()))
        .add(month, TempMin, std::vector<double>(tmin.begin(), tmin.end()))
        .add(month, Rain, std::vector<double>(rain.begin(), rain.end()))
        .add(month, TempMean, mean);
    const StationSummary s = summarize(days.series());
    const std::shared_ptr<Table> t = monthlyTable(s);
    QCOMPARE(t->recordCount(), 1);
    auto cell = [&](const char* caption) {
        const int field = t->fieldIndex(QString::fromUtf8(caption));
        return t->value(0, field).toDouble();
    };
    // As published, to their one decimal (two for the rain in inches).
    QCOMPARE(cell("Temperatura massima media (°C)"), published[0]);
    QCOMPARE(cell("Temperatura minima media (°C)"), published[1]);
    QCOMPARE(qRound(s.months[0].figures[RainTotal].value * 100), qRound(published[2] * 100));
    QCOMPARE(cell("Temperatura media (°C)"), published[3]);
    QCOMPARE(cell("Temperatura massima più alta (°C)"), extremes[0]);
    QCOMPARE(cell("Giorno della massima più alta"), extremes[1]);
    QCOMPARE(cell("Temperatura minima più bassa (°C)"), extremes[2]);
    QCOMPARE(cell("Giorno della minima più bassa"), extremes[3]);
    QCOMPARE(s.months[0].figures[RainMax].value, extremes[4]);
    QCOMPARE(cell("Giorno della pioggia massima"), extremes[5]);
}

QTEST_APPLESS_MAIN(TestDailySummary)
#include "test_dailysummary.moc"
