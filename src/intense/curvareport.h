// The curve window's words and pages: the notes that say why a figure is missing, the tables as
// one tab-separated file, and the printed report.
#pragma once

#include "analysis/ddf.h"
#include "chart/figure.h"

#include <QRectF>
#include <QStringList>

class QPainter;

namespace intense {

// One line per duration without a fit and per group of durations without a curve.
QStringList curveNotes(const analysis::DdfAnalysis& a);
// The quantiles, the two curves and the fits, each table headed by its captions, in the export's
// form (Windows-1252, every cell followed by a tab, CRLF). False when the file cannot be written.
bool writeCurveTables(const analysis::DdfAnalysis& a, const QString& path);
// The report on one page: title, method, quantiles, the curves' tables beside their chart
// (`curve`), fits and notes, in `page`.
void paintReport(QPainter& painter, const QRectF& page, const QString& title, const QString& method,
                 const analysis::DdfAnalysis& a, const chart::Figure& curve);

}  // namespace intense
