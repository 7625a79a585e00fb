// altorra-query FILE STATEMENT-OR-RECORD-SOURCE, altorra-query --curva ... (or --help, --version)
// The query tool for scripts. Each mode lives in a file of its own (query.h); this file reads
// the arguments and hands over to one.
#include <QCoreApplication>
#include <QStringList>

#include <cstdio>

#include "query/query.h"

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 2 && (args[1] == QLatin1String("--help") || args[1] == QLatin1String("-h"))) {
        std::printf(
            "uso: altorra-query FILE ISTRUZIONE-O-ORIGINE-DATI\n"
            "     altorra-query --riepilogo CODSTAZ FILE\n"
            "     altorra-query --curva CODSTAZ [--metodo momenti|lmomenti] FILE\n"
            "\n"
            "Esegue un'istruzione select, oppure legge una tabella o una query memorizzata per nome,\n"
            "sul database Access FILE e stampa le righe come le esporta il visualizzatore: i nomi dei\n"
            "campi, poi una riga per record, ogni valore seguito da una tabulazione. Non modifica il file.\n"
            "\n"
            "Con --curva stampa la curva di possibilità pluviometrica della stazione CODSTAZ, dai massimi\n"
            "annuali di pioggia da 1 a 24 ore e da 1 a 5 giorni: la distribuzione di Gumbel adattata a ogni\n"
            "durata (metodo dei momenti, predefinito, o degli L-momenti), la tabella delle altezze h(T) in "
            "mm\n"
            "(una riga per tempo di ritorno T, una colonna per durata), poi a, n e R² di h = a·t^n per ogni "
            "T.\n"
            "Numeri con il punto, due decimali (mm) o quattro (n, R²).\n"
            "Stato di uscita: 0 riuscito, 1 errore del database (su standard error), 2 argomenti sbagliati.\n"
            "\n"
            "Con --riepilogo stampa il riepilogo delle righe giornaliere della stazione CODSTAZ (tutti\n"
            "gli anni), come la finestra Riepilogo: prima la tabella mensile (intestazione, poi una riga\n"
            "per anno e mese, che comincia con l'anno e il numero del mese), poi gli indici climatici\n"
            "annuali ETCCDI (intestazione, poi una riga per anno). Testo UTF-8, ogni valore seguito da\n"
            "una tabulazione, numeri con il punto decimale; un valore vuoto non è calcolato perché\n"
            "mancano troppi giorni.\n"
            "\n"
            "Opzioni:\n"
            "  -h, --help     mostra questo aiuto ed esce\n"
            "      --version  mostra la versione ed esce\n");
        return 0;
    }
    // Each mode of its own is an option in first place, handled in its own file.
    if (args.size() > 1 && args[1] == QLatin1String("--curva")) {
        return query::runCurva(args.mid(2));
    }
    if (args.size() == 2 && args[1] == QLatin1String("--version")) {
        std::printf("altorra-query %s\n", ALTORRA_VERSION);
        return 0;
    }
    if (args.size() == 4 && args[1] == QLatin1String("--riepilogo")) {
        return query::runSummary(args[2], args[3]);
    }
    if (args.size() != 3) {
        std::fprintf(stderr, "uso: altorra-query FILE ISTRUZIONE-O-ORIGINE-DATI\n");
        return 2;
    }
    return query::runStatement(args[1], args[2]);
}
