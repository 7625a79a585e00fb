// What the curve window reads from the rainfall grid's rows: the stations they hold and one
// station's annual maxima. Nothing is run against the archive.
#pragma once

#include "analysis/ddf.h"
#include "jet/jet.h"

#include <QString>

#include <vector>

namespace intense {

// The rows of one station, as its name stands in them (the rows hold no code).
struct StationRows {
    QString name;
    std::vector<int> rows;
};

// The stations in the order of their first row.
std::vector<StationRows> stationsOf(const jet::RecordSet& rows);
// The station whose rows include `row` (the first one when none does).
int stationOfRow(const std::vector<StationRows>& stations, int row);

analysis::MaximaRows maximaOf(const jet::RecordSet& rows, const StationRows& station);

}  // namespace intense
