// Stored queries: rebuilding a select statement from a query's rows in MSysQueries.
#pragma once

#ifndef ALTORRA_JET_INTERNAL
#error "jet/sql headers are private to the engine (altorra_jet)"
#endif

#include "jet/internal/jetfile.h"
#include "jet/sql/sql.h"

namespace jet {

// The statement of a stored select query. Action queries give 3219, what this dialect cannot
// express (joins, grouping, calculated columns, TOP) 3251, declared parameters 3061.
bool loadStoredQuery(JetFile& file, const CatalogObject& query, sql::Select* out, Error* error);

}  // namespace jet
