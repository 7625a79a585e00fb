// The five information texts of the archive, in Italian, with Windows line ends as the original
// text boxes expect. The general notes describe every station and so run past 20 KB.
#include "samplegen/internal.h"

#include <QStringList>

namespace samplegen {

namespace {

QString join(const QStringList& paragraphs) {
    return paragraphs.join(QStringLiteral("\r\n\r\n"));
}

QString configurazione() {
    return join({
        QStringLiteral("CONFIGURAZIONE DEL PROGRAMMA"),
        QStringLiteral(
            "Il programma legge l'archivio meteorologico della Regione Sorvane dal file orbeni.mdb, "
            "che deve trovarsi nella stessa cartella del programma. Le immagini delle stazioni si "
            "trovano nella sottocartella cartograf: per ogni stazione il file r_ seguito dal codice "
            "della stazione contiene la piantina ridotta mostrata nella scheda, il file s_ seguito "
            "dal codice la carta di dettaglio."),
        QStringLiteral(
            "Il programma non modifica mai l'archivio: tutte le finestre aprono i dati in sola lettura. "
            "Non vengono salvate impostazioni; l'unico file scritto è quello che l'utente sceglie "
            "quando esporta una tabella di dati."),
        QStringLiteral(
            "Requisiti: uno schermo di almeno 800 x 600 punti; una stampante per stampare la scheda "
            "della stazione. Per copiare il programma su un altro computer basta copiare la cartella "
            "intera, con l'archivio e la sottocartella cartograf."),
        QStringLiteral(
            "I file esportati sono testi con i campi separati dal carattere di tabulazione: si aprono "
            "con un foglio elettronico o con un qualsiasi editor di testi. La prima riga riporta i "
            "titoli delle colonne."),
    });
}

QString generalita(const QList<Station>& stations) {
    QStringList p{
        QStringLiteral("NOTE GENERALI SULL'ARCHIVIO"),
        QStringLiteral(
            "L'archivio raccoglie le osservazioni della rete meteorologica regionale della Regione "
            "Sorvane per il decennio 1990-1999. La rete comprende stazioni termopluviometriche, "
            "pluviometriche, agrometeorologiche e meteorologiche complete, distribuite dalla costa "
            "della bassa valle del Sorva fino ai passi dell'alta valle dell'Ardenza, oltre i 1800 "
            "metri di quota."),
        QStringLiteral(
            "I dati giornalieri sono stati sottoposti a controllo di qualità: i valori mancanti o "
            "giudicati non attendibili sono lasciati vuoti e non sostituiti con stime. Le interruzioni "
            "più lunghe corrispondono a guasti degli strumenti o a lavori di manutenzione delle "
            "stazioni. Non tutte le stazioni misurano tutte le grandezze: vento, radiazione e umidità "
            "sono rilevati solo dove sono installati i relativi sensori, l'altezza della neve al suolo "
            "solo nelle stazioni di montagna."),
        QStringLiteral(
            "Le statistiche mensili sono calcolate dai dati giornalieri: il valore di un mese non è "
            "riportato quando mancano più di dieci giorni di osservazioni. Le piogge intense riportano "
            "per ogni anno i massimi di precipitazione su 1, 3, 6, 12 e 24 ore e su 1, 2, 3, 4 e 5 "
            "giorni consecutivi, con la data in cui si sono verificati."),
        QStringLiteral("Le coordinate delle stazioni sono espresse nel sistema UTM (fuso 32) e in gradi "
                       "sessagesimali; la quota è in metri sul livello medio del mare. La data di validità "
                       "indica l'inizio del funzionamento della stazione nella configurazione attuale."),
        QStringLiteral("ELENCO DELLE STAZIONI"),
    };
    for (const Station& s : stations) {
        QString sensors = QStringLiteral("pioggia e temperatura");
        if (s.hasHumidity)
            sensors += QStringLiteral(", umidità relativa");
        if (s.hasWind)
            sensors += QStringLiteral(", velocità e direzione del vento");
        if (s.hasRadiation)
            sensors += QStringLiteral(", radiazione solare globale");
        if (s.hasSnow)
            sensors += QStringLiteral(", altezza della neve al suolo");
        p << QStringLiteral(
                 "%1 (codice %2). Stazione %3 nel comune di %4 (%5), bacino del %6, a %7 metri di "
                 "quota, località %8. In funzione dal %9. Grandezze rilevate: %10. Coordinate UTM "
                 "%11 E, %12 N; latitudine %13, longitudine %14.")
                 .arg(s.info.name)
                 .arg(s.info.code)
                 .arg(s.tipo.toLower(), s.comune, s.provincia, s.bacino)
                 .arg(s.quota)
                 .arg(s.localita, s.validita.toString(QStringLiteral("dd/MM/yyyy")), sensors)
                 .arg(s.utmX, 0, 'f', 0)
                 .arg(s.utmY, 0, 'f', 0)
                 .arg(s.latitudine, s.longitudine);
    }
    p << QStringLiteral("AVVERTENZE SULL'USO DEI DATI");
    for (int i = 0; i < 12; ++i)
        p << QStringLiteral(
                 "Nota %1. I dati sono forniti così come registrati dalla rete e validati dal servizio; "
                 "chi li utilizza in pubblicazioni o studi è pregato di citarne la fonte, indicando "
                 "l'archivio meteorologico della Regione Sorvane e il periodo considerato. Eventuali "
                 "errori o incongruenze possono essere segnalati al servizio, che provvederà alle "
                 "verifiche del caso e, se necessario, alla correzione nelle edizioni successive.")
                 .arg(i + 1);
    return join(p);
}

QString giornalieri() {
    return join({
        QStringLiteral("DATI GIORNALIERI"),
        QStringLiteral(
            "Dalla voce Visualizza, Dati giornalieri si apre la finestra di selezione. Scegliere una "
            "stazione, un anno, un mese o un giorno, in qualsiasi combinazione: almeno una delle "
            "quattro caselle deve essere compilata. Le caselle di controllo indicano le grandezze da "
            "visualizzare; premere Seleziona per vedere la tabella dei dati."),
        QStringLiteral(
            "Grandezze: precipitazione (mm), temperatura massima, minima e media (°C), umidità "
            "relativa media, massima e minima (%), altezza della neve al suolo (cm), velocità media e "
            "massima del vento (Km/h), direzione prevalente del vento e durata della direzione "
            "prevalente (ore), radiazione solare globale (MJ/MQ), calme di vento."),
        QStringLiteral(
            "Una casella vuota nella tabella indica un dato mancante. La tabella può essere esportata "
            "in un file di testo con il pulsante Esporta Dati."),
    });
}

QString intense() {
    return join({
        QStringLiteral("PIOGGE INTENSE"),
        QStringLiteral(
            "Per ogni stazione pluviografica e per ogni anno sono riportati i massimi annuali di "
            "precipitazione di breve durata (1, 3, 6, 12 e 24 ore), ricavati dalle registrazioni dei "
            "pluviografi, e i massimi su 1, 2, 3, 4 e 5 giorni consecutivi. Accanto a ogni valore è "
            "indicata la data dell'evento."),
        QStringLiteral("Scegliere una stazione, un anno o entrambi e premere Seleziona. Gli anni in cui il "
                       "pluviografo non ha funzionato hanno i massimi orari vuoti."),
    });
}

QString anagrafica() {
    return join({
        QStringLiteral("ANAGRAFICA DELLE STAZIONI"),
        QStringLiteral(
            "La scheda riporta per ogni stazione il nome, il comune, la provincia, il bacino, la "
            "località, la quota, il codice, le coordinate, la data di inizio del funzionamento e il "
            "tipo di stazione. A destra è mostrata la piantina della zona: un clic sulla piantina apre "
            "la carta di dettaglio."),
        QStringLiteral(
            "Sotto la scheda la tabella riporta le statistiche mensili della stazione per ogni anno. "
            "La scheda può essere stampata e la tabella esportata in un file di testo."),
    });
}

}  // namespace

QString helpText(int index, const QList<Station>& stations) {
    switch (index) {
        case 0:
            return configurazione();
        case 1:
            return generalita(stations);
        case 2:
            return giornalieri();
        case 3:
            return intense();
        default:
            return anagrafica();
    }
}

}  // namespace samplegen
