// Drawing a figure with a painter on any device (the window, a PNG, SVG or PDF file, a printer):
// the layout is worked out for a rectangle in logical pixels, the painter scales it to the device.
// Title on top, the panels stacked below it, a compact legend at the bottom.
#pragma once

#include "chart/figure.h"
#include "chart/ticks.h"

#include <QFont>
#include <QPolygonF>
#include <QRectF>

#include <utility>

class QPainter;

namespace chart {

// What a zoom changed, per panel of the figure: the horizontal extent and each axis' extent; NaN
// where the figure's own extent holds.
struct PanelView {
    double xMin = kMissing;
    double xMax = kMissing;
    QVector<Extent> y;  // by the index of the panel's axis; NaN min/max: the data's
};
using View = QVector<PanelView>;

struct DrawOptions {
    QFont font;  // its pixel size sets every text's; others derive from it
    // Series not shown keep a dimmed entry in the legend (the window, where a click shows them);
    // pictures and prints list only what they draw.
    bool hiddenInLegend = true;
};

// The runs of a series a line joins: indexes of consecutive values, broken at a missing value,
// where neighbours lie farther apart than `step` (when step > 0), and where they fall in different
// stretches of a broken axis or outside every stretch.
QVector<QVector<int>> joinedRuns(const Series& series, double step, const QVector<Extent>& spans);
// The stretches of a panel's horizontal axis: the x of the shown series (a missing value's too:
// its row is there, the stretch stays open and empty), cut where two
// neighbouring x lie more than `x.breakAfter` apart, each widened by half a step, within the
// view's extent. Categories: one stretch over all of them.
QVector<Extent> spansOf(const Panel& panel, const PanelView& view);

class Layout {
  public:
    Layout(const Figure& figure, const QRectF& rect, const View& view, const DrawOptions& options);

    void paint(QPainter& painter) const;

    struct DrawnAxis {
        int index = 0;  // in the panel's axes
        QString title;
        Extent extent;
        QVector<Tick> ticks;
        Scale scale = Scale::Linear;
        bool right = false;
        double edge = 0;  // x of the axis line
    };
    struct DrawnSpan {
        Extent extent;
        QRectF plot;
        QVector<Tick> ticks;
    };
    struct DrawnPanel {
        int index = 0;  // in the figure's panels
        QRectF plot;    // the whole plotting area, every stretch
        QVector<DrawnSpan> spans;
        QVector<DrawnAxis> axes;
    };
    struct LegendEntry {
        QString text;
        QString group;
        QColor colour;
        Mark mark = Mark::Line;
        int subject = 0;  // its subject's place among those drawn: sets the dash of a line
        bool shown = true;
        QRectF rect;
    };

    bool empty() const { return panels_.isEmpty(); }
    const QVector<DrawnPanel>& panels() const { return panels_; }
    const QVector<LegendEntry>& legend() const { return legend_; }
    // The group of the legend entry at `point`; empty when there is none.
    QString groupAt(const QPointF& point) const;
    // The index in panels() of the panel whose plot holds `point`; -1 when none.
    int panelAt(const QPointF& point) const;
    // The view zoomed to `area` within panels()[drawn]: the horizontal extent it covers and each
    // axis' extent, rounded out to whole ticks.
    View zoomed(const View& view, int drawn, const QRectF& area) const;
    // A point's place in the device (logical pixels) and back, for a panel's stretch and axis.
    double toPixelX(const DrawnPanel& panel, double x) const;
    double toPixelY(const DrawnAxis& axis, const QRectF& plot, double y) const;

  private:
    void layOutLegend(QRectF& area);
    void layOutPanels(const QRectF& area);
    // The plot's left and right edges at least at `leftAt` and `rightAt` (NaN: its own axes').
    DrawnPanel layOutPanel(int index, const QRectF& area, double leftAt, double rightAt) const;
    void keepLabelsApart(DrawnPanel& drawn) const;
    QVector<DrawnAxis> axesOf(int index, const QVector<Extent>& spans, double height) const;
    void paintPanel(QPainter& painter, const DrawnPanel& drawn) const;
    void paintAxes(QPainter& painter, const DrawnPanel& drawn) const;
    void paintSeries(QPainter& painter, const DrawnPanel& drawn) const;
    const DrawnAxis* drawnAxisOf(const DrawnPanel& drawn, const Series& series) const;
    // `place`: this series' place among the panel's bar series, and their count.
    void paintBars(QPainter& painter, const DrawnPanel& drawn, const DrawnAxis& axis, const Series& series,
                   const QColor& colour, std::pair<int, int> place) const;
    void paintLine(QPainter& painter, const DrawnPanel& drawn, const DrawnAxis& axis, const Series& series,
                   const QColor& colour) const;
    void paintLegend(QPainter& painter) const;
    int subjectPlace(const Series& series) const;

    const Figure& figure_;
    View view_;
    DrawOptions options_;
    QRectF rect_;
    QRectF titleRect_;
    QVector<DrawnPanel> panels_;
    QVector<LegendEntry> legend_;
    QStringList subjectsDrawn_;  // keys, in the figure's order
    QVector<QColor> colours_;    // per series, panel by panel, in the figure's order
};

// The dash of a line of the n-th subject drawn: solid, dashed, dotted...
Qt::PenStyle dashOf(int subject);
// The pixel size of the texts drawn for a widget's font.
QFont chartFont(const QFont& widgetFont);

}  // namespace chart
