#include "intense/intensestatement.h"

#include "daily/dailystatement.h"
#include "db/global.h"

namespace intense {

bool buildIntenseStatement(const IntenseChoice& choice) {
    const QString station = daily::trimBlanks(choice.stationText);
    const QString year = daily::trimBlanks(choice.yearText);

    Global::IntenseStationFilter.clear();
    Global::IntenseYearFilter.clear();

    Global::IntenseSql = QStringLiteral("select ");
    Global::IntenseFields = QStringLiteral("Nomestaz , Anno ");
    if (choice.hoursBox == daily::kTicked) {
        Global::IntenseFields += QString::fromUtf8(kHoursFragment);
    }
    if (choice.daysBox == daily::kTicked) {
        Global::IntenseFields += QString::fromUtf8(kDaysFragment);
    }
    Global::IntenseFields += QStringLiteral(" from piog9099 ");

    if (station.isEmpty() && year.isEmpty()) {
        return false;
    }

    Global::IntenseWhere = QStringLiteral("where ");
    if (!station.isEmpty()) {
        Global::IntenseStationFilter = QStringLiteral("codstaz = ") + choice.stationKey;
        if (!year.isEmpty()) {
            Global::IntenseStationFilter += QStringLiteral(" and ");
        }
    }
    if (!year.isEmpty()) {
        Global::IntenseYearFilter = QStringLiteral("anno = ") + choice.yearKey;
    }
    Global::IntenseWhere += Global::IntenseStationFilter + Global::IntenseYearFilter;
    Global::IntenseSql += Global::IntenseFields + Global::IntenseWhere;
    return true;
}

}  // namespace intense
