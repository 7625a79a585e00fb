// How complete one station's daily values are: per quantity, the first and last day with a value and
// the longest run of days without one between them. The share per month is MonthSummary::withData
// against MonthSummary::days.
#pragma once

#include "analysis/dailyseries.h"

#include <array>

namespace analysis {

struct QuantitySpan {
    bool any = false;  // some day has a value
    QDate first, last;
    int daysWithData = 0;
    int longestGap = 0;  // days; 0 when none between first and last
    QDate gapStart;      // the first day of that gap
};

std::array<QuantitySpan, kQuantities> quantitySpans(const DailySeries& series);

}  // namespace analysis
