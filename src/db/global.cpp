#include "db/global.h"

namespace Global {

QString DatabaseFolder;

QString DailySql;
QString DailyFields;
QString DailyWhere;
QString DailyStationFilter;
QString DailyYearFilter;
QString DailyMonthFilter;
QString DailyDayFilter;
qint16 DailyQueryOk = kFalse;

QString IntenseSql;
QString IntenseFields;
QString IntenseWhere;
QString IntenseStationFilter;
QString IntenseYearFilter;
qint16 IntenseQueryOk = kFalse;

QString MonthlyQuery;

void reset() {
    DatabaseFolder.clear();
    DailySql.clear();
    DailyFields.clear();
    DailyWhere.clear();
    DailyStationFilter.clear();
    DailyYearFilter.clear();
    DailyMonthFilter.clear();
    DailyDayFilter.clear();
    DailyQueryOk = kFalse;
    IntenseSql.clear();
    IntenseFields.clear();
    IntenseWhere.clear();
    IntenseStationFilter.clear();
    IntenseYearFilter.clear();
    IntenseQueryOk = kFalse;
    MonthlyQuery.clear();
}

}  // namespace Global
