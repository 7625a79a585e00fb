// Criteria answered from a table's key arrays (its integer columns) without reading rows.
#pragma once

#include <QVector>

#include "jet/internal/jetfile.h"
#include "jet/sql.h"

namespace jet {

// A criterion answered from a key array: a key column against a number, or IS [NOT] NULL.
struct KeyTest {
    int key = -1;  // index into TableIndex::keyColumns
    bool nullTest = false;
    bool negated = false;
    sql::CompareOp op = sql::CompareOp::Eq;
    double literal = 0;
};

// Splits the criteria's top-level AND terms into key tests and the rest (null when none remains).
void splitKeyTests(const sql::ExprPtr& where, const TableIndex& index, QVector<KeyTest>* tests,
                   sql::ExprPtr* rest);

// The rows (indexes into the index's arrays, ascending) that pass every test; tests must not be empty.
QVector<int> rowsPassing(const QVector<KeyTest>& tests, const TableIndex& index);

}  // namespace jet
