// The chart library on figures described by hand: round ticks, month starts, lines broken at every
// gap, a broken axis for stretches far apart, a word instead of an empty plot; the window's station
// list, legend clicks, zoom and its step back; pictures saved in the format chosen, under the name
// written, with a legend of what they draw; a print name with no path in it.
#include "chart/chartwindow.h"
#include "chart/ticks.h"
#include "support/findbutton.h"
#include "support/modalwatcher.h"
#include "support/scriptedseams.h"

#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QImage>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QSvgRenderer>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>

namespace {

using chart::kMissing;

double jd(int y, int m, int d) {
    return double(QDate(y, m, d).toJulianDay());
}

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QStringList labels(const QVector<chart::Tick>& ticks) {
    QStringList out;
    for (const chart::Tick& t : ticks) {
        out << t.label;
    }
    return out;
}

// Days of March of two years: a temperature every day but the 15th of 1994, rain with a NULL on
// the 10th of 1995; two stations when `stations` is 2 (the second a degree warmer).
chart::Figure twoMarches(int stations = 1) {
    chart::Figure f;
    f.title = QStringLiteral("Prova");
    f.caption = QStringLiteral("Grafico - Prova - dal 01/03/1994 al 31/03/1995");
    chart::Panel& p = f.panels.emplace_back();
    p.x.kind = chart::XKind::Date;
    p.x.step = 1;
    p.x.breakAfter = 45;
    p.axes = {{QStringLiteral("t"), QStringLiteral("Temperatura"), QStringLiteral("°C")},
              {QStringLiteral("p"), QStringLiteral("Pioggia"), QStringLiteral("mm"), chart::Scale::Linear,
               true, true}};
    for (int s = 0; s < stations; ++s) {
        const QString key = QString::number(100 + s);
        f.subjects.append(
            {key, QStringLiteral("Stazione %1").arg(s + 1), QStringLiteral("Stazione %1").arg(s + 1)});
        chart::Series t;
        t.name = QStringLiteral("Temperatura massima °C");
        t.subject = key;
        t.axis = QStringLiteral("t");
        t.colour = chart::colours::maximum();
        chart::Series r = t;
        r.name = QStringLiteral("pioggia mm");
        r.axis = QStringLiteral("p");
        r.mark = chart::Mark::Bar;
        r.colour = chart::colours::rain();
        for (const int year : {1994, 1995}) {
            for (int day = 1; day <= 31; ++day) {
                if (year == 1994 && day == 15) {
                    continue;  // no row at all
                }
                t.x.append(jd(year, 3, day));
                t.y.append(10 + day % 7 + s);
                r.x.append(jd(year, 3, day));
                r.y.append(year == 1995 && day == 10 ? kMissing : double(day % 4));
            }
        }
        f.panels[0].series << t << r;
    }
    return f;
}

chart::Layout layoutOf(const chart::Figure& figure, const QSize& size = QSize(900, 600), bool hidden = true) {
    chart::DrawOptions options;
    options.font.setPixelSize(12);
    options.hiddenInLegend = hidden;
    return chart::Layout(figure, QRectF(QPointF(0, 0), QSizeF(size)), chart::View(), options);
}

QImage picture(const chart::Figure& figure, const QSize& size = QSize(900, 600)) {
    QImage image(size, QImage::Format_ARGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    layoutOf(figure, size).paint(painter);
    return image;
}

bool near(const QColor& a, const QColor& b) {
    return std::abs(a.red() - b.red()) < 40 && std::abs(a.green() - b.green()) < 40 &&
           std::abs(a.blue() - b.blue()) < 40;
}

// The pixels of `colour` in the column at x within `plot`.
int pixelsInColumn(const QImage& image, double x, const QRectF& plot, const QColor& colour) {
    int found = 0;
    for (int y = int(plot.top()) + 2; y < int(plot.bottom()) - 1; ++y) {
        found += near(image.pixelColor(int(std::lround(x)), y), colour) ? 1 : 0;
    }
    return found;
}

}  // namespace

class TestChart : public QObject {
    Q_OBJECT

