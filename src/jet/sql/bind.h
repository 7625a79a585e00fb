// Binding a select statement to its record source: names to columns, captions, parameters.
#pragma once

#ifndef ALTORRA_JET_INTERNAL
#error "jet/sql headers are private to the engine (altorra_jet)"
#endif

#include <QStringList>
#include <QVector>

#include "jet/sql/sql.h"

namespace jet {

// The columns a record source offers.
struct SourceColumns {
    QStringList names;
    QVector<int> types;
    // Fields shown but not compared or sorted (a complex column's items as text); empty: none.
    QVector<bool> shownOnly;
};

struct BoundSelect {
    QStringList captions;     // of the output fields
    QVector<int> types;       // of the output fields (0 when unknown)
    QVector<int> read;        // source columns read per row: the output fields, then sort keys not among them
    int outWidth = 0;         // the first outWidth entries of `read` are the output fields
    QVector<int> sortAt;      // per ORDER BY item, its position in `read`
    QStringList leftOut;      // fields of "*" the program cannot show, left out of it
    QVector<bool> shownOnly;  // of the output fields, as SourceColumns::shownOnly
};

// Binds the statement's fields, criteria (their Expr::column) and sort keys to the source. Names
// the source lacks are parameters: 3061 when any. Criteria that compare unlike types give 3464.
// "*" leaves out the fields the program cannot show (listed in leftOut); naming one gives 3251, as
// does a criterion or sort key on a field shown only.
bool bindSelect(sql::Select& select, const SourceColumns& source, BoundSelect* out, Error* error);

}  // namespace jet
