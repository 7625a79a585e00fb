// ORDER BY: a stable sort of a snapshot's rows.
#pragma once

#include <QVector>

#include <vector>

#include "jet/jet.h"

namespace jet {

struct SortKey {
    int at = 0;  // position of the key among a row's values
    bool descending = false;
};

// Sorts `order` (row numbers into `cells`, width values a row) stably by the keys: NULL first,
// numbers by value, text as the Italian collation orders it without regard to case.
void sortRows(const std::vector<Value>& cells, int width, const QVector<SortKey>& keys, QVector<int>* order);

}  // namespace jet
