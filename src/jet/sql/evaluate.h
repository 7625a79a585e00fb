// Evaluating criteria on rows: comparisons, AND/OR/NOT with NULL as the engine treats it, and
// the check that a statement compares like with like before any row is read.
#pragma once

#ifndef ALTORRA_JET_INTERNAL
#error "jet/sql headers are private to the engine (altorra_jet)"
#endif

#include <QString>
#include <QVector>

#include "jet/internal/jetfile.h"
#include "jet/sql/sql.h"

namespace jet {

// A failure found while rows are being read (a type mismatch met at run time).
struct RunFailure {
    Error error;
};

// Text compares without regard to case, as the engine's default sort order does.
int compareText(const QString& a, const QString& b);
// Two numbers found equal: the order of their fractions of a second, when they are extended dates
// (a date without one counts as none).
int compareSecondFractions(const Value& a, const Value& b);
// True for a number other than zero; NULL, text and bytes are not true.
bool isTrue(const Value& v);
// Whether a three-way comparison result c satisfies op.
bool compareHolds(sql::CompareOp op, int c);
// The value of a bound expression on the row at hand. Throws RunFailure on a type mismatch.
Value evaluate(const sql::Expr& e, RowValues& row);
// Whether every comparison in e compares fields and literals of one kind (types: per source column).
bool typesAgree(const sql::Expr& e, const QVector<int>& types);

}  // namespace jet
