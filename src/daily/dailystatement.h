// The daily statement: built from the four criteria and the thirteen quantity boxes of the
// selection form, as fixed fragments joined in a fixed order.
#pragma once

#include "forms/choice.h"

#include <QString>

#include <array>

namespace daily {

// One quantity box: its control name, its caption and the select-list fragment it appends.
struct Quantity {
    const char* box;
    const char* caption;
    const char* fragment;
};
inline constexpr int kQuantityCount = 13;
// In the order their fragments are appended (and their columns appear).
const std::array<Quantity, kQuantityCount>& quantities();

struct DailyChoice {
    // What each list shows (blanks around it are ignored).
    QString stationText, yearText, monthText, dayText;
    // The key values read from the rows the lists designate; written into the statement as they are.
    QString stationKey, yearKey, monthKey, dayKey;
    // Box values in the order of quantities().
    std::array<int, kQuantityCount> boxes{};
};

// The filters of the statement, in the order of its criteria.
enum DailyFilter { kStationFilter, kYearFilter, kMonthFilter, kDayFilter };

// The select list: the station's name, the date, then the fragment of each box ticked.
QString dailyFields(const std::array<int, kQuantityCount>& boxes);

forms::Statement buildDailyStatement(const DailyChoice& choice);

}  // namespace daily
