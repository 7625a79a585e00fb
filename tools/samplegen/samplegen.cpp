// The sample archive of the Regione Sorvane: stations, ten years of daily values, intense rainfall
// maxima, monthly statistics, selection lists and information texts.
#include "samplegen/internal.h"

#include <QDir>

#include <algorithm>
#include <memory>

namespace samplegen {

using jetwriter::Column;
using jetwriter::ColumnType;
using jetwriter::Row;

namespace {

double round1(double v) {
    return std::round(v * 10.0) / 10.0;
}

QVariant val(double v) {
    return std::isnan(v) ? QVariant() : QVariant(v);
}

constexpr double kNull = std::numeric_limits<double>::quiet_NaN();

// One station-day of the network's measurements (NaN / empty = not measured).
struct Day {
    QDate date;
    double pioggia = kNull, tmax = kNull, tmin = kNull, tmed = kNull, umid = kNull, neve = kNull;
    double vel = kNull, velMax = kNull, oreDir = kNull, rad = kNull, umidMax = kNull, umidMin = kNull,
           calme = kNull;
    QString dir;
};

const char* const kDirs[] = {"N", "NE", "E", "SE", "S", "SW", "W", "NW"};

// One or two outages: the station recorded nothing for some days (first day, day past the last).
QList<std::pair<int, int>> outagesOf(Rng& rng, int days) {
    QList<std::pair<int, int>> outages;
    for (int i = 0, n = 1 + int(rng.uniform() < 0.4); i < n; ++i) {
        int start = rng.range(0, days - 60);
        outages.append({start, start + rng.range(5, 40)});
    }
    return outages;
}

// Snow builds from the rain of freezing days and melts above zero; none from June to September.
void addSnow(Day& d, double& snow, double tmean, bool wet, double rain) {
    const int m = d.date.month();
    if (wet && tmean < 1.0)
        snow += rain;
    if (tmean > 0)
        snow -= 0.8 * tmean + (wet ? 0.3 * rain : 0.0);
    if (m >= 6 && m <= 9)
        snow = 0;
    snow = std::max(0.0, snow);
    d.neve = std::round(snow);
}

void addHumidity(Day& d, Rng& rng, double season, bool wet) {
    const double u = std::clamp(round1(68 + (wet ? 12 : 0) - 8 * season + rng.normal() * 6), 25.0, 100.0);
    d.umid = u;
    d.umidMax = std::min(100.0, round1(u + 10 + std::abs(rng.normal()) * 5));
    d.umidMin = std::max(10.0, round1(u - 14 - std::abs(rng.normal()) * 6));
}

// Wind blows mostly from the station's prevailing direction, harder on wet days and up high.
void addWind(Day& d, Rng& rng, double quota, int prevailing, bool wet) {
    const double v = std::max(0.5, round1(6 + quota / 400.0 + rng.normal() * 2.5 + (wet ? 2 : 0)));
    d.vel = v;
    d.velMax = round1(v * 1.9 + std::abs(rng.normal()) * 4);
    const int dir = rng.uniform() < 0.55 ? prevailing : (prevailing + rng.range(1, 7)) % 8;
    d.dir = QString::fromLatin1(kDirs[dir]);
    d.oreDir = rng.range(3, 20);
    d.calme = std::max(0.0, std::round(9 - v + rng.normal() * 2));
}

void addRadiation(Day& d, Rng& rng, double season, bool wet) {
    const double clear = 7 + 21 * (season + 1) / 2;
    d.rad = round1(clear * (wet ? 0.35 + 0.3 * rng.uniform() : 0.75 + 0.25 * rng.uniform()));
}

// The weather of one station over the whole period: seasonal temperature falling with altitude,
// wet spells, snow cover only in the cold months at altitude, outages with every value missing.
// The random draws come in a fixed order, so the archive is the same at every run.
QList<Day> simulate(const Station& s) {
    Rng rng(quint64(s.info.code) * 7919u + 17u);
    const QDate first(kFirstYear, 1, 1);
    const QDate last(kLastYear, 12, 31);
    const int days = int(first.daysTo(last)) + 1;
    const QList<std::pair<int, int>> outages = outagesOf(rng, days);
    const int prevailing = rng.range(0, 7);
    static const double wetChance[12] = {0.24, 0.22, 0.26, 0.30, 0.28, 0.20,
                                         0.12, 0.15, 0.22, 0.30, 0.33, 0.27};
    QList<Day> out;
    out.reserve(days);
    double anomaly = 0;
    double snow = 0;
    bool wasWet = false;
    for (int i = 0; i < days; ++i) {
        Day d;
        d.date = first.addDays(i);
        const int m = d.date.month();
        const double season = std::sin(2.0 * M_PI * (d.date.dayOfYear() - 110) / 365.25);
        anomaly = 0.75 * anomaly + rng.normal() * 1.6;
        const double tmean = 13.0 - 0.0060 * s.quota + 10.0 * season + anomaly;
        const double pWet = wasWet ? 0.55 : wetChance[m - 1] * (1.0 + s.quota / 3000.0);
        const bool wet = rng.uniform() < pWet;
        wasWet = wet;
        double rain = 0;
        if (wet) {
            const double mean = (m >= 9 && m <= 11 ? 10.0 : 6.0) * (1.0 + s.quota / 2500.0);
            rain = std::max(0.2, round1(-std::log(1.0 - rng.uniform()) * mean));
        }
        const double span = std::max(2.0, 9.0 + 3.0 * season - (wet ? 4.0 : 0.0) + rng.normal() * 1.2);
        d.pioggia = rain;
        d.tmax = round1(tmean + span / 2);
        d.tmin = round1(tmean - span / 2);
        d.tmed = round1((d.tmax + d.tmin) / 2);
        if (s.hasSnow) {
            addSnow(d, snow, tmean, wet, rain);
        }
        if (s.hasHumidity) {
            addHumidity(d, rng, season, wet);
        }
        if (s.hasWind) {
            addWind(d, rng, s.quota, prevailing, wet);
        }
        if (s.hasRadiation) {
            addRadiation(d, rng, season, wet);
        }
        bool out_ = false;
        for (const auto& o : outages)
            if (i >= o.first && i < o.second)
                out_ = true;
        if (out_) {
            Day blank;
            blank.date = d.date;
            d = blank;
        } else if (rng.uniform() < 0.004) {
            d.tmax = d.tmed = kNull;  // a thermometer reading lost now and then
        }
        out.append(d);
    }
    return out;
}

QList<Column> dailyColumns() {
    return {{"codStaz", ColumnType::Long},   {"nomestaz", ColumnType::Text, 50},
            {"Giorno", ColumnType::Integer}, {"Mese", ColumnType::Integer},
            {"Anno", ColumnType::Integer},   {"Pioggia", ColumnType::Double},
            {"TempMax", ColumnType::Double}, {"TempMin", ColumnType::Double},
            {"TempMed", ColumnType::Double}, {"Umidità", ColumnType::Double},
            {"AltNeve", ColumnType::Double}, {"VelMedia", ColumnType::Double},
            {"VelMax", ColumnType::Double},  {"DirVento", ColumnType::Text, 3},
            {"OreDir", ColumnType::Double},  {"Radiazione", ColumnType::Double},
            {"Umidmax", ColumnType::Double}, {"Umidmin", ColumnType::Double},
            {"calme", ColumnType::Double}};
}

void dailyRow(const Station& s, const Day& d, Row& r) {
    r = Row{s.info.code,    s.info.name, d.date.day(), d.date.month(), d.date.year(),
            val(d.pioggia), val(d.tmax), val(d.tmin),  val(d.tmed),    val(d.umid),
            val(d.neve),    val(d.vel),  val(d.velMax)};
    r << (d.dir.isEmpty() ? QVariant() : QVariant(d.dir)) << val(d.oreDir) << val(d.rad) << val(d.umidMax)
      << val(d.umidMin) << val(d.calme);
}

// Streams the daily rows station by station, simulating one station at a time.
jetwriter::RowSource dailySource(const QList<Station>& stations) {
    struct State {
        QList<Station> stations;
        int station = 0;
        QList<Day> days;
        int day = 0;
    };
    auto st = std::make_shared<State>();
    st->stations = stations;
    return [st](Row& r) {
        while (st->day >= st->days.size()) {
            if (st->station >= st->stations.size())
                return false;
            st->days = simulate(st->stations[st->station++]);
            st->day = 0;
        }
        dailyRow(st->stations[st->station - 1], st->days[st->day++], r);
        return true;
    };
}

QList<Column> intenseColumns() {
    QList<Column> c{
        {"codstaz", ColumnType::Long}, {"Nomestaz", ColumnType::Text, 50}, {"Anno", ColumnType::Integer}};
    const char* amounts[] = {"unhh", "trehh", "seihh", "dodhh", "venhh",
                             "ungg", "duegg", "tregg", "quagg", "cingg"};
    for (int i = 0; i < 10; ++i) {
        c.append({amounts[i], ColumnType::Double});
        c.append({i == 0 ? QStringLiteral("Data") : QStringLiteral("Data%1").arg(i), ColumnType::DateTime});
    }
    return c;
}

// Yearly maxima over 1-24 hours (from the wettest days, split by hour) and over 1-5 days.
QList<Row> intenseRows(const Station& s) {
    QList<Row> rows;
    const QList<Day> days = simulate(s);
    Rng rng(quint64(s.info.code) * 104729u + 3u);
    for (int year = kFirstYear; year <= kLastYear; ++year) {
        if (year == s.missingIntenseYear)
            continue;
        QList<const Day*> yd;
        for (const Day& d : days)
            if (d.date.year() == year)
                yd.append(&d);
        Row r{s.info.code, s.info.name, year};
        // 1..5-day windows
        double best[6] = {0, 0, 0, 0, 0, 0};
        QDate when[6];
        for (int w = 1; w <= 5; ++w) {
            for (int i = 0; i + w <= yd.size(); ++i) {
                double sum = 0;
                for (int k = 0; k < w; ++k)
                    sum += std::isnan(yd[i + k]->pioggia) ? 0 : yd[i + k]->pioggia;
                if (sum > best[w] + 1e-9) {
                    best[w] = round1(sum);
                    when[w] = yd[i]->date;
                }
            }
        }
        // Hourly maxima: a storm on the wettest day, the short bursts from the wettest summer day.
        const QDateTime storm(when[1], QTime(rng.range(0, 23), 0));
        QDate summerDay = when[1];
        double summerRain = 0;
        for (const Day* d : yd)
            if (d->date.month() >= 6 && d->date.month() <= 9 && !std::isnan(d->pioggia) &&
                d->pioggia > summerRain) {
                summerRain = d->pioggia;
                summerDay = d->date;
            }
        double venhh = round1(best[1] * (1.0 + 0.15 * rng.uniform()));
        double dodhh = round1(venhh * (0.75 + 0.15 * rng.uniform()));
        double seihh = round1(dodhh * (0.7 + 0.15 * rng.uniform()));
        double trehh = round1(seihh * (0.7 + 0.15 * rng.uniform()));
        double unhh = round1(trehh * (0.5 + 0.2 * rng.uniform()));
        QDateTime shortWhen = storm;
        if (summerRain * 0.6 > unhh) {
            unhh = round1(std::min(summerRain * 0.6, trehh));
            shortWhen = QDateTime(summerDay, QTime(rng.range(13, 19), 0));
        }
        const bool hourlyLost = rng.uniform() < 0.05;  // recorder out of order that year
        auto amount = [&](double v) { return hourlyLost ? QVariant() : QVariant(v); };
        auto at = [&](const QDateTime& t) { return hourlyLost ? QVariant() : QVariant(t); };
        r << amount(unhh) << at(shortWhen) << amount(trehh) << at(shortWhen) << amount(seihh) << at(storm)
          << amount(dodhh) << at(storm) << amount(venhh) << at(storm);
        for (int w = 1; w <= 5; ++w)
            r << best[w] << QDateTime(when[w].isValid() ? when[w] : QDate(year, 1, 1), QTime(0, 0));
        rows.append(r);
    }
    return rows;
}

QList<Column> monthlyColumns() {
    QList<Column> c{
        {"codstaz", ColumnType::Long}, {"anno", ColumnType::Integer}, {"parametro", ColumnType::Text, 60}};
    const char* months[] = {"gennaio", "febbraio", "marzo",     "aprile",  "maggio",   "giugno",
                            "luglio",  "agosto",   "settembre", "ottobre", "novembre", "dicembre"};
    for (const char* m : months)
        c.append({m, ColumnType::Double});
    return c;
}

// Monthly statistics computed from the station's own daily values; a month with more than ten
// days missing gets no value.
QList<Row> monthlyRows(const Station& s) {
    QList<Row> rows;
    const QList<Day> days = simulate(s);
    struct Param {
        QString name;
        std::function<double(const Day&)> get;
        enum { Sum, Mean, Count, Max } kind;
    };
    QList<Param> params{
        {QStringLiteral("Pioggia totale mm"), [](const Day& d) { return d.pioggia; }, Param::Sum},
        {QStringLiteral("Giorni piovosi"), [](const Day& d) { return d.pioggia; }, Param::Count},
        {QStringLiteral("Temperatura media °C"), [](const Day& d) { return d.tmed; }, Param::Mean},
        {QStringLiteral("Temperatura massima media °C"), [](const Day& d) { return d.tmax; }, Param::Mean},
        {QStringLiteral("Temperatura minima media °C"), [](const Day& d) { return d.tmin; }, Param::Mean},
    };
    if (s.hasHumidity)
        params.append(
            {QStringLiteral("Umidità relativa media %"), [](const Day& d) { return d.umid; }, Param::Mean});
    if (s.hasRadiation)
        params.append({QStringLiteral("Radiazione globale media MJ/MQ"), [](const Day& d) { return d.rad; },
                       Param::Mean});
    if (s.hasSnow)
        params.append(
            {QStringLiteral("Neve al suolo massima cm"), [](const Day& d) { return d.neve; }, Param::Max});
    // Days are in date order: the index where each month starts (and one past the end).
    QList<int> monthStart;
    for (int i = 0; i < days.size(); ++i)
        if (days[i].date.day() == 1)
            monthStart.append(i);
    monthStart.append(int(days.size()));
    for (int year = kFirstYear; year <= kLastYear; ++year) {
        for (const Param& p : params) {
            Row r{s.info.code, year, p.name};
            for (int m = 1; m <= 12; ++m) {
                double sum = 0, mx = 0;
                int n = 0, missing = 0, count = 0;
                const int first = monthStart[(year - kFirstYear) * 12 + m - 1];
                const int last = monthStart[(year - kFirstYear) * 12 + m];
                for (int i = first; i < last; ++i) {
                    const Day& d = days[i];
                    double v = p.get(d);
                    if (std::isnan(v)) {
                        ++missing;
                        continue;
                    }
                    sum += v;
                    mx = n == 0 ? v : std::max(mx, v);
                    ++n;
                    if (v >= 1.0)
                        ++count;
                }
                if (missing > 10 || n == 0) {
                    r << QVariant();
                    continue;
                }
                double v = p.kind == Param::Sum     ? sum
                           : p.kind == Param::Mean  ? sum / n
                           : p.kind == Param::Count ? count
                                                    : mx;
                r << round1(v);
            }
            rows.append(r);
        }
    }
    return rows;
}

}  // namespace

namespace {

// The station registry, one row per station.
void addRegistry(jetwriter::Database& db, const QList<Station>& all) {
    QList<Row> registry;
    for (const Station& s : all)
        registry.append(Row{s.info.code, s.info.name, s.comune, s.provincia, s.quota, s.validita, s.utmX,
                            s.utmY, s.localita, s.bacino, s.tipo, s.latitudine, s.longitudine});
    db.addTable(QStringLiteral("anagrafica compl"),
                {{"Codstaz", ColumnType::Long},
                 {"Denominazione", ColumnType::Text, 50},
                 {"Comune", ColumnType::Text, 50},
                 {"Provincia", ColumnType::Text, 2},
                 {"Quota", ColumnType::Long},
                 {"Data validità", ColumnType::DateTime},
                 {"UTM X", ColumnType::Double},
                 {"UTM Y", ColumnType::Double},
                 {"Indirizzo_localita", ColumnType::Text, 100},
                 {"BACINO", ColumnType::Text, 50},
                 {"tipo staz", ColumnType::Text, 50},
                 {"Latitudine N", ColumnType::Text, 20},
                 {"Longitudine W", ColumnType::Text, 20}},
                registry);
}

// The daily values, the intense rainfall and the monthly summaries.
void addSeries(jetwriter::Database& db, const QList<Station>& all) {
    db.addTable(QStringLiteral("database1"), dailyColumns(), dailySource(all));

    QList<Row> intense;
    for (const Station& s : all)
        if (s.info.hasIntenseRows)
            intense.append(intenseRows(s));
    db.addTable(QStringLiteral("piog9099"), intenseColumns(), intense);

    QList<Row> monthly;
    for (const Station& s : all)
        if (s.info.hasMonthly)
            monthly.append(monthlyRows(s));
    db.addTable(QStringLiteral("mensili"), monthlyColumns(), monthly);
}

// The lists the search windows choose from: stations, years, months, days; as tables or, with
// `lookupsAsQueries`, as stored queries over small tables of their own.
void addLists(jetwriter::Database& db, const QList<Station>& all, const Options& options) {
    // Station lists in name order (the two "San Michele" next to each other).
    auto byName = [&](bool daily) {
        QList<const Station*> ss;
        for (const Station& s : all)
            if (daily ? s.info.inDailyList : s.info.inIntenseList)
                ss.append(&s);
        std::stable_sort(ss.begin(), ss.end(), [](const Station* a, const Station* b) {
            return QString::localeAwareCompare(a->info.name, b->info.name) < 0;
        });
        QList<Row> rows;
        for (const Station* s : ss)
            rows.append(Row{s->info.name, s->info.code});
        return rows;
    };
    const QList<Column> listCols{{"NomeStaz", ColumnType::Text, 50}, {"codstaz", ColumnType::Long}};
    QList<Row> years, months, days;
    for (int y = kFirstYear; y <= kLastYear; ++y)
        years.append(Row{y});
    const char* monthNames[] = {"Gennaio", "Febbraio", "Marzo",     "Aprile",  "Maggio",   "Giugno",
                                "Luglio",  "Agosto",   "Settembre", "Ottobre", "Novembre", "Dicembre"};
    for (int m = 1; m <= 12; ++m)
        months.append(Row{m, QString::fromLatin1(monthNames[m - 1])});
    for (int g = 1; g <= 31; ++g)
        days.append(Row{g});
    const QList<Column> monthCols{{"mese", ColumnType::Integer}, {"TESTO", ColumnType::Text, 20}};
    if (options.lookupsAsQueries) {
        // The lists come from stored queries over small tables of their own.
        db.addTable(QStringLiteral("elenco giornaliere"), listCols, byName(true));
        db.addTable(QStringLiteral("elenco intense"), listCols, byName(false));
        db.addTable(QStringLiteral("mesi"), monthCols, months);
        db.addQuery(QStringLiteral("Anagraficab"),
                    QStringLiteral("SELECT [elenco giornaliere].NomeStaz, [elenco giornaliere].codstaz "
                                   "FROM [elenco giornaliere]"));
        db.addQuery(QStringLiteral("anagraficaa"),
                    QStringLiteral(
                        "SELECT [elenco intense].NomeStaz, [elenco intense].codstaz FROM [elenco intense]"));
        db.addQuery(QStringLiteral("Anno"),
                    QStringLiteral("SELECT DISTINCT database1.Anno FROM database1 ORDER BY database1.Anno"));
        db.addQuery(
            QStringLiteral("Mese"),
            QStringLiteral("SELECT mesi.mese, mesi.TESTO FROM mesi WHERE mesi.mese >= 1 ORDER BY mesi.mese"));
        db.addQuery(
            QStringLiteral("Giorno"),
            QStringLiteral("SELECT DISTINCT database1.Giorno FROM database1 ORDER BY database1.Giorno"));
    } else {
        db.addTable(QStringLiteral("Anagraficab"), listCols, byName(true));
        db.addTable(QStringLiteral("anagraficaa"), listCols, byName(false));
        db.addTable(QStringLiteral("Anno"), {{"Anno", ColumnType::Integer}}, years);
        db.addTable(QStringLiteral("Mese"), monthCols, months);
        db.addTable(QStringLiteral("Giorno"), {{"Giorno", ColumnType::Integer}}, days);
    }
}

void addHelp(jetwriter::Database& db, const QList<Station>& all) {
    Row help;
    QList<Column> helpCols;
    for (int i = 0; i < 5; ++i) {
        helpCols.append({QStringLiteral("help%1").arg(i), ColumnType::Memo});
        help.append(helpText(i, all));
    }
    db.addTable(QStringLiteral("help"), helpCols, QList<Row>{help});
}

}  // namespace

bool writeSample(const QString& folder, const Options& options, QString* error) {
    if (!QDir().mkpath(folder)) {
        if (error)
            *error = QStringLiteral("impossibile creare la cartella %1").arg(folder);
        return false;
    }
    const QList<Station> all = buildStations(options);
    jetwriter::Database db(options.version);
    // In this order: the tables' places in the file follow it.
    addRegistry(db, all);
    addSeries(db, all);
    addLists(db, all, options);
    addHelp(db, all);

    QString err;
    if (!db.write(QDir(folder).filePath(QStringLiteral("orbeni.mdb")), &err)) {
        if (error)
            *error = err;
        return false;
    }
    if (options.pictures && !writePictures(folder, all, &err)) {
        if (error)
            *error = err;
        return false;
    }
    return true;
}

}  // namespace samplegen
