#include "intense/intensestatement.h"

#include "db/global.h"
#include "forms/choice.h"

namespace intense {

IntenseStatement buildIntenseStatement(const IntenseChoice& choice) {
    IntenseStatement s;
    s.sql = QStringLiteral("select ");
    s.fields = QStringLiteral("Nomestaz , Anno ");
    if (choice.hoursBox == forms::kTicked) {
        s.fields += QString::fromUtf8(kHoursFragment);
    }
    if (choice.daysBox == forms::kTicked) {
        s.fields += QString::fromUtf8(kDaysFragment);
    }
    s.fields += QStringLiteral(" from piog9099 ");

    const QStringList filters = forms::criterionFilters({
        {choice.stationText, QStringLiteral("codstaz = "), choice.stationKey},
        {choice.yearText, QStringLiteral("anno = "), choice.yearKey},
    });
    s.stationFilter = filters[0];
    s.yearFilter = filters[1];
    s.hasCriterion = !filters.join(QString()).isEmpty();
    if (s.hasCriterion) {
        s.where = QStringLiteral("where ") + s.stationFilter + s.yearFilter;
        s.sql += s.fields + s.where;
    }
    return s;
}

void publish(const IntenseStatement& statement) {
    Global::IntenseSql = statement.sql;
    Global::IntenseFields = statement.fields;
    Global::IntenseStationFilter = statement.stationFilter;
    Global::IntenseYearFilter = statement.yearFilter;
    if (statement.hasCriterion) {
        Global::IntenseWhere = statement.where;
        Global::IntenseQueryOk = Global::kTrue;
    }
}

}  // namespace intense
