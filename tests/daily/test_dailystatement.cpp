// The daily statement, byte for byte, for every combination of criteria and for no, one and all
// quantity boxes.
#include "daily/dailystatement.h"
#include "db/global.h"
#include "forms/choice.h"

#include <QtTest>

namespace {

const QString kLead = QStringLiteral("select  nomestaz as [Denominazione], Giorno, Mese, Anno ");

daily::DailyChoice choiceWith(int criteria, int boxValue) {
    daily::DailyChoice c;
    c.stationText = (criteria & 1) ? QStringLiteral("Monte Vessa") : QString();
    c.yearText = (criteria & 2) ? QStringLiteral("1995") : QString();
    c.monthText = (criteria & 4) ? QStringLiteral("Marzo") : QString();
    c.dayText = (criteria & 8) ? QStringLiteral("7") : QString();
    c.stationKey = QStringLiteral("12");
    c.yearKey = QStringLiteral("1995");
    c.monthKey = QStringLiteral("3");
    c.dayKey = QStringLiteral("7");
    c.boxes.fill(boxValue);
    return c;
}

}  // namespace

class TestDailyStatement : public QObject {
    Q_OBJECT
  private slots:
    void init() { Global::reset(); }

    void everyCriteriaCombination_data() {
        QTest::addColumn<int>("criteria");
        QTest::addColumn<QString>("where");
        // bit 1 station, 2 year, 4 month, 8 day
        QTest::newRow("station") << 1 << "where codStaz = 12";
        QTest::newRow("year") << 2 << "where anno = 1995";
        QTest::newRow("station year") << 3 << "where codStaz = 12 and anno = 1995";
        QTest::newRow("month") << 4 << "where mese = 3";
        QTest::newRow("station month") << 5 << "where codStaz = 12 and mese = 3";
        QTest::newRow("year month") << 6 << "where anno = 1995 and mese = 3";
        QTest::newRow("station year month") << 7 << "where codStaz = 12 and anno = 1995 and mese = 3";
        QTest::newRow("day") << 8 << "where giorno = 7";
        QTest::newRow("station day") << 9 << "where codStaz = 12 and giorno = 7";
        QTest::newRow("year day") << 10 << "where anno = 1995 and giorno = 7";
        QTest::newRow("station year day") << 11 << "where codStaz = 12 and anno = 1995 and giorno = 7";
        QTest::newRow("month day") << 12 << "where mese = 3 and giorno = 7";
        QTest::newRow("station month day") << 13 << "where codStaz = 12 and mese = 3 and giorno = 7";
        QTest::newRow("year month day") << 14 << "where anno = 1995 and mese = 3 and giorno = 7";
        QTest::newRow("all four") << 15 << "where codStaz = 12 and anno = 1995 and mese = 3 and giorno = 7";
    }
    void everyCriteriaCombination() {
        QFETCH(int, criteria);
        QFETCH(QString, where);
        const forms::Statement s = daily::buildDailyStatement(choiceWith(criteria, 0));
        QVERIFY(s.hasCriterion);
        QCOMPARE(s.where, where);
        QCOMPARE(s.sql, kLead + QStringLiteral(" from  database1 ") + where);
        // Each criterion keeps its own " and " when a later one follows.
        QCOMPARE(s.filters[daily::kStationFilter],
                 (criteria & 1) ? QString("codStaz = 12") + ((criteria & 14) ? " and " : "") : QString());
        QCOMPARE(s.filters[daily::kYearFilter],
                 (criteria & 2) ? QString("anno = 1995") + ((criteria & 12) ? " and " : "") : QString());
        QCOMPARE(s.filters[daily::kMonthFilter],
                 (criteria & 4) ? QString("mese = 3") + ((criteria & 8) ? " and " : "") : QString());
        QCOMPARE(s.filters[daily::kDayFilter], (criteria & 8) ? QString("giorno = 7") : QString());
        // The press writes every part to Global.
        forms::publish(forms::Search::Daily, s);
        QCOMPARE(Global::DailySql, s.sql);
        QCOMPARE(Global::DailyFields, s.fields);
        QCOMPARE(Global::DailyWhere, s.where);
        QCOMPARE(Global::DailyStationFilter, s.filters[daily::kStationFilter]);
        QCOMPARE(Global::DailyYearFilter, s.filters[daily::kYearFilter]);
        QCOMPARE(Global::DailyMonthFilter, s.filters[daily::kMonthFilter]);
        QCOMPARE(Global::DailyDayFilter, s.filters[daily::kDayFilter]);
        QCOMPARE(Global::DailyQueryOk, Global::kTrue);
    }

    void noCriterionBuildsNoWhere() {
        Global::DailyWhere = QStringLiteral("where anno = 1990");
        daily::DailyChoice c = choiceWith(0, 1);
        c.stationText = QStringLiteral("   ");  // blanks only count as empty
        c.dayText = QStringLiteral(" ");
        Global::DailyYearFilter = QStringLiteral("anno = 1990");
        const forms::Statement s = daily::buildDailyStatement(c);
        QVERIFY(!s.hasCriterion);
        forms::publish(forms::Search::Daily, s);
        QCOMPARE(Global::DailySql, QStringLiteral("select "));
        QCOMPARE(Global::DailyYearFilter, QString());
        QCOMPARE(Global::DailyWhere, QStringLiteral("where anno = 1990"));  // not rebuilt
        QCOMPARE(Global::DailyQueryOk, Global::kFalse);
        QVERIFY(QString::fromUtf8(forms::kNoCriterionMessage) ==
                QStringLiteral(
                    "Impossibile eseguire la ricerca dei dati, almeno una casella deve essere valida"));
    }

