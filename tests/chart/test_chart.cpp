// Charts of what the grids show: the series hold exactly the grid's values, with gaps for NULL
// and dates from day, month and year; the window saves valid PNG, SVG and PDF files, prints
// through the print seam, zooms back on a right click and closes with the window it belongs to.
#include "chart/chartarchive.h"
#include "chart/chartdata.h"
#include "chart/chartwindow.h"
#include "db/boundcontrols.h"
#include "db/datasource.h"
#include "db/form.h"
#include "forms/gridactions.h"
#include "jet/jet.h"
#include "jetwriter/jetwriter.h"
#include "support/scriptedseams.h"

#include <QAction>
#include <QComboBox>
#include <QDateTime>
#include <QFile>
#include <QImage>
#include <QLegend>
#include <QLegendMarker>
#include <QMenu>
#include <QPushButton>
#include <QSvgRenderer>
#include <QTableView>
#include <QTemporaryDir>
#include <QValueAxis>
#include <QtTest>

#include <cmath>

namespace {

const QString kDaily = QStringLiteral(
    "select nomestaz as [Denominazione], Giorno, Mese, Anno, Pioggia as [pioggia mm], TempMax as "
    "[Temperatura massima °C], AltNeve as [Altezza della neve cm], DirVento as [Direzione prevalente del "
    "vento] "
    "from giorni");
const QString kRainfall =
    QStringLiteral("select Nomestaz , Anno , unhh as [1 ora], Data, trehh as [3 ore], Data1 from piogge");
const QString kMonthly = QStringLiteral("select parametro, gennaio,febbraio, marzo, anno from mensili");

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
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

double jd(int y, int m, int d) {
    return double(QDate(y, m, d).toJulianDay());
}

constexpr double kNull = std::numeric_limits<double>::quiet_NaN();

}  // namespace

