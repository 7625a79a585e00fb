#include "chart/chartdata.h"

#include "jet/jet.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>
#include <vector>

namespace chart {

namespace {

constexpr double kGap = std::numeric_limits<double>::quiet_NaN();

bool isNumber(const jet::Value& value) {
    using K = jet::Value::Kind;
    return value.kind() == K::Integer || value.kind() == K::Real || value.kind() == K::Currency;
}

// A column worth a series: numbers only, at least one of them.
bool numericColumn(const jet::RecordSet& rows, int field) {
    bool any = false;
    const int count = rows.recordCount();
    for (int row = 0; row < count; ++row) {
        const jet::Value& value = rows.value(row, field);
        if (value.isNull()) {
            continue;
        }
        if (!isNumber(value)) {
            return false;
        }
        any = true;
    }
    return any;
}

bool isBar(const QString& caption) {
    return caption.contains(QLatin1String("pioggia"), Qt::CaseInsensitive) ||
           caption.contains(QLatin1String("neve"), Qt::CaseInsensitive);
}

bool anyValue(const Series& series) {
    return std::any_of(series.y.cbegin(), series.y.cend(), [](double v) { return !std::isnan(v); });
}

QString stationsText(const QStringList& stations) {
    if (stations.size() <= 3) {
        return stations.join(QLatin1String(", "));
    }
    return stations.mid(0, 3).join(QLatin1String(", ")) +
           QStringLiteral(" e altre %1").arg(stations.size() - 3);
}

QString yearsText(int first, int last) {
    if (first > last) {
        return QString();
    }
    return first == last ? QStringLiteral("anno %1").arg(first)
                         : QStringLiteral("anni %1-%2").arg(first).arg(last);
}

void setCaption(ChartData& data, const QString& period) {
    data.period = period;
    QStringList parts;
    if (!data.stations.isEmpty()) {
        parts << stationsText(data.stations);
    }
    if (!period.isEmpty()) {
        parts << period;
    }
    data.title = parts.join(QLatin1String(" - "));
    data.caption =
        data.title.isEmpty() ? QStringLiteral("Grafico") : QStringLiteral("Grafico - ") + data.title;
}

int firstTextColumn(const jet::RecordSet& rows) {
    for (int field = 0; field < rows.fieldCount(); ++field) {
        for (int row = 0; row < rows.recordCount(); ++row) {
            const jet::Value& value = rows.value(row, field);
            if (!value.isNull()) {
                if (value.kind() == jet::Value::Kind::Text) {
                    return field;
                }
                break;
            }
        }
    }
    return -1;
}

// A whole number the grid shows, or `fallback`.
int wholeNumber(const jet::RecordSet& rows, int row, int field, int fallback) {
    const double v = field < 0 ? kGap : numberShown(rows, row, field);
    if (std::isnan(v) || v != std::floor(v) || std::fabs(v) > 1e6) {
        return fallback;
    }
    return int(v);
}

}  // namespace

QString lineAxisTitle(const QVector<Series>& series) {
    QStringList units;
    bool unitless = false;
    for (const Series& s : series) {
        if (s.style != Style::Line || !s.shown) {
            continue;
        }
        unitless = unitless || s.unit.isEmpty();
        if (!s.unit.isEmpty() && !units.contains(s.unit)) {
            units << s.unit;
        }
    }
    // Units only when every line names one: a list would claim them for the others too.
    if (units.isEmpty() || unitless) {
        return QStringLiteral("Valore");
    }
    return units == QStringList{QStringLiteral("°C")}
               ? QStringLiteral("Temperatura (°C)")
               : QStringLiteral("Valore (%1)").arg(units.join(QLatin1String(", ")));
}

QString barAxisTitle(const QVector<Series>& series) {
    bool rain = false;
    bool snow = false;
    QStringList rainUnits;
    QStringList snowUnits;
    for (const Series& s : series) {
        if (s.style != Style::Bar || !s.shown) {
            continue;
        }
        const bool isSnow = s.caption.contains(QLatin1String("neve"), Qt::CaseInsensitive);
        (isSnow ? snow : rain) = true;
        QStringList& units = isSnow ? snowUnits : rainUnits;
        if (!s.unit.isEmpty() && !units.contains(s.unit)) {
            units << s.unit;
        }
    }
    auto part = [](const QString& name, const QStringList& units) {
        return units.isEmpty() ? name : QStringLiteral("%1 (%2)").arg(name, units.join(QLatin1String(", ")));
    };
    QStringList parts;
    if (rain) {
        parts << part(QStringLiteral("Pioggia"), rainUnits);
    }
    if (snow) {
        parts << part(QStringLiteral("Neve"), snowUnits);
    }
    return parts.join(QLatin1String(" / "));
}

void chooseShown(ChartData& data) {
    const Series* first = nullptr;
    for (const Series& s : data.series) {
        if (s.style == Style::Line && (!first || (s.unit == QStringLiteral("°C") && first->unit != s.unit))) {
            first = &s;
        }
    }
    const QString unit = first ? first->unit : QString();
    for (Series& s : data.series) {
        s.shown = s.style == Style::Bar || s.unit == unit;
    }
    data.lineTitle = lineAxisTitle(data.series);
    data.barTitle = barAxisTitle(data.series);
}

void setShown(ChartData& data, const QString& caption, bool shown) {
    for (Series& s : data.series) {
        if (s.caption == caption) {
            s.shown = shown;
        }
    }
    data.lineTitle = lineAxisTitle(data.series);
    data.barTitle = barAxisTitle(data.series);
}

QString unitOf(const QString& caption) {
    const QString text = caption.trimmed();
    if (text.endsWith(u')')) {
        const qsizetype open = text.lastIndexOf(u'(');
        if (open >= 0) {
            return text.mid(open + 1, text.size() - open - 2).trimmed();
        }
    }
    static const QStringList kUnits = {QStringLiteral("°C"), QStringLiteral("mm"),   QStringLiteral("cm"),
                                       QStringLiteral("%"),  QStringLiteral("Km/h"), QStringLiteral("MJ/MQ"),
                                       QStringLiteral("m/s")};
    const QString last = text.section(u' ', -1);
    for (const QString& unit : kUnits) {
        if (last.compare(unit, Qt::CaseInsensitive) == 0) {
            return last;
        }
    }
    return QString();
}

double numberShown(const jet::RecordSet& rows, int row, int field) {
    const jet::Value& value = rows.value(row, field);
    if (!isNumber(value)) {
        return kGap;
    }
    if (value.kind() == jet::Value::Kind::Integer) {
        return double(value.toInt());
    }
    // The digits the grid shows (single-precision values are shown to seven), not the float's
    // binary expansion.
    bool ok = false;
    const double v = QLocale::c().toDouble(value.display(QLocale::c()), &ok);
    return ok ? v : value.toDouble();
}

ChartData forStation(const ChartData& data, const QString& station) {
    ChartData one = data;
    one.series.clear();
    for (Series s : data.series) {
        if (s.station == station) {
            s.title = s.caption;
            one.series.append(s);
        }
    }
    one.stations = QStringList{station};
    one.lineTitle = lineAxisTitle(one.series);
    one.barTitle = barAxisTitle(one.series);
    setCaption(one, data.period);
    return one;
}

ChartData dailySeries(const jet::RecordSet& rows) {
    ChartData data;
    data.kind = Kind::Daily;
    data.xTitle = QStringLiteral("Data");
    const int dayField = rows.fieldIndex(QStringLiteral("Giorno"));
    const int monthField = rows.fieldIndex(QStringLiteral("Mese"));
    const int yearField = rows.fieldIndex(QStringLiteral("Anno"));
    int stationField = rows.fieldIndex(QStringLiteral("Denominazione"));
    if (stationField < 0) {
        stationField = firstTextColumn(rows);
    }

    std::vector<int> quantities;
    for (int field = 0; field < rows.fieldCount(); ++field) {
        if (field != dayField && field != monthField && field != yearField && field != stationField &&
            numericColumn(rows, field)) {
            quantities.push_back(field);
        }
    }

    // Rows that fall on a calendar day, by station (in order of appearance), then by date.
    struct Dated {
        int station;
        qint64 day;
        int row;
    };
    std::vector<Dated> dated;
    const int count = rows.recordCount();
    dated.reserve(size_t(count));
    for (int row = 0; row < count; ++row) {
        const QDate date(wholeNumber(rows, row, yearField, 0), wholeNumber(rows, row, monthField, 0),
                         wholeNumber(rows, row, dayField, 0));
        if (!date.isValid()) {
            continue;
        }
        const QString station = stationField >= 0 ? rows.value(row, stationField).display() : QString();
        qsizetype index = data.stations.indexOf(station);
        if (index < 0) {
            index = data.stations.size();
            data.stations << station;
        }
        dated.push_back({int(index), date.toJulianDay(), row});
        if (!data.first.isValid() || date < data.first) {
            data.first = date;
        }
        if (!data.last.isValid() || date > data.last) {
            data.last = date;
        }
    }
    std::stable_sort(dated.begin(), dated.end(), [](const Dated& a, const Dated& b) {
        return a.station != b.station ? a.station < b.station : a.day < b.day;
    });

    const bool several = data.stations.size() > 1;
    size_t begin = 0;
    for (int s = 0; s < data.stations.size(); ++s) {
        size_t end = begin;
        while (end < dated.size() && dated[end].station == s) {
            ++end;
        }
        for (const int field : quantities) {
            Series series;
            series.caption = rows.fieldName(field);
            series.station = data.stations[s];
            series.title = several ? series.station + QStringLiteral(" - ") + series.caption : series.caption;
            series.unit = unitOf(series.caption);
            series.style = isBar(series.caption) ? Style::Bar : Style::Line;
            series.x.reserve(qsizetype(end - begin));
            series.y.reserve(qsizetype(end - begin));
            for (size_t i = begin; i < end; ++i) {
                series.x.append(double(dated[i].day));
                series.y.append(numberShown(rows, dated[i].row, field));
            }
            if (anyValue(series)) {
                data.series.append(series);
            }
        }
        begin = end;
    }
    data.stations.removeAll(QString());

    chooseShown(data);
    QString period;
    if (data.first.isValid()) {
        const QString format = QStringLiteral("dd/MM/yyyy");
        period =
            data.first == data.last
                ? QStringLiteral("%1").arg(data.first.toString(format))
                : QStringLiteral("dal %1 al %2").arg(data.first.toString(format), data.last.toString(format));
    }
    setCaption(data, period);
    return data;
}

ChartData rainfallSeries(const jet::RecordSet& rows) {
    ChartData data;
    data.kind = Kind::Rainfall;
    data.xTitle = QStringLiteral("Durata");
    int stationField = rows.fieldIndex(QStringLiteral("Nomestaz"));
    if (stationField < 0) {
        stationField = firstTextColumn(rows);
    }
    const int yearField = rows.fieldIndex(QStringLiteral("Anno"));
    std::vector<int> durations;
    for (int field = 0; field < rows.fieldCount(); ++field) {
        if (field != stationField && field != yearField && numericColumn(rows, field)) {
            durations.push_back(field);
            data.categories << rows.fieldName(field);
        }
    }

    const int count = rows.recordCount();
    QStringList years;
    int firstYear = std::numeric_limits<int>::max();
    int lastYear = std::numeric_limits<int>::min();
    for (int row = 0; row < count; ++row) {
        const QString station = stationField >= 0 ? rows.value(row, stationField).display() : QString();
        if (!station.isEmpty() && !data.stations.contains(station)) {
            data.stations << station;
        }
        const QString year = yearField >= 0 ? rows.value(row, yearField).display() : QString();
        if (!year.isEmpty() && !years.contains(year)) {
            years << year;
        }
        const int y = wholeNumber(rows, row, yearField, 0);
        if (y != 0) {
            firstYear = std::min(firstYear, y);
            lastYear = std::max(lastYear, y);
        }
    }
    const bool severalStations = data.stations.size() > 1;
    const bool severalYears = years.size() > 1;
    for (int row = 0; row < count; ++row) {
        Series series;
        series.station = stationField >= 0 ? rows.value(row, stationField).display() : QString();
        const QString year = yearField >= 0 ? rows.value(row, yearField).display() : QString();
        QStringList name;
        if (severalStations || !severalYears) {
            name << series.station;
        }
        if (severalYears) {
            name << year;
        }
        name.removeAll(QString());
        series.title = name.join(u' ');
        series.caption = series.title;
        series.unit = QStringLiteral("mm");
        for (size_t i = 0; i < durations.size(); ++i) {
            series.x.append(double(i));
            series.y.append(numberShown(rows, row, durations[i]));
        }
        if (anyValue(series)) {
            data.series.append(series);
        }
    }
    data.lineTitle = QStringLiteral("Pioggia massima (mm)");
    setCaption(data, yearsText(firstYear, lastYear));
    return data;
}

ChartData monthlySeries(const jet::RecordSet& rows, int currentRow, const QString& station) {
    ChartData data;
    data.kind = Kind::Monthly;
    data.xTitle = QStringLiteral("Mese");
    if (!station.isEmpty()) {
        data.stations << station;
    }
    int parameterField = rows.fieldIndex(QStringLiteral("parametro"));
    if (parameterField < 0) {
        parameterField = firstTextColumn(rows);
    }
    const int yearField = rows.fieldIndex(QStringLiteral("anno"));
    std::vector<int> months;
    for (int field = 0; field < rows.fieldCount(); ++field) {
        if (field != parameterField && field != yearField && numericColumn(rows, field)) {
            months.push_back(field);
            data.categories << rows.fieldName(field);
        }
    }

    const int count = rows.recordCount();
    if (currentRow < 0 || currentRow >= count) {
        currentRow = 0;
    }
    const QString year =
        yearField >= 0 && count > 0 ? rows.value(currentRow, yearField).display() : QString();
    for (int row = 0; row < count; ++row) {
        if (yearField >= 0 && rows.value(row, yearField).display() != year) {
            continue;
        }
        Series series;
        series.caption = parameterField >= 0 ? rows.value(row, parameterField).display() : QString();
        series.title = series.caption;
        series.station = station;
        series.unit = unitOf(series.caption);
        series.style = isBar(series.caption) ? Style::Bar : Style::Line;
        for (size_t i = 0; i < months.size(); ++i) {
            series.x.append(double(i));
            series.y.append(numberShown(rows, row, months[i]));
        }
        if (anyValue(series)) {
            data.series.append(series);
        }
    }
    chooseShown(data);
    setCaption(data, year.isEmpty() ? QString() : QStringLiteral("anno ") + year);
    return data;
}

}  // namespace chart
