// Figures of the selected cells: how many, how many hold numbers, and the sum, mean, minimum,
// maximum and standard deviation of those numbers (dates, texts and empty cells are counted
// as cells only).
#pragma once

#include <QLocale>
#include <QString>
#include <QVector>

#include "forms/gridcopy.h"

namespace jet {
class RecordSet;
}

namespace forms {

struct SelectionStats {
    qint64 cells = 0;
    qint64 numbers = 0;
    double sum = 0;
    double mean = 0;
    double minimum = 0;
    double maximum = 0;
    double deviation = 0;  // the sample standard deviation (n - 1): none below two numbers
};

// Every cell counted once, however the ranges overlap; ranges are cut to the rows.
SelectionStats selectionStats(const jet::RecordSet& rows, const QVector<CellRange>& ranges);

// "Celle: 4  Numeri: 3  Somma: 6,5  Media: 2,16666666666667  Minimo: -0,5  Massimo: 4  Deviazione
// standard: 2,25462487641145" on one line, or one figure a line; figures without numbers say "—".
QString statsText(const SelectionStats& stats, bool oneLine, const QLocale& locale = QLocale());

}  // namespace forms
