#include "intense/curvadata.h"

#include <algorithm>

namespace intense {

namespace {

// The rows of one station seen as a record set of their own, for analysis::readMaxima.
struct Subset {
    const jet::RecordSet& all;
    const std::vector<int>& rows;
    int fieldIndex(const QString& name) const { return all.fieldIndex(name); }
    int recordCount() const { return int(rows.size()); }
    bool isNull(int row, int field) const { return all.isNull(rows[row], field); }
    jet::Value value(int row, int field) const { return all.value(rows[row], field); }
};

}  // namespace

std::vector<StationRows> stationsOf(const jet::RecordSet& rows) {
    std::vector<StationRows> stations;
    const int field = rows.fieldIndex(QStringLiteral("Nomestaz"));
    for (int r = 0; r < rows.recordCount(); ++r) {
        const QString name = field >= 0 ? rows.value(r, field).text() : QString();
        auto it = std::find_if(stations.begin(), stations.end(),
                               [&name](const StationRows& s) { return s.name == name; });
        if (it == stations.end()) {
            stations.push_back({name, {}});
            it = stations.end() - 1;
        }
        it->rows.push_back(r);
    }
    return stations;
}

int stationOfRow(const std::vector<StationRows>& stations, int row) {
    for (size_t i = 0; i < stations.size(); ++i) {
        if (std::find(stations[i].rows.begin(), stations[i].rows.end(), row) != stations[i].rows.end()) {
            return int(i);
        }
    }
    return 0;
}

analysis::MaximaRows maximaOf(const jet::RecordSet& rows, const StationRows& station) {
    return analysis::readMaxima(Subset{rows, station.rows});
}

}  // namespace intense
