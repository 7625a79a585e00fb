// Yearly climate-change indices of the Expert Team on Climate Change Detection and Indices (ETCCDI)
// from one station's daily rain, maximum and minimum temperature. A year with more than 15 days
// missing for an index's quantity has no value for it. Spells (CDD, CWD) may span the year's end,
// as ETCCDI counts them: a spell belongs, whole, to the year in which it ends, and a year that lies
// entirely inside a spell that ends later has no value. A missing day ends a spell.
#pragma once

#include "analysis/dailyseries.h"
#include "analysis/monthlysummary.h"

#include <array>
#include <vector>

namespace analysis {

enum ClimateIndex : int { PRCPTOT, Rx1day, Rx5day, SDII, R10mm, R20mm, CDD, CWD, TXx, ID, SU, TNn, FD, TR };
inline constexpr int kClimateIndices = 14;

struct IndexSpec {
    ClimateIndex index;
    Quantity quantity;
    const char* name;  // as ETCCDI writes it
    const char* unit;  // "mm", "giorni", "°C", "mm/giorno"
    const char* definition;
    int decimals;
};
const std::array<IndexSpec, kClimateIndices>& climateIndices();

inline constexpr int kMaxMissingInYear = 15;
// The quantities the indices read, with their days with data counted per year.
inline constexpr std::array<Quantity, 3> kIndexQuantities = {Rain, TempMax, TempMin};

struct YearIndices {
    int year = 0;
    std::array<int, kQuantities> withData{};  // days with a value in the year
    std::array<int, kQuantities> daysInYear{};
    std::array<Figure, kClimateIndices> values;
};

std::vector<YearIndices> climateIndicesByYear(const DailySeries& series);

// The building blocks, on plain values with each day's period (year) number, as ETCCDI's tools
// compute them; missing values are NaN. `periods` gives each day's period (0 .. count - 1, in order).
// The longest spell per period of days meeting the test (value >= threshold when `atLeast`, value <
// threshold otherwise); a period wholly inside a spell that ends in a later one gets NaN.
std::vector<double> longestSpells(const std::vector<double>& values, const std::vector<int>& periods,
                                  int count, double threshold, bool atLeast);
// The largest sum of `n` consecutive days ending in each period (a window may start in the period
// before); windows holding a missing day are not used. NaN for a period with no whole window.
std::vector<double> largestSums(const std::vector<double>& values, const std::vector<int>& periods, int count,
                                int n);

}  // namespace analysis
