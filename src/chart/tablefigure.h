// A figure from the record set a grid shows, as its window describes it: which fields key and name
// the subjects (stations), which make the horizontal axis, which are series, with their panels,
// axes, marks and colours. Two shapes of rows: a row per point (a day of a station: every quantity
// field is a series over the days) and a row per series (a station's year: the fields are the
// categories, durations or months). The library reads fields by the names the description gives
// and knows none of its own. Pure: no window.
#pragma once

#include "chart/figure.h"

#include <QDate>
#include <QSet>

#include <functional>
#include <memory>
#include <optional>

namespace jet {
class RecordSet;
}

namespace chart {

// A window's select statement with one more field in front (`expression as [caption]`): a chart
// may need what its grid does not show (the station's code beside its name). Empty when
// `statement` is no select statement.
QString withFirstField(const QString& statement, const QString& expression, const QString& caption);
// The rows of `statement` in the archive at `database`, read afresh; nullptr when it does not run.
std::unique_ptr<jet::RecordSet> readRows(const QString& database, const QString& statement);

// A cell as the grid shows it, as a number; kMissing for NULL and for a cell that is no number.
// `fieldIsNumeric` comes from numericField.
double numberShown(const jet::RecordSet& rows, int row, int field);
// True when the field holds numbers (integers, reals, currency) and at least one value.
bool numericField(const jet::RecordSet& rows, int field);

// The texts of the first field that come in more than one row of `statement`, blanks trimmed: the
// names two stations of the archive share. Empty when the statement does not run.
QSet<QString> repeatedTexts(const QString& database, const QString& statement);

// The subjects of a record set: one per distinct value of `keyField` (a station's code), labelled
// by `nameField`, listed alphabetically, with the code beside a name that two subjects share or
// that is among `sharedNames` (shared in the archive, though the rows hold one of them).
struct Subjects {
    QVector<Subject> list;  // titles left empty: see setTitles
    QVector<int> ofRow;     // per row, its subject's index in `list`; -1 for a row with no key
};
// keyField -1: one subject with an empty key for every row.
Subjects subjectsOf(const jet::RecordSet& rows, int keyField, int nameField,
                    const QSet<QString>& sharedNames = {});

// How one field, or one row, is drawn.
struct Style {
    QString name;  // the legend's; empty: the field's caption (row per point)
    int panel = 0;
    QString axis;
    Mark mark = Mark::Line;
    QColor colour;  // invalid: the palette's
    bool shown = true;
};

// Row per point.
struct PointRows {
    QString keyField;           // the subject's key (a station's code); empty: one subject
    QString nameField;          // its name
    QSet<QString> sharedNames;  // see subjectsOf
    // The horizontal axis: a Date panel takes the date of the day, month and year fields (a row
    // that is no calendar date is left out); otherwise the number in `xField`.
    QString dayField, monthField, yearField;
    QString xField;
    QVector<Panel> panels;  // axes and titles; the series are added
    // The fields drawn, each by its caption; a field the rows lack, or that holds no number, is
    // left out, and so is a series with no value at all.
    QVector<std::pair<QString, Style>> fields;
};
Figure pointFigure(const PointRows& description, const jet::RecordSet& rows);

// Row per series.
struct SeriesRows {
    QString keyField;
    QString nameField;
    QSet<QString> sharedNames;  // see subjectsOf
    // Categories: a field each, in order, with the panel it belongs to; its x is its index among
    // that panel's categories, and its label the field's caption.
    QVector<std::pair<QString, int>> categories;
    QVector<Panel> panels;  // axes and titles; categories and series are added
    // How row `row`'s series are drawn (nullopt: the row is left out): in the style's panel, or in
    // every panel that has categories when its panel is -1.
    std::function<std::optional<Style>(const jet::RecordSet& rows, int row)> style;
};
Figure seriesFigure(const SeriesRows& description, const jet::RecordSet& rows);

// The extent of the x values of every series, with a value or missing (NaN, NaN when there is
// none): the period of the rows, not only of their values.
std::pair<double, double> xExtent(const Figure& figure);
// "dal 01/03/1995 al 31/03/1995", or the one day.
QString datePeriod(const QDate& first, const QDate& last);
// "anno 1995", "anni 1994-1996".
QString yearsPeriod(int first, int last);
// The figure's title ("Monte Vessa, Roda - dal..."), caption ("Grafico - " and the title) and each
// subject's own title, from the subjects' labels and `period`.
void setTitles(Figure& figure, const QString& period);

}  // namespace chart
