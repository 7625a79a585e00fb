// Monthly and yearly figures of one station's daily values, and the month's normal over the years,
// under the completeness rules climate services use for monthly values:
// - a monthly mean or extreme is not computed when more than 5 days of the month, or more than 3
//   consecutive days, are missing for its quantity;
// - a monthly total or count of days is not computed when any day is missing;
// - a yearly figure is made from the twelve monthly ones, and only when all twelve were computed.
// A figure not computed holds no value, only why.
#pragma once

#include "analysis/dailyseries.h"

#include <array>
#include <vector>

namespace analysis {

enum class Status : quint8 {
    Computed,
    Forbidden,  // too many days (or months) missing: left empty on purpose
    Absent,     // its quantity is not in the result
};

struct Figure {
    Status status = Status::Absent;
    double value = kMissing;
    QDate date;          // extremes: the first day it occurred
    int missing = 0;     // monthly: days missing; yearly: months not computed
    int longestGap = 0;  // monthly: the longest run of missing days
    bool computed() const { return status == Status::Computed; }
};

enum MonthlyFigure : int {
    RainTotal,
    RainDays,  // days with at least 1 mm
    RainMax,
    TempMaxMean,
    TempMinMean,
    TempMeanMean,
    TempMaxHighest,
    TempMinLowest,
    HumidityMean,
    WindMean,
    SnowDays,  // days with snow on the ground (depth above 0)
};
inline constexpr int kMonthlyFigures = 11;

enum class Rule : quint8 { Total, Mean };
enum class Reduce : quint8 { Sum, CountAtLeast, CountAbove, Mean, Max, Min };

struct FigureSpec {
    MonthlyFigure figure;
    Quantity quantity;
    Rule rule;
    Reduce reduce;
    double threshold;  // counts: the limit
    bool dated;        // extremes carry their day
};
const std::array<FigureSpec, kMonthlyFigures>& monthlyFigures();

// The monthly rule's limits.
inline constexpr int kMaxMissingDays = 5;
inline constexpr int kMaxConsecutiveMissing = 3;
// A day with at least this much rain is a rain day (mm).
inline constexpr double kRainDay = 1.0;

struct MonthSummary {
    int year = 0, month = 0;
    int days = 0;                             // days of the month
    std::array<int, kQuantities> withData{};  // days with a value, per quantity
    std::array<Figure, kMonthlyFigures> figures;
};

struct YearSummary {
    int year = 0;
    int monthsWithRows = 0;
    std::array<Figure, kMonthlyFigures> figures;
};

struct MonthNormal {
    int month = 0;
    std::array<Figure, kMonthlyFigures> figures;  // mean of the computed monthly values
    std::array<int, kMonthlyFigures> years{};     // how many years each rests on
};

// A figure of one month from its days [first, first + days) of `series`.
Figure monthlyFigure(const DailySeries& series, const FigureSpec& spec, int first, int days);

// A summary per year and month that the result holds at least one row for, in date order.
std::vector<MonthSummary> monthlySummaries(const DailySeries& series);
// A summary per year of the series, from its months (`months` as monthlySummaries gives them).
std::vector<YearSummary> yearlySummaries(const DailySeries& series, const std::vector<MonthSummary>& months);
// The twelve months' normals over the years of `months`.
std::array<MonthNormal, 12> monthNormals(const std::vector<MonthSummary>& months);

}  // namespace analysis
