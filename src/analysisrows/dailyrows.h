// The daily result's rows as the summaries read them: the columns found by the captions the daily
// search gives them, and one station's rows as a calendar series.
#pragma once

#include "analysis/dailyseries.h"
#include "jet/jet.h"

#include <QString>

#include <array>
#include <vector>

namespace analysisrows {

struct DailyColumns {
    int day = -1, month = -1, year = -1;
    std::array<int, analysis::kQuantities> quantity{-1, -1, -1, -1, -1, -1, -1};
    bool usable() const { return day >= 0 && month >= 0 && year >= 0; }
};

// The caption of each quantity's column in the daily result ("pioggia mm", ...).
const std::array<const char*, analysis::kQuantities>& quantityCaptions();
DailyColumns dailyColumns(const jet::RecordSet& rows);

// The cell as a number, as the grid shows it: single-precision values with the digits shown, not
// their binary expansion; text that is a plain number (point or comma) read as one; NaN otherwise.
double numberOf(const jet::Value& value);

// The rows `which` (of one station) as a calendar series.
analysis::DailySeries seriesOf(const jet::RecordSet& rows, const DailyColumns& columns,
                               const std::vector<int>& which);

}  // namespace analysisrows