  private slots:
    // Whole round steps: 1, 2 or 5 times a power of ten, the extent widened to whole steps (after
    // a zoom too: a zoom to 0,3-39,7 shows 0 to 40).
    void roundTicks_data() {
        QTest::addColumn<double>("min");
        QTest::addColumn<double>("max");
        QTest::addColumn<int>("count");
        QTest::addColumn<QStringList>("ticks");
        // 39,4 / 5 = 7,88: the step is 10, from 0 to 40.
        QTest::newRow("zoomed rain") << 0.3 << 39.7 << 5 << QStringList{"0", "10", "20", "30", "40"};
        // 10,7 / 6 = 1,78: step 2 gives -4..10, seven parts, over six; step 5: -5..10.
        QTest::newRow("winter temperatures") << -2.4 << 8.3 << 6 << QStringList{"-5", "0", "5", "10"};
        QTest::newRow("snow") << 0.0 << 300.0 << 6
                              << QStringList{"0", "50", "100", "150", "200", "250", "300"};
        // One value: a unit either side, 2 / 5 = 0,4, step 0,5.
        QTest::newRow("one value") << 12.5 << 12.5 << 5 << QStringList{"11,5", "12", "12,5", "13", "13,5"};
        // 0,08 / 4 = 0,02: 0 to 0,1 is five parts, over four; 0,1 / 4 = 0,025: step 0,05.
        QTest::newRow("small") << 0.01 << 0.09 << 4 << QStringList{"0", "0,05", "0,1"};
    }
    void roundTicks() {
        QFETCH(double, min);
        QFETCH(double, max);
        QFETCH(int, count);
        QFETCH(QStringList, ticks);
        const chart::Extent e = chart::roundOut(min, max, count);
        QCOMPARE(labels(chart::valueTicks(e.min, e.max, chart::roundStep(e.min, e.max, count))), ticks);
        QCOMPARE(chart::numberText(e.min, 3), ticks.constFirst());
        QCOMPARE(chart::numberText(e.max, 3), ticks.constLast());
    }

    void logarithmicTicks() {
        QCOMPARE(labels(chart::logTicks(1, 100)), QStringList({"1", "2", "5", "10", "20", "50", "100"}));
        QCOMPARE(labels(chart::logTicks(1, 10000)), QStringList({"1", "10", "100", "1000", "10000"}));
        const chart::Extent e = chart::decadesOut(2.3, 480);
        QCOMPARE(e.min, 1.0);
        QCOMPARE(e.max, 1000.0);
        QCOMPARE(labels(chart::logTicks(0.1, 1)), QStringList({"0,1", "0,2", "0,5", "1"}));
        // Fewer than three decades: the ends on the nearest 1, 2 or 5 times a power of ten, so the
        // axis begins and ends on a tick without half of it empty.
        const chart::Extent rain = chart::logOut(13.1, 160.3);
        QCOMPARE(rain.min, 10.0);
        QCOMPARE(rain.max, 200.0);
        QCOMPARE(labels(chart::logTicks(rain.min, rain.max)), QStringList({"10", "20", "50", "100", "200"}));
        QCOMPARE(chart::logOut(25, 45).min, 20.0);
        QCOMPARE(chart::logOut(25, 45).max, 50.0);
        QCOMPARE(chart::logOut(1, 24).max, 50.0);
        // Three decades or more: whole decades, as their ticks are.
        QCOMPARE(chart::logOut(2.3, 480).min, 1.0);
        QCOMPARE(chart::logOut(2.3, 480).max, 1000.0);
    }

