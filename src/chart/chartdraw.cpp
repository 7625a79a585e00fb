// Painting a laid-out figure: plots, grid, axes, series and legend.
#include "chart/chartdraw.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace chart {

namespace {

const QColor kFrame(0x9a, 0x9a, 0x9a);
const QColor kGrid(0xe4, 0xe4, 0xe4);
const QColor kText(0x20, 0x20, 0x20);
const QColor kDimmed(0xa8, 0xa8, 0xa8);

QColor barFill(const QColor& colour, int subject) {
    // A second station's bars a shade lighter, a third lighter still.
    return subject == 0 ? colour : colour.lighter(100 + 22 * std::min(subject, 4));
}

}  // namespace

void Layout::paint(QPainter& painter) const {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(rect_, Qt::white);
    painter.setFont(options_.font);
    if (!titleRect_.isEmpty()) {
        QFont big = options_.font;
        big.setPixelSize(int(options_.font.pixelSize() * 1.25));
        big.setBold(true);
        painter.setFont(big);
        painter.setPen(kText);
        painter.drawText(titleRect_, Qt::AlignCenter | Qt::TextSingleLine,
                         QFontMetricsF(big).elidedText(figure_.title, Qt::ElideRight, titleRect_.width()));
        painter.setFont(options_.font);
    }
    if (panels_.isEmpty()) {
        QFont big = options_.font;
        big.setPixelSize(int(options_.font.pixelSize() * 1.2));
        painter.setFont(big);
        painter.setPen(kText);
        QRectF area = rect_;
        area.setTop(titleRect_.isEmpty() ? rect_.top() : titleRect_.bottom());
        if (!legend_.isEmpty()) {
            area.setBottom(legend_.constFirst().rect.top());
        }
        painter.drawText(area, Qt::AlignCenter | Qt::TextWordWrap, figure_.emptyText);
        painter.setFont(options_.font);
    }
    for (const DrawnPanel& drawn : panels_) {
        paintPanel(painter, drawn);
    }
    paintLegend(painter);
    painter.restore();
}

void Layout::paintPanel(QPainter& painter, const DrawnPanel& drawn) const {
    const Panel& panel = figure_.panels[drawn.index];
    const QFontMetricsF metrics(options_.font);
    if (!panel.title.isEmpty()) {
        QFont bold = options_.font;
        bold.setBold(true);
        painter.setFont(bold);
        painter.setPen(kText);
        painter.drawText(QRectF(drawn.plot.left(), drawn.plot.top() - metrics.height() * 1.4,
                                drawn.plot.width(), metrics.height() * 1.3),
                         Qt::AlignLeft | Qt::AlignVCenter, panel.title);
        painter.setFont(options_.font);
    }
    // The grid: the first axis' ticks across, the horizontal ticks up.
    painter.setPen(QPen(kGrid, 1));
    for (const DrawnSpan& span : drawn.spans) {
        if (!drawn.axes.isEmpty()) {
            for (const Tick& t : drawn.axes.constFirst().ticks) {
                const double y = toPixelY(drawn.axes.constFirst(), drawn.plot, t.value);
                painter.drawLine(QPointF(span.plot.left(), y), QPointF(span.plot.right(), y));
            }
        }
        for (const Tick& t : span.ticks) {
            const double x = toPixelX(drawn, t.value);
            if (std::isfinite(x)) {
                painter.drawLine(QPointF(x, span.plot.top()), QPointF(x, span.plot.bottom()));
            }
        }
    }
    paintSeries(painter, drawn);
    paintAxes(painter, drawn);
}

