#include "intense/intensechart.h"

#include "chart/chartwindow.h"
#include "chart/tablefigure.h"
#include "jet/jet.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace intense {

namespace {

const char* const kHours[] = {"1 ora", "3 ore", "6 ore", "12 ore", "24 ore"};
const char* const kDays[] = {"1 giorno", "2 giorni", "3 giorni", "4 giorni", "5 giorni"};

}  // namespace

chart::Figure maximaFigure(const jet::RecordSet& rows, const QSet<QString>& sharedNames) {
    chart::SeriesRows d;
    d.keyField = QString::fromLatin1(kCodeCaption);
    d.nameField = QStringLiteral("Nomestaz");
    d.sharedNames = sharedNames;
    d.panels.resize(2);
    d.panels[0].title = QStringLiteral("Massimi di 1, 3, 6, 12 e 24 ore");
    d.panels[1].title = QStringLiteral("Massimi di 1, 2, 3, 4 e 5 giorni");
    for (chart::Panel& p : d.panels) {
        p.x.kind = chart::XKind::Category;
        p.x.title = QStringLiteral("Durata");
        p.axes = {{QStringLiteral("mm"), QStringLiteral("Pioggia massima"), QStringLiteral("mm"),
                   chart::Scale::Linear, true}};
    }
    for (const char* hours : kHours) {
        d.categories.append({QString::fromUtf8(hours), 0});
    }
    for (const char* days : kDays) {
        d.categories.append({QString::fromUtf8(days), 1});
    }
    const int yearField = rows.fieldIndex(QStringLiteral("Anno"));
    d.style = [yearField](const jet::RecordSet& r, int row) -> std::optional<chart::Style> {
        chart::Style style;
        const double year = yearField >= 0 ? chart::numberShown(r, row, yearField) : chart::kMissing;
        style.name = std::isnan(year) ? QStringLiteral("anno ignoto") : QString::number(qint64(year));
        style.mark = chart::Mark::Line;
        style.panel = -1;  // hours and days alike
        return style;
    };
    chart::Figure figure = chart::seriesFigure(d, rows);
    int first = std::numeric_limits<int>::max();
    int last = std::numeric_limits<int>::min();
    for (int row = 0; row < rows.recordCount() && yearField >= 0; ++row) {
        const double year = chart::numberShown(rows, row, yearField);
        if (!std::isnan(year) && std::fabs(year) < 1e6) {
            first = std::min(first, int(year));
            last = std::max(last, int(year));
        }
    }
    chart::setTitles(figure, chart::yearsPeriod(first, last));
    return figure;
}

std::optional<chart::Figure> maximaChart(const QString& database, const QString& statement,
                                         const forms::GridActions* grid) {
    std::unique_ptr<jet::RecordSet> read = chart::readRows(
        database,
        chart::withFirstField(statement, QStringLiteral("codstaz"), QString::fromLatin1(kCodeCaption)));
    const std::shared_ptr<const jet::RecordSet> rows =
        grid ? chart::asShown(std::move(read), *grid)
             : std::shared_ptr<const jet::RecordSet>(std::move(read));
    // The rainfall form's own list of stations.
    const QSet<QString> shared =
        chart::repeatedTexts(database, QStringLiteral("select NomeStaz from anagraficaa"));
    return rows ? std::optional<chart::Figure>(maximaFigure(*rows, shared)) : std::nullopt;
}

}  // namespace intense