    // Month starts with the month's name for a year or less, every third month up to three years,
    // the year beyond; days for a month.
    void dateTicks_data() {
        QTest::addColumn<QDate>("first");
        QTest::addColumn<QDate>("last");
        QTest::addColumn<int>("count");
        QTest::addColumn<QStringList>("ticks");
        // 31 days: 31 / 2 > 10, 31 / 5 = 6,2: every fifth day; the 31st is next to April's first.
        QTest::newRow("a month") << QDate(1995, 3, 1) << QDate(1995, 3, 31) << 10
                                 << QStringList{"1 mar 1995", "6 mar",  "11 mar",
                                                "16 mar",     "21 mar", "26 mar"};
        QTest::newRow("a year") << QDate(1995, 1, 1) << QDate(1995, 12, 31) << 12
                                << QStringList{"gen 1995", "feb", "mar", "apr", "mag", "giu",
                                               "lug",      "ago", "set", "ott", "nov", "dic"};
        // 365 / 30,5 = 12 months, over 8: every second month.
        QTest::newRow("a year, narrow") << QDate(1995, 1, 1) << QDate(1995, 12, 31) << 8
                                        << QStringList{"gen 1995", "mar", "mag", "lug", "set", "nov"};
        QTest::newRow("from April to March")
            << QDate(1994, 4, 10) << QDate(1995, 3, 20) << 12
            << QStringList{"mag 1994", "giu", "lug",      "ago", "set", "ott",
                           "nov",      "dic", "gen 1995", "feb", "mar"};
        // 730 days / 30,5 / 3 = 8 quarters.
        QTest::newRow("two years") << QDate(1994, 1, 1) << QDate(1995, 12, 31) << 8
                                   << QStringList{"gen 1994", "apr 1994", "lug 1994", "ott 1994",
                                                  "gen 1995", "apr 1995", "lug 1995", "ott 1995"};
        QTest::newRow("ten years") << QDate(1990, 1, 1) << QDate(1999, 12, 31) << 10
                                   << QStringList{"1990", "1991", "1992", "1993", "1994",
                                                  "1995", "1996", "1997", "1998", "1999"};
        QTest::newRow("ten years, narrow") << QDate(1990, 1, 1) << QDate(1999, 12, 31) << 5
                                           << QStringList{"1990", "1992", "1994", "1996", "1998"};
    }
    void dateTicks() {
        QFETCH(QDate, first);
        QFETCH(QDate, last);
        QFETCH(int, count);
        QFETCH(QStringList, ticks);
        const QVector<chart::Tick> got =
            chart::dateTicks(double(first.toJulianDay()) - 0.5, double(last.toJulianDay()) + 0.5, count);
        QCOMPARE(labels(got), ticks);
        // On the days they name: the first tick of "a year" on the 1st of January.
        if (ticks.constFirst() == QLatin1String("gen 1995")) {
            QCOMPARE(got.constFirst().value, jd(1995, 1, 1));
        }
    }

    // A line joins neighbours only: never across a missing value, a missing day, or a break.
    void joinedRuns_data() {
        QTest::addColumn<QVector<double>>("x");
        QTest::addColumn<QVector<double>>("y");
        QTest::addColumn<double>("step");
        QTest::addColumn<bool>("broken");  // stretches 0,5-2,5 and 3,5-5,5
        QTest::addColumn<QString>("runs");
        QTest::newRow("a NULL") << QVector<double>{1, 2, 3, 4, 5} << QVector<double>{1, kMissing, 3, 4, 5}
                                << 1.0 << false << "0|234";
        QTest::newRow("a missing day")
            << QVector<double>{1, 2, 4, 5} << QVector<double>{1, 2, 3, 4} << 1.0 << false << "01|23";
        QTest::newRow("categories join all")
            << QVector<double>{1, 2, 4, 5} << QVector<double>{1, 2, 3, 4} << 0.0 << false << "0123";
        QTest::newRow("a broken axis")
            << QVector<double>{1, 2, 3, 4, 5} << QVector<double>{1, 2, 3, 4, 5} << 0.0 << true << "01|34";
        QTest::newRow("only NULL") << QVector<double>{1, 2} << QVector<double>{kMissing, kMissing} << 1.0
                                   << false << "";
    }
    void joinedRuns() {
        QFETCH(QVector<double>, x);
        QFETCH(QVector<double>, y);
        QFETCH(double, step);
        QFETCH(bool, broken);
        QFETCH(QString, runs);
        chart::Series s;
        s.x = x;
        s.y = y;
        const QVector<chart::Extent> spans =
            broken ? QVector<chart::Extent>{{0.5, 2.5}, {3.5, 5.5}} : QVector<chart::Extent>{};
        QStringList got;
        for (const QVector<int>& run : chart::joinedRuns(s, step, spans)) {
            QString text;
            for (const int i : run) {
                text += QString::number(i);
            }
            got << text;
        }
        QCOMPARE(got.join(u'|'), runs);
    }