    void noBoxTicked() {
        const forms::Statement s = daily::buildDailyStatement(choiceWith(8, 0));
        QVERIFY(s.hasCriterion);
        QCOMPARE(s.fields,
                 QStringLiteral(" nomestaz as [Denominazione], Giorno, Mese, Anno  from  database1 "));
        QCOMPARE(
            s.sql,
            QStringLiteral(
                "select  nomestaz as [Denominazione], Giorno, Mese, Anno  from  database1 where giorno = 7"));
    }

    void oneBoxTicked_data() {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("fragment");
        QTest::newRow("pioggia") << 0 << ", Pioggia as [pioggia mm]";
        QTest::newRow("tempmax") << 1 << ", TempMax as [Temperatura massima °C]";
        QTest::newRow("direzione")
            << 7
            << ", DirVento as [Direzione prevalente del vento], OreDir as [Ore di permanenza "
               "della direzione prevalente]";
        QTest::newRow("umidita") << 8 << ", Umidità as [Umidità dell'aria]";
        QTest::newRow("radiazione") << 9 << ", Radiazione as [Radiazione solare globale (MJ/MQ)]";
        QTest::newRow("calme") << 12 << ", calme as [Calme di vento]";
    }
    void oneBoxTicked() {
        QFETCH(int, index);
        QFETCH(QString, fragment);
        daily::DailyChoice c = choiceWith(2, 0);
        c.boxes[index] = forms::kTicked;
        QCOMPARE(daily::buildDailyStatement(c).sql,
                 kLead + fragment + QStringLiteral(" from  database1 where anno = 1995"));
    }

    void allBoxesTicked() {
        QCOMPARE(
            daily::buildDailyStatement(choiceWith(15, 1)).sql,
            QStringLiteral(
                "select  nomestaz as [Denominazione], Giorno, Mese, Anno , Pioggia as [pioggia mm], TempMax "
                "as "
                "[Temperatura massima °C], TempMin as [Temperatura minima °C], TempMed as [Temperatura media "
                "°C], AltNeve as [Altezza della neve cm], VelMedia as [Velocità media del vento (Km/h)], "
                "VelMax "
                "as [Velocità massima del vento (Km/h)], DirVento as [Direzione prevalente del vento], "
                "OreDir as "
                "[Ore di permanenza della direzione prevalente], Umidità as [Umidità dell'aria], Radiazione "
                "as "
                "[Radiazione solare globale (MJ/MQ)], Umidmax as [Umidità massima], Umidmin as [Umidità "
                "minima], "
                "calme as [Calme di vento] from  database1 where codStaz = 12 and anno = 1995 and mese = 3 "
                "and "
                "giorno = 7"));
    }

    void greyedBoxCountsAsClear() {
        daily::DailyChoice c = choiceWith(1, 2);  // every box greyed
        c.boxes[0] = forms::kTicked;
        c.boxes[12] = -1;
        QCOMPARE(daily::buildDailyStatement(c).sql,
                 kLead + ", Pioggia as [pioggia mm] from  database1 where codStaz = 12");
    }

    void exampleStatement() {
        daily::DailyChoice c = choiceWith(7, 0);
        c.boxes[0] = forms::kTicked;
        c.monthText = QStringLiteral("  Marzo ");  // the month goes in as its number, whatever is shown
        QCOMPARE(daily::buildDailyStatement(c).sql,
                 QStringLiteral(
                     "select  nomestaz as [Denominazione], Giorno, Mese, Anno , Pioggia as [pioggia mm] "
                     "from  database1 where codStaz = 12 and anno = 1995 and mese = 3"));
    }

    void missingKeyLeavesCriterionEmpty() {
        daily::DailyChoice c = choiceWith(3, 0);
        c.stationKey.clear();
        QCOMPARE(daily::buildDailyStatement(c).where, QStringLiteral("where codStaz =  and anno = 1995"));
    }

    void secondPressKeepsNothing() {
        forms::publish(forms::Search::Daily, daily::buildDailyStatement(choiceWith(15, 1)));
        daily::DailyChoice c = choiceWith(4, 0);
        c.monthKey = QStringLiteral("11");
        forms::publish(forms::Search::Daily, daily::buildDailyStatement(c));
        QCOMPARE(Global::DailySql, kLead + QStringLiteral(" from  database1 where mese = 11"));
        QCOMPARE(Global::DailyStationFilter, QString());
        QCOMPARE(Global::DailyYearFilter, QString());
        QCOMPARE(Global::DailyDayFilter, QString());
    }
};

QTEST_GUILESS_MAIN(TestDailyStatement)
#include "test_dailystatement.moc"
