// altorra-query FILE STATEMENT-OR-RECORD-SOURCE (or --help, --version)
// Runs a select statement or a table / stored-query name on an archive and prints the rows as
// the export writes them: a header of the captions, every value followed by a tab, CRLF line
// ends, values in their text form under the regional settings. Errors go to stderr with the
// engine's number; the exit status is then 1.
#include <QCoreApplication>
#include <QLocale>
#include <QStringList>

#include <cstdio>

#include "jet/jet.h"

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
    std::unique_ptr<jet::RecordSet> rs;
    if (db) {
        rs = db->openRecordSet(args[2], &error);
    }
    if (!rs) {
        std::fprintf(stderr, "%d %s\n", error.number, error.message.toUtf8().constData());
        return 1;
    }
    const QLocale locale;
    QByteArray out;
    for (int f = 0; f < rs->fieldCount(); ++f) {
        out += rs->fieldName(f).toUtf8() + '\t';
    }
    out += "\r\n";
    for (int r = 0; r < rs->recordCount(); ++r) {
        for (int f = 0; f < rs->fieldCount(); ++f) {
            out += rs->value(r, f).display(locale).toUtf8() + '\t';
        }
        out += "\r\n";
        if (out.size() > (1 << 20)) {
            std::fwrite(out.constData(), 1, size_t(out.size()), stdout);
            out.clear();
        }
    }
    std::fwrite(out.constData(), 1, size_t(out.size()), stdout);
    return 0;
}