    // March of two years: two stretches side by side, each with its own day ticks, and nothing
    // drawn in the year between; a NULL rain day draws no bar, not even at zero.
    void twoMarchesOnABrokenAxis() {
        const chart::Figure f = twoMarches();
        const chart::Layout layout = layoutOf(f);
        QCOMPARE(layout.panels().size(), 1);
        const chart::Layout::DrawnPanel& panel = layout.panels().constFirst();
        QCOMPARE(panel.spans.size(), 2);
        QCOMPARE(panel.spans[0].extent.min, jd(1994, 3, 1) - 0.5);
        QCOMPARE(panel.spans[0].extent.max, jd(1994, 3, 31) + 0.5);
        QCOMPARE(panel.spans[1].extent.min, jd(1995, 3, 1) - 0.5);
        QVERIFY(panel.spans[0].plot.right() < panel.spans[1].plot.left());
        QCOMPARE(panel.spans[0].ticks.constFirst().label, QStringLiteral("1 mar 1994"));
        QCOMPARE(panel.spans[1].ticks.constFirst().label, QStringLiteral("1 mar 1995"));
        QVERIFY(std::isnan(layout.toPixelX(panel, jd(1994, 9, 1))));
        // Rain on its own axis from 0, on the right; temperature on the left.
        QCOMPARE(panel.axes.size(), 2);
        QCOMPARE(panel.axes[1].title, QStringLiteral("Pioggia (mm)"));
        QVERIFY(panel.axes[1].right);
        QCOMPARE(panel.axes[1].extent.min, 0.0);
        QCOMPARE(panel.axes[0].title, QStringLiteral("Temperatura (°C)"));

        const QImage image = picture(f);
        // The NULL day: no rain drawn; the day before (9 % 4 = 1 mm) has its bar.
        const QRectF plot = panel.spans[1].plot;
        QCOMPARE(pixelsInColumn(image, layout.toPixelX(panel, jd(1995, 3, 10)), plot, chart::colours::rain()),
                 0);
        QVERIFY(pixelsInColumn(image, layout.toPixelX(panel, jd(1995, 3, 9)), plot, chart::colours::rain()) >
                0);
        // Between the stretches nothing of either series.
        const double between = (panel.spans[0].plot.right() + panel.spans[1].plot.left()) / 2;
        QCOMPARE(pixelsInColumn(image, between, plot, chart::colours::maximum()), 0);
        QCOMPARE(pixelsInColumn(image, between, plot, chart::colours::rain()), 0);
        // The missing 15th of March 1994: the temperature line is not drawn across it.
        const double x15 =
            (layout.toPixelX(panel, jd(1994, 3, 14)) + layout.toPixelX(panel, jd(1994, 3, 16))) / 2;
        QCOMPARE(pixelsInColumn(image, x15, panel.spans[0].plot, chart::colours::maximum()), 0);
        const double x5 =
            (layout.toPixelX(panel, jd(1994, 3, 4)) + layout.toPixelX(panel, jd(1994, 3, 5))) / 2;
        QVERIFY(pixelsInColumn(image, x5, panel.spans[0].plot, chart::colours::maximum()) > 0);
    }

    // A number axis widened to whole ticks (decades on a logarithmic one) keeps its stretch within
    // the plot: every point drawn inside it, the last tick at its right edge.
    void widenedAxisWithinThePlot_data() {
        QTest::addColumn<int>("scale");
        QTest::addColumn<double>("low");
        QTest::addColumn<double>("high");
        QTest::addColumn<double>("lastTick");
        QTest::newRow("log 1-24 h") << int(chart::Scale::Log) << 1.0 << 24.0 << 50.0;
        QTest::newRow("linear -0.58-5.3") << int(chart::Scale::Linear) << -0.58 << 5.3 << 6.0;
    }
    void widenedAxisWithinThePlot() {
        QFETCH(int, scale);
        QFETCH(double, low);
        QFETCH(double, high);
        QFETCH(double, lastTick);
        chart::Figure f;
        chart::Panel& p = f.panels.emplace_back();
        p.x.scale = chart::Scale(scale);
        p.axes = {{QStringLiteral("h"), QStringLiteral("Altezza"), QStringLiteral("mm")}};
        chart::Series& s = p.series.emplace_back();
        s.mark = chart::Mark::Points;
        s.x = {low, (low + high) / 2, high};
        s.y = {10, 20, 30};
        const chart::Layout layout = layoutOf(f);
        const chart::Layout::DrawnPanel& panel = layout.panels().constFirst();
        QCOMPARE(panel.spans.size(), 1);
        QVERIFY2(
            panel.spans[0].plot.right() <= panel.plot.right() + 1e-6,
            qPrintable(QStringLiteral("%1 > %2").arg(panel.spans[0].plot.right()).arg(panel.plot.right())));
        QCOMPARE(panel.spans[0].extent.max, lastTick);
        QVERIFY(std::abs(layout.toPixelX(panel, lastTick) - panel.plot.right()) < 1e-6);
        QVERIFY(layout.toPixelX(panel, high) < panel.plot.right());
        QVERIFY(layout.toPixelX(panel, low) >= panel.plot.left() - 1e-6);

        // An extent the figure gives is shown as given, not widened.
        f.panels[0].x.min = low;
        f.panels[0].x.max = high;
        const chart::Layout fixed = layoutOf(f);
        QCOMPARE(fixed.panels().constFirst().spans[0].extent.min, low);
        QCOMPARE(fixed.panels().constFirst().spans[0].extent.max, high);
        QVERIFY(std::abs(fixed.toPixelX(fixed.panels().constFirst(), high) - panel.plot.right()) < 1e-6);
    }

