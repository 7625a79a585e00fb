// The chart of a station's monthly statistics, for the year of the row the user stands on: rain
// totals as bars on their own axis, temperatures as lines, snow in a panel of its own, the other
// statistics shown on a click in the legend.
#pragma once

#include "chart/figure.h"

#include <QString>

namespace jet {
class RecordSet;
}

namespace registry {

// `currentRow` designates the year (the first row's when it designates none); `station` names
// the station, whose rows do not.
chart::Figure monthlyFigure(const jet::RecordSet& rows, int currentRow, const QString& station);

}  // namespace registry
