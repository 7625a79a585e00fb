// Sorting and filtering the rows of a record set as a grid shows them, without a view: the order
// is a list of record-set rows, a filter a test of one cell. Pure, so the rules are tested alone.
#pragma once

#include <QLocale>
#include <QString>
#include <QVector>

#include <optional>
#include <vector>

#include "jet/jet.h"

namespace db {

// A number as the grid shows it: a single-precision value by its shortest decimal form (96.6f is
// 96.6, not 96.59999847), every other number as it is; dates by their serial.
double shownNumber(const jet::Value& value);
// Whether a value is a number (dates aside) or a date.
bool isNumber(const jet::Value& value);
bool isDate(const jet::Value& value);

// Sorts `order` (record-set rows) by one column, stably: rows whose values are equal keep their
// order, so sorting by a second column after a first sorts by both. Numbers and dates by value
// (numbers before texts when a column holds both), texts by the Italian collation, NULL last in
// both directions.
void sortRows(const jet::RecordSet& rows, int column, Qt::SortOrder order, std::vector<int>& rowOrder);

enum class Condition {
    Equal,
    Differs,
    Less,
    Greater,
    Between,
    Contains,
    Empty,
    NotEmpty,  // what excluding an empty cell keeps
};

// One filter on one column. Texts compare without regard to case (equal, differs) or by the
// Italian collation (less, greater, between); `Contains` looks for `text` in the cell as the grid
// shows it. A date typed without a time of day (`wholeDays`) stands for the whole day. An empty
// cell (NULL or a text of blanks) differs from every value and passes no other test.
struct RowFilter {
    int column = -1;
    Condition condition = Condition::Equal;
    jet::Value value;
    jet::Value upper;  // Between: the second bound
    QString text;      // Contains
    bool wholeDays = false;
    // How the filter reads, for the grid's tooltip ("Anno uguale a 1995").
    QString description;
};

// Whether `row` passes every filter.
bool passes(const jet::RecordSet& rows, int row, const QVector<RowFilter>& filters,
            const jet::DisplayFormat& format);

// The filter "equal to" (or, `exclude`, "differs from") the value of one cell.
RowFilter filterByCell(const jet::RecordSet& rows, int row, int column, bool exclude,
                       const QLocale& locale = QLocale());

// A value typed for a filter on `column`, read as the column's values are: a number in the
// locale's or in the C notation, a date as dd/mm/yyyy with an optional hh:mm[:ss], or a text.
// Nothing when the text is not of the column's kind; *wholeDays tells a date typed without time.
std::optional<jet::Value> readFilterValue(const jet::RecordSet& rows, int column, const QString& text,
                                          const QLocale& locale, bool* wholeDays = nullptr);

// The Italian name of a condition, as the filter dialog lists it ("uguale a", "compreso tra"...).
QString conditionName(Condition condition);

}  // namespace db