    // Ten Marches in a narrow window: each stretch's first label (its year) is kept, no two labels
    // overlap; a row whose values are all missing keeps the axis open to its day.
    void narrowStretchesKeepTheirYear() {
        chart::Figure f = twoMarches();
        chart::Series& t = f.panels[0].series[0];
        chart::Series& r = f.panels[0].series[1];
        t.x.clear();
        t.y.clear();
        for (int year = 1990; year < 2000; ++year) {
            for (int day = 1; day <= 31; ++day) {
                t.x.append(jd(year, 3, day));
                // The last five days of 1999 are rows with nothing in them.
                t.y.append(year == 1999 && day > 26 ? kMissing : 10 + day % 5);
            }
        }
        r.x = t.x;
        r.y = QVector<double>(t.x.size(), kMissing);
        r.y[0] = 2;
        const chart::Layout layout = layoutOf(f, QSize(700, 400));
        const chart::Layout::DrawnPanel& panel = layout.panels().constFirst();
        QCOMPARE(panel.spans.size(), 10);
        QCOMPARE(panel.spans.constLast().extent.max, jd(1999, 3, 31) + 0.5);
        QCOMPARE(layoutOf(f, QSize(1400, 400)).panels()[0].spans[3].ticks.constFirst().label,
                 QStringLiteral("1 mar 1993"));
        QFont font;
        font.setPixelSize(12);
        const QFontMetricsF metrics(font);
        QVector<std::pair<double, double>> drawn;
        for (int i = 0; i < panel.spans.size(); ++i) {
            const chart::Layout::DrawnSpan& span = panel.spans[i];
            // Too narrow for "1 mar 1990": the year alone.
            QCOMPARE(span.ticks.constFirst().label, QString::number(1990 + i));
            for (const chart::Tick& tick : span.ticks) {
                if (!tick.label.isEmpty()) {
                    const double x = layout.toPixelX(panel, tick.value);
                    const double half = metrics.horizontalAdvance(tick.label) / 2;
                    for (const auto& [from, to] : drawn) {
                        QVERIFY2(x + half <= from || x - half >= to, qPrintable(tick.label));
                    }
                    drawn.append({x - half, x + half});
                }
            }
        }
    }

    // Stacked panels share their plot's left and right edges, though only the first has a rain axis
    // on the right: a day stands at the same place in both.
    void panelsAligned() {
        chart::Figure f = twoMarches();
        chart::Panel& snow = f.panels.emplace_back();
        snow.x = f.panels[0].x;
        snow.axes = {{QStringLiteral("n"), QStringLiteral("Neve"), QStringLiteral("cm")}};
        chart::Series s = f.panels[0].series[0];
        s.name = QStringLiteral("Altezza della neve cm");
        s.axis = QStringLiteral("n");
        for (double& y : s.y) {
            y *= 100;  // wider tick labels than the first panel's
        }
        snow.series << s;
        const chart::Layout layout = layoutOf(f);
        QCOMPARE(layout.panels().size(), 2);
        const chart::Layout::DrawnPanel& first = layout.panels()[0];
        const chart::Layout::DrawnPanel& second = layout.panels()[1];
        QCOMPARE(first.plot.left(), second.plot.left());
        QCOMPARE(first.plot.right(), second.plot.right());
        QCOMPARE(layout.toPixelX(first, jd(1995, 3, 10)), layout.toPixelX(second, jd(1995, 3, 10)));
    }

    // Nothing to draw: the Italian word, no empty plot.
    void nothingToDraw() {
        chart::Figure f = twoMarches();
        for (chart::Series& s : f.panels[0].series) {
            std::fill(s.y.begin(), s.y.end(), kMissing);
        }
        const chart::Layout layout = layoutOf(f);
        QVERIFY(layout.empty());
        QCOMPARE(f.emptyText, QStringLiteral("Nessun valore da rappresentare nel grafico"));
        // The text is painted in the middle: dark pixels there, on white.
        const QImage image = picture(f);
        int dark = 0;
        for (int y = 250; y < 350; ++y) {
            for (int x = 200; x < 700; ++x) {
                dark += image.pixelColor(x, y).lightness() < 100 ? 1 : 0;
            }
        }
        QVERIFY(dark > 50);
    }

