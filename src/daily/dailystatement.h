// The daily statement: built from the four criteria and the thirteen quantity boxes of the
// selection form, as fixed fragments joined in a fixed order.
#pragma once

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

// The statement and its parts, named as the Global variables that keep them.
struct DailyStatement {
    QString sql;            // DailySql: "select " alone when there is no criterion
    QString fields;         // DailyFields
    QString where;          // DailyWhere: empty when there is no criterion
    QString stationFilter;  // DailyStationFilter, and so on: empty when the list is empty
    QString yearFilter;
    QString monthFilter;
    QString dayFilter;
    bool hasCriterion = false;  // false when all four texts are empty: nothing is searched
};

DailyStatement buildDailyStatement(const DailyChoice& choice);

// Writes the statement to Global as a press of "&Seleziona" does: the where clause only when
// there is a criterion (otherwise the last one stays), the flag true only then.
void publish(const DailyStatement& statement);

}  // namespace daily
