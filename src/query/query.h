// The modes of altorra-query, one source file each; main.cpp chooses one from the arguments.
#pragma once

#include <QStringList>

namespace query {

// altorra-query FILE STATEMENT-OR-RECORD-SOURCE: the rows as the export writes them.
int runStatement(const QString& file, const QString& source);

// altorra-query --riepilogo CODSTAZ FILE: the monthly table, then the yearly climate indices, of
// every daily row of the station. 0, 1 on a database error or no rows, 2 on a code not a number.
int runSummary(const QString& code, const QString& file);

// altorra-query --curva CODSTAZ [--metodo momenti|lmomenti] FILE (`args` after --curva): the
// depth-duration-frequency curve of one station.
int runCurva(const QStringList& args);
// The statement it runs: the rainfall search's, both groups ticked, for that station.
QString curvaStatement(qint64 station);

}  // namespace query