    // Up to six stations together or one; a click in the legend shows or hides a quantity for all.
    void stationsAndLegend() {
        chart::ChartWindow window(nullptr);
        window.showData(twoMarches(2));
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCOMPARE(window.cmbStazione->count(), 3);
        QCOMPARE(window.cmbStazione->itemText(0), QStringLiteral("Tutte le stazioni"));
        QCOMPARE(window.windowTitle(), QStringLiteral("Grafico - Prova - dal 01/03/1994 al 31/03/1995"));
        // Together: the legend names each station; lines of the second are dashed.
        const chart::Layout layout = window.view()->layout();
        QStringList legend;
        for (const chart::Layout::LegendEntry& e : layout.legend()) {
            legend << e.text;
        }
        QCOMPARE(legend, QStringList({"Stazione 1 - Temperatura massima °C", "Stazione 1 - pioggia mm",
                                      "Stazione 2 - Temperatura massima °C", "Stazione 2 - pioggia mm"}));
        QCOMPARE(chart::dashOf(layout.legend()[2].subject), Qt::DashLine);
        // The rain hidden by a click on its entry, for both stations, and back.
        const QPoint rainEntry = layout.legend()[1].rect.center().toPoint();
        QTest::mouseClick(window.view(), Qt::LeftButton, {}, rainEntry);
        for (const chart::Series& s : window.data().panels[0].series) {
            QCOMPARE(s.shown, s.mark != chart::Mark::Bar);
        }
        window.cmbStazione->setCurrentIndex(2);
        emit window.cmbStazione->activated(2);
        QCOMPARE(window.windowTitle(), QStringLiteral("Grafico - Stazione 2"));
        QCOMPARE(window.data().panels[0].series.size(), 2);
        QVERIFY(!window.data().panels[0].series[1].shown);
        window.toggleGroup(QStringLiteral("pioggia mm"));
        QVERIFY(window.data().panels[0].series[1].shown);

        // Seven stations: one at a time, no "all".
        chart::Figure many = twoMarches(7);
        window.showData(many);
        QCOMPARE(window.cmbStazione->count(), 7);
        QCOMPARE(window.data().subjects.size(), 1);
    }

    // A rectangle zooms; the ticks stay whole and round; a right click takes it back.
    void zoomAndBack() {
        chart::ChartWindow window(nullptr);
        window.showData(twoMarches());
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const chart::Layout before = window.view()->layout();
        const chart::Layout::DrawnPanel panel = before.panels().constFirst();
        const QRectF plot = panel.spans[1].plot;
        const QPoint from =
            QPointF(plot.left() + plot.width() * 0.3, plot.top() + plot.height() * 0.13).toPoint();
        const QPoint to =
            QPointF(plot.left() + plot.width() * 0.6, plot.bottom() - plot.height() * 0.07).toPoint();
        QTest::mousePress(window.view(), Qt::LeftButton, {}, from);
        QTest::mouseMove(window.view(), to);
        QTest::mouseRelease(window.view(), Qt::LeftButton, {}, to);
        QCOMPARE(window.view()->zoomDepth(), 1);
        const chart::Layout after = window.view()->layout();
        const chart::Layout::DrawnPanel zoomed = after.panels().constFirst();
        QCOMPARE(zoomed.spans.size(), 1);  // within the second March only
        QVERIFY(zoomed.spans[0].extent.min > jd(1995, 3, 5));
        QVERIFY(zoomed.spans[0].extent.max < jd(1995, 3, 25));
        for (const chart::Layout::DrawnAxis& axis : zoomed.axes) {
            const double step = axis.ticks[1].value - axis.ticks[0].value;
            QCOMPARE(axis.ticks.constFirst().value, axis.extent.min);
            QCOMPARE(axis.ticks.constLast().value, axis.extent.max);
            for (const chart::Tick& t : axis.ticks) {
                QVERIFY2(!t.label.contains(u',') || step < 1, qPrintable(t.label));
                const double k = t.value / step;
                QVERIFY(std::fabs(k - std::round(k)) < 1e-9);
            }
        }
        QTest::mouseClick(window.view(), Qt::RightButton, {}, from);
        QCOMPARE(window.view()->zoomDepth(), 0);
        QCOMPARE(window.view()->layout().panels().constFirst().spans.size(), 2);
    }

