// ORDER BY: a stable sort of a snapshot's rows.
#pragma once

#ifndef ALTORRA_JET_INTERNAL
#error "jet/sql headers are private to the engine (altorra_jet)"
#endif

#include <QVector>

#include <vector>

#include "jet/sql/recordset.h"

namespace jet {

struct SortKey {
    int column = 0;  // the key's column in the table
    bool descending = false;
};

// Sorts `order` (rows of the table) stably by the keys: NULL first, numbers by value (NaN last),
// text as the Italian collation orders it without regard to case.
void sortRows(const ColumnTable& table, const QVector<SortKey>& keys, std::vector<quint32>* order);

}  // namespace jet
