// The index and completeness tables, and the rules as the window states them.
#include "analysis/summary.h"

#include <cmath>

namespace analysis {

namespace {

QString indexNote(const IndexSpec& spec, const Figure& f) {
    if (f.missing > kMaxMissingInYear) {
        return QStringLiteral("Non calcolato: %1 giorni mancanti nell'anno (ammessi al più 15)")
            .arg(f.missing);
    }
    if (spec.index == CDD || spec.index == CWD) {
        return QStringLiteral(
            "Non calcolato: l'anno cade tutto in un periodo che finisce in un anno successivo");
    }
    return QStringLiteral("Non calcolato: nessuna finestra di 5 giorni consecutivi tutti con dati");
}

Mark shareMark(int withData, int days) {
    return withData == days ? Mark::Full : withData == 0 ? Mark::Empty : Mark::Partial;
}

QString shareText(int withData, int days) {
    return QStringLiteral("%1/%2").arg(withData).arg(days);
}

}  // namespace

std::shared_ptr<Table> indicesTable(const StationSummary& s) {
    QStringList captions = {QStringLiteral("Anno")};
    for (Quantity q : kIndexQuantities) {
        if (!s.series.has(q)) {
            continue;
        }
        captions << QStringLiteral("Giorni con dati: ") + quantityName(q);
        for (const IndexSpec& spec : climateIndices()) {
            if (spec.quantity == q) {
                captions << QString::fromLatin1(spec.name);
            }
        }
    }
    auto t = std::make_shared<Table>(captions);
    for (const YearIndices& y : s.indices) {
        t->addRow();
        int c = 0;
        t->setInt(c++, y.year);
        for (Quantity q : kIndexQuantities) {
            if (!s.series.has(q)) {
                continue;
            }
            t->setInt(c++, y.withData[q]);
            for (const IndexSpec& spec : climateIndices()) {
                if (spec.quantity != q) {
                    continue;
                }
                const Figure& f = y.values[spec.index];
                if (f.computed()) {
                    t->setNumber(c, f.value, spec.decimals);
                } else {
                    t->setMissing(c, indexNote(spec, f));
                }
                ++c;
            }
        }
    }
    return t;
}

std::shared_ptr<Table> completenessTable(const StationSummary& s) {
    QStringList captions = {QStringLiteral("Anno"), QStringLiteral("Grandezza")};
    for (int m = 1; m <= 12; ++m) {
        captions << monthAbbreviation(m);
    }
    captions << QStringLiteral("Anno intero");
    auto t = std::make_shared<Table>(captions);
    if (s.series.empty()) {
        return t;
    }
    for (int year = s.series.firstYear(); year <= s.series.lastYear(); ++year) {
        for (int q = 0; q < kQuantities; ++q) {
            if (!s.series.has(Quantity(q))) {
                continue;
            }
            t->addRow();
            t->setInt(0, year);
            t->setText(1, quantityName(Quantity(q)));
            int yearWith = 0;
            const int yearDays = QDate(year, 1, 1).daysInYear();
            for (int m = 1; m <= 12; ++m) {
                const QDate start(year, m, 1);
                const int first = s.series.indexOf(start);
                const int days = start.daysInMonth();
                int with = 0;
                for (int i = 0; i < days; ++i) {
                    with += missing(s.series.value(Quantity(q), first + i)) ? 0 : 1;
                }
                yearWith += with;
                t->set(1 + m, Cell::text(shareText(with, days)), shareMark(with, days),
                       QStringLiteral("%1 giorni con dati su %2").arg(with).arg(days));
            }
            t->set(14, Cell::text(shareText(yearWith, yearDays)), shareMark(yearWith, yearDays),
                   QStringLiteral("%1 giorni con dati su %2").arg(yearWith).arg(yearDays));
        }
    }
    return t;
}

std::shared_ptr<Table> spansTable(const StationSummary& s) {
    auto t = std::make_shared<Table>(
        QStringList{QStringLiteral("Grandezza"), QStringLiteral("Primo giorno con dati"),
                    QStringLiteral("Ultimo giorno con dati"), QStringLiteral("Giorni con dati"),
                    QStringLiteral("Lacuna più lunga (giorni)"), QStringLiteral("Inizio della lacuna")});
    for (int q = 0; q < kQuantities; ++q) {
        if (!s.series.has(Quantity(q))) {
            continue;
        }
        const QuantitySpan& span = s.spans[size_t(q)];
        t->addRow();
        t->setText(0, quantityName(Quantity(q)));
        t->setInt(3, span.daysWithData);
        if (!span.any) {
            continue;
        }
        t->setText(1, span.first.toString(QStringLiteral("dd/MM/yyyy")));
        t->setText(2, span.last.toString(QStringLiteral("dd/MM/yyyy")));
        t->setInt(4, span.longestGap);
        if (span.longestGap > 0) {
            t->setText(5, span.gapStart.toString(QStringLiteral("dd/MM/yyyy")));
        }
    }
    return t;
}

QString monthlyRules() {
    return QStringLiteral(
        "Regole: la media o l'estremo di un mese non si calcola se mancano più di 5 giorni, o più di 3 "
        "giorni consecutivi, per quella grandezza; il totale di pioggia e i conteggi di giorni (giorni "
        "piovosi, cioè con almeno 1 mm; giorni con neve al suolo) non si calcolano se manca anche un solo "
        "giorno. L'anno si calcola dai 12 mesi, solo se tutti sono calcolati. La normale di un mese è la "
        "media dei valori calcolati negli anni del risultato, con il numero di anni su cui si basa. Un "
        "valore non calcolato resta vuoto ed è segnato; il motivo appare passando sopra la casella.");
}

QString indexRules() {
    QString text = QStringLiteral(
        "Indici climatici annuali ETCCDI (Expert Team on Climate Change Detection and Indices). Un anno "
        "con più di 15 giorni mancanti per la grandezza di un indice non ha quell'indice. Un giorno "
        "mancante interrompe un periodo consecutivo.\n");
    for (const IndexSpec& spec : climateIndices()) {
        text += QStringLiteral("%1 (%2): %3.\n")
                    .arg(QString::fromLatin1(spec.name), QString::fromUtf8(spec.unit),
                         QString::fromUtf8(spec.definition));
    }
    return text.trimmed();
}

}  // namespace analysis
