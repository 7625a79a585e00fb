// The tab-separated export file, written without any window: a header line of captions, then one
// line per row of a record set, every cell followed by a tab, CRLF line ends, Windows-1252 bytes.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QStringView>

namespace db {
class Recordset;
}

namespace exporter {

// The outcome of one export.
struct ExportResult {
    enum class Status {
        Written,      // the whole record set is in the file
        NoRows,       // the record set has no rows: no file was created or touched
        OpenFailed,   // the file could not be created or emptied
        WriteFailed,  // writing stopped part-way; the file keeps what reached it
        ReadFailed,   // reading the rows failed part-way; the file keeps what was written
        Refused,      // the file is the archive itself, which the program never changes
    };
    Status status = Status::Written;
    QString path;
    QString reason;  // in Italian, for the user; empty when nothing failed
    qint64 rowsWritten = 0;

    bool failed() const {
        return status == Status::OpenFailed || status == Status::WriteFailed ||
               status == Status::ReadFailed || status == Status::Refused;
    }
};

// Moves `rows` to its first row and, when there is one, (re)creates the file at `path` and writes
// the header of `captions` and every row, each as it is read; leaves `rows` past its last row.
// A failure stops at once, closes the file and keeps what was written. When `path` names the same
// file as `archive` (by any spelling or link) nothing is written.
ExportResult writeExport(db::Recordset& rows, const QStringList& captions, const QString& path,
                         const QString& archive = QString());

// The Italian message that tells the user of a failed export, naming the file and the reason.
QString failureMessage(const ExportResult& result);

}  // namespace exporter
