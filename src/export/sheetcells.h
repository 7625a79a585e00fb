// What a spreadsheet cell holds for a record-set value, shared by the .xlsx and .ods writers.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include "jet/jet.h"

namespace exporter {

struct SheetCell {
    enum class Type { Empty, Number, Boolean, Date, DateTime, Time, Text };
    Type type = Type::Empty;
    double number = 0;  // Number: the value; Date, DateTime, Time: the day serial (1899-12-30 = 0)
    // Number: the shortest decimal text of the value as stored ("96.6" for 96.6f); Text: the text.
    QByteArray digits;
    QString text;
    int year = 0, month = 0, day = 0, seconds = 0;  // Date, DateTime, Time
    bool withSeconds = false;
    bool shown = false;  // Text: the cell's text as the grid shows it is to be written
};

// `value` as a cell. Dates before 1900-03-01 are written as the grid shows them (spreadsheets
// count days differently before then), as are raw bytes; a time on day zero is a time of day.
SheetCell sheetCell(const jet::Value& value);

// Column widths in characters, from the captions and rows taken across the result.
QList<double> columnWidths(const jet::RecordSet& rows, const QStringList& captions);

}  // namespace exporter
