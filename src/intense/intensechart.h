// The chart of the rainfall maxima a result window shows: one line per station and year over the
// durations, hours (1 to 24) and days (1 to 5) in two panels, for they measure different things;
// stations keyed by their code.
#pragma once

#include "chart/figure.h"

#include <QSet>

#include <optional>

namespace forms {
class GridActions;
}
namespace jet {
class RecordSet;
}

namespace intense {

// The caption of the station code the chart's statement adds in front of the grid's fields.
inline constexpr char kCodeCaption[] = "Codice stazione";
// The figure of the rows of the grid's statement run with the station code in front; a station
// whose name is among `sharedNames` is shown with its code.
chart::Figure maximaFigure(const jet::RecordSet& rows, const QSet<QString>& sharedNames = {});
// The same read from the archive at `database`, of the rows `grid` shows when given; nullopt when
// the statement does not run.
std::optional<chart::Figure> maximaChart(const QString& database, const QString& statement,
                                         const forms::GridActions* grid = nullptr);

}  // namespace intense
