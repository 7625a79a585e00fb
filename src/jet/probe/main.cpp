// altorra-query FILE STATEMENT-OR-RECORD-SOURCE (or --help, --version)
// Runs a select statement or a table / stored-query name on an archive and prints the rows as
// the export writes them: a header of the captions, every value followed by a tab, CRLF line
// ends, values in their text form under the regional settings. Errors go to stderr with the
// engine's number; the exit status is then 1.
#include <QCoreApplication>
#include <QLocale>
#include <QStringList>

#include <cstdio>
#include <cstring>

#include <unistd.h>

#include "jet/jet.h"
#include "jet/tabwriter.h"

namespace {

// Standard output, UTF-8. A table is written as it is read: memory stays the same whatever its size.
class Output : public jet::RowStream {
  public:
    Output() { writer_.attach(STDOUT_FILENO); }
    bool start(const QStringList& captions) override { return writer_.writeHeader(captions); }
    bool row(const jet::RowCells& cells) override { return writer_.writeRow(cells); }
    bool close() { return writer_.close(); }
    int error() const { return writer_.error(); }

  private:
    jet::TabWriter writer_{jet::TabWriter::Encoding::Utf8};
};

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 2 && (args[1] == QLatin1String("--help") || args[1] == QLatin1String("-h"))) {
        std::printf(
            "uso: altorra-query FILE ISTRUZIONE-O-ORIGINE-DATI\n"
            "\n"
            "Esegue un'istruzione select, oppure legge una tabella o una query memorizzata per nome,\n"
            "sul database Access FILE e stampa le righe come le esporta il visualizzatore: i nomi dei\n"
            "campi, poi una riga per record, ogni valore seguito da una tabulazione. Non modifica il file.\n"
            "Stato di uscita: 0 riuscito, 1 errore del database (su standard error), 2 argomenti sbagliati.\n"
            "\n"
            "Opzioni:\n"
            "  -h, --help     mostra questo aiuto ed esce\n"
            "      --version  mostra la versione ed esce\n");
        return 0;
    }
    if (args.size() == 2 && args[1] == QLatin1String("--version")) {
        std::printf("altorra-query %s\n", ALTORRA_VERSION);
        return 0;
    }
    if (args.size() != 3) {
        std::fprintf(stderr, "uso: altorra-query FILE ISTRUZIONE-O-ORIGINE-DATI\n");
        return 2;
    }
    jet::Error error;
    std::shared_ptr<jet::Database> db = jet::Database::open(args[1], &error);
    Output out;
    if (!db || !db->readRows(args[2], out, &error)) {
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
