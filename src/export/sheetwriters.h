// The two file writers behind writeSpreadsheet: each writes a whole file at `path` (a temporary
// name the caller moves into place) and says why when it cannot.
#pragma once

#include <QString>
#include <QStringList>

#include "export/spreadsheet.h"

namespace jet {
class RecordSet;
}

namespace exporter {

bool writeXlsx(const jet::RecordSet& rows, const QStringList& captions, const SheetProperties& props,
               const QString& path, QString* reason);
bool writeOds(const jet::RecordSet& rows, const QStringList& captions, const SheetProperties& props,
              const QString& path, QString* reason);

}  // namespace exporter
