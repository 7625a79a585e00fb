// The daily chart as the result window describes it, on an archive of our writer: stations keyed
// by their code (two share a name), NULL rain days and missing days as gaps, March of two years
// on a broken axis, meteorological colours and axes, and the window from the grid's menu.
#include "chart/chartwindow.h"
#include "chart/tablefigure.h"
#include "controls/dbgrid.h"
#include "daily/dailychart.h"
#include "daily/dailystatement.h"
#include "db/datasource.h"
#include "db/rowview.h"
#include "forms/gridactions.h"
#include "jetwriter/jetwriter.h"
#include "runtime/form.h"
#include "support/scriptedseams.h"

#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>

namespace {

using chart::kMissing;

double jd(int y, int m, int d) {
    return double(QDate(y, m, d).toJulianDay());
}

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

// The daily statement as the selection form builds it, rain, temperatures and snow ticked.
QString statement(const QString& stationKey, const QString& yearKey, const QString& monthKey = QString()) {
    daily::DailyChoice c;
    c.stationText = stationKey;
    c.stationKey = stationKey;
    c.yearText = yearKey;
    c.yearKey = yearKey;
    c.monthText = monthKey;
    c.monthKey = monthKey;
    for (const int box : {0, 1, 2, 3, 4, 5}) {
        c.boxes[size_t(box)] = forms::kTicked;
    }
    return daily::buildDailyStatement(c).sql;
}

const chart::Series* find(const chart::Figure& f, const QString& subject, const QString& name) {
    for (const chart::Panel& p : f.panels) {
        for (const chart::Series& s : p.series) {
            if (s.subject == subject && s.name == name) {
                return &s;
            }
        }
    }
    return nullptr;
}

const QString kTmax = QStringLiteral("Temperatura massima °C");
const QString kRain = QStringLiteral("pioggia mm");

// A daily grid on a form, with its chart entry; the chart reads what the grid shows when asked.
struct DailyGrid {
    runtime::Form* form;
    controls::DBGrid* grid;
    forms::GridActions* actions;
};

DailyGrid openGrid(const QString& archive, const QString& statement, bool followShown) {
    auto* form = new runtime::Form;
    auto* source = form->addDataSource(QStringLiteral("DTabella"));
    auto* grid = new controls::DBGrid(QStringLiteral("DB"), form);
    source->setDatabaseName(archive);
    source->setRecordSource(statement);
    grid->bind(source);
    form->load();
    forms::GridActions* actions =
        chart::attach(grid->view(), source, form, [source, followShown](const forms::GridActions& shown) {
            return daily::dailyChart(source->databaseName(), source->recordSource(),
                                     followShown ? &shown : nullptr);
        });
    return {form, grid, actions};
}

}  // namespace

