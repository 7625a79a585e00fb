// Drawing a chart's data: axes, bars, and lines broken where a value is missing.
#include "chart/chartwindow.h"

#include <QAreaSeries>
#include <QCategoryAxis>
#include <QDateTimeAxis>
#include <QGraphicsItem>
#include <QLegendMarker>
#include <QLineSeries>
#include <QPainter>
#include <QValueAxis>

#include <cmath>
#include <limits>

namespace chart {

namespace {

constexpr qint64 kDayMs = 24 * 60 * 60 * 1000;

QColor colourOf(int index) {
    static const QColor kColours[] = {
        QColor(0xd6, 0x27, 0x28), QColor(0x1f, 0x77, 0xb4), QColor(0x2c, 0xa0, 0x2c),
        QColor(0xff, 0x7f, 0x0e), QColor(0x94, 0x67, 0xbd), QColor(0x8c, 0x56, 0x4b),
        QColor(0xe3, 0x77, 0xc2), QColor(0x7f, 0x7f, 0x7f), QColor(0xbc, 0xbd, 0x22),
        QColor(0x17, 0xbe, 0xcf), QColor(0x39, 0x3b, 0x79), QColor(0x63, 0x79, 0x39),
        QColor(0x84, 0x3c, 0x39), QColor(0x7b, 0x41, 0x73)};
    constexpr int count = int(sizeof(kColours) / sizeof(kColours[0]));
    return kColours[index % count];
}

// Where a series' x lands on the horizontal axis: milliseconds at midday for a day, else as is.
double axisX(const ChartData& data, double x) {
    if (data.kind != Kind::Daily) {
        return x;
    }
    const QDate day = QDate::fromJulianDay(qint64(x));
    return double(QDateTime(day, QTime(12, 0)).toMSecsSinceEpoch());
}

struct Range {
    double low = std::numeric_limits<double>::infinity();
    double high = -std::numeric_limits<double>::infinity();
    void add(double v) {
        low = std::min(low, v);
        high = std::max(high, v);
    }
    bool empty() const { return low > high; }
};

void setValueRange(QValueAxis* axis, Range range) {
    if (range.empty()) {
        range.add(0);
        range.add(1);
    }
    if (range.low == range.high) {
        range.add(range.low - 1);
        range.add(range.high + 1);
    }
    axis->setRange(range.low, range.high);
    axis->applyNiceNumbers();
}

double axisMin(const QAbstractAxis* axis) {
    if (auto* dates = qobject_cast<const QDateTimeAxis*>(axis)) {
        return double(dates->min().toMSecsSinceEpoch());
    }
    return static_cast<const QValueAxis*>(axis)->min();
}

double axisMax(const QAbstractAxis* axis) {
    if (auto* dates = qobject_cast<const QDateTimeAxis*>(axis)) {
        return double(dates->max().toMSecsSinceEpoch());
    }
    return static_cast<const QValueAxis*>(axis)->max();
}

// A series not drawn: only its legend entry, dimmed, which a click turns on.
void addHidden(QChart* chart, const Series& s, const QColor& colour, int index) {
    auto* host = new QLineSeries;
    host->setName(s.title);
    host->setColor(colour);
    host->setProperty(kSeriesIndex, index);
    chart->addSeries(host);
    host->setVisible(false);
    for (QLegendMarker* marker : chart->legend()->markers(host)) {
        marker->setVisible(true);
        QColor faded = colour;
        faded.setAlpha(60);
        marker->setBrush(faded);
        marker->setPen(QPen(faded));
        marker->setLabelBrush(QColor(0x99, 0x99, 0x99));
    }
}

}  // namespace

// The chart's lines, drawn over its plot area in one item: a run of values is one polyline, a
// missing value (NaN) ends it, a lone value between two missing ones is a dot. Line series of the
// toolkit cannot leave a gap, and one series per run would make a year of many stations slow.
class GapLines : public QGraphicsItem {
  public:
    struct Line {
        QColor colour;
        QVector<QPointF> points;  // in axis values; y NaN where the value is missing
    };

