// DISTINCT: dropping rows equal to an earlier one.
#pragma once

#include <QVector>

#include <vector>

#include "jet/jet.h"

namespace jet {

// Of rows 0..count-1 of `cells` (width values each), the first of every group of rows whose first
// `fields` values are equal as comparisons take them (text without regard to case, numbers by value).
QVector<int> distinctRows(const std::vector<Value>& cells, int width, int fields, int count);

}  // namespace jet
