// The summary of one station's daily values as tables: the monthly table, the yearly rows, the
// months' normals, the yearly climate indices and the completeness report. The window shows these
// tables and altorra-query prints the monthly and index tables, so both give the same figures.
#pragma once

#include "analysis/climateindices.h"
#include "analysis/completeness.h"
#include "analysis/monthlysummary.h"
#include "analysis/table.h"

#include <memory>

namespace analysis {

struct StationSummary {
    DailySeries series;
    std::vector<MonthSummary> months;
    std::vector<YearSummary> years;
    std::array<MonthNormal, 12> normals;
    std::vector<YearIndices> indices;
    std::array<QuantitySpan, kQuantities> spans;
};

StationSummary summarize(DailySeries series);

// The captions of the figures and of the quantities, as the tables head them.
QString figureCaption(MonthlyFigure figure);
QString quantityName(Quantity quantity);
// "gen", "feb", ...
QString monthAbbreviation(int month);

// "Anno", "Mese", the figures of the quantities present (extremes followed by their day), "Giorni del
// mese", then "Giorni con dati: pioggia" and so on.
std::shared_ptr<Table> monthlyTable(const StationSummary& s);
// "Anno", "Mesi con dati", the same figures (extremes followed by their date).
std::shared_ptr<Table> yearlyTable(const StationSummary& s);
// "Mese", then each figure followed by the number of years it rests on.
std::shared_ptr<Table> normalTable(const StationSummary& s);
// "Anno", then per quantity its days with data followed by its indices.
std::shared_ptr<Table> indicesTable(const StationSummary& s);
// "Anno", "Grandezza", the twelve months and "Anno intero": days with data against days, marked full,
// partial or empty.
std::shared_ptr<Table> completenessTable(const StationSummary& s);

// "Grandezza", "Primo giorno con dati", "Ultimo giorno con dati", "Giorni con dati", "Lacuna più lunga
// (giorni)", "Inizio della lacuna": one row per quantity present.
std::shared_ptr<Table> spansTable(const StationSummary& s);

// The rules, stated as the window states them.
QString monthlyRules();
QString indexRules();

}  // namespace analysis
