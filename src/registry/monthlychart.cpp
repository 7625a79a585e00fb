#include "registry/monthlychart.h"

#include "chart/tablefigure.h"
#include "jet/jet.h"

namespace registry {

namespace {

const char* const kMonths[] = {"gennaio", "febbraio", "marzo",     "aprile",  "maggio",   "giugno",
                               "luglio",  "agosto",   "settembre", "ottobre", "novembre", "dicembre"};

bool has(const QString& text, const char* word) {
    return text.contains(QLatin1String(word), Qt::CaseInsensitive);
}

// How a statistic is drawn, from the words of its name ("Temperatura massima media °C").
chart::Style styleOf(const QString& parameter) {
    chart::Style style;
    style.name = parameter;
    if (has(parameter, "neve")) {
        style = {parameter, 1, QStringLiteral("n"), chart::Mark::Bar, chart::colours::snow(), true};
    } else if (has(parameter, "pioggia") && has(parameter, "mm")) {
        style = {parameter, 0, QStringLiteral("p"), chart::Mark::Bar, chart::colours::rain(), true};
    } else if (parameter.contains(QStringLiteral("°C"))) {
        const QColor colour = has(parameter, "massim")  ? chart::colours::maximum()
                              : has(parameter, "minim") ? chart::colours::minimum()
                                                        : chart::colours::mean();
        style = {parameter, 0, QStringLiteral("t"), chart::Mark::Line, colour, true};
    } else {
        style = {parameter, 2, QStringLiteral("a"), chart::Mark::Line, QColor(), false};
    }
    return style;
}

}  // namespace

chart::Figure monthlyFigure(const jet::RecordSet& rows, int currentRow, const QString& station) {
    chart::SeriesRows d;
    d.panels.resize(3);
    for (chart::Panel& p : d.panels) {
        p.x.kind = chart::XKind::Category;
        p.x.title = QStringLiteral("Mese");
    }
    d.panels[0].axes = {{QStringLiteral("t"), QStringLiteral("Temperatura"), QStringLiteral("°C")},
                        {QStringLiteral("p"), QStringLiteral("Pioggia"), QStringLiteral("mm"),
                         chart::Scale::Linear, true, true}};
    d.panels[1].title = QStringLiteral("Neve al suolo");
    d.panels[1].weight = 0.5;
    d.panels[1].axes = {
        {QStringLiteral("n"), QStringLiteral("Neve"), QStringLiteral("cm"), chart::Scale::Linear, true}};
    d.panels[2].title = QStringLiteral("Altre statistiche");
    d.panels[2].weight = 0.6;
    d.panels[2].axes = {{QStringLiteral("a"), QStringLiteral("Valore"), QString()}};
    for (int p = 0; p < d.panels.size(); ++p) {
        for (const char* month : kMonths) {
            d.categories.append({QString::fromLatin1(month), p});
        }
    }
    const int parameterField = rows.fieldIndex(QStringLiteral("parametro"));
    const int yearField = rows.fieldIndex(QStringLiteral("anno"));
    const int count = rows.recordCount();
    if (currentRow < 0 || currentRow >= count) {
        currentRow = 0;
    }
    const jet::DisplayFormat format;
    const QString year = yearField >= 0 && count > 0 ? rows.text(currentRow, yearField, format) : QString();
    d.style = [&](const jet::RecordSet& r, int row) -> std::optional<chart::Style> {
        if (yearField >= 0 && r.text(row, yearField, format) != year) {
            return std::nullopt;
        }
        return styleOf(parameterField >= 0 ? r.text(row, parameterField, format) : QString());
    };
    chart::Figure figure = chart::seriesFigure(d, rows);
    figure.subjects = {{QString(), station, QString()}};
    chart::setTitles(figure, year.isEmpty() ? QString() : QStringLiteral("anno ") + year);
    return figure;
}

}  // namespace registry