void Layout::paintAxes(QPainter& painter, const DrawnPanel& drawn) const {
    const Panel& panel = figure_.panels[drawn.index];
    const QFontMetricsF metrics(options_.font);
    painter.setPen(QPen(kFrame, 1));
    painter.setBrush(Qt::NoBrush);
    for (const DrawnSpan& span : drawn.spans) {
        painter.drawRect(span.plot);
        painter.setPen(kText);
        for (const Tick& t : span.ticks) {
            const double x = toPixelX(drawn, t.value);
            if (!std::isfinite(x)) {
                continue;
            }
            painter.setPen(QPen(kFrame, 1));
            painter.drawLine(QPointF(x, span.plot.bottom()), QPointF(x, span.plot.bottom() + 4));
            painter.setPen(kText);
            const double w = metrics.horizontalAdvance(t.label);
            painter.drawText(QRectF(x - w / 2 - 2, span.plot.bottom() + 5, w + 4, metrics.height()),
                             Qt::AlignCenter, t.label);
        }
        painter.setPen(QPen(kFrame, 1));
    }
    // A broken axis: two slanted strokes at each break.
    for (int i = 1; i < drawn.spans.size(); ++i) {
        const double mid = (drawn.spans[i - 1].plot.right() + drawn.spans[i].plot.left()) / 2;
        for (const double y : {drawn.plot.top(), drawn.plot.bottom()}) {
            for (const double dx : {-3.0, 3.0}) {
                painter.drawLine(QPointF(mid + dx - 3, y + 5), QPointF(mid + dx + 3, y - 5));
            }
        }
    }
    painter.setPen(kText);
    if (!panel.x.title.isEmpty()) {
        painter.drawText(QRectF(drawn.plot.left(), drawn.plot.bottom() + metrics.height() * 1.35,
                                drawn.plot.width(), metrics.height() * 1.3),
                         Qt::AlignCenter, panel.x.title);
    }
    for (const DrawnAxis& axis : drawn.axes) {
        double widest = 0;
        for (const Tick& t : axis.ticks) {
            const double y = toPixelY(axis, drawn.plot, t.value);
            const double w = metrics.horizontalAdvance(t.label);
            widest = std::max(widest, w);
            const double x = axis.right ? axis.edge + 6 : axis.edge - 6 - w;
            painter.drawText(QRectF(x, y - metrics.height() / 2, w + 1, metrics.height()),
                             Qt::AlignVCenter | (axis.right ? Qt::AlignLeft : Qt::AlignRight), t.label);
        }
        painter.setPen(QPen(kFrame, 1));
        painter.drawLine(QPointF(axis.edge, drawn.plot.top()), QPointF(axis.edge, drawn.plot.bottom()));
        painter.setPen(kText);
        if (axis.title.isEmpty()) {
            continue;
        }
        const double centre = axis.right ? axis.edge + 8 + widest + metrics.height() / 2
                                         : axis.edge - 8 - widest - metrics.height() / 2;
        painter.save();
        painter.translate(centre, drawn.plot.center().y());
        painter.rotate(axis.right ? 90 : -90);
        const QString text = metrics.elidedText(axis.title, Qt::ElideRight, drawn.plot.height());
        painter.drawText(
            QRectF(-drawn.plot.height() / 2, -metrics.height() / 2, drawn.plot.height(), metrics.height()),
            Qt::AlignCenter, text);
        painter.restore();
    }
}

void Layout::paintSeries(QPainter& painter, const DrawnPanel& drawn) const {
    const Panel& panel = figure_.panels[drawn.index];
    int first = 0;
    for (int p = 0; p < drawn.index; ++p) {
        first += int(figure_.panels[p].series.size());
    }
    int bars = 0;
    for (const Series& s : panel.series) {
        bars += s.shown && s.mark == Mark::Bar ? 1 : 0;
    }
    painter.save();
    painter.setClipRect(drawn.plot.adjusted(0, -1, 0, 1));
    // Bars first, then lines, fits and points over them.
    int bar = 0;
    for (int pass = 0; pass < 2; ++pass) {
        for (int index = 0; index < panel.series.size(); ++index) {
            const Series& s = panel.series[index];
            const DrawnAxis* axis = drawnAxisOf(drawn, s);
            if (!s.shown || !axis || (pass == 0) != (s.mark == Mark::Bar)) {
                continue;
            }
            const QColor colour = colours_.value(first + index);
            if (s.mark == Mark::Bar) {
                paintBars(painter, drawn, *axis, s, colour, {bar++, bars});
            } else {
                paintLine(painter, drawn, *axis, s, colour);
            }
        }
    }
    painter.restore();
}

const Layout::DrawnAxis* Layout::drawnAxisOf(const DrawnPanel& drawn, const Series& series) const {
    const Panel& panel = figure_.panels[drawn.index];
    const YAxis* axis = axisOf(panel, series);
    for (const DrawnAxis& a : drawn.axes) {
        if (axis && &panel.axes[a.index] == axis) {
            return &a;
        }
    }
    return nullptr;
}

