// Hand-made daily series for the summary tests: days added by date, quantity by quantity.
#pragma once

#include "analysis/dailyseries.h"

#include <map>

namespace testing {

class Days {
  public:
    // The quantities the rows carry (the others are absent from the result).
    explicit Days(std::initializer_list<analysis::Quantity> present) {
        for (analysis::Quantity q : present) {
            present_[q] = true;
        }
    }
    // `values[i]` on the i-th day from `from` (kMissing: the row holds NULL there).
    Days& add(const QDate& from, analysis::Quantity q, const std::vector<double>& values) {
        for (size_t i = 0; i < values.size(); ++i) {
            record(from.addDays(qint64(i))).values[q] = values[i];
        }
        return *this;
    }
    // The same value every day from `from` to `to`, both included.
    Days& fill(const QDate& from, const QDate& to, analysis::Quantity q, double value) {
        for (QDate d = from; d <= to; d = d.addDays(1)) {
            record(d).values[q] = value;
        }
        return *this;
    }
    // No row at all for these days (as when the search found none).
    Days& drop(const QDate& from, const QDate& to) {
        for (QDate d = from; d <= to; d = d.addDays(1)) {
            rows_.erase(d);
        }
        return *this;
    }
    std::vector<analysis::DailyRecord> records() const {
        std::vector<analysis::DailyRecord> out;
        for (const auto& [date, r] : rows_) {
            out.push_back(r);
        }
        return out;
    }
    analysis::DailySeries series() const { return analysis::DailySeries::build(records(), present_); }

  private:
    analysis::DailyRecord& record(const QDate& d) {
        analysis::DailyRecord& r = rows_[d];
        r.year = d.year();
        r.month = d.month();
        r.day = d.day();
        return r;
    }
    std::array<bool, analysis::kQuantities> present_{};
    std::map<QDate, analysis::DailyRecord> rows_;
};

}  // namespace testing
