// The tables of a depth-duration-frequency analysis as text, the same for the window and for
// altorra-query: numbers with a point, rain in mm with two decimals, n and R² with four; an empty
// cell where there is no figure.
#pragma once

#include "analysis/ddf.h"

#include <QString>
#include <QStringList>
#include <QVector>

namespace analysis {

struct TextTable {
    QStringList captions;
    QVector<QStringList> rows;
};

// A row per return period, a column per duration the rows hold (mm).
TextTable quantileTable(const DdfAnalysis& a);
// A row per return period: a, n and R² over 1–24 hours (t in hours) or over 1–5 days (t in days).
TextTable curveTable(const DdfAnalysis& a, bool days);
// A row per duration the rows hold: years used, mean, deviation, α, u, the two tests, and why a
// figure is missing.
TextTable fitTable(const DdfAnalysis& a);

QString mm(double v);     // two decimals
QString ratio(double v);  // four decimals

}  // namespace analysis
