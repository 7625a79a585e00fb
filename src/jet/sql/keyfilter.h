// Criteria answered from a table's key arrays (its integer columns) without reading rows.
#pragma once

#ifndef ALTORRA_JET_INTERNAL
#error "jet/sql headers are private to the engine (altorra_jet)"
#endif

#include <QVector>

#include "jet/internal/keyarrays.h"
#include "jet/sql/sql.h"

namespace jet {

// A criterion answered from a key array: an integer column against a number, or IS [NOT] NULL.
struct KeyTest {
    int column = -1;  // in the table definition
    bool nullTest = false;
    bool negated = false;
    sql::CompareOp op = sql::CompareOp::Eq;
    double literal = 0;
};

// Splits the criteria's top-level AND terms into key tests (on columns that can have a key array)
// and the rest (null when none remains).
void splitKeyTests(const sql::ExprPtr& where, const TableDef& table, QVector<KeyTest>* tests,
                   sql::ExprPtr* rest);

// The rows (indexes into the index's arrays, ascending) that pass every test; tests must not be
// empty, and the index must have a key array for each test's column.
QVector<int> rowsPassing(const QVector<KeyTest>& tests, const TableIndex& index);

}  // namespace jet
