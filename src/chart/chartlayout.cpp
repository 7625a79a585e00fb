// Where everything of a figure goes: stretches of the horizontal axes, the vertical axes' extents
// and ticks, the panels' plots and the legend's entries; and back from a point to a value.
#include "chart/chartdraw.h"

#include <QDate>

#include <QFontMetricsF>
#include <QMap>

#include <algorithm>
#include <cmath>

namespace chart {

namespace {

bool finite(double v) {
    return std::isfinite(v);
}

bool drawable(const Panel& panel) {
    return std::any_of(panel.series.cbegin(), panel.series.cend(), [](const Series& s) {
        return s.shown && std::any_of(s.y.cbegin(), s.y.cend(), [](double v) { return !std::isnan(v); });
    });
}

double unitOf(const Panel& panel) {
    if (panel.x.step > 0) {
        return panel.x.step;
    }
    if (panel.x.kind != XKind::Number) {
        return 1;
    }
    double least = kMissing;
    for (const Series& s : panel.series) {
        for (qsizetype i = 1; i < s.x.size(); ++i) {
            const double d = s.x[i] - s.x[i - 1];
            if (d > 0 && !(d >= least)) {
                least = d;
            }
        }
    }
    return std::isnan(least) ? 1 : least;
}

double scaled(Scale scale, double v) {
    return scale == Scale::Log ? (v > 0 ? std::log10(v) : kMissing) : v;
}

double unscaled(Scale scale, double v) {
    return scale == Scale::Log ? std::pow(10.0, v) : v;
}

int tickCount(double pixels, double each) {
    return std::max(2, int(pixels / each));
}

QVector<Tick> ticksOf(const XAxis& x, const Extent& e, double width) {
    const int count = tickCount(width, 78);
    QVector<Tick> ticks;
    switch (x.kind) {
        case XKind::Date:
            return dateTicks(e.min, e.max, count);
        case XKind::Category: {
            const int every = std::max(1, int(std::ceil(x.categories.size() / double(count + 1))));
            for (int c = 0; c < x.categories.size(); c += every) {
                if (c >= e.min && c <= e.max) {
                    ticks.append({double(c), x.categories[c]});
                }
            }
            return ticks;
        }
        case XKind::Number:
            break;
    }
    return x.scale == Scale::Log ? logTicks(e.min, e.max)
                                 : valueTicks(e.min, e.max, roundStep(e.min, e.max, count));
}

}  // namespace

Qt::PenStyle dashOf(int subject) {
    static const Qt::PenStyle kDashes[] = {Qt::SolidLine, Qt::DashLine, Qt::DotLine, Qt::DashDotLine,
                                           Qt::DashDotDotLine};
    return kDashes[std::max(0, subject) % 5];
}

QFont chartFont(const QFont& widgetFont) {
    QFont font = widgetFont;
    font.setPixelSize(
        std::max(9, QFontMetricsF(widgetFont).height() > 0 ? int(QFontMetricsF(widgetFont).ascent()) : 12));
    return font;
}

QVector<QVector<int>> joinedRuns(const Series& series, double step, const QVector<Extent>& spans) {
    auto spanOf = [&](double x) {
        for (int i = 0; i < spans.size(); ++i) {
            if (x >= spans[i].min && x <= spans[i].max) {
                return i;
            }
        }
        return spans.isEmpty() ? 0 : -1;
    };
    QVector<QVector<int>> runs;
    QVector<int> run;
    int runSpan = -1;
    const qsizetype n = std::min(series.x.size(), series.y.size());
    for (qsizetype i = 0; i < n; ++i) {
        const int span = std::isnan(series.y[i]) ? -1 : spanOf(series.x[i]);
        const bool joins = !run.isEmpty() && span == runSpan &&
                           (step <= 0 || series.x[i] - series.x[run.constLast()] <= step * (1 + 1e-9));
        if (!joins && !run.isEmpty()) {
            runs.append(run);
            run.clear();
        }
        if (span >= 0) {
            run.append(int(i));
            runSpan = span;
        }
    }
    if (!run.isEmpty()) {
        runs.append(run);
    }
    return runs;
}

QVector<Extent> spansOf(const Panel& panel, const PanelView& view) {
    double low = finite(view.xMin) ? view.xMin : panel.x.min;
    double high = finite(view.xMax) ? view.xMax : panel.x.max;
    if (panel.x.kind == XKind::Category) {
        const double last = double(panel.x.categories.size()) - 0.5;
        return {{finite(low) ? low : -0.5, finite(high) ? high : std::max(0.5, last)}};
    }
    std::vector<double> xs;
    for (const Series& s : panel.series) {
        if (!s.shown) {
            continue;
        }
        for (qsizetype i = 0; i < s.x.size() && i < s.y.size(); ++i) {
            // A row whose value is missing still holds the axis open: an empty stretch, not cut off.
            if (finite(s.x[i]) && !(panel.x.scale == Scale::Log && s.x[i] <= 0)) {
                xs.push_back(s.x[i]);
            }
        }
    }
    std::sort(xs.begin(), xs.end());
    const double pad = panel.x.kind == XKind::Date ? unitOf(panel) / 2 : 0;
    QVector<Extent> spans;
    for (size_t i = 0; i < xs.size(); ++i) {
        if (spans.isEmpty() || (panel.x.breakAfter > 0 && xs[i] - xs[i - 1] > panel.x.breakAfter)) {
            spans.append({xs[i] - pad, xs[i] + pad});
        }
        spans.last().max = xs[i] + pad;
    }
    if (finite(low) || finite(high)) {
        QVector<Extent> within;
        for (Extent e : spans) {
            e.min = finite(low) ? std::max(e.min, low) : e.min;
            e.max = finite(high) ? std::min(e.max, high) : e.max;
            if (e.max > e.min) {
                within.append(e);
            }
        }
        if (within.isEmpty() && finite(low) && finite(high) && high > low) {
            within.append({low, high});
        }
        spans = within;
    }
    for (Extent& e : spans) {
        if (e.max <= e.min) {
            e = {e.min - 0.5, e.max + 0.5};
        }
    }
    return spans;
}

Layout::Layout(const Figure& figure, const QRectF& rect, const View& view, const DrawOptions& options)
    : figure_(figure), view_(view), options_(options), rect_(rect) {
    view_.resize(figure.panels.size());
    QMap<QString, QColor> byGroup;
    int next = 0;
    for (const Panel& panel : figure.panels) {
        for (const Series& s : panel.series) {
            QColor colour = s.colour;
            if (!colour.isValid()) {
                const QString group = groupOf(s);
                if (!byGroup.contains(group)) {
                    byGroup.insert(group, colours::palette(next++));
                }
                colour = byGroup.value(group);
            }
            colours_.append(colour);
            if (!s.subject.isEmpty() && !subjectsDrawn_.contains(s.subject)) {
                subjectsDrawn_ << s.subject;
            }
        }
    }
    // In the figure's order of subjects, so a station keeps its dash whatever is shown.
    QStringList ordered;
    for (const Subject& s : figure.subjects) {
        if (subjectsDrawn_.contains(s.key)) {
            ordered << s.key;
        }
    }
    subjectsDrawn_ = ordered;
    QRectF area = rect.adjusted(8, 6, -8, -6);
    if (!figure.title.isEmpty()) {
        QFont big = options.font;
        big.setPixelSize(int(options.font.pixelSize() * 1.25));
        big.setBold(true);
        titleRect_ = QRectF(area.left(), area.top(), area.width(), QFontMetricsF(big).height() * 1.5);
        area.setTop(titleRect_.bottom());
    }
    layOutLegend(area);
    if (anyValue(figure)) {
        layOutPanels(area);
    }
}

int Layout::subjectPlace(const Series& series) const {
    return std::max(0, int(subjectsDrawn_.indexOf(series.subject)));
}

void Layout::layOutLegend(QRectF& area) {
    const QFontMetricsF metrics(options_.font);
    const bool several = subjectsDrawn_.size() > 1;
    int colour = 0;
    for (const Panel& panel : figure_.panels) {
        for (const Series& s : panel.series) {
            const QColor c = colours_.value(colour++);
            if (!s.shown && !options_.hiddenInLegend) {
                continue;
            }
            QString text = s.name;
            if (several) {
                for (const Subject& subject : figure_.subjects) {
                    if (subject.key == s.subject && !subject.label.isEmpty()) {
                        text = subject.label + QStringLiteral(" - ") + s.name;
                    }
                }
            }
            const bool known = std::any_of(legend_.cbegin(), legend_.cend(),
                                           [&](const LegendEntry& e) { return e.text == text; });
            if (!known) {
                legend_.append({text, groupOf(s), c, s.mark, subjectPlace(s), s.shown, QRectF()});
            }
        }
    }
    // Flowed in rows under the panels, each row centred, at most a quarter of the height; what
    // does not fit is left out.
    const double line = metrics.height() * 1.35;
    const int maxRows = std::max(1, int(area.height() / 4 / line));
    QVector<QVector<LegendEntry>> rows(1);
    double x = 0;
    for (LegendEntry entry : legend_) {
        const double width = 26 + std::min(metrics.horizontalAdvance(entry.text), area.width() - 40);
        if (x + width > area.width() && x > 0) {
            if (rows.size() == maxRows) {
                break;
            }
            rows.append(QVector<LegendEntry>());
            x = 0;
        }
        entry.rect = QRectF(x, 0, width, line);
        x += width + 16;
        rows.last().append(entry);
    }
    legend_.clear();
    const double top = area.bottom() - double(rows.size()) * line;
    for (int r = 0; r < rows.size(); ++r) {
        const double used = rows[r].isEmpty() ? 0 : rows[r].constLast().rect.right();
        for (LegendEntry& entry : rows[r]) {
            entry.rect.translate(area.left() + (area.width() - used) / 2, top + r * line);
            legend_.append(entry);
        }
    }
    if (legend_.isEmpty()) {
        return;
    }
    area.setBottom(top - 4);
}

void Layout::layOutPanels(const QRectF& area) {
    double total = 0;
    QVector<int> drawn;
    for (int i = 0; i < figure_.panels.size(); ++i) {
        if (drawable(figure_.panels[i])) {
            drawn.append(i);
            total += std::max(0.1, figure_.panels[i].weight);
        }
    }
    QVector<QRectF> areas;
    double top = area.top();
    for (const int i : drawn) {
        const double height = area.height() * std::max(0.1, figure_.panels[i].weight) / total;
        areas.append(QRectF(area.left(), top, area.width(), height));
        top += height;
    }
    // The panels' plots share their left and right edges, so one day (or duration) stands at the
    // same place in each, whatever axes a panel has.
    double left = kMissing;
    double right = kMissing;
    for (int k = 0; k < drawn.size(); ++k) {
        const QRectF plot = layOutPanel(drawn[k], areas[k], kMissing, kMissing).plot;
        left = std::isnan(left) ? plot.left() : std::max(left, plot.left());
        right = std::isnan(right) ? plot.right() : std::min(right, plot.right());
    }
    for (int k = 0; k < drawn.size(); ++k) {
        panels_.append(layOutPanel(drawn[k], areas[k], left, right));
    }
}

void Layout::keepLabelsApart(DrawnPanel& drawn) const {
    // A stretch's first label first (it names the year of a broken axis), then the others where
    // they fit: labels never overlap, however narrow a stretch.
    const QFontMetricsF metrics(options_.font);
    QVector<std::pair<double, double>> kept;
    auto fits = [&kept](double from, double to) {
        return std::none_of(kept.cbegin(), kept.cend(),
                            [&](const auto& k) { return from < k.second + 6 && to > k.first - 6; });
    };
    // A broken date axis too narrow for its stretches' first labels names them by the year alone.
    if (figure_.panels[drawn.index].x.kind == XKind::Date && drawn.spans.size() > 1) {
        double previous = -1e300;
        bool crowded = false;
        for (const DrawnSpan& span : drawn.spans) {
            if (!span.ticks.isEmpty()) {
                const double x = toPixelX(drawn, span.ticks[0].value);
                const double half = metrics.horizontalAdvance(span.ticks[0].label) / 2;
                crowded = crowded || x - half < previous + 6;
                previous = x + half;
            }
        }
        for (DrawnSpan& span : drawn.spans) {
            if (crowded && !span.ticks.isEmpty()) {
                span.ticks[0].label =
                    QString::number(QDate::fromJulianDay(qint64(span.ticks[0].value)).year());
            }
        }
    }
    for (const bool firsts : {true, false}) {
        for (DrawnSpan& span : drawn.spans) {
            for (qsizetype t = 0; t < span.ticks.size(); ++t) {
                Tick& tick = span.ticks[t];
                const double x = toPixelX(drawn, tick.value);
                const double half = metrics.horizontalAdvance(tick.label) / 2;
                if ((t == 0) != firsts || tick.label.isEmpty() || !std::isfinite(x)) {
                    continue;
                }
                if (fits(x - half, x + half)) {
                    kept.append({x - half, x + half});
                } else {
                    tick.label.clear();
                }
            }
        }
    }
}

QVector<Layout::DrawnAxis> Layout::axesOf(int index, const QVector<Extent>& spans, double height) const {
    const Panel& panel = figure_.panels[index];
    const PanelView& view = view_[index];
    const QFontMetricsF metrics(options_.font);
    QVector<DrawnAxis> axes;
    for (int a = 0; a < panel.axes.size(); ++a) {
        const YAxis& axis = panel.axes[a];
        double low = kMissing;
        double high = kMissing;
        bool used = false;
        for (const Series& s : panel.series) {
            if (!s.shown || axisOf(panel, s) != &axis) {
                continue;
            }
            used = true;
            for (qsizetype i = 0; i < s.x.size() && i < s.y.size(); ++i) {
                const double y = s.y[i];
                const bool inside = std::any_of(spans.cbegin(), spans.cend(), [&](const Extent& e) {
                    return s.x[i] >= e.min && s.x[i] <= e.max;
                });
                if (!std::isnan(y) && inside && !(axis.scale == Scale::Log && y <= 0)) {
                    low = std::isnan(low) ? y : std::min(low, y);
                    high = std::isnan(high) ? y : std::max(high, y);
                }
            }
            if (s.mark == Mark::Bar && axis.scale == Scale::Linear) {
                low = std::isnan(low) ? 0 : std::min(low, 0.0);
                high = std::isnan(high) ? 0 : std::max(high, 0.0);
            }
        }
        if (!used) {
            continue;
        }
        if (axis.fromZero && axis.scale == Scale::Linear) {
            low = std::isnan(low) ? 0 : std::min(low, 0.0);
        }
        const Extent zoom = view.y.value(a, Extent{kMissing, kMissing});
        low = finite(zoom.min) ? zoom.min : finite(axis.min) ? axis.min : low;
        high = finite(zoom.max) ? zoom.max : finite(axis.max) ? axis.max : high;
        DrawnAxis drawn;
        drawn.index = a;
        drawn.title = axisTitle(axis);
        drawn.scale = axis.scale;
        drawn.right = axis.right;
        const int count = tickCount(height, metrics.height() * 3.2);
        if (axis.scale == Scale::Log) {
            drawn.extent = logOut(low, high);
            drawn.ticks = logTicks(drawn.extent.min, drawn.extent.max);
        } else {
            drawn.extent = roundOut(std::isnan(low) ? 0 : low, std::isnan(high) ? 1 : high, count);
            drawn.ticks = valueTicks(drawn.extent.min, drawn.extent.max,
                                     roundStep(drawn.extent.min, drawn.extent.max, count));
        }
        axes.append(drawn);
    }
    return axes;
}

Layout::DrawnPanel Layout::layOutPanel(int index, const QRectF& area, double leftAt, double rightAt) const {
    const Panel& panel = figure_.panels[index];
    const QFontMetricsF metrics(options_.font);
    DrawnPanel drawn;
    drawn.index = index;
    QVector<Extent> spans = spansOf(panel, view_[index]);
    const double top = area.top() + (panel.title.isEmpty() ? metrics.height() * 0.6 : metrics.height() * 1.5);
    const double bottom =
        area.bottom() - metrics.height() * (panel.x.title.isEmpty() ? 1.6 : 2.9) - metrics.height() * 0.3;
    drawn.axes = axesOf(index, spans, bottom - top);
    // Axes stand outside the plot, the first of each side at its edge, the next ones outward.
    QVector<double> widths;
    double left = area.left();
    double right = area.right();
    for (const DrawnAxis& axis : drawn.axes) {
        double widest = 0;
        for (const Tick& t : axis.ticks) {
            widest = std::max(widest, metrics.horizontalAdvance(t.label));
        }
        widths.append(widest + 8 + (axis.title.isEmpty() ? 0 : metrics.height() + 6));
        (axis.right ? right : left) += axis.right ? -widths.constLast() : widths.constLast();
    }
    left = std::isnan(leftAt) ? left : std::max(left, leftAt);
    right = std::isnan(rightAt) ? right : std::min(right, rightAt);
    drawn.plot = QRectF(QPointF(left, top), QPointF(right, bottom));
    double rightEdge = drawn.plot.right();
    double leftEdge = drawn.plot.left();
    for (int i = 0; i < drawn.axes.size(); ++i) {
        DrawnAxis& axis = drawn.axes[i];
        axis.edge = axis.right ? rightEdge : leftEdge;
        (axis.right ? rightEdge : leftEdge) += axis.right ? widths[i] : -widths[i];
    }
    // The stretches share the width by their lengths, a small gap between two.
    const double gap = spans.size() > 1 ? 12 : 0;
    double length = 0;
    for (const Extent& e : spans) {
        length += scaled(panel.x.scale, e.max) - scaled(panel.x.scale, e.min);
    }
    double x = drawn.plot.left();
    const double width = drawn.plot.width() - gap * double(std::max<qsizetype>(0, spans.size() - 1));
    for (Extent e : spans) {
        // A stretch's share of the width is its data's: widening the one stretch to whole ticks
        // must not make it wider than the plot (a duration axis of 1-24 on a logarithmic scale,
        // widened to 1-100, ran off the right edge).
        const double share =
            length > 0 ? (scaled(panel.x.scale, e.max) - scaled(panel.x.scale, e.min)) / length : 1;
        // The figure's own extent, when it gives one, is shown as given.
        const bool fixed = finite(panel.x.min) && finite(panel.x.max);
        if (panel.x.kind == XKind::Number && view_[index].xMin != view_[index].xMin && spans.size() == 1 &&
            !fixed) {
            e = panel.x.scale == Scale::Log ? logOut(e.min, e.max) : roundOut(e.min, e.max, 8);
        }
        DrawnSpan span;
        span.extent = e;
        span.plot = QRectF(x, drawn.plot.top(), width * share, drawn.plot.height());
        x += span.plot.width() + gap;
        span.ticks = ticksOf(panel.x, e, span.plot.width());
        drawn.spans.append(span);
    }
    keepLabelsApart(drawn);
    return drawn;
}

double Layout::toPixelX(const DrawnPanel& drawn, double x) const {
    const Scale scale = figure_.panels[drawn.index].x.scale;
    for (const DrawnSpan& span : drawn.spans) {
        if (x >= span.extent.min && x <= span.extent.max) {
            const double a = scaled(scale, span.extent.min);
            const double b = scaled(scale, span.extent.max);
            return span.plot.left() + (scaled(scale, x) - a) / (b - a) * span.plot.width();
        }
    }
    return kMissing;
}

double Layout::toPixelY(const DrawnAxis& axis, const QRectF& plot, double y) const {
    const double a = scaled(axis.scale, axis.extent.min);
    const double b = scaled(axis.scale, axis.extent.max);
    const double v = scaled(axis.scale, y);
    return plot.bottom() - (v - a) / (b - a) * plot.height();
}

QString Layout::groupAt(const QPointF& point) const {
    for (const LegendEntry& entry : legend_) {
        if (entry.rect.contains(point)) {
            return entry.group;
        }
    }
    return QString();
}

int Layout::panelAt(const QPointF& point) const {
    for (int i = 0; i < panels_.size(); ++i) {
        if (panels_[i].plot.contains(point)) {
            return i;
        }
    }
    return -1;
}

View Layout::zoomed(const View& view, int index, const QRectF& area) const {
    View out = view;
    out.resize(figure_.panels.size());
    if (index < 0 || index >= panels_.size()) {
        return out;
    }
    const DrawnPanel& drawn = panels_[index];
    const Scale scale = figure_.panels[drawn.index].x.scale;
    auto valueAt = [&](double px) {
        for (const DrawnSpan& span : drawn.spans) {
            if (px <= span.plot.right() || &span == &drawn.spans.constLast()) {
                if (px < span.plot.left()) {
                    return span.extent.min;  // in a gap: where the next stretch begins
                }
                const double a = scaled(scale, span.extent.min);
                const double b = scaled(scale, span.extent.max);
                const double f = std::clamp((px - span.plot.left()) / span.plot.width(), 0.0, 1.0);
                return unscaled(scale, a + f * (b - a));
            }
        }
        return kMissing;
    };
    PanelView& panel = out[drawn.index];
    panel.xMin = valueAt(area.left());
    panel.xMax = valueAt(area.right());
    panel.y.resize(figure_.panels[drawn.index].axes.size());
    for (const DrawnAxis& axis : drawn.axes) {
        const double a = scaled(axis.scale, axis.extent.min);
        const double b = scaled(axis.scale, axis.extent.max);
        auto at = [&](double py) {
            const double f = std::clamp((drawn.plot.bottom() - py) / drawn.plot.height(), 0.0, 1.0);
            return unscaled(axis.scale, a + f * (b - a));
        };
        panel.y[axis.index] = {at(area.bottom()), at(area.top())};
    }
    return out;
}

}  // namespace chart