    // The format follows the type chosen, whose extension is added to a name typed without it; a
    // picture lists only what it draws.
    void savesAsChosen_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("written");
        QTest::newRow("SVG chosen, no extension") << "svgtest" << 2 << "svgtest.svg";
        QTest::newRow("PDF chosen, no extension") << "pdftest" << 3 << "pdftest.pdf";
        QTest::newRow("PNG offered") << "pngtest" << 1 << "pngtest.png";
        QTest::newRow("its extension typed") << "scelto.SVG" << 2 << "scelto.SVG";
        QTest::newRow("another type's extension") << "scelto.svg" << 1 << "scelto.svg.png";
    }
    void savesAsChosen() {
        QFETCH(QString, typed);
        QFETCH(int, type);
        QFETCH(QString, written);
        QTemporaryDir dir;
        testsupport::ScriptedSeams seams;
        chart::ChartWindow window(nullptr);
        chart::Figure f = twoMarches();
        f.panels[0].series[1].shown = false;
        window.showData(f);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        seams.saveTo = dir.filePath(typed);
        seams.saveType = type;
        window.cmdSalva->click();
        QCOMPARE(seams.saveRequests.size(), 1);
        QVERIFY(seams.saveRequests[0].addExtension);
        // The name offered has no slash: the caption's dates would make it a path.
        QCOMPARE(seams.saveRequests[0].fileName,
                 QStringLiteral("Grafico - Prova - dal 01-03-1994 al 31-03-1995"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{written});
        const QByteArray bytes = readAll(dir.filePath(written));
        if (written.endsWith(QLatin1String("svg"), Qt::CaseInsensitive)) {
            QVERIFY(bytes.startsWith("<?xml"));
            QVERIFY(QSvgRenderer(bytes).isValid());
            // The hidden rain is not in the picture's legend.
            QVERIFY(bytes.contains("Temperatura massima"));
            QVERIFY(!bytes.contains("pioggia mm"));
        } else if (written.endsWith(QLatin1String("pdf"))) {
            QVERIFY(bytes.startsWith("%PDF-1."));
            // A landscape A4: 842 by 595 points.
            const qsizetype box = bytes.indexOf("/MediaBox");
            QVERIFY2(bytes.mid(box, 20).startsWith("/MediaBox [0 0 84"), bytes.mid(box, 40).constData());
        } else {
            const QImage image = QImage::fromData(bytes, "PNG");
            QCOMPARE(image.size(), window.view()->size() * 2);
        }
        QVERIFY(seams.unexpected.isEmpty());
    }

    // A folder that does not exist: nothing written, one message; cancelled: nothing.
    void saveFailsAndCancels() {
        QTemporaryDir dir;
        testsupport::ScriptedSeams seams;
        chart::ChartWindow window(nullptr);
        window.showData(twoMarches());
        seams.saveTo = dir.filePath(QStringLiteral("manca/grafico.pdf"));
        seams.saveType = 3;
        window.cmdSalva->click();
        QCOMPARE(seams.messages,
                 QStringList{QStringLiteral("Impossibile salvare il grafico nel file ") + *seams.saveTo});
        seams.saveTo = QString();
        window.cmdSalva->click();
        QCOMPARE(seams.messages.size(), 1);
    }

    // "Stampa": a landscape page, the document named without a slash (printing to a file proposes
    // it as the file's name).
    void printsUnderAPlainName() {
        QTemporaryDir dir;
        testsupport::ScriptedSeams seams;
        chart::ChartWindow window(nullptr);
        window.showData(twoMarches());
        seams.printTo = dir.filePath(QStringLiteral("stampa.pdf"));
        window.cmdStampa->click();
        QCOMPARE(seams.printDocuments,
                 QStringList{QStringLiteral("Grafico - Prova - dal 01-03-1994 al 31-03-1995")});
        const QByteArray bytes = readAll(*seams.printTo);
        QVERIFY(bytes.startsWith("%PDF-1."));
        QVERIFY(bytes.contains("/MediaBox [0 0 84"));
        QCOMPARE(chart::fileNameOf(QStringLiteral("a/b\\c:d")), QStringLiteral("a-b-c-d"));
    }

    // The real dialog: the chosen type's extension is added to a bare name before the question
    // whether to replace, which names the file that would be written; then SVG chosen writes SVG.
    void realDialogAsksForTheNameWritten() {
        QTemporaryDir dir;
        const QString existing = dir.filePath(QStringLiteral("ow.png"));
        {
            QFile file(existing);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("prima");
        }
        testsupport::ScriptedSeams seams(testsupport::ScriptedSeams::Messages);
        chart::ChartWindow window(nullptr);
        window.showData(twoMarches());
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        ModalWatcher watcher;
        auto type = [&](const QString& name, int pair) {
            return [&watcher, &dir, name, pair](QWidget* modal) {
                auto* dialog = qobject_cast<QFileDialog*>(modal);
                auto* field =
                    dialog ? dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")) : nullptr;
                auto* types =
                    dialog ? dialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo")) : nullptr;
                QPushButton* save =
                    dialog ? testsupport::buttonNamed(dialog, QStringLiteral("Salva")) : nullptr;
                if (!field || !types || !save) {
                    return false;
                }
                dialog->setDirectory(dir.path());
                types->setCurrentIndex(pair);
                emit types->activated(pair);
                field->setFocus();
                field->selectAll();
                QTest::keyClicks(field, name);
                watcher.notes << types->currentText();
                QMetaObject::invokeMethod(save, &QAbstractButton::click, Qt::QueuedConnection);
                return true;
            };
        };
        watcher.then(QStringLiteral("ow, PNG"), type(QStringLiteral("ow"), 0));
        watcher.then(QStringLiteral("answer No"), [&watcher](QWidget* modal) {
            auto* box = qobject_cast<QMessageBox*>(modal);
            if (!box) {
                return false;
            }
            watcher.notes << box->text();
            QMetaObject::invokeMethod(box->button(QMessageBox::No), &QAbstractButton::click,
                                      Qt::QueuedConnection);
            return true;
        });
        watcher.then(QStringLiteral("svgtest, SVG"), type(QStringLiteral("svgtest"), 1));
        watcher.start();
        window.cmdSalva->click();
        QVERIFY2(watcher.finished(), qPrintable(watcher.failure()));
        QCOMPARE(watcher.notes.value(1), QStringLiteral("Il file «ow.png» esiste già.\nSostituirlo?"));
        QCOMPARE(watcher.notes.value(2), QStringLiteral("Disegno SVG (*.svg)"));
        QCOMPARE(readAll(existing), QByteArray("prima"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList({"ow.png", "svgtest.svg"}));
        QVERIFY(QSvgRenderer(dir.filePath(QStringLiteral("svgtest.svg"))).isValid());
        QVERIFY(seams.messages.isEmpty());
    }

    // At scale factors 1.5 and 2 (run in a process of its own: the factor is read at start) the
    // window fits the screen's available area, wholly on it, its buttons within it, also resized.
    void fitsTheScreen_data() {
        QTest::addColumn<QString>("factor");
        QTest::newRow("1.5") << QStringLiteral("1.5");
        QTest::newRow("2") << QStringLiteral("2");
    }
    void fitsTheScreen() {
        if (qEnvironmentVariableIsSet("ALTORRA_CHART_SCALED")) {
            QSKIP("the scaled run itself");
        }
        QFETCH(QString, factor);
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_SCALE_FACTOR"), factor);
        env.insert(QStringLiteral("ALTORRA_CHART_SCALED"), QStringLiteral("1"));
        child.setProcessEnvironment(env);
        child.setProcessChannelMode(QProcess::MergedChannels);
        child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("windowOnItsScreen")});
        QVERIFY(child.waitForFinished(100000));
        QVERIFY2(child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0,
                 child.readAll().constData());
    }
    void windowOnItsScreen() {
        if (!qEnvironmentVariableIsSet("ALTORRA_CHART_SCALED")) {
            QSKIP("run by fitsTheScreen under a scale factor");
        }
        chart::ChartWindow window(nullptr);
        window.showData(twoMarches(2));
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const QRect area = window.screen()->availableGeometry();
        auto check = [&] {
            QVERIFY2(area.contains(window.frameGeometry()),
                     qPrintable(QStringLiteral("%1,%2 %3x%4 on %5x%6")
                                    .arg(window.frameGeometry().x())
                                    .arg(window.frameGeometry().y())
                                    .arg(window.frameGeometry().width())
                                    .arg(window.frameGeometry().height())
                                    .arg(area.width())
                                    .arg(area.height())));
            for (QWidget* control :
                 {static_cast<QWidget*>(window.cmdSalva), static_cast<QWidget*>(window.cmdStampa),
                  static_cast<QWidget*>(window.cmdChiudi), static_cast<QWidget*>(window.view())}) {
                const QRect place(control->mapTo(&window, QPoint(0, 0)), control->size());
                QVERIFY2(window.rect().contains(place), qPrintable(control->objectName()));
            }
        };
        check();
        // Smaller, as small as it goes: the buttons stay inside.
        const QSize smaller = window.size() * 3 / 4;
        window.resize(smaller);
        QTRY_COMPARE(window.size(), smaller.expandedTo(window.minimumSizeHint()));
        QCoreApplication::processEvents();
        check();
    }
};

QTEST_MAIN(TestChart)
#include "test_chart.moc"
