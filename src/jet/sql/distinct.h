// DISTINCT: dropping rows equal to an earlier one.
#pragma once

#ifndef ALTORRA_JET_INTERNAL
#error "jet/sql headers are private to the engine (altorra_jet)"
#endif

#include <vector>

#include "jet/sql/recordset.h"

namespace jet {

// Of the table's rows, the first of every group of rows whose first `fields` values are equal as
// comparisons take them (text without regard to case, numbers by value, NaN as one value).
std::vector<quint32> distinctRows(const ColumnTable& table, int fields);

}  // namespace jet
