// Runs a select statement or a table / stored-query name on an archive and prints the rows as
// the export writes them: a header of the captions, every value followed by a tab, CRLF line
// ends, values in their text form under the regional settings. Errors go to stderr with the
// engine's number; the exit status is then 1.
#include "query/query.h"

#include <cstdio>
#include <cstring>

#include <unistd.h>

#include "jet/jet.h"
#include "jet/tabwriter.h"

namespace query {

namespace {

// Standard output, UTF-8. A table is written as it is read: memory stays the same whatever its size.
class Output : public jet::RowStream {
  public:
    Output() { writer_.attach(STDOUT_FILENO); }
    bool start(const QStringList& captions) override { return writer_.writeHeader(captions); }
    // One line each on stderr: the rows on stdout stay as the export writes them.
    void leftOut(const QStringList& fields) override {
        for (const QString& field : fields) {
            std::fprintf(stderr, "%s\n", jet::errors::fieldLeftOut(field).toUtf8().constData());
        }
    }
    bool row(const jet::RowCells& cells) override { return writer_.writeRow(cells); }
    bool close() { return writer_.close(); }
    int error() const { return writer_.error(); }

  private:
    jet::TabWriter writer_{jet::TabWriter::Encoding::Utf8};
};

}  // namespace

int runStatement(const QString& file, const QString& source) {
    jet::Error error;
    std::shared_ptr<jet::Database> db = jet::Database::open(file, &error);
    Output out;
    if (!db || !db->readRows(source, out, &error)) {
        out.close();
        std::fprintf(stderr, "%d %s\n", error.number, error.message.toUtf8().constData());
        return 1;
    }
    if (!out.close()) {
        std::fprintf(stderr, "altorra-query: %s\n", std::strerror(out.error()));
        return 1;
    }
    return 0;
}

}  // namespace query
