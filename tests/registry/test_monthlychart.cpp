// The monthly chart of the registry window: the year of the row the user stands on, rain totals
// as bars on their own axis, temperatures as lines, the rest waiting in the legend.
#include "chart/tablefigure.h"
#include "jet/jet.h"
#include "jetwriter/jetwriter.h"
#include "registry/monthlychart.h"

#include <QTemporaryDir>
#include <QtTest>

#include <cmath>

class TestMonthlyChart : public QObject {
    Q_OBJECT

  private slots:
    void yearOfTheCurrentRow() {
        using jetwriter::Column;
        using jetwriter::ColumnType;
        static const char* const kMonths[] = {"gennaio",   "febbraio", "marzo",    "aprile",
                                              "maggio",    "giugno",   "luglio",   "agosto",
                                              "settembre", "ottobre",  "novembre", "dicembre"};
        QList<Column> columns = {Column{QStringLiteral("parametro"), ColumnType::Text, 60}};
        for (const char* m : kMonths) {
            columns << Column{QString::fromLatin1(m), ColumnType::Double};
        }
        columns << Column{QStringLiteral("anno"), ColumnType::Integer};
        auto row = [](const char* parameter, double first, QVariant second, int year) {
            jetwriter::Row r{QString::fromUtf8(parameter), first, second};
            for (int m = 2; m < 12; ++m) {
                r << first + m;
            }
            r << year;
            return r;
        };
        jetwriter::Database archive(jetwriter::Version::Jet4);
        archive.addTable(QStringLiteral("mensili"), columns,
                         {row("Pioggia totale mm", 80.0, QVariant(), 1994),
                          row("Temperatura massima media °C", 5.5, 7.25, 1994),
                          row("Giorni piovosi", 6, 4.0, 1994), row("Pioggia totale mm", 10.0, 20.0, 1995)});
        QTemporaryDir dir;
        QString error;
        QVERIFY2(archive.write(dir.filePath(QStringLiteral("orbeni.mdb")), &error), qPrintable(error));
        jet::Error failure;
        const std::shared_ptr<jet::Database> db =
            jet::Database::open(dir.filePath(QStringLiteral("orbeni.mdb")), &failure);
        QVERIFY(db);
        const std::unique_ptr<jet::RecordSet> rows = db->openRecordSet(
            QStringLiteral(
                "select parametro, gennaio, febbraio, marzo, aprile, maggio, giugno, luglio, agosto, "
                "settembre, ottobre, novembre, dicembre, anno from mensili"),
            &failure);
        QVERIFY(rows);

        const chart::Figure f = registry::monthlyFigure(*rows, 1, QStringLiteral("Monte Vessa"));
        QCOMPARE(f.caption, QStringLiteral("Grafico - Monte Vessa - anno 1994"));
        QCOMPARE(f.panels[0].x.categories.size(), 12);
        QCOMPARE(f.panels[0].x.categories[1], QStringLiteral("febbraio"));
        QCOMPARE(f.panels[0].series.size(), 2);
        const chart::Series& rain = f.panels[0].series[0];
        QCOMPARE(rain.mark, chart::Mark::Bar);
        QCOMPARE(rain.axis, QStringLiteral("p"));
        QCOMPARE(rain.y[0], 80.0);
        QVERIFY(std::isnan(rain.y[1]));
        QCOMPARE(rain.y[11], 91.0);  // 80 + 11
        const chart::Series& tmax = f.panels[0].series[1];
        QCOMPARE(tmax.colour, chart::colours::maximum());
        QCOMPARE(tmax.y[1], 7.25);
        // A statistic of no known kind waits in the legend, on its own panel.
        QCOMPARE(f.panels[2].series.size(), 1);
        QVERIFY(!f.panels[2].series[0].shown);
        const chart::Figure next = registry::monthlyFigure(*rows, 3, QStringLiteral("Monte Vessa"));
        QCOMPARE(next.panels[0].series.size(), 1);
        QCOMPARE(next.panels[0].series[0].y[1], 20.0);
    }
};

QTEST_MAIN(TestMonthlyChart)
#include "test_monthlychart.moc"
