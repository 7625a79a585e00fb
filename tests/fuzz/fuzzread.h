// What the fuzz targets do with an archive: read record sources to their last value, as the
// viewer's grids and the export would.
#pragma once

#include "jet/jet.h"

#include <QString>

namespace fuzzread {

// Opens the record source and formats every value; errors are an answer like any other.
void readAll(jet::Database& db, const QString& source);
// Opens the file and reads every table and stored query, then forgets the cached rows.
void openAndReadAll(const QString& path);

}  // namespace fuzzread
