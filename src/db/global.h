// Shared query state: the variables through which the windows talk. They live as long as the
// program and keep their values when windows close.
#pragma once

#include <QString>
#include <QtGlobal>

namespace Global {

// 16-bit booleans, as the archive's original tools kept them.
constexpr qint16 kTrue = -1;
constexpr qint16 kFalse = 0;

extern QString DatabaseFolder;

extern QString DailySql;
extern QString DailyFields;
extern QString DailyWhere;
extern QString DailyStationFilter;
extern QString DailyYearFilter;
extern QString DailyMonthFilter;
extern QString DailyDayFilter;
extern qint16 DailyQueryOk;

extern QString IntenseSql;
extern QString IntenseFields;
extern QString IntenseWhere;
extern QString IntenseStationFilter;
extern QString IntenseYearFilter;
extern qint16 IntenseQueryOk;

extern QString MonthlyQuery;

// Back to the values at program start (tests use it between cases).
void reset();

}  // namespace Global
