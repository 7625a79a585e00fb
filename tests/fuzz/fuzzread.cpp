#include "fuzz/fuzzread.h"

#include <QLocale>

#include <cstdio>

#include <fcntl.h>

#include "jet/tabwriter.h"

namespace fuzzread {

void readAll(jet::Database& db, const QString& source) {
    jet::Error error;
    const auto rows = db.openRecordSet(source, &error);
    // ALTORRA_FUZZ_VERBOSE shows what each input gave, to check seeds reach the rows.
    static const bool verbose = qEnvironmentVariableIsSet("ALTORRA_FUZZ_VERBOSE");
    if (verbose)
        std::fprintf(stderr, "  %s: %s\n", qPrintable(source.left(60)),
                     rows ? qPrintable(QStringLiteral("%1 righe").arg(rows->recordCount()))
                          : qPrintable(error.message));
    if (!rows)
        return;
    static const QLocale italian(QLocale::Italian, QLocale::Italy);
    qsizetype length = 0;
    for (int f = 0; f < rows->fieldCount(); ++f)
        length += rows->fieldName(f).size();
    for (int r = 0; r < rows->recordCount(); ++r)
        for (int f = 0; f < rows->fieldCount(); ++f)
            length += rows->value(r, f).display(italian).size();
    // Keeps the formatting from being optimised away.
    static volatile qsizetype sink = 0;
    sink = sink + length;

    // The writer of the export and altorra-query, from the snapshot and from the rows as read.
    static const int nowhere = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
    jet::TabWriter writer(jet::TabWriter::Encoding::Windows1252, italian);
    writer.attach(nowhere);
    writer.writeHeader(QStringList());
    for (int r = 0; r < rows->recordCount(); ++r)
        writer.writeRow(*rows, r);
    struct Stream : jet::RowStream {
        jet::TabWriter& out;
        explicit Stream(jet::TabWriter& w) : out(w) {}
        bool start(const QStringList& captions) override { return out.writeHeader(captions); }
        bool row(const jet::RowCells& cells) override { return out.writeRow(cells); }
    } stream(writer);
    db.readRows(source, stream, &error);
    writer.close();
}

void openAndReadAll(const QString& path) {
    jet::Error error;
    const auto db = jet::Database::open(path, &error);
    if (!db && qEnvironmentVariableIsSet("ALTORRA_FUZZ_VERBOSE"))
        std::fprintf(stderr, "  %s\n", qPrintable(error.message));
    if (db) {
        for (const QString& table : db->tableNames())
            readAll(*db, table);
        for (const QString& query : db->queryNames())
            readAll(*db, query);
    }
    jet::clearRowCache();
}

}  // namespace fuzzread
