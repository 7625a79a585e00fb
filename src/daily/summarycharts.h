// The summary window's two charts, described for the chart library: the climograph of a year or of
// the months' normals (rain totals as bars, mean maximum and minimum temperatures as lines), and
// the cumulative rain of each year against the day of the year. Pure: figures from a summary.
#pragma once

#include "analysis/summary.h"
#include "chart/figure.h"

namespace daily {

// The legend's name of the marks put where a month's rain total is not computed.
inline constexpr char kNotComputedRain[] = "Pioggia totale non calcolata (giorni mancanti)";

// The twelve months of `year`, or of the normals when `year` is 0. A month whose total or mean the
// rules forbid has no bar or point (a line is broken there); a forbidden rain total is marked at
// the foot of its month. A month the result holds no row for is simply empty.
chart::Figure climograph(const analysis::StationSummary& summary, int year, const QString& station);

// A line per year, the rain summed from the first of January, against the day of the year (1 to
// 366). A missing day ends the year's line: what follows would not be the year's rain.
chart::Figure cumulativeRain(const analysis::StationSummary& summary, const QString& station);

}  // namespace daily
