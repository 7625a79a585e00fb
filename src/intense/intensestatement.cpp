#include "intense/intensestatement.h"

namespace intense {

forms::Statement buildIntenseStatement(const IntenseChoice& choice) {
    QString fields = QStringLiteral("Nomestaz , Anno ");
    if (choice.hoursBox == forms::kTicked) {
        fields += QString::fromUtf8(kHoursFragment);
    }
    if (choice.daysBox == forms::kTicked) {
        fields += QString::fromUtf8(kDaysFragment);
    }
    fields += QStringLiteral(" from piog9099 ");
    return forms::buildStatement(fields,
                                 {
                                     {choice.stationText, QStringLiteral("codstaz = "), choice.stationKey},
                                     {choice.yearText, QStringLiteral("anno = "), choice.yearKey},
                                 });
}

}  // namespace intense
