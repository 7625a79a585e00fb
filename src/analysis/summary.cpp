#include "analysis/summary.h"

namespace analysis {

namespace {

struct FigureText {
    const char* caption;
    const char* dayCaption;  // monthly: the day of the month; yearly: the date
    int decimals;
};

const FigureText& textOf(MonthlyFigure f) {
    static const std::array<FigureText, kMonthlyFigures> texts = {{
        {"Pioggia totale (mm)", nullptr, 1},
        {"Giorni piovosi", nullptr, 0},
        {"Pioggia massima giornaliera (mm)", "Giorno della pioggia massima", 1},
        {"Temperatura massima media (°C)", nullptr, 1},
        {"Temperatura minima media (°C)", nullptr, 1},
        {"Temperatura media (°C)", nullptr, 1},
        {"Temperatura massima più alta (°C)", "Giorno della massima più alta", 1},
        {"Temperatura minima più bassa (°C)", "Giorno della minima più bassa", 1},
        {"Umidità media", nullptr, 1},
        {"Velocità media del vento (Km/h)", nullptr, 1},
        {"Giorni con neve al suolo", nullptr, 0},
    }};
    return texts[size_t(f)];
}

bool shown(const StationSummary& s, const FigureSpec& spec) {
    return s.series.has(spec.quantity);
}

QString monthlyNote(const FigureSpec& spec, const Figure& f, int days) {
    if (f.missing == days) {
        return QStringLiteral("Non calcolato: nessun giorno con dati");
    }
    if (spec.rule == Rule::Total) {
        return QStringLiteral("Non calcolato: %1 giorni mancanti su %2 (un totale richiede tutti i giorni)")
            .arg(f.missing)
            .arg(days);
    }
    return QStringLiteral(
               "Non calcolato: %1 giorni mancanti su %2, %3 consecutivi (ammessi al più 5, e al più 3 "
               "consecutivi)")
        .arg(f.missing)
        .arg(days)
        .arg(f.longestGap);
}

QString dateText(const QDate& d) {
    return d.toString(QStringLiteral("dd/MM/yyyy"));
}

}  // namespace

StationSummary summarize(DailySeries series) {
    StationSummary s;
    s.series = std::move(series);
    s.months = monthlySummaries(s.series);
    s.years = yearlySummaries(s.series, s.months);
    s.normals = monthNormals(s.months);
    s.indices = climateIndicesByYear(s.series);
    s.spans = quantitySpans(s.series);
    return s;
}

QString figureCaption(MonthlyFigure figure) {
    return QString::fromUtf8(textOf(figure).caption);
}

QString quantityName(Quantity quantity) {
    static const std::array<const char*, kQuantities> names = {
        "pioggia", "temperatura massima", "temperatura minima", "temperatura media", "neve", "vento",
        "umidità"};
    return QString::fromUtf8(names[size_t(quantity)]);
}

QString monthAbbreviation(int month) {
    static const std::array<const char*, 12> names = {"gen", "feb", "mar", "apr", "mag", "giu",
                                                      "lug", "ago", "set", "ott", "nov", "dic"};
    return month >= 1 && month <= 12 ? QString::fromLatin1(names[size_t(month - 1)]) : QString();
}

std::shared_ptr<Table> monthlyTable(const StationSummary& s) {
    QStringList captions = {QStringLiteral("Anno"), QStringLiteral("Mese")};
    for (const FigureSpec& spec : monthlyFigures()) {
        if (shown(s, spec)) {
            captions << figureCaption(spec.figure);
            if (spec.dated) {
                captions << QString::fromUtf8(textOf(spec.figure).dayCaption);
            }
        }
    }
    captions << QStringLiteral("Giorni del mese");
    for (int q = 0; q < kQuantities; ++q) {
        if (s.series.has(Quantity(q))) {
            captions << QStringLiteral("Giorni con dati: ") + quantityName(Quantity(q));
        }
    }
    auto t = std::make_shared<Table>(captions);
    for (const MonthSummary& m : s.months) {
        t->addRow();
        int c = 0;
        t->setInt(c++, m.year);
        t->setInt(c++, m.month);
        for (const FigureSpec& spec : monthlyFigures()) {
            if (!shown(s, spec)) {
                continue;
            }
            const Figure& f = m.figures[spec.figure];
            const int figureColumn = c++;
            if (f.computed()) {
                t->setNumber(figureColumn, f.value, textOf(spec.figure).decimals);
            } else {
                t->setMissing(figureColumn, monthlyNote(spec, f, m.days));
            }
            if (spec.dated) {
                const int dayColumn = c++;
                if (f.computed()) {
                    t->setInt(dayColumn, f.date.day());
                } else {
                    t->setMissing(dayColumn, monthlyNote(spec, f, m.days));
                }
            }
        }
        t->setInt(c++, m.days);
        for (int q = 0; q < kQuantities; ++q) {
            if (s.series.has(Quantity(q))) {
                t->setInt(c++, m.withData[size_t(q)]);
            }
        }
    }
    return t;
}

std::shared_ptr<Table> yearlyTable(const StationSummary& s) {
    QStringList captions = {QStringLiteral("Anno"), QStringLiteral("Mesi con dati")};
    for (const FigureSpec& spec : monthlyFigures()) {
        if (shown(s, spec)) {
            captions << figureCaption(spec.figure);
            if (spec.dated) {
                captions << QStringLiteral("Data");
            }
        }
    }
    auto t = std::make_shared<Table>(captions);
    for (const YearSummary& y : s.years) {
        t->addRow();
        int c = 0;
        t->setInt(c++, y.year);
        t->setInt(c++, y.monthsWithRows);
        for (const FigureSpec& spec : monthlyFigures()) {
            if (!shown(s, spec)) {
                continue;
            }
            const Figure& f = y.figures[spec.figure];
            const QString note =
                QStringLiteral(
                    "Non calcolato: %1 mesi senza il valore mensile (l'anno li richiede tutti e 12)")
                    .arg(f.missing);
            if (f.computed()) {
                t->setNumber(c, f.value, textOf(spec.figure).decimals);
            } else {
                t->setMissing(c, note);
            }
            ++c;
            if (spec.dated) {
                if (f.computed()) {
                    t->setText(c, dateText(f.date));
                } else {
                    t->setMissing(c, note);
                }
                ++c;
            }
        }
    }
    return t;
}

std::shared_ptr<Table> normalTable(const StationSummary& s) {
    QStringList captions = {QStringLiteral("Mese")};
    for (const FigureSpec& spec : monthlyFigures()) {
        if (shown(s, spec)) {
            captions << figureCaption(spec.figure) << QStringLiteral("Anni");
        }
    }
    auto t = std::make_shared<Table>(captions);
    for (const MonthNormal& n : s.normals) {
        bool any = false;
        for (const MonthSummary& m : s.months) {
            any = any || m.month == n.month;
        }
        if (!any) {
            continue;  // a month the result holds no row for
        }
        t->addRow();
        int c = 0;
        t->setText(c++, monthAbbreviation(n.month));
        for (const FigureSpec& spec : monthlyFigures()) {
            if (!shown(s, spec)) {
                continue;
            }
            const Figure& f = n.figures[spec.figure];
            if (f.computed()) {
                t->setNumber(c, f.value, textOf(spec.figure).decimals);
            } else {
                t->setMissing(c, QStringLiteral("Non calcolato: il mese non è calcolato in nessun anno"));
            }
            ++c;
            t->setInt(c++, n.years[spec.figure]);
        }
    }
    return t;
}

}  // namespace analysis
