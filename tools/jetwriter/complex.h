// The hidden tables behind attachment and multi-value columns (see ComplexData in jetwriter.h).
#pragma once

#include "jetwriter/schema.h"

#include <vector>

namespace jetwriter::detail {

struct ComplexSpec {
    QString table;
    QString column;
    int complexId = 0;  // the column's complexTypeId
    ComplexData data;
};

struct ComplexTables {
    std::vector<TableDef> types;  // the type tables the columns use, each once
    std::vector<TableDef> flats;  // per spec, with its rows
    std::vector<int> typeOf;      // per spec, its entry in types
    TableDef columns;             // MSysComplexColumns, rows made by complexColumnRows
};

// The tables, their pages not yet given.
ComplexTables complexTables(const QList<ComplexSpec>& specs, const Format& f);
// MSysComplexColumns' rows once every table has its page.
QList<Row> complexColumnRows(const QList<ComplexSpec>& specs, const ComplexTables& t,
                             const QList<TableDef>& tables);

}  // namespace jetwriter::detail
