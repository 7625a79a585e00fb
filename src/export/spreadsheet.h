// Spreadsheet files of a grid's rows: Office Open XML (.xlsx, through libxlsxwriter in its
// constant-memory mode) and OpenDocument (.ods, the zipped XML the OpenDocument standard
// defines, written by our own code with zlib). Numbers are numbers with the stored value, dates
// dates with a date format, texts texts, NULL an empty cell; the header row bold and frozen, the
// columns as wide as their texts, the station and period in the file's properties.
#pragma once

#include <QString>
#include <QStringList>

namespace jet {
class RecordSet;
}

namespace exporter {

enum class SheetFormat { Xlsx, Ods };

struct SheetProperties {
    QString sheetName;  // the window's caption; made a valid sheet name (sheetNameFor)
    QString title;
    QString subject;   // the stations and the period
    QString comments;  // how the rows were chosen and ordered
};

struct SheetResult {
    bool written = false;
    QString path;
    QString reason;  // in Italian, for the user, when nothing was written
};

// The save dialog's pairs: "Cartella di lavoro Excel (*.xlsx)" first, then OpenDocument.
const QString& spreadsheetFilter();

// Writes every row of `rows` (in its order) under a header of `captions` to `path`, through a
// temporary file in the same folder that replaces `path` only once it is whole: a failure leaves
// an existing file as it was. Never writes the archive (see checkExportTarget).
SheetResult writeSpreadsheet(const jet::RecordSet& rows, const QStringList& captions,
                             const SheetProperties& props, SheetFormat format, const QString& path,
                             const QString& programFolder = QString(), const QString& archive = QString());

// The Italian message for a file that could not be written.
QString sheetFailureMessage(const SheetResult& result);

// A valid sheet name: at most 31 characters (cut at a blank), none of []:*?/\, not empty, no
// apostrophe at its ends.
QString sheetNameFor(const QString& caption);

}  // namespace exporter
