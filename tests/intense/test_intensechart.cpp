// The rainfall-maxima chart as the result window describes it, on an archive of our writer: hours
// and days in two panels, never joined; stations keyed by their code, a shared name told apart.
#include "chart/chartdraw.h"
#include "chart/tablefigure.h"
#include "intense/intensechart.h"
#include "intense/intensestatement.h"
#include "jetwriter/jetwriter.h"

#include <QTemporaryDir>
#include <QtTest>

#include <cmath>

namespace {

using chart::kMissing;

bool same(const QVector<double>& actual, const QVector<double>& expected) {
    if (actual.size() != expected.size()) {
        return false;
    }
    for (qsizetype i = 0; i < actual.size(); ++i) {
        const bool gap = std::isnan(expected[i]);
        if (gap != std::isnan(actual[i]) || (!gap && actual[i] != expected[i])) {
            return false;
        }
    }
    return true;
}

}  // namespace

class TestIntenseChart : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() {
        using jetwriter::Column;
        using jetwriter::ColumnType;
        QList<Column> columns = {Column{QStringLiteral("codstaz"), ColumnType::Long},
                                 Column{QStringLiteral("Nomestaz"), ColumnType::Text, 50},
                                 Column{QStringLiteral("Anno"), ColumnType::Integer}};
        const char* const names[] = {"unhh", "trehh", "seihh", "dodhh", "venhh",
                                     "ungg", "duegg", "tregg", "quagg", "cingg"};
        for (int i = 0; i < 10; ++i) {
            columns << Column{QString::fromLatin1(names[i]), ColumnType::Double}
                    << Column{i == 0 ? QStringLiteral("Data") : QStringLiteral("Data%1").arg(i),
                              ColumnType::DateTime};
        }
        auto row = [](int code, const char* name, int year, const QList<QVariant>& maxima) {
            jetwriter::Row r{code, QString::fromUtf8(name), year};
            for (const QVariant& v : maxima) {
                r << v << (v.isNull() ? QVariant() : QVariant(QDate(year, 6, 1)));
            }
            return r;
        };
        jetwriter::Database archive(jetwriter::Version::Jet4);
        archive.addTable(QStringLiteral("piog9099"), columns,
                         QList<jetwriter::Row>{
                             row(1203, "Castel San Pietro", 1994,
                                 {20.5, 31.0, 40.0, 52.0, 60.5, 55.0, 70.0, 80.0, 85.0, 90.0}),
                             row(12030, "Castel San Pietro", 1994,
                                 {10.0, QVariant(), 15.0, 18.0, 25.0, 24.0, 30.0, 33.0, 35.0, 36.0}),
                             row(1203, "Castel San Pietro", 1995,
                                 {12.0, 14.0, 16.0, 18.0, 20.0, 19.0, 25.0, 27.0, 28.0, 29.0}),
                         });
        // The rainfall form's station list: the name is the registry's for both codes.
        archive.addTable(
            QStringLiteral("stazioni"),
            {Column{QStringLiteral("NomeStaz"), ColumnType::Text, 50},
             Column{QStringLiteral("codstaz"), ColumnType::Long}},
            {{QStringLiteral("Castel San Pietro"), 1203}, {QStringLiteral("Castel San Pietro"), 12030}});
        archive.addQuery(QStringLiteral("anagraficaa"),
                         QStringLiteral("select NomeStaz, codstaz from stazioni"));
        QVERIFY(dir_.isValid());
        QString error;
        QVERIFY2(archive.write(path(), &error), qPrintable(error));
    }

    void hoursAndDaysApartByStationCode() {
        // Every row: the statement's fields with no criterion.
        const QString every = QStringLiteral("select ") + intense::buildIntenseStatement({}).fields;
        const std::optional<chart::Figure> f = intense::maximaChart(path(), every);
        QVERIFY(f);
        QCOMPARE(f->panels.size(), 2);
        QCOMPARE(f->panels[0].x.categories, QStringList({"1 ora", "3 ore", "6 ore", "12 ore", "24 ore"}));
        QCOMPARE(f->panels[1].x.categories,
                 QStringList({"1 giorno", "2 giorni", "3 giorni", "4 giorni", "5 giorni"}));
        QCOMPARE(f->title,
                 QStringLiteral("Castel San Pietro (1203), Castel San Pietro (12030) - anni 1994-1995"));
        // Hours: three lines (two years of 1203, one of 12030); days the same, in their own panel.
        QCOMPARE(f->panels[0].series.size(), 3);
        QCOMPARE(f->panels[1].series.size(), 3);
        const chart::Series& hours = f->panels[0].series[1];
        QCOMPARE(hours.subject, QStringLiteral("12030"));
        QCOMPARE(hours.name, QStringLiteral("1994"));
        QVERIFY(same(hours.x, {0, 1, 2, 3, 4}));
        QVERIFY(same(hours.y, {10.0, kMissing, 15.0, 18.0, 25.0}));
        QVERIFY(same(f->panels[1].series[1].y, {24.0, 30.0, 33.0, 35.0, 36.0}));
        QVERIFY(same(f->panels[0].series[0].y, {20.5, 31.0, 40.0, 52.0, 60.5}));
        // The legend tells the two stations apart by their codes.
        chart::DrawOptions options;
        options.font.setPixelSize(12);
        const chart::Layout layout(*f, QRectF(0, 0, 900, 600), chart::View(), options);
        QStringList legend;
        for (const chart::Layout::LegendEntry& e : layout.legend()) {
            legend << e.text;
        }
        QCOMPARE(legend, QStringList({"Castel San Pietro (1203) - 1994", "Castel San Pietro (12030) - 1994",
                                      "Castel San Pietro (1203) - 1995"}));
        QCOMPARE(layout.panels().size(), 2);
        QCOMPARE(layout.panels()[0].axes[0].title, QStringLiteral("Pioggia massima (mm)"));
        QCOMPARE(layout.panels()[0].axes[0].extent.min, 0.0);
    }

    // One of them alone in the rows (a search by its code) keeps its code in the title.
    void sharedNameAloneKeepsItsCode() {
        intense::IntenseChoice choice;
        choice.stationText = choice.stationKey = QStringLiteral("12030");
        const std::optional<chart::Figure> f =
            intense::maximaChart(path(), intense::buildIntenseStatement(choice).sql);
        QVERIFY(f);
        QCOMPARE(f->subjects.size(), 1);
        QCOMPARE(f->title, QStringLiteral("Castel San Pietro (12030) - anno 1994"));
    }

  private:
    QString path() const { return dir_.filePath(QStringLiteral("orbeni.mdb")); }
    QTemporaryDir dir_;
};

QTEST_MAIN(TestIntenseChart)
#include "test_intensechart.moc"
