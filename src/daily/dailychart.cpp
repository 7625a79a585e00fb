#include "daily/dailychart.h"

#include "chart/chartwindow.h"
#include "chart/tablefigure.h"
#include "jet/jet.h"

namespace daily {

namespace {

using chart::Mark;
using chart::Style;

enum Panels { kWeather, kSnow, kWind, kHumidity, kRadiation };

QVector<chart::Panel> panels() {
    QVector<chart::Panel> list(5);
    for (chart::Panel& p : list) {
        p.x.kind = chart::XKind::Date;
        p.x.title = QStringLiteral("Data");
        p.x.step = 1;         // a line joins consecutive days only
        p.x.breakAfter = 45;  // the same month of several years: side by side, never joined
    }
    list[kWeather].axes = {{QStringLiteral("t"), QStringLiteral("Temperatura"), QStringLiteral("°C")},
                           {QStringLiteral("p"), QStringLiteral("Pioggia"), QStringLiteral("mm"),
                            chart::Scale::Linear, true, true}};
    list[kSnow].title = QStringLiteral("Altezza della neve al suolo");
    list[kSnow].weight = 0.5;
    list[kSnow].axes = {
        {QStringLiteral("n"), QStringLiteral("Neve"), QStringLiteral("cm"), chart::Scale::Linear, true}};
    list[kWind].title = QStringLiteral("Vento");
    list[kWind].weight = 0.6;
    list[kWind].axes = {
        {QStringLiteral("v"), QStringLiteral("Velocità"), QStringLiteral("Km/h"), chart::Scale::Linear, true},
        {QStringLiteral("o"), QStringLiteral("Ore"), QString(), chart::Scale::Linear, true, true}};
    list[kHumidity].title = QStringLiteral("Umidità e calme di vento");
    list[kHumidity].weight = 0.6;
    list[kHumidity].axes = {
        {QStringLiteral("u"), QStringLiteral("Umidità"), QString()},
        {QStringLiteral("c"), QStringLiteral("Calme"), QString(), chart::Scale::Linear, true, true}};
    list[kRadiation].title = QStringLiteral("Radiazione solare globale");
    list[kRadiation].weight = 0.6;
    list[kRadiation].axes = {{QStringLiteral("r"), QStringLiteral("Radiazione"), QStringLiteral("MJ/MQ"),
                              chart::Scale::Linear, true}};
    return list;
}

// Every quantity the daily statement can hold, by its caption; the legend names it as the grid.
QVector<std::pair<QString, Style>> fields() {
    auto style = [](int panel, const char* axis, Mark mark, QColor colour, bool shown) {
        return Style{QString(), panel, QString::fromLatin1(axis), mark, colour, shown};
    };
    using chart::colours::palette;
    return {
        {QStringLiteral("pioggia mm"), style(kWeather, "p", Mark::Bar, chart::colours::rain(), true)},
        {QStringLiteral("Temperatura massima °C"),
         style(kWeather, "t", Mark::Line, chart::colours::maximum(), true)},
        {QStringLiteral("Temperatura minima °C"),
         style(kWeather, "t", Mark::Line, chart::colours::minimum(), true)},
        {QStringLiteral("Temperatura media °C"),
         style(kWeather, "t", Mark::Line, chart::colours::mean(), true)},
        {QStringLiteral("Altezza della neve cm"), style(kSnow, "n", Mark::Bar, chart::colours::snow(), true)},
        {QStringLiteral("Velocità media del vento (Km/h)"), style(kWind, "v", Mark::Line, palette(0), false)},
        {QStringLiteral("Velocità massima del vento (Km/h)"),
         style(kWind, "v", Mark::Line, palette(1), false)},
        {QStringLiteral("Ore di permanenza della direzione prevalente"),
         style(kWind, "o", Mark::Line, palette(2), false)},
        {QStringLiteral("Umidità dell'aria"), style(kHumidity, "u", Mark::Line, palette(6), false)},
        {QStringLiteral("Umidità massima"), style(kHumidity, "u", Mark::Line, palette(3), false)},
        {QStringLiteral("Umidità minima"), style(kHumidity, "u", Mark::Line, palette(4), false)},
        {QStringLiteral("Calme di vento"), style(kHumidity, "c", Mark::Line, palette(5), false)},
        {QStringLiteral("Radiazione solare globale (MJ/MQ)"),
         style(kRadiation, "r", Mark::Line, palette(10), false)},
    };
}

// With no temperature among the lines, the first panel of lines that has any is shown instead.
void showSomeLines(chart::Figure& figure) {
    for (const chart::Series& s : figure.panels[kWeather].series) {
        if (s.mark == Mark::Line) {
            return;
        }
    }
    for (int p = kWind; p < figure.panels.size(); ++p) {
        if (!figure.panels[p].series.isEmpty()) {
            for (chart::Series& s : figure.panels[p].series) {
                s.shown = true;
            }
            return;
        }
    }
}

}  // namespace

QSet<QString> sharedStationNames(const QString& database) {
    // The daily form's own list of stations.
    return chart::repeatedTexts(database, QStringLiteral("select NomeStaz from Anagraficab"));
}

chart::Figure dailyFigure(const jet::RecordSet& rows, const QSet<QString>& sharedNames) {
    chart::PointRows d;
    d.keyField = QString::fromLatin1(kCodeCaption);
    d.nameField = QStringLiteral("Denominazione");
    d.sharedNames = sharedNames;
    d.dayField = QStringLiteral("Giorno");
    d.monthField = QStringLiteral("Mese");
    d.yearField = QStringLiteral("Anno");
    d.panels = panels();
    d.fields = fields();
    chart::Figure figure = chart::pointFigure(d, rows);
    showSomeLines(figure);
    const auto [first, last] = chart::xExtent(figure);
    chart::setTitles(figure, first == first ? chart::datePeriod(QDate::fromJulianDay(qint64(first)),
                                                                QDate::fromJulianDay(qint64(last)))
                                            : QString());
    return figure;
}

std::unique_ptr<jet::RecordSet> readWithCode(const QString& database, const QString& statement) {
    return chart::readRows(database, chart::withFirstField(statement, QStringLiteral("codStaz"),
                                                           QString::fromLatin1(kCodeCaption)));
}

std::optional<chart::Figure> dailyChart(const QString& database, const QString& statement,
                                        const forms::GridActions* grid) {
    std::unique_ptr<jet::RecordSet> read = readWithCode(database, statement);
    const std::shared_ptr<const jet::RecordSet> rows =
        grid ? chart::asShown(std::move(read), *grid)
             : std::shared_ptr<const jet::RecordSet>(std::move(read));
    return rows ? std::optional<chart::Figure>(dailyFigure(*rows, sharedStationNames(database)))
                : std::nullopt;
}

}  // namespace daily
