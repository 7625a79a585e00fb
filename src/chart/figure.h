// What a chart shows, as its window describes it: the one thing a window hands the chart library.
// A figure is one or more panels stacked top to bottom; each panel has one horizontal axis (numbers,
// dates or categories, linear or logarithmic, possibly broken where the data leave long stretches
// empty), one or more vertical axes with their units, and series drawn as lines, bars, points or a
// fitted line. The library knows no window, no column and no quantity: a new chart is a new
// description in the folder of the window that offers it.
//
//   chart::Figure f;
//   f.title = QStringLiteral("Monte Vessa - anno 1995");
//   chart::Panel& p = f.panels.emplace_back();
//   p.x = {chart::XKind::Category, QStringLiteral("Mese")};
//   p.x.categories = {"gen", "feb", "mar"};
//   p.axes = {{"rain", QStringLiteral("Pioggia"), QStringLiteral("mm"), chart::Scale::Linear, true},
//             {"temp", QStringLiteral("Temperatura"), QStringLiteral("°C"), chart::Scale::Linear, false,
//             true}};
//   chart::Series& rain = p.series.emplace_back();
//   rain.name = QStringLiteral("Pioggia totale"); rain.mark = chart::Mark::Bar; rain.axis = "rain";
//   rain.colour = chart::colours::rain(); rain.x = {0, 1, 2}; rain.y = {80, chart::kMissing, 61.5};
//
// A missing value is NaN (`kMissing`): nothing is drawn there, and a line never joins across it.
#pragma once

#include <QColor>
#include <QString>
#include <QStringList>
#include <QVector>

#include <limits>

namespace chart {

inline constexpr double kMissing = std::numeric_limits<double>::quiet_NaN();

// How a series is drawn. Line: joined points, broken at every missing value and wherever two
// neighbours lie farther apart than the axis' `step`; a lone value between gaps is a dot. Bar: a bar
// from the axis' base (0, or the bottom of a logarithmic axis) per value, bars of one x side by side.
// Points: one marker per value, never joined (observations). Fit: a fitted or computed curve,
// dashed, joined through its points as given (give it as many points as its curvature needs).
enum class Mark { Line, Bar, Points, Fit };
enum class Scale { Linear, Log };  // Log: values at or below 0 are not drawn
// Number: x as is. Date: x is a Julian day number (QDate::toJulianDay), ticks on month starts (the
// month's name for a year or less, the year beyond). Category: x is the index into `categories`.
enum class XKind { Number, Date, Category };

struct XAxis {
    XKind kind = XKind::Number;
    QString title;
    Scale scale = Scale::Linear;
    QStringList categories;  // Category: the labels of x = 0, 1, 2...
    // Neighbouring points of a line farther apart than this are not joined (Date: 1 = consecutive
    // days only). 0: every neighbour is joined.
    double step = 0;
    // Where the data leave a stretch longer than this with no value, the axis is broken there and
    // the stretches on either side are drawn side by side, each with its own ticks. 0: never broken.
    double breakAfter = 0;
    // The extent shown; both NaN: from the data (categories: all of them).
    double min = kMissing;
    double max = kMissing;
};

struct YAxis {
    QString id;     // what series name in `Series::axis`
    QString title;  // "Temperatura"
    QString unit;   // "°C"; the axis is titled "Temperatura (°C)"
    Scale scale = Scale::Linear;
    bool fromZero = false;  // amounts: the axis starts at 0 whatever the data
    bool right = false;     // drawn at the panel's right edge
    double min = kMissing;  // a fixed extent; NaN: from the data shown, rounded to whole ticks
    double max = kMissing;
};

struct Series {
    QString name;  // the legend's text
    // Series of one group (a quantity of several stations) are shown and hidden together by a
    // click on the legend. Empty: the name.
    QString group;
    // Whom the series belongs to (a station's code): see Figure::subjects. Empty: everyone's.
    QString subject;
    Mark mark = Mark::Line;
    QString axis;       // the id of one of its panel's axes; empty: the panel's first axis
    QColor colour;      // invalid: the palette's next
    bool shown = true;  // drawn; a series not shown waits dimmed in the legend, a click shows it
    QVector<double> x;
    QVector<double> y;  // as many as x; kMissing where there is no value
};

struct Panel {
    QString title;  // above the panel; may be empty
    XAxis x;
    QVector<YAxis> axes;
    QVector<Series> series;
    double weight = 1;  // its share of the height, against the other panels drawn
};

// One of the figure's subjects (stations): with two or more, the window lists them and draws all
// together (up to ChartWindow::kSubjectsTogether) or the one chosen.
struct Subject {
    QString key;    // as in Series::subject
    QString label;  // in the list: the station's name, its code beside a name that occurs twice
    QString title;  // the chart's title when it is drawn alone
};

struct Figure {
    QString caption;            // the window's title
    QString title;              // the chart's own, above the panels
    QVector<Panel> panels;      // a panel with no series shown is not drawn
    QVector<Subject> subjects;  // in the order listed
    // Shown in place of the chart when no panel has a value to draw.
    QString emptyText = QStringLiteral("Nessun valore da rappresentare nel grafico");
};

// The colours meteorological charts use, so that every window draws a quantity alike.
namespace colours {
QColor maximum();           // maximum temperature: red
QColor minimum();           // minimum temperature: blue
QColor mean();              // mean temperature: dark neutral grey
QColor rain();              // rain: blue
QColor snow();              // snow depth: light steel blue
QColor palette(int index);  // for everything else, distinct from the above
}  // namespace colours

// The title of a vertical axis: "Temperatura (°C)", or the bare title when it has no unit.
QString axisTitle(const YAxis& axis);
// The panel's axis a series is drawn on (its first axis when it names none or an unknown one);
// nullptr when the panel has no axis.
const YAxis* axisOf(const Panel& panel, const Series& series);
// True when any series shown has a value to draw.
bool anyValue(const Figure& figure);
// The figure with only `subject`'s series (and everyone's), titled for it.
Figure forSubject(const Figure& figure, const QString& subject);
// Shows or hides every series of `group`, in every panel.
void setGroupShown(Figure& figure, const QString& group, bool shown);
QString groupOf(const Series& series);
// What the chart shows, in words, for screen readers: its title, then each panel's title and the
// names of the series drawn there ("Monte Vessa - anno 1995. Temperatura: Massima, Minima.").
QString textAlternative(const Figure& figure);

}  // namespace chart
