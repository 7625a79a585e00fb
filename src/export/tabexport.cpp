#include "export/tabexport.h"

#include <QDir>

#include <exception>

#include "db/datasource.h"
#include "export/exporttarget.h"
#include "jet/tabwriter.h"

namespace exporter {

ExportResult writeExport(db::Recordset& rows, const QStringList& captions, const QString& path,
                         const QString& archive) {
    ExportResult result;
    result.path = path;

    rows.MoveFirst();
    if (rows.isEOF()) {
        result.status = ExportResult::Status::NoRows;
        return result;
    }

    if (path.isEmpty()) {
        result.status = ExportResult::Status::OpenFailed;
        result.reason = QStringLiteral("il nome del file è vuoto");
        return result;
    }

    // Opening for output empties the file: the archive the windows read must never be the target.
    if (sameFile(path, archive)) {
        result.status = ExportResult::Status::Refused;
        result.reason = archiveRefusal();
        return result;
    }

    // Written through one small buffer as each row is read: nothing is collected in memory.
    jet::TabWriter file(jet::TabWriter::Encoding::Windows1252);
    if (!file.open(path)) {
        result.status = ExportResult::Status::OpenFailed;
        result.reason = errorReason(file.error());
        return result;
    }

    bool written = file.writeHeader(captions);
    try {
        const std::shared_ptr<const jet::RecordSet> records = rows.rows();
        while (written && !rows.isEOF()) {
            written = file.writeRow(*records, rows.bookmark());
            if (written) {
                ++result.rowsWritten;
            }
            rows.MoveNext();
        }
    } catch (const std::exception& error) {
        file.close();
        result.status = ExportResult::Status::ReadFailed;
        result.reason = QString::fromLocal8Bit(error.what());
        return result;
    } catch (...) {
        file.close();
        result.status = ExportResult::Status::ReadFailed;
        result.reason = QStringLiteral("errore nella lettura dei dati");
        return result;
    }

    if (!file.close() || !written) {
        result.status = ExportResult::Status::WriteFailed;
        result.reason = errorReason(file.error());
    }
    return result;
}

QString failureMessage(const ExportResult& result) {
    const QString name = QDir::toNativeSeparators(result.path);
    switch (result.status) {
        case ExportResult::Status::OpenFailed:
        case ExportResult::Status::Refused:
            return QStringLiteral("Impossibile creare il file «%1»: %2.").arg(name, result.reason);
        case ExportResult::Status::WriteFailed:
            return QStringLiteral(
                       "Impossibile scrivere il file «%1»: %2. Il file contiene solo i dati scritti "
                       "prima dell'errore.")
                .arg(name, result.reason);
        case ExportResult::Status::ReadFailed:
            return QStringLiteral(
                       "Errore nella lettura dei dati da esportare nel file «%1»: %2. Il file contiene "
                       "solo i dati scritti prima dell'errore.")
                .arg(name, result.reason);
        case ExportResult::Status::Written:
        case ExportResult::Status::NoRows:
            break;
    }
    return QString();
}

}  // namespace exporter