    GapLines(QChart* chart, QAbstractAxis* x, QAbstractAxis* y, bool markers)
        : QGraphicsItem(chart), chart_(chart), x_(x), y_(y), markers_(markers) {
        setZValue(10);  // over the bars and the grid lines
        QObject::connect(chart, &QChart::plotAreaChanged, chart, [this] { refresh(); });
        for (QAbstractAxis* axis : {x, y}) {
            if (auto* values = qobject_cast<QValueAxis*>(axis)) {
                QObject::connect(values, &QValueAxis::rangeChanged, chart, [this] { refresh(); });
            } else if (auto* dates = qobject_cast<QDateTimeAxis*>(axis)) {
                QObject::connect(dates, &QDateTimeAxis::rangeChanged, chart, [this] { refresh(); });
            }
        }
    }

    QVector<Line> lines;

    QRectF boundingRect() const override { return chart_->plotArea(); }

    void paint(QPainter* painter, const QStyleOptionGraphicsItem*, QWidget*) override {
        const QRectF plot = chart_->plotArea();
        const double x0 = axisMin(x_);
        const double x1 = axisMax(x_);
        const double y0 = axisMin(y_);
        const double y1 = axisMax(y_);
        if (plot.isEmpty() || x1 <= x0 || y1 <= y0) {
            return;
        }
        const double sx = plot.width() / (x1 - x0);
        const double sy = plot.height() / (y1 - y0);
        auto at = [&](const QPointF& p) {
            return QPointF(plot.left() + (p.x() - x0) * sx, plot.bottom() - (p.y() - y0) * sy);
        };
        painter->save();
        painter->setClipRect(plot);
        painter->setRenderHint(QPainter::Antialiasing);
        for (const Line& line : lines) {
            QPen pen(line.colour);
            pen.setWidthF(1.6);
            pen.setJoinStyle(Qt::RoundJoin);
            painter->setPen(pen);
            painter->setBrush(Qt::NoBrush);
            QPainterPath path;
            QVector<QPointF> dots;
            const qsizetype n = line.points.size();
            for (qsizetype i = 0; i < n; ++i) {
                const QPointF& p = line.points[i];
                if (std::isnan(p.y())) {
                    continue;
                }
                const bool afterGap = i == 0 || std::isnan(line.points[i - 1].y());
                const bool beforeGap = i + 1 == n || std::isnan(line.points[i + 1].y());
                if (afterGap) {
                    path.moveTo(at(p));
                } else {
                    path.lineTo(at(p));
                }
                if (markers_ || (afterGap && beforeGap)) {
                    dots.append(at(p));
                }
            }
            painter->drawPath(path);
            painter->setBrush(line.colour);
            for (const QPointF& dot : dots) {
                painter->drawEllipse(dot, 3, 3);
            }
        }
        painter->restore();
    }

  private:
    void refresh() {
        prepareGeometryChange();
        update();
    }

