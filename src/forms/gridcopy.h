// Grid cells as the clipboard takes them: tab-separated text and an HTML table, the values as the
// grid shows them, built in one pass over the record set (no view or model in between).
#pragma once

#include <QLocale>
#include <QString>
#include <QVector>

namespace jet {
class RecordSet;
}

namespace forms {

// A rectangle of selected cells, bounds included, zero-based.
struct CellRange {
    int top = 0;
    int left = 0;
    int bottom = -1;
    int right = -1;
};

struct CopiedCells {
    QString text;  // lines joined by "\n", cells by "\t"; no line end after the last line
    QString html;  // one table, a header row of <th> when captions are asked for
};

// The block copied is every row and every column that holds a selected cell, in grid order; a
// cell of the block that is not itself selected stays empty. Ranges beyond the record set are cut
// to it. Tabs and line ends inside a value become blanks in the text, line breaks in the HTML.
CopiedCells copyCells(const jet::RecordSet& rows, const QVector<CellRange>& selection, bool withCaptions,
                      const QLocale& locale = QLocale());

}  // namespace forms
