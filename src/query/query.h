// The modes of altorra-query, one source file each; main.cpp chooses one from the arguments.
#pragma once

#include <QStringList>

namespace query {

// altorra-query FILE STATEMENT-OR-RECORD-SOURCE: the rows as the export writes them.
int runStatement(const QString& file, const QString& source);

}  // namespace query
