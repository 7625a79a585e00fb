// The property that every way of reading rows gives the same answer: statements run through the
// key arrays, through the engine with the key arrays turned off, and worked out by hand from the
// full read of the table (`select *`) must give the same rows, or the same error.
#pragma once

#include <QString>

namespace fuzzpaths {

// Runs the statements against the archive at `path` (tables and queries of the fuzzers' seeds:
// database1, "anagrafica compl", Anni, stazioni). Empty when every path agrees, else what differed.
QString check(const QString& path);

}  // namespace fuzzpaths