    QChart* chart_;
    QAbstractAxis* x_;
    QAbstractAxis* y_;
    bool markers_;
};

QChart* buildChart(const ChartData& data) {
    auto* chart = new QChart;
    chart->setAnimationOptions(QChart::NoAnimation);
    chart->setTitle(data.title);
    chart->setLocalizeNumbers(true);
    // Many series: one legend line each at the side, where their names are not cut short.
    chart->legend()->setAlignment(data.series.size() > 4 ? Qt::AlignRight : Qt::AlignBottom);
    chart->legend()->setShowToolTips(true);

    // Horizontal axis: dates, or the grid's captions (durations, months) at 0, 1, 2...
    QAbstractAxis* xAxis = nullptr;
    if (data.kind == Kind::Daily) {
        auto* axis = new QDateTimeAxis;
        axis->setFormat(QStringLiteral("dd/MM/yyyy"));
        axis->setTickCount(7);
        if (data.first.isValid()) {
            const double first = axisX(data, double(data.first.toJulianDay())) - kDayMs / 2.0;
            const double last = axisX(data, double(data.last.toJulianDay())) + kDayMs / 2.0;
            axis->setRange(QDateTime::fromMSecsSinceEpoch(qint64(first)),
                           QDateTime::fromMSecsSinceEpoch(qint64(last)));
        }
        xAxis = axis;
    } else {
        auto* axis = new QCategoryAxis;
        axis->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
        axis->setStartValue(-0.5);
        for (int i = 0; i < data.categories.size(); ++i) {
            axis->append(data.categories[i], i);
        }
        axis->setRange(-0.5, qMax(0, int(data.categories.size())) - 0.5);
        xAxis = axis;
    }
    xAxis->setTitleText(data.xTitle);
    chart->addAxis(xAxis, Qt::AlignBottom);

    int lines = 0;
    int bars = 0;
    for (const Series& s : data.series) {
        if (s.shown) {
            (s.style == Style::Bar ? bars : lines) += 1;
        }
    }
    QValueAxis* lineAxis = nullptr;
    QValueAxis* barAxis = nullptr;
    if (lines > 0 || bars == 0) {
        lineAxis = new QValueAxis;
        lineAxis->setTitleText(data.lineTitle);
        chart->addAxis(lineAxis, Qt::AlignLeft);
    }
    if (bars > 0) {
        barAxis = new QValueAxis;
        barAxis->setTitleText(data.barTitle);
        chart->addAxis(barAxis, lineAxis ? Qt::AlignRight : Qt::AlignLeft);
    }
    Range lineRange;
    Range barRange;

    // Bars of one day (or category) stand side by side within 8 tenths of it.
    const double unit = data.kind == Kind::Daily ? double(kDayMs) : 1.0;
    const double barWidth = bars > 0 ? 0.8 * unit / bars : 0;
    int barIndex = 0;
    const bool showPoints = data.kind != Kind::Daily;
    QVector<GapLines::Line> drawn;

    for (int index = 0; index < data.series.size(); ++index) {
        const Series& s = data.series[index];
        const QColor colour = colourOf(index);
        if (!s.shown) {
            addHidden(chart, s, colour, index);
            continue;
        }
        if (s.style == Style::Bar) {
            // One area of rectangles, on the base line between them: a missing value draws nothing.
            auto* upper = new QLineSeries;
            const double offset = -0.4 * unit + barWidth * (barIndex + 0.5);
            for (int i = 0; i < s.x.size(); ++i) {
                if (std::isnan(s.y[i])) {
                    continue;
                }
                const double centre = axisX(data, s.x[i]) + offset;
                const double left = centre - barWidth / 2;
                const double right = centre + barWidth / 2;
                upper->append(left, 0);
                upper->append(left, s.y[i]);
                upper->append(right, s.y[i]);
                upper->append(right, 0);
                barRange.add(s.y[i]);
            }
            barRange.add(0);
            auto* area = new QAreaSeries(upper);
            upper->setParent(area);
            area->setName(s.title);
            QColor fill = colour;
            fill.setAlpha(190);
            area->setColor(fill);
            area->setBorderColor(colour.darker(120));
            area->setProperty(kSeriesIndex, index);
            chart->addSeries(area);
            area->attachAxis(xAxis);
            area->attachAxis(barAxis);
            ++barIndex;
            continue;
        }
        // The legend entry and the axes' link: a series with no points; the line itself is drawn
        // by the chart's line layer, broken where a value is missing.
        auto* host = new QLineSeries;
        QPen pen(colour);
        pen.setWidthF(2);
        host->setPen(pen);
        host->setName(s.title);
        host->setProperty(kSeriesIndex, index);
        chart->addSeries(host);
        host->attachAxis(xAxis);
        host->attachAxis(lineAxis);
        GapLines::Line line;
        line.colour = colour;
        line.points.reserve(s.x.size());
        for (int i = 0; i < s.x.size(); ++i) {
            line.points.append(QPointF(axisX(data, s.x[i]), s.y[i]));
            if (!std::isnan(s.y[i])) {
                lineRange.add(s.y[i]);
            }
        }
        drawn.append(line);
    }
    if (lineAxis) {
        setValueRange(lineAxis, lineRange);
        if (!drawn.isEmpty()) {
            auto* layer = new GapLines(chart, xAxis, lineAxis, showPoints);
            layer->lines = drawn;
        }
    }
    if (barAxis) {
        setValueRange(barAxis, barRange);
    }
    return chart;
}

}  // namespace chart