void Layout::paintBars(QPainter& painter, const DrawnPanel& drawn, const DrawnAxis& axis, const Series& s,
                       const QColor& colour, std::pair<int, int> place) const {
    // The bars of one x side by side within eight tenths of a step.
    const Panel& panel = figure_.panels[drawn.index];
    const double unit = panel.x.step > 0 ? panel.x.step : 1;
    const auto [bar, bars] = place;
    const double base =
        axis.scale == Scale::Log ? axis.extent.min : std::clamp(0.0, axis.extent.min, axis.extent.max);
    const double yBase = toPixelY(axis, drawn.plot, base);
    const QColor fill = barFill(colour, subjectPlace(s));
    for (qsizetype i = 0; i < s.x.size() && i < s.y.size(); ++i) {
        if (std::isnan(s.y[i]) || (axis.scale == Scale::Log && s.y[i] <= 0)) {
            continue;  // no value: nothing at all, not a bar of zero
        }
        const double from = s.x[i] - 0.4 * unit + 0.8 * unit * bar / bars;
        const double x0 = toPixelX(drawn, std::max(from, s.x[i] - 0.5 * unit + 1e-9));
        const double x1 = toPixelX(drawn, std::min(from + 0.8 * unit / bars, s.x[i] + 0.5 * unit - 1e-9));
        if (!std::isfinite(x0) || !std::isfinite(x1)) {
            continue;
        }
        const double y = toPixelY(axis, drawn.plot, s.y[i]);
        painter.fillRect(
            QRectF(QPointF(x0, std::min(y, yBase)), QPointF(std::max(x1, x0 + 1), std::max(y, yBase))), fill);
    }
}

void Layout::paintLine(QPainter& painter, const DrawnPanel& drawn, const DrawnAxis& axis, const Series& s,
                       const QColor& colour) const {
    const Panel& panel = figure_.panels[drawn.index];
    QPen pen(colour, s.mark == Mark::Fit ? 1.8 : 1.6);
    pen.setStyle(s.mark == Mark::Fit ? Qt::DashLine : dashOf(subjectPlace(s)));
    pen.setJoinStyle(Qt::RoundJoin);
    painter.setBrush(colour);
    auto at = [&](qsizetype i) {
        return QPointF(toPixelX(drawn, s.x[i]), toPixelY(axis, drawn.plot, s.y[i]));
    };
    auto valid = [&](qsizetype i) {
        return !std::isnan(s.y[i]) && !(axis.scale == Scale::Log && s.y[i] <= 0) &&
               std::isfinite(toPixelX(drawn, s.x[i]));
    };
    const bool dots = s.mark == Mark::Points || (panel.x.kind == XKind::Category && s.mark == Mark::Line);
    if (s.mark != Mark::Points) {
        QVector<Extent> spans;
        for (const DrawnSpan& span : drawn.spans) {
            spans.append(span.extent);
        }
        for (const QVector<int>& run : joinedRuns(s, s.mark == Mark::Fit ? 0 : panel.x.step, spans)) {
            QPainterPath path;
            int points = 0;
            for (const int i : run) {
                if (valid(i)) {
                    points == 0 ? path.moveTo(at(i)) : path.lineTo(at(i));
                    ++points;
                }
            }
            if (points == 1 && !dots) {
                // A lone value between gaps: a dot, since a line needs two.
                painter.setPen(Qt::NoPen);
                painter.drawEllipse(path.currentPosition(), 2.2, 2.2);
            } else if (points > 1) {
                painter.strokePath(path, pen);
            }
        }
    }
    if (dots) {
        painter.setPen(s.mark == Mark::Points ? QPen(colour.darker(130), 1) : QPen(Qt::NoPen));
        for (qsizetype i = 0; i < s.x.size() && i < s.y.size(); ++i) {
            if (valid(i)) {
                painter.drawEllipse(at(i), s.mark == Mark::Points ? 3.5 : 3,
                                    s.mark == Mark::Points ? 3.5 : 3);
            }
        }
    }
}

void Layout::paintLegend(QPainter& painter) const {
    const QFontMetricsF metrics(options_.font);
    for (const LegendEntry& entry : legend_) {
        const QColor colour = entry.shown ? entry.colour : kDimmed;
        const double mid = entry.rect.center().y();
        const QRectF swatch(entry.rect.left(), mid - 5, 20, 10);
        if (entry.mark == Mark::Bar) {
            painter.fillRect(swatch, entry.shown ? barFill(colour, entry.subject) : colour.lighter(120));
        } else if (entry.mark == Mark::Points) {
            painter.setPen(Qt::NoPen);
            painter.setBrush(colour);
            painter.drawEllipse(swatch.center(), 3.5, 3.5);
        } else {
            QPen pen(colour, 2);
            pen.setStyle(entry.mark == Mark::Fit ? Qt::DashLine : dashOf(entry.subject));
            painter.setPen(pen);
            painter.drawLine(QPointF(swatch.left(), mid), QPointF(swatch.right(), mid));
        }
        painter.setPen(entry.shown ? kText : kDimmed);
        const QRectF text(entry.rect.left() + 26, entry.rect.top(), entry.rect.width() - 26,
                          entry.rect.height());
        painter.drawText(text, Qt::AlignLeft | Qt::AlignVCenter,
                         metrics.elidedText(entry.text, Qt::ElideRight, text.width()));
    }
}

}  // namespace chart
