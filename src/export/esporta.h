// Tab-separated export of a shown record set, headed by a grid's column captions.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

class QWidget;

namespace db {
class Recordset;
}
namespace controls {
class DBGrid;
}

namespace exporter {

// What a window's save dialog remembers between exports: the name chosen last time.
struct SaveDialogMemory {
    QString lastFileName;
};

// The save dialog's filter: seven pairs of description and pattern joined by bars.
const QString& exportFilter();

// Asks for a file in the window's save dialog and writes the header of the grid's captions and
// one line per row of `records`, every cell followed by a tab, CRLF line ends, Windows-1252.
// Cancel and an empty record set write nothing and say nothing. A file that cannot be created or
// written, or that must not be (the archive, see checkExportTarget), is reported in a message
// naming the file and the reason.
void Esporta(db::Recordset* records, const controls::DBGrid* grid, SaveDialogMemory& dialog, QWidget* window);

}  // namespace exporter
