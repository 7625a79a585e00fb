// The chart of the daily values a result window shows: temperatures as lines and rain as bars on
// its own axis over the days, snow depth in a panel of its own, wind, humidity and radiation in
// theirs (shown on a click in the legend); one set of series per station, keyed by its code.
#pragma once

#include "chart/figure.h"

#include <QSet>
#include <QString>

#include <memory>
#include <optional>

namespace forms {
class GridActions;
}
namespace jet {
class RecordSet;
}

namespace daily {

// The caption of the station code the chart's statement adds in front of the grid's fields (the
// grid names the station only, and two stations may share a name).
inline constexpr char kCodeCaption[] = "Codice stazione";
// The rows of `statement` in the archive at `database` with the station code in front, read afresh
// (the chart's and the summary's); nullptr when it does not run.
std::unique_ptr<jet::RecordSet> readWithCode(const QString& database, const QString& statement);
// The names two stations of the archive at `database` share: a station of such a name is shown
// with its code, even where the rows hold only one of them.
QSet<QString> sharedStationNames(const QString& database);
// The figure of rows of that statement.
chart::Figure dailyFigure(const jet::RecordSet& rows, const QSet<QString>& sharedNames = {});
// The figure of the rows of `statement` in the archive at `database`, run with the station code,
// and of those `grid` shows (its sort and filter) when given; nullopt when it does not run (the
// grid then shows no rows either).
std::optional<chart::Figure> dailyChart(const QString& database, const QString& statement,
                                        const forms::GridActions* grid = nullptr);

}  // namespace daily