class TestChart : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() {
        using jetwriter::Column;
        using jetwriter::ColumnType;
        // Rows out of date order, a NULL in each quantity, a day that is no date (31 February).
        archive_.addDaily(
            {Column{QStringLiteral("Pioggia"), ColumnType::Double},
             Column{QStringLiteral("TempMax"), ColumnType::Single},
             Column{QStringLiteral("AltNeve"), ColumnType::Double},
             Column{QStringLiteral("DirVento"), ColumnType::Text, 3}},
            QList<jetwriter::Row>{
                {QStringLiteral("Monte Vessa"), 2, 3, 1995, QVariant(), 8.3, 0.0, QStringLiteral("N")},
                {QStringLiteral("Monte Vessa"), 1, 3, 1995, 12.5, 7.1, QVariant(), QStringLiteral("NE")},
                {QStringLiteral("Roda"), 1, 3, 1995, 0.25, QVariant(), QVariant(), QVariant()},
                {QStringLiteral("Monte Vessa"), 3, 3, 1995, 1.0, -2.4, 3.0, QStringLiteral("S")},
                {QStringLiteral("Monte Vessa"), 31, 2, 1995, 9.0, 9.0, 9.0, QStringLiteral("O")},
                {QStringLiteral("Roda"), 2, 3, 1995, 4.0, 11.0, QVariant(), QVariant()},
            });
        jetwriter::Database& archive = archive_.writer();
        archive.addTable(
            QStringLiteral("piogge"),
            {Column{QStringLiteral("Nomestaz"), ColumnType::Text, 50},
             Column{QStringLiteral("Anno"), ColumnType::Integer},
             Column{QStringLiteral("unhh"), ColumnType::Double},
             Column{QStringLiteral("Data"), ColumnType::DateTime},
             Column{QStringLiteral("trehh"), ColumnType::Double},
             Column{QStringLiteral("Data1"), ColumnType::DateTime}},
            QList<jetwriter::Row>{
                {QStringLiteral("Monte Vessa"), 1994, 20.5, QDate(1994, 7, 1), 31.0, QDate(1994, 7, 1)},
                {QStringLiteral("Monte Vessa"), 1995, QVariant(), QVariant(), 40.0, QDate(1995, 8, 2)},
            });
        archive.addTable(QStringLiteral("mensili"),
                         {Column{QStringLiteral("parametro"), ColumnType::Text, 60},
                          Column{QStringLiteral("gennaio"), ColumnType::Double},
                          Column{QStringLiteral("febbraio"), ColumnType::Double},
                          Column{QStringLiteral("marzo"), ColumnType::Double},
                          Column{QStringLiteral("anno"), ColumnType::Integer}},
                         QList<jetwriter::Row>{
                             {QStringLiteral("Pioggia totale mm"), 80.0, QVariant(), 61.5, 1994},
                             {QStringLiteral("Temperatura media °C"), 1.5, 3.0, 7.25, 1994},
                             {QStringLiteral("Pioggia totale mm"), 10.0, 20.0, 30.0, 1995},
                         });
        archive_.writeAndOpen();
    }

    void dailySeriesHoldTheGridsValues() {
        const std::unique_ptr<jet::RecordSet> rows = open(kDaily);
        const chart::ChartData data = chart::dailySeries(*rows);
        QCOMPARE(data.stations, QStringList({"Monte Vessa", "Roda"}));
        QCOMPARE(data.first, QDate(1995, 3, 1));
        QCOMPARE(data.last, QDate(1995, 3, 3));
        QCOMPARE(data.caption, QStringLiteral("Grafico - Monte Vessa, Roda - dal 01/03/1995 al 03/03/1995"));
        QCOMPARE(data.xTitle, QStringLiteral("Data"));
        QCOMPARE(data.lineTitle, QStringLiteral("Temperatura (°C)"));
        QCOMPARE(data.barTitle, QStringLiteral("Pioggia (mm) / Neve (cm)"));

        // The direction is text: no series. Roda has no snow at all: no series.
        QStringList titles;
        for (const chart::Series& s : data.series) {
            titles << s.title;
        }
        QCOMPARE(titles, QStringList({"Monte Vessa - pioggia mm", "Monte Vessa - Temperatura massima °C",
                                      "Monte Vessa - Altezza della neve cm", "Roda - pioggia mm",
                                      "Roda - Temperatura massima °C"}));
        const chart::Series& rain = data.series[0];
        QCOMPARE(rain.style, chart::Style::Bar);
        QCOMPARE(rain.unit, QStringLiteral("mm"));
        // In date order, the 31st of February left out, NULL a gap and never a zero.
        QVERIFY(same(rain.x, {jd(1995, 3, 1), jd(1995, 3, 2), jd(1995, 3, 3)}));
        QVERIFY(same(rain.y, {12.5, kNull, 1.0}));
        const chart::Series& temperature = data.series[1];
        QCOMPARE(temperature.style, chart::Style::Line);
        QCOMPARE(temperature.unit, QStringLiteral("°C"));
        // Single-precision values as the grid shows them (8,3), not as the float's expansion.
        QVERIFY(same(temperature.y, {7.1, 8.3, -2.4}));
        QVERIFY(same(data.series[2].y, {kNull, 0.0, 3.0}));
        QVERIFY(same(data.series[3].y, {0.25, 4.0}));
        QVERIFY(same(data.series[4].y, {kNull, 11.0}));

        const chart::ChartData roda = chart::forStation(data, QStringLiteral("Roda"));
        QCOMPARE(roda.caption, QStringLiteral("Grafico - Roda - dal 01/03/1995 al 03/03/1995"));
        QCOMPARE(roda.series.size(), 2);
        QCOMPARE(roda.series[0].title, QStringLiteral("pioggia mm"));
        QCOMPARE(roda.barTitle, QStringLiteral("Pioggia (mm)"));
    }

    void rainfallAndMonthlySeries() {
        const std::unique_ptr<jet::RecordSet> rainfall = open(kRainfall);
        const chart::ChartData maxima = chart::rainfallSeries(*rainfall);
        QCOMPARE(maxima.categories, QStringList({"1 ora", "3 ore"}));
        QCOMPARE(maxima.caption, QStringLiteral("Grafico - Monte Vessa - anni 1994-1995"));
        QCOMPARE(maxima.series.size(), 2);
        QCOMPARE(maxima.series[0].title, QStringLiteral("1994"));
        QVERIFY(same(maxima.series[0].y, {20.5, 31.0}));
        QVERIFY(same(maxima.series[1].y, {kNull, 40.0}));
        QCOMPARE(maxima.lineTitle, QStringLiteral("Pioggia massima (mm)"));

        const std::unique_ptr<jet::RecordSet> monthly = open(kMonthly);
        // The year of the row the user stands on.
        const chart::ChartData year1994 = chart::monthlySeries(*monthly, 1, QStringLiteral("Monte Vessa"));
        QCOMPARE(year1994.caption, QStringLiteral("Grafico - Monte Vessa - anno 1994"));
        QCOMPARE(year1994.categories, QStringList({"gennaio", "febbraio", "marzo"}));
        QCOMPARE(year1994.series.size(), 2);
        QCOMPARE(year1994.series[0].title, QStringLiteral("Pioggia totale mm"));
        QCOMPARE(year1994.series[0].style, chart::Style::Bar);
        QVERIFY(same(year1994.series[0].y, {80.0, kNull, 61.5}));
        QVERIFY(same(year1994.series[1].y, {1.5, 3.0, 7.25}));
        const chart::ChartData year1995 = chart::monthlySeries(*monthly, 2, QStringLiteral("Monte Vessa"));
        QCOMPARE(year1995.series.size(), 1);
        QVERIFY(same(year1995.series[0].y, {10.0, 20.0, 30.0}));
    }

    // From the grid's menu to a chart window of its own, which closes with its window.
    void chartWindowOfAGrid() {
        testsupport::ScriptedSeams seams;
        auto* form = new db::Form;
        auto* source = new db::DataSource(QStringLiteral("DTabella"), form);
        auto* grid = new db::DBGrid(QStringLiteral("DB"), form);
        source->setDatabaseName(database());
        source->setRecordSource(kDaily);
        grid->bind(source);
        form->load();
        forms::GridActions* actions = chart::attach(grid->view(), source, form, chart::Kind::Daily);
        form->show();
        QVERIFY(!chart::chartWindowOf(form));
        QVERIFY(actions->chartAction()->isVisible());
        actions->chartAction()->trigger();
        chart::ChartWindow* window = chart::chartWindowOf(form);
        QVERIFY(window);
        QVERIFY(window->isVisible());
        QVERIFY(!window->isModal());
        QVERIFY(window->windowTitle().startsWith(QStringLiteral("Grafico")));
        QCOMPARE(window->windowTitle(),
                 QStringLiteral("Grafico - Monte Vessa, Roda - dal 01/03/1995 al 03/03/1995"));
        // Two stations: drawn together, or one of them chosen in the list.
        QVERIFY(window->cmbStazione->isVisible());
        QCOMPARE(window->cmbStazione->count(), 3);
        QCOMPARE(window->data().series.size(), 5);
        window->cmbStazione->setCurrentIndex(2);
        emit window->cmbStazione->activated(2);
        QCOMPARE(window->windowTitle(), QStringLiteral("Grafico - Roda - dal 01/03/1995 al 03/03/1995"));
        QCOMPARE(window->data().series.size(), 2);
        // Asked again: the same window.
        actions->chartAction()->trigger();
        QCOMPARE(chart::chartWindowOf(form), window);
        QCOMPARE(form->findChildren<chart::ChartWindow*>().size(), 1);
        QCOMPARE(window->chart()->title(),
                 QStringLiteral("Monte Vessa, Roda - dal 01/03/1995 al 03/03/1995"));

        QPointer<chart::ChartWindow> guard(window);
        form->Unload();
        QVERIFY(!guard || !guard->isVisible());
        QTRY_VERIFY(!guard);
        QVERIFY(seams.unexpected.isEmpty());
    }

    void savesPngSvgPdfAndPrints() {
        testsupport::ScriptedSeams seams;
        const std::unique_ptr<jet::RecordSet> rows = open(kDaily);
        chart::ChartWindow window(nullptr);
        window.showData(chart::dailySeries(*rows));
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        const QString png = archive_.filePath(QStringLiteral("grafico.png"));
        QVERIFY(window.saveAs(png, chart::FileFormat::Png));
        QImage image(png);
        QVERIFY(!image.isNull());
        QCOMPARE(image.size(), window.view()->viewport()->size() * 2);
        // Not a blank page: the bars and lines put colour on it.
        int coloured = 0;
        for (int y = 0; y < image.height(); y += 3) {
            for (int x = 0; x < image.width(); x += 3) {
                const QColor c = image.pixelColor(x, y);
                coloured += c.saturation() > 80 ? 1 : 0;
            }
        }
        QVERIFY(coloured > 100);

        const QString svg = archive_.filePath(QStringLiteral("grafico.svg"));
        QVERIFY(window.saveAs(svg, chart::FileFormat::Svg));
        QVERIFY(readAll(svg).startsWith("<?xml"));
        QVERIFY(QSvgRenderer(svg).isValid());

        const QString pdf = archive_.filePath(QStringLiteral("grafico.pdf"));
        QVERIFY(window.saveAs(pdf, chart::FileFormat::Pdf));
        const QByteArray pdfBytes = readAll(pdf);
        QVERIFY(pdfBytes.startsWith("%PDF-1."));
        QVERIFY(pdfBytes.trimmed().endsWith("%%EOF"));

        // Through the dialog: the extension chooses the format; none adds the chosen pair's.
        seams.saveTo = archive_.filePath(QStringLiteral("scelto.SVG"));
        window.cmdSalva->click();
        QVERIFY(QSvgRenderer(*seams.saveTo).isValid());
        QCOMPARE(seams.saveRequests.size(), 1);
        QCOMPARE(seams.saveRequests[0].filter,
                 QStringLiteral(
                     "Immagine PNG (*.png)|*.png|Disegno SVG (*.svg)|*.svg|Documento PDF (*.pdf)|*.pdf"));
        seams.saveTo = archive_.filePath(QStringLiteral("senza"));
        window.cmdSalva->click();
        QVERIFY(!QImage(archive_.filePath(QStringLiteral("senza.png"))).isNull());
        // A folder that does not exist: nothing written, one message.
        seams.saveTo = archive_.filePath(QStringLiteral("manca/grafico.pdf"));
        window.cmdSalva->click();
        QCOMPARE(seams.messages,
                 QStringList{QStringLiteral("Impossibile salvare il grafico nel file ") + *seams.saveTo});
        seams.saveTo = QString();
        window.cmdSalva->click();  // cancelled
        QCOMPARE(seams.messages.size(), 1);

        seams.printTo = archive_.filePath(QStringLiteral("stampa.pdf"));
        window.cmdStampa->click();
        QCOMPARE(seams.printDialogs, 1);
        QVERIFY(readAll(*seams.printTo).startsWith("%PDF-1."));
        QVERIFY(seams.unexpected.isEmpty());
    }

    // One axis never mixes units: at first every bar and the lines of the first temperature's unit
    // are drawn, the others wait dimmed in the legend, and a click there shows them, for every
    // station, with the axis titled by what it then shows.
    void seriesShownAtFirstAndOnClick_data() {
        QTest::addColumn<QStringList>("captions");  // "L:" a line, "B:" bars
        QTest::addColumn<QString>("shown");         // the captions drawn at first, by their index
        QTest::addColumn<QString>("lineTitle");
        QTest::addColumn<QString>("barTitle");
        QTest::newRow("temperature and humidity")
            << QStringList{"B:pioggia mm", "L:Umidità dell'aria", "L:Temperatura massima °C",
                           "L:Temperatura minima °C", "B:Altezza della neve cm"}
            << "0234"
            << "Temperatura (°C)"
            << "Pioggia (mm) / Neve (cm)";
        QTest::newRow("no temperature: the first line's unit")
            << QStringList{"L:Velocità media del vento (Km/h)", "L:Umidità massima",
                           "L:Velocità massima del vento (Km/h)"}
            << "02"
            << "Valore (Km/h)"
            << "";
        QTest::newRow("unitless lines only") << QStringList{"L:Umidità massima", "L:Calme di vento"} << "01"
                                             << "Valore"
                                             << "";
        QTest::newRow("bars only") << QStringList{"B:pioggia mm"} << "0"
                                   << "Valore"
                                   << "Pioggia (mm)";
    }
    void seriesShownAtFirstAndOnClick() {
        QFETCH(QStringList, captions);
        QFETCH(QString, shown);
        QFETCH(QString, lineTitle);
        QFETCH(QString, barTitle);
        chart::ChartData data;
        data.kind = chart::Kind::Daily;
        data.first = QDate(1995, 3, 1);
        data.last = QDate(1995, 3, 2);
        for (const QString& station : {QStringLiteral("Monte Vessa"), QStringLiteral("Roda")}) {
            for (const QString& caption : captions) {
                chart::Series s;
                s.caption = caption.mid(2);
                s.station = station;
                s.title = station + QStringLiteral(" - ") + s.caption;
                s.unit = chart::unitOf(s.caption);
                s.style = caption.startsWith(u'B') ? chart::Style::Bar : chart::Style::Line;
                s.x = {jd(1995, 3, 1), jd(1995, 3, 2)};
                s.y = {1.0, 2.0};
                data.series.append(s);
            }
        }
        data.stations = QStringList{"Monte Vessa", "Roda"};
        chart::chooseShown(data);
        QString drawn;
        for (int i = 0; i < captions.size(); ++i) {
            QCOMPARE(data.series[i].shown, data.series[i + captions.size()].shown);
            drawn += data.series[i].shown ? QString::number(i) : QString();
        }
        QCOMPARE(drawn, shown);
        QCOMPARE(data.lineTitle, lineTitle);
        QCOMPARE(data.barTitle, barTitle);

        chart::ChartWindow window(nullptr);
        window.showData(data);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const int hidden = int(shown.size() < captions.size()
                                   ? std::find_if(data.series.begin(), data.series.end(),
                                                  [](const chart::Series& s) { return !s.shown; }) -
                                         data.series.begin()
                                   : -1);
        // Every series has its legend entry; one not shown draws nothing.
        QCOMPARE(window.chart()->series().size(), data.series.size());
        for (QAbstractSeries* series : window.chart()->series()) {
            const int index = series->property(chart::kSeriesIndex).toInt();
            QCOMPARE(series->isVisible(), data.series[index].shown);
            for (QLegendMarker* marker : window.chart()->legend()->markers(series)) {
                QVERIFY(marker->isVisible());
            }
        }
        if (hidden < 0) {
            return;
        }
        // Clicked in the legend: shown for both stations, the axis titled by every unit shown.
        QAbstractSeries* entry = nullptr;
        for (QAbstractSeries* series : window.chart()->series()) {
            entry = series->property(chart::kSeriesIndex).toInt() == hidden ? series : entry;
        }
        QVERIFY(entry);
        emit window.chart()->legend()->markers(entry).value(0)->clicked();
        QTRY_VERIFY(window.data().series[hidden].shown);
        QVERIFY(window.data().series[hidden + captions.size()].shown);
        QVERIFY(window.data().lineTitle != lineTitle);
        QVERIFY(window.data().lineTitle.startsWith(QStringLiteral("Valore")));
        // The choice stays when one station is chosen, and a second click takes it back.
        window.cmbStazione->setCurrentIndex(2);
        emit window.cmbStazione->activated(2);
        QVERIFY(window.data().series[hidden].shown);
        window.toggleSeries(hidden);
        QVERIFY(!window.data().series[hidden].shown);
        QCOMPARE(window.data().lineTitle, lineTitle);
    }

    // A rectangle drawn zooms in; a right click takes back one step at a time.
    void zoomAndBack() {
        const std::unique_ptr<jet::RecordSet> rows = open(kMonthly);
        chart::ChartWindow window(nullptr);
        window.showData(chart::monthlySeries(*rows, 0, QStringLiteral("Monte Vessa")));
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        auto* axis = qobject_cast<QValueAxis*>(window.chart()->axes(Qt::Horizontal).value(0));
        QVERIFY(axis);
        const qreal min = axis->min();
        const qreal max = axis->max();
        QWidget* viewport = window.view()->viewport();
        const QRectF plot = window.chart()->plotArea();
        const QPoint from = window.view()->mapFromScene(plot.topLeft() + QPointF(plot.width() * 0.3, 10));
        const QPoint to =
            window.view()->mapFromScene(plot.topLeft() + QPointF(plot.width() * 0.6, plot.height() - 10));
        QTest::mousePress(viewport, Qt::LeftButton, {}, from);
        QTest::mouseMove(viewport, to);
        QTest::mouseRelease(viewport, Qt::LeftButton, {}, to);
        QCOMPARE(window.view()->zoomDepth(), 1);
        QVERIFY(axis->min() > min);
        QVERIFY(axis->max() < max);
        QTest::mouseClick(viewport, Qt::RightButton, {}, from);
        QCOMPARE(window.view()->zoomDepth(), 0);
        QCOMPARE(axis->min(), min);
        QCOMPARE(axis->max(), max);
    }

  private:
    std::unique_ptr<jet::RecordSet> open(const QString& statement) {
        jet::Error failure;
        std::unique_ptr<jet::RecordSet> rows = archive_.database()->openRecordSet(statement, &failure);
        if (!rows) {
            qFatal("%s", qPrintable(failure.message));
        }
        return rows;
    }
    QString database() const { return archive_.path(); }
    charttest::ChartArchive archive_;
};

QTEST_MAIN(TestChart)
#include "test_chart.moc"
