// One station's daily values laid on the calendar: every day from the first of January of its first
// year to the last of December of its last, each quantity missing (NaN) where no row holds a value.
// Pure: plain values in, plain values out.
#pragma once

#include <QDate>
#include <QString>

#include <array>
#include <cmath>
#include <limits>
#include <vector>

namespace analysis {

// The quantities the summaries read, in the order of the daily result's columns.
enum Quantity : int { Rain, TempMax, TempMin, TempMean, Snow, Wind, Humidity };
inline constexpr int kQuantities = 7;

inline constexpr double kMissing = std::numeric_limits<double>::quiet_NaN();
inline bool missing(double v) {
    return std::isnan(v);
}

// One row of daily values: a date as the row gives it and a value per quantity (kMissing: NULL).
struct DailyRecord {
    int year = 0, month = 0, day = 0;
    std::array<double, kQuantities> values{kMissing, kMissing, kMissing, kMissing,
                                           kMissing, kMissing, kMissing};
};

class DailySeries {
  public:
    // `present`: the quantities the rows carry at all (a quantity not asked for is absent, not
    // missing). A row whose date is not a calendar date (or lies outside 1800-2200) is left out and
    // counted. A day given by two
    // rows is kept only when both agree; when they differ it is counted and that day is missing
    // for the quantities they differ in, never one of them chosen.
    static DailySeries build(const std::vector<DailyRecord>& rows,
                             const std::array<bool, kQuantities>& present);

    bool empty() const { return days_ == 0; }
    bool has(Quantity q) const { return present_[q]; }
    int firstYear() const { return firstYear_; }
    int lastYear() const { return lastYear_; }
    int dayCount() const { return days_; }
    QDate date(int index) const { return QDate::fromJulianDay(firstDay_ + index); }
    // The index of `date` (which must lie within the series).
    int indexOf(const QDate& date) const { return int(date.toJulianDay() - firstDay_); }
    double value(Quantity q, int index) const { return values_[q][size_t(index)]; }
    const std::vector<double>& values(Quantity q) const { return values_[q]; }
    // True when a row of the result names that day (months with none are not in the tables).
    bool hasRow(int index) const { return rows_[size_t(index)]; }

    int rowsRead() const { return rowsRead_; }
    int invalidDates() const { return invalidDates_; }
    int conflictingDays() const { return conflicts_; }

  private:
    std::array<bool, kQuantities> present_{};
    qint64 firstDay_ = 0;
    int firstYear_ = 0, lastYear_ = -1, days_ = 0;
    std::array<std::vector<double>, kQuantities> values_;
    std::vector<bool> rows_;
    int rowsRead_ = 0, invalidDates_ = 0, conflicts_ = 0;
};

}  // namespace analysis