class TestDailyChart : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() {
        QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
        using jetwriter::Column;
        using jetwriter::ColumnType;
        QList<jetwriter::Row> rows;
        auto day = [&rows](int code, const char* name, int d, int m, int y, QVariant rain, QVariant tmax,
                           QVariant tmin = QVariant(), QVariant snow = QVariant(),
                           QVariant wind = QVariant()) {
            rows.append({code, QString::fromUtf8(name), d, m, y, rain, tmax, tmin, QVariant(), snow, wind});
        };
        // Two stations named alike; rows of both interleaved as an archive may hold them.
        day(1203, "Castel San Pietro", 1, 3, 1994, 0.0, 10.5, 1.0);
        day(12030, "Castel San Pietro", 1, 3, 1994, 5.0, 20.3, 11.0);
        day(1203, "Castel San Pietro", 2, 3, 1994, 2.5, 11.0, 2.0);
        day(12030, "Castel San Pietro", 2, 3, 1994, 0.0, 21.0, 12.0);
        day(1203, "Castel San Pietro", 3, 3, 1994, 0.0, 9.5, 3.0);
        day(12030, "Castel San Pietro", 3, 3, 1994, 1.0, 22.0, 13.0);
        // The next March, and a day of it missing (the 2nd).
        day(1203, "Castel San Pietro", 1, 3, 1995, 4.0, 12.0, 4.0);
        day(1203, "Castel San Pietro", 3, 3, 1995, 0.0, 13.0, 5.0);
        day(1203, "Castel San Pietro", 4, 3, 1995, 0.0, 14.0, 6.0);
        // A July with ten rain days NULL.
        for (int d = 18; d <= 31; ++d) {
            day(7, "Cesenatico", d, 7, 1994, d >= 20 && d <= 29 ? QVariant() : QVariant(3.0), 30.0);
        }
        day(9, "Alfonsine", 1, 1, 1994, QVariant(), 5.5, -1.0, 12.0, 20.0);
        day(9, "Alfonsine", 31, 2, 1994, 9.0, 9.0, 9.0, 9.0, 9.0);  // no calendar day
        day(99, "Vuota", 1, 1, 1996, QVariant(), QVariant());
        // Rows to the 6th of January 1997, the last three with no value at all.
        for (int d = 1; d <= 6; ++d) {
            day(5, "Lugo", d, 1, 1997, d <= 3 ? QVariant(1.0) : QVariant(),
                d <= 3 ? QVariant(4.0) : QVariant());
        }
        jetwriter::Database archive(jetwriter::Version::Jet4);
        archive.addTable(QStringLiteral("database1"),
                         {Column{QStringLiteral("codStaz"), ColumnType::Long},
                          Column{QStringLiteral("nomestaz"), ColumnType::Text, 50},
                          Column{QStringLiteral("Giorno"), ColumnType::Integer},
                          Column{QStringLiteral("Mese"), ColumnType::Integer},
                          Column{QStringLiteral("Anno"), ColumnType::Integer},
                          Column{QStringLiteral("Pioggia"), ColumnType::Double},
                          Column{QStringLiteral("TempMax"), ColumnType::Single},
                          Column{QStringLiteral("TempMin"), ColumnType::Single},
                          Column{QStringLiteral("TempMed"), ColumnType::Single},
                          Column{QStringLiteral("AltNeve"), ColumnType::Double},
                          Column{QStringLiteral("VelMedia"), ColumnType::Double}},
                         rows);
        // The form's station list, the registry's names: Castel San Pietro twice.
        archive.addTable(QStringLiteral("anagrafica"),
                         {Column{QStringLiteral("NomeStaz"), ColumnType::Text, 50},
                          Column{QStringLiteral("codstaz"), ColumnType::Long}},
                         {{QStringLiteral("Alfonsine"), 9},
                          {QStringLiteral("Castel San Pietro"), 1203},
                          {QStringLiteral("Castel San Pietro "), 12030},
                          {QStringLiteral("Cesenatico"), 7},
                          {QStringLiteral("Lugo"), 5}});
        archive.addQuery(QStringLiteral("Anagraficab"),
                         QStringLiteral("select NomeStaz, codstaz from anagrafica"));
        QVERIFY(dir_.isValid());
        QString error;
        QVERIFY2(archive.write(path(), &error), qPrintable(error));
    }

    // Every station once, alphabetical, the code beside a shared name; no series mixes two.
    void stationsKeyedByCode() {
        const std::optional<chart::Figure> f =
            daily::dailyChart(path(), statement(QString(), QStringLiteral("1994")));
        QVERIFY(f);
        QStringList labels;
        QStringList keys;
        for (const chart::Subject& s : f->subjects) {
            labels << s.label;
            keys << s.key;
        }
        QCOMPARE(labels, QStringList({"Alfonsine", "Castel San Pietro (1203)", "Castel San Pietro (12030)",
                                      "Cesenatico"}));
        QCOMPARE(keys, QStringList({"9", "1203", "12030", "7"}));
        QCOMPARE(f->title,
                 QStringLiteral("Alfonsine, Castel San Pietro (1203), Castel San Pietro (12030) e altre 1 - "
                                "dal 01/01/1994 al 31/07/1994"));
        const chart::Series* one = find(*f, QStringLiteral("1203"), kTmax);
        const chart::Series* other = find(*f, QStringLiteral("12030"), kTmax);
        QVERIFY(one && other);
        QVERIFY(same(one->x, {jd(1994, 3, 1), jd(1994, 3, 2), jd(1994, 3, 3)}));
        QVERIFY(same(one->y, {10.5, 11.0, 9.5}));
        // Single precision as the grid shows it: 20,3, not 20.299999.
        QVERIFY(same(other->y, {20.3, 21.0, 22.0}));
        QVERIFY(same(find(*f, QStringLiteral("12030"), kRain)->y, {5.0, 0.0, 1.0}));
        // One of them chosen: only its own series.
        const chart::Figure alone = chart::forSubject(*f, QStringLiteral("12030"));
        QCOMPARE(alone.title, QStringLiteral("Castel San Pietro (12030) - dal 01/01/1994 al 31/07/1994"));
        for (const chart::Panel& p : alone.panels) {
            for (const chart::Series& s : p.series) {
                QCOMPARE(s.subject, QStringLiteral("12030"));
            }
        }
        // The 31st of February is left out; January's values stand.
        const chart::Series* snow = find(*f, QStringLiteral("9"), QStringLiteral("Altezza della neve cm"));
        QVERIFY(snow);
        QVERIFY(same(snow->x, {jd(1994, 1, 1)}));
        QVERIFY(same(snow->y, {12.0}));
    }

    // One of two stations sharing a name, alone in the rows: its code still says which, in the
    // legend and the title (a saved or printed chart stands on its own); names no other station
    // has stay as they are.
    void sharedNameAloneKeepsItsCode_data() {
        QTest::addColumn<QString>("station");
        QTest::addColumn<QString>("label");
        QTest::newRow("shared") << QStringLiteral("12030") << QStringLiteral("Castel San Pietro (12030)");
        QTest::newRow("its twin") << QStringLiteral("1203") << QStringLiteral("Castel San Pietro (1203)");
        QTest::newRow("not shared") << QStringLiteral("7") << QStringLiteral("Cesenatico");
    }
    void sharedNameAloneKeepsItsCode() {
        QFETCH(QString, station);
        QFETCH(QString, label);
        const std::optional<chart::Figure> f =
            daily::dailyChart(path(), statement(station, QStringLiteral("1994")));
        QVERIFY(f);
        QCOMPARE(f->subjects.size(), 1);
        QCOMPARE(f->subjects[0].label, label);
        QVERIFY2(f->title.startsWith(label + QStringLiteral(" - dal ")), qPrintable(f->title));
    }

    // NULL rain is no dry day: a gap, never a zero, and a line never joins across it.
    void nullRainIsAGap() {
        const std::optional<chart::Figure> f =
            daily::dailyChart(path(), statement(QStringLiteral("7"), QString()));
        QVERIFY(f);
        const chart::Series* rain = find(*f, QStringLiteral("7"), kRain);
        QVERIFY(rain);
        QCOMPARE(rain->x.size(), 14);
        QVector<double> expected(14, kMissing);
        expected[0] = expected[1] = expected[12] = expected[13] = 3.0;
        QVERIFY(same(rain->y, expected));
        QCOMPARE(chart::joinedRuns(*rain, 1, {}).size(), 2);
    }

    // March of two years: two stretches side by side; the missing day breaks the line.
    void twoMarches() {
        const std::optional<chart::Figure> f =
            daily::dailyChart(path(), statement(QStringLiteral("1203"), QString(), QStringLiteral("3")));
        QVERIFY(f);
        const chart::Panel& weather = f->panels[0];
        const QVector<chart::Extent> spans = chart::spansOf(weather, chart::PanelView());
        QCOMPARE(spans.size(), 2);
        QCOMPARE(spans[0].min, jd(1994, 3, 1) - 0.5);
        QCOMPARE(spans[0].max, jd(1994, 3, 3) + 0.5);
        QCOMPARE(spans[1].min, jd(1995, 3, 1) - 0.5);
        QCOMPARE(spans[1].max, jd(1995, 3, 4) + 0.5);
        const chart::Series* t = find(*f, QStringLiteral("1203"), kTmax);
        QVERIFY(t);
        QStringList runs;
        for (const QVector<int>& run : chart::joinedRuns(*t, weather.x.step, spans)) {
            runs << QString::number(run.size());
        }
        QCOMPARE(runs, QStringList({"3", "1", "2"}));
    }

    // Temperatures red, blue and grey on one axis; rain blue bars on its own axis from 0; snow in
    // a panel of its own; wind waits in the legend.
    void drawnAsMeteorologistsDo() {
        const std::optional<chart::Figure> f =
            daily::dailyChart(path(), statement(QStringLiteral("9"), QString()));
        QVERIFY(f);
        const chart::Series* tmax = find(*f, QStringLiteral("9"), kTmax);
        const chart::Series* tmin = find(*f, QStringLiteral("9"), QStringLiteral("Temperatura minima °C"));
        const chart::Series* snow = find(*f, QStringLiteral("9"), QStringLiteral("Altezza della neve cm"));
        const chart::Series* wind =
            find(*f, QStringLiteral("9"), QStringLiteral("Velocità media del vento (Km/h)"));
        QVERIFY(tmax && tmin && snow && wind);
        QCOMPARE(tmax->colour, chart::colours::maximum());
        QCOMPARE(tmin->colour, chart::colours::minimum());
        QCOMPARE(tmax->colour.red() > 200 && tmax->colour.blue() < 80, true);
        QCOMPARE(tmin->colour.blue() > 180 && tmin->colour.red() < 80, true);
        QVERIFY(tmax->shown && tmin->shown && snow->shown && !wind->shown);
        QCOMPARE(snow->mark, chart::Mark::Bar);
        const chart::Panel& weather = f->panels[0];
        QCOMPARE(chart::axisTitle(weather.axes[1]), QStringLiteral("Pioggia (mm)"));
        QVERIFY(weather.axes[1].fromZero && weather.axes[1].right);
        for (const chart::Series& s : weather.series) {
            QVERIFY(s.name != snow->name);
        }
        QCOMPARE(chart::axisTitle(*chart::axisOf(f->panels[1], *snow)), QStringLiteral("Neve (cm)"));
    }

    // Only NULL values: nothing to draw, and the window says so.
    void onlyNulls() {
        const std::optional<chart::Figure> f =
            daily::dailyChart(path(), statement(QStringLiteral("99"), QString()));
        QVERIFY(f);
        QVERIFY(!chart::anyValue(*f));
        chart::ChartWindow window(nullptr);
        window.showData(*f);
        QVERIFY(window.view()->layout().empty());
    }

    // Days whose values are all missing at the end of the result: the period and the axis still
    // reach the last row's day (an empty stretch), not the last value's.
    void emptyDaysKeepThePeriod() {
        const std::optional<chart::Figure> f =
            daily::dailyChart(path(), statement(QStringLiteral("5"), QString()));
        QVERIFY(f);
        QCOMPARE(f->title, QStringLiteral("Lugo - dal 01/01/1997 al 06/01/1997"));
        const QVector<chart::Extent> spans = chart::spansOf(f->panels[0], chart::PanelView());
        QCOMPARE(spans.size(), 1);
        QCOMPARE(spans[0].min, jd(1997, 1, 1) - 0.5);
        QCOMPARE(spans[0].max, jd(1997, 1, 6) + 0.5);
    }

    // From the grid's menu to a chart window of its own, which closes with its window.
    void fromTheGrid() {
        testsupport::ScriptedSeams seams;
        const DailyGrid g = openGrid(path(), statement(QString(), QStringLiteral("1994")), false);
        runtime::Form* form = g.form;
        forms::GridActions* actions = g.actions;
        form->show();
        QVERIFY(actions->chartAction()->isVisible());
        actions->chartAction()->trigger();
        chart::ChartWindow* window = chart::chartWindowOf(form);
        QVERIFY(window && window->isVisible() && !window->isModal());
        QVERIFY(window->windowTitle().startsWith(QStringLiteral("Grafico - Alfonsine, ")));
        QCOMPARE(window->cmbStazione->count(), 5);
        QCOMPARE(window->cmbStazione->itemText(3), QStringLiteral("Castel San Pietro (12030)"));
        window->cmbStazione->setCurrentIndex(3);
        emit window->cmbStazione->activated(3);
        QCOMPARE(window->windowTitle(),
                 QStringLiteral("Grafico - Castel San Pietro (12030) - dal 01/01/1994 al 31/07/1994"));
        actions->chartAction()->trigger();
        QCOMPARE(form->findChildren<chart::ChartWindow*>().size(), 1);
        QPointer<chart::ChartWindow> guard(window);
        form->Unload();
        QTRY_VERIFY(!guard);
        QVERIFY(seams.unexpected.isEmpty());
    }

    // An archive copied from Windows is named in capitals: the grid finds it, and so do the chart
    // and the summary that read its rows again. Once it is gone, the menu entry says so.
    void archiveInCapitals() {
        QTemporaryDir copied;
        QVERIFY(QFile::copy(path(), copied.filePath(QStringLiteral("ORBENI.MDB"))));
        const QString asNamed = copied.filePath(QStringLiteral("orbeni.mdb"));
        const QString year = statement(QString(), QStringLiteral("1994"));
        QVERIFY(daily::readWithCode(asNamed, year));
        testsupport::ScriptedSeams seams;
        const DailyGrid g = openGrid(asNamed, year, true);
        runtime::Form* form = g.form;
        forms::GridActions* actions = g.actions;
        form->show();
        actions->chartAction()->trigger();
        chart::ChartWindow* window = chart::chartWindowOf(form);
        QVERIFY(window && window->isVisible());
        QCOMPARE(window->cmbStazione->count(), 5);
        QVERIFY(seams.messages.isEmpty());
        window->close();
        QVERIFY(QFile::remove(copied.filePath(QStringLiteral("ORBENI.MDB"))));
        actions->chartAction()->trigger();
        QCOMPARE(seams.messages,
                 QStringList{QStringLiteral(
                     "Impossibile rileggere le righe dall'archivio: il grafico non è disponibile.")});
        QVERIFY(!window->isVisible());
        form->Unload();
    }

    // The chart reads the rows the grid shows: filtered to one name, both stations of that name and
    // nothing else, each on its own; a filter set while the chart is open redraws it.
    void followsTheGridsFilter() {
        testsupport::ScriptedSeams seams;
        const DailyGrid g = openGrid(path(), statement(QString(), QStringLiteral("1994")), true);
        runtime::Form* form = g.form;
        forms::GridActions* actions = g.actions;
        controls::DBGrid* grid = g.grid;
        form->show();
        db::RowView* view = db::RowView::of(grid->view()->model());
        QVERIFY(view && view->allRows());
        const jet::RecordSet& all = *view->allRows();
        const int name = all.fieldIndex(QStringLiteral("Denominazione"));
        auto rowNamed = [&all, name](const char* station) {
            for (int row = 0; row < all.recordCount(); ++row) {
                if (all.value(row, name).text() == QString::fromUtf8(station)) {
                    return row;
                }
            }
            return -1;
        };
        view->addFilter(db::filterByCell(all, rowNamed("Castel San Pietro"), name, false));
        view->sortBy(all.fieldIndex(QStringLiteral("Giorno")), Qt::DescendingOrder);
        actions->chartAction()->trigger();
        chart::ChartWindow* window = chart::chartWindowOf(form);
        QVERIFY(window);
        QStringList keys;
        for (const chart::Subject& s : window->data().subjects) {
            keys << s.key;
        }
        QCOMPARE(keys, (QStringList{QStringLiteral("1203"), QStringLiteral("12030")}));
        // 1203's maxima of 1-3 March 1994 (10.5, 11, 9.5), in date order whatever the grid's sort.
        const chart::Series* tmax = find(window->data(), QStringLiteral("1203"), kTmax);
        QVERIFY(tmax);
        QVERIFY(same(tmax->y, {10.5, 11.0, 9.5}));
        QVERIFY(same(tmax->x, {jd(1994, 3, 1), jd(1994, 3, 2), jd(1994, 3, 3)}));
        // Filtered to Cesenatico while open: its one station, and only its days.
        view->clearFilters();
        view->addFilter(db::filterByCell(all, rowNamed("Cesenatico"), name, false));
        QCOMPARE(window->data().subjects.size(), 1);
        QCOMPARE(window->data().subjects[0].key, QStringLiteral("7"));
        QVERIFY(find(window->data(), QStringLiteral("7"), kRain));
        form->Unload();
        QVERIFY(seams.unexpected.isEmpty());
    }

  private:
    QString path() const { return dir_.filePath(QStringLiteral("orbeni.mdb")); }
    QTemporaryDir dir_;
};

QTEST_MAIN(TestDailyChart)
#include "test_dailychart.moc"
