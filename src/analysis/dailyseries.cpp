#include "analysis/dailyseries.h"

#include <algorithm>

namespace analysis {

namespace {

// Years beyond these are taken for damaged dates: a calendar from year 1 to 9999 would hold
// millions of days for a handful of rows.
constexpr int kFirstYear = 1800;
constexpr int kLastYear = 2200;

bool validDate(const DailyRecord& r) {
    return r.year >= kFirstYear && r.year <= kLastYear && QDate::isValid(r.year, r.month, r.day);
}

}  // namespace

DailySeries DailySeries::build(const std::vector<DailyRecord>& rows,
                               const std::array<bool, kQuantities>& present) {
    DailySeries s;
    s.present_ = present;
    s.rowsRead_ = int(rows.size());
    int first = 0, last = -1;
    for (const DailyRecord& r : rows) {
        if (!validDate(r)) {
            ++s.invalidDates_;
            continue;
        }
        first = last < first ? r.year : std::min(first, r.year);
        last = std::max(last, r.year);
    }
    if (last < first) {
        return s;
    }
    s.firstYear_ = first;
    s.lastYear_ = last;
    s.firstDay_ = QDate(first, 1, 1).toJulianDay();
    s.days_ = int(QDate(last, 12, 31).toJulianDay() - s.firstDay_ + 1);
    for (int q = 0; q < kQuantities; ++q) {
        if (present[q]) {
            s.values_[q].assign(size_t(s.days_), kMissing);
        }
    }
    s.rows_.assign(size_t(s.days_), false);
    std::vector<bool> conflict(size_t(s.days_), false);
    for (const DailyRecord& r : rows) {
        if (!validDate(r)) {
            continue;
        }
        const size_t at = size_t(QDate(r.year, r.month, r.day).toJulianDay() - s.firstDay_);
        const bool seen = s.rows_[at];
        s.rows_[at] = true;
        for (int q = 0; q < kQuantities; ++q) {
            if (!present[q]) {
                continue;
            }
            double& cell = s.values_[q][at];
            const double v = r.values[size_t(q)];
            if (!seen) {
                cell = v;
            } else if (!(cell == v || (missing(cell) && missing(v)))) {
                // Two rows for one day that disagree: neither is the station's value.
                cell = kMissing;
                conflict[at] = true;
            }
        }
    }
    s.conflicts_ = int(std::count(conflict.begin(), conflict.end(), true));
    return s;
}

}  // namespace analysis
