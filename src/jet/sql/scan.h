// Reading a table's rows out of the file: the one place the engine calls into JetFile's read paths.
#pragma once

#ifndef ALTORRA_JET_INTERNAL
#error "jet/sql headers are private to the engine (altorra_jet)"
#endif

#include <QVector>

#include <cstddef>
#include <functional>

#include "jet/internal/jetfile.h"
#include "jet/sql/sql.h"

namespace jet {

// Receives the rows a read yields.
class RowSink {
  public:
    virtual ~RowSink() = default;
    // About how many rows will follow (a hint).
    virtual void reserve(size_t rows) { (void)rows; }
    virtual void add(RowValues& row) = 0;
    // Forgets every row added so far: the read starts over by another way.
    virtual void discard() = 0;
};

// Hands the sink every row of the table that meets `where` (bound to the table's columns), in file
// order. `read` lists the columns the sink will ask for. Throws RunFailure on a type mismatch.
bool readTable(JetFile& file, const TableDef& table, const sql::ExprPtr& where, const QVector<int>& read,
               RowSink& sink, Error* error);

// Every row of a table, system tables included.
bool readAllRows(JetFile& file, const TableDef& table, const std::function<void(RowValues&)>& onRow,
                 Error* error);

}  // namespace jet
