// The intense-rainfall statement, byte for byte, for the criteria and the two groups of maxima.
#include "db/global.h"
#include "intense/intensestatement.h"

#include <QtTest>

namespace {

const QString kHours = QStringLiteral(
    ", unhh as [1 ora], Data, trehh as [3 ore], Data1, seihh as [6 ore], Data2, dodhh as [12 ore], Data3, "
    "venhh "
    "as [24 ore], Data4");
const QString kDays = QStringLiteral(
    ", ungg as [1 giorno], Data5, duegg as [2 giorni], Data6, tregg as [3 giorni], Data7, quagg as [4 "
    "giorni], "
    "Data8, cingg as [5 giorni], Data9");

intense::IntenseChoice choice(bool station, bool year, int hours, int days) {
    intense::IntenseChoice c;
    c.stationText = station ? QStringLiteral("Pian di Roda") : QStringLiteral("  ");
    c.yearText = year ? QStringLiteral("1995") : QString();
    c.stationKey = QStringLiteral("12");
    c.yearKey = QStringLiteral("1995");
    c.hoursBox = hours;
    c.daysBox = days;
    return c;
}

}  // namespace

class TestIntenseStatement : public QObject {
    Q_OBJECT
  private slots:
    void init() { Global::reset(); }

    void criteria_data() {
        QTest::addColumn<bool>("station");
        QTest::addColumn<bool>("year");
        QTest::addColumn<QString>("where");
        QTest::newRow("station only") << true << false << "where codstaz = 12";
        QTest::newRow("year only") << false << true << "where anno = 1995";
        QTest::newRow("both") << true << true << "where codstaz = 12 and anno = 1995";
    }
    void criteria() {
        QFETCH(bool, station);
        QFETCH(bool, year);
        QFETCH(QString, where);
        const forms::Statement s = intense::buildIntenseStatement(choice(station, year, 0, 0));
        QVERIFY(s.hasCriterion);
        QCOMPARE(s.where, where);
        QCOMPARE(s.sql, QStringLiteral("select Nomestaz , Anno  from piog9099 ") + where);
        QCOMPARE(s.filters[intense::kStationFilter],
                 station ? QString("codstaz = 12") + (year ? " and " : "") : QString());
        QCOMPARE(s.filters[intense::kYearFilter], year ? QStringLiteral("anno = 1995") : QString());
        // The press writes every part to Global.
        forms::publish(forms::Search::Intense, s);
        QCOMPARE(Global::IntenseSql, s.sql);
        QCOMPARE(Global::IntenseFields, s.fields);
        QCOMPARE(Global::IntenseWhere, s.where);
        QCOMPARE(Global::IntenseStationFilter, s.filters[intense::kStationFilter]);
        QCOMPARE(Global::IntenseYearFilter, s.filters[intense::kYearFilter]);
        QCOMPARE(Global::IntenseQueryOk, Global::kTrue);
    }

    void groups_data() {
        QTest::addColumn<int>("hours");
        QTest::addColumn<int>("days");
        QTest::addColumn<QString>("fields");
        QTest::newRow("neither") << 0 << 0 << "Nomestaz , Anno  from piog9099 ";
        QTest::newRow("only days") << 0 << 1 << "Nomestaz , Anno " + kDays + " from piog9099 ";
        QTest::newRow("only hours") << 1 << 0 << "Nomestaz , Anno " + kHours + " from piog9099 ";
        QTest::newRow("both") << 1 << 1 << "Nomestaz , Anno " + kHours + kDays + " from piog9099 ";
        QTest::newRow("greyed counts as clear") << 2 << 2 << "Nomestaz , Anno  from piog9099 ";
    }
    void groups() {
        QFETCH(int, hours);
        QFETCH(int, days);
        QFETCH(QString, fields);
        const forms::Statement s = intense::buildIntenseStatement(choice(false, true, hours, days));
        QCOMPARE(s.fields, fields);
        QCOMPARE(s.sql, "select " + fields + "where anno = 1995");
    }

    void exampleStatement() {
        QCOMPARE(intense::buildIntenseStatement(choice(true, true, 1, 0)).sql,
                 QStringLiteral(
                     "select Nomestaz , Anno , unhh as [1 ora], Data, trehh as [3 ore], Data1, seihh as "
                     "[6 ore], Data2, dodhh as [12 ore], Data3, venhh as [24 ore], Data4 from piog9099 "
                     "where codstaz = 12 and anno = 1995"));
    }

    void noCriterion() {
        Global::IntenseWhere = QStringLiteral("where anno = 1990");
        const forms::Statement s = intense::buildIntenseStatement(choice(false, false, 1, 1));
        QVERIFY(!s.hasCriterion);
        forms::publish(forms::Search::Intense, s);
        QCOMPARE(Global::IntenseSql, QStringLiteral("select "));
        QCOMPARE(Global::IntenseWhere, QStringLiteral("where anno = 1990"));
    }

    void secondPressAfterChangingOnlyTheYear() {
        forms::publish(forms::Search::Intense, intense::buildIntenseStatement(choice(true, true, 1, 1)));
        intense::IntenseChoice c = choice(true, true, 1, 1);
        c.yearKey = QStringLiteral("2001");
        forms::publish(forms::Search::Intense, intense::buildIntenseStatement(c));
        QCOMPARE(Global::IntenseWhere, QStringLiteral("where codstaz = 12 and anno = 2001"));
        QVERIFY(!Global::IntenseSql.contains(QStringLiteral("1995")));
        QCOMPARE(Global::IntenseSql.count(QStringLiteral("select ")), 1);
    }
};

QTEST_GUILESS_MAIN(TestIntenseStatement)
#include "test_intensestatement.moc"
