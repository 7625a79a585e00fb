#include "export/esporta.h"

#include "controls/dbgrid.h"
#include "db/datasource.h"
#include "db/location.h"
#include "export/exporttarget.h"
#include "export/tabexport.h"
#include "runtime/seams.h"

namespace exporter {

void Esporta(db::Recordset* records, const controls::DBGrid* grid, SaveDialogMemory& dialog,
             QWidget* window) {
    seams::SaveRequest request;
    refuseInDialog(request);
    request.title = QStringLiteral("Esporta dati");
    request.flags = 6;  // ask before replacing a file, no read-only box
    request.filter = exportFilter();
    request.filterIndex = 1;
    request.fileName = dialog.lastFileName;
    if (!seams::runSaveDialog(window, request)) {
        return;
    }
    dialog.lastFileName = request.fileName;

    // Without a record set or a grid there is nothing to write, as with an empty result.
    if (!records || !grid) {
        return;
    }
    QStringList captions;
    const int columns = grid->columnCount();
    for (int column = 0; column < columns; ++column) {
        captions << grid->columnCaption(column);
    }
    const QString archive = db::resolveCaseInsensitive(db::databaseLocation());
    const TargetCheck target = checkExportTarget(request.fileName, db::programFolder(), archive);
    if (target.refused) {
        // An empty result ends silently, as it does for any other name.
        records->MoveFirst();
        if (!records->isEOF()) {
            ExportResult refused;
            refused.status = ExportResult::Status::Refused;
            refused.path = request.fileName;
            refused.reason = target.reason;
            seams::msgBox(failureMessage(refused), window);
        }
        return;
    }
    const ExportResult result = writeExport(*records, captions, request.fileName, archive);
    if (result.failed()) {
        seams::msgBox(failureMessage(result), window);
    }
}

}  // namespace exporter
