#include "analysis/climateindices.h"

#include <algorithm>

namespace analysis {

const std::array<IndexSpec, kClimateIndices>& climateIndices() {
    static const std::array<IndexSpec, kClimateIndices> specs = {{
        {PRCPTOT, Rain, "PRCPTOT", "mm", "Pioggia totale dell'anno nei giorni piovosi (pioggia ≥ 1 mm)", 1},
        {Rx1day, Rain, "Rx1day", "mm", "Pioggia massima in un giorno dell'anno", 1},
        {Rx5day, Rain, "Rx5day", "mm",
         "Pioggia massima in 5 giorni consecutivi, contata nell'anno dell'ultimo dei cinque giorni; "
         "non si usano finestre con un giorno mancante",
         1},
        {SDII, Rain, "SDII", "mm/giorno",
         "Intensità semplice: la pioggia dei giorni piovosi (≥ 1 mm) divisa per il loro numero (0 "
         "senza giorni piovosi)",
         1},
        {R10mm, Rain, "R10mm", "giorni", "Giorni con pioggia ≥ 10 mm", 0},
        {R20mm, Rain, "R20mm", "giorni", "Giorni con pioggia ≥ 20 mm", 0},
        {CDD, Rain, "CDD", "giorni",
         "Massimo numero di giorni asciutti consecutivi (pioggia < 1 mm); un periodo a cavallo di due "
         "anni conta intero nell'anno in cui finisce",
         0},
        {CWD, Rain, "CWD", "giorni",
         "Massimo numero di giorni piovosi consecutivi (pioggia ≥ 1 mm); un periodo a cavallo di due "
         "anni conta intero nell'anno in cui finisce",
         0},
        {TXx, TempMax, "TXx", "°C", "Valore massimo della temperatura massima giornaliera", 1},
        {ID, TempMax, "ID", "giorni", "Giorni di ghiaccio: temperatura massima < 0 °C", 0},
        {SU, TempMax, "SU", "giorni", "Giorni estivi: temperatura massima > 25 °C", 0},
        {TNn, TempMin, "TNn", "°C", "Valore minimo della temperatura minima giornaliera", 1},
        {FD, TempMin, "FD", "giorni", "Giorni di gelo: temperatura minima < 0 °C", 0},
        {TR, TempMin, "TR", "giorni", "Notti tropicali: temperatura minima > 20 °C", 0},
    }};
    return specs;
}

std::vector<double> longestSpells(const std::vector<double>& values, const std::vector<int>& periods,
                                  int count, double threshold, bool atLeast) {
    std::vector<double> best(size_t(count), 0);
    std::vector<bool> allIn(size_t(count), true);
    const size_t n = values.size();
    int run = 0;
    for (size_t i = 0; i < n; ++i) {
        const double v = values[i];
        const bool in = !missing(v) && (atLeast ? v >= threshold : v < threshold);
        const size_t p = size_t(periods[i]);
        if (!in) {
            allIn[p] = false;
            run = 0;
            continue;
        }
        ++run;
        const bool ends = i + 1 == n || missing(values[i + 1]) ||
                          !(atLeast ? values[i + 1] >= threshold : values[i + 1] < threshold);
        if (ends) {
            best[p] = std::max(best[p], double(run));
        }
    }
    for (size_t p = 0; p < size_t(count); ++p) {
        if (best[p] == 0 && allIn[p]) {
            best[p] = kMissing;  // inside a spell that ends later: counted there
        }
    }
    return best;
}

std::vector<double> largestSums(const std::vector<double>& values, const std::vector<int>& periods, int count,
                                int n) {
    std::vector<double> best(size_t(count), kMissing);
    int present = 0;  // values present among the last n
    for (size_t i = 0; i < values.size(); ++i) {
        if (!missing(values[i])) {
            ++present;
        }
        if (i >= size_t(n) && !missing(values[i - size_t(n)])) {
            --present;
        }
        if (present == n) {
            // Summed afresh: a running sum would carry rounding from days long gone.
            double exact = 0;
            for (size_t k = i + 1 - size_t(n); k <= i; ++k) {
                exact += values[k];
            }
            double& b = best[size_t(periods[i])];
            b = missing(b) ? exact : std::max(b, exact);
        }
    }
    return best;
}

namespace {

Figure valueFigure(double v) {
    Figure f;
    f.status = missing(v) ? Status::Forbidden : Status::Computed;
    f.value = v;
    return f;
}

// One temperature's three indices: its extreme (the highest maximum, the lowest minimum), the days
// below 0 °C and the days above a threshold.
struct TemperatureIndices {
    ClimateIndex extreme, belowZero, above;
    double threshold;
    bool highest;
};

void temperatureIndices(const DailySeries& s, Quantity q, int first, int days, const TemperatureIndices& t,
                        YearIndices& y) {
    if (!s.has(q)) {
        return;
    }
    double extreme = kMissing;
    int below = 0, above = 0;
    const double* v = s.values(q).data() + first;
    for (int i = 0; i < days; ++i) {
        if (missing(v[i])) {
            continue;
        }
        extreme = missing(extreme) ? v[i] : t.highest ? std::max(extreme, v[i]) : std::min(extreme, v[i]);
        below += v[i] < 0 ? 1 : 0;
        above += v[i] > t.threshold ? 1 : 0;
    }
    y.values[t.extreme] = valueFigure(extreme);
    y.values[t.belowZero] = valueFigure(below);
    y.values[t.above] = valueFigure(above);
}

// The indices that reduce one year's days, rain's and then each temperature's.
void dailyIndices(const DailySeries& s, int first, int days, YearIndices& y) {
    if (s.has(Rain)) {
        double total = 0, largest = kMissing;
        int wet = 0, r10 = 0, r20 = 0;
        const double* v = s.values(Rain).data() + first;
        for (int i = 0; i < days; ++i) {
            if (missing(v[i])) {
                continue;
            }
            if (v[i] >= kRainDay) {
                total += v[i];
                ++wet;
            }
            r10 += v[i] >= 10 ? 1 : 0;
            r20 += v[i] >= 20 ? 1 : 0;
            largest = missing(largest) ? v[i] : std::max(largest, v[i]);
        }
        y.values[PRCPTOT] = valueFigure(total);
        y.values[Rx1day] = valueFigure(largest);
        y.values[SDII] = valueFigure(wet > 0 ? total / wet : 0);
        y.values[R10mm] = valueFigure(r10);
        y.values[R20mm] = valueFigure(r20);
    }
    temperatureIndices(s, TempMax, first, days, {TXx, ID, SU, 25, true}, y);
    temperatureIndices(s, TempMin, first, days, {TNn, FD, TR, 20, false}, y);
}

}  // namespace

std::vector<YearIndices> climateIndicesByYear(const DailySeries& s) {
    std::vector<YearIndices> out;
    if (s.empty()) {
        return out;
    }
    const int years = s.lastYear() - s.firstYear() + 1;
    std::vector<int> periods(size_t(s.dayCount()));
    for (int i = 0; i < s.dayCount(); ++i) {
        periods[size_t(i)] = s.date(i).year() - s.firstYear();
    }
    std::vector<double> cdd, cwd, rx5;
    if (s.has(Rain)) {
        cdd = longestSpells(s.values(Rain), periods, years, kRainDay, false);
        cwd = longestSpells(s.values(Rain), periods, years, kRainDay, true);
        rx5 = largestSums(s.values(Rain), periods, years, 5);
    }
    for (int p = 0; p < years; ++p) {
        const int year = s.firstYear() + p;
        const int first = s.indexOf(QDate(year, 1, 1));
        const int days = QDate(year, 1, 1).daysInYear();
        YearIndices y;
        y.year = year;
        bool anyRow = false;
        for (int i = 0; i < days && !anyRow; ++i) {
            anyRow = s.hasRow(first + i);
        }
        if (!anyRow) {
            continue;
        }
        for (Quantity q : kIndexQuantities) {
            y.daysInYear[q] = days;
            if (s.has(q)) {
                const double* v = s.values(q).data() + first;
                y.withData[q] = int(std::count_if(v, v + days, [](double x) { return !missing(x); }));
            }
        }
        dailyIndices(s, first, days, y);
        if (s.has(Rain)) {
            y.values[CDD] = valueFigure(cdd[size_t(p)]);
            y.values[CWD] = valueFigure(cwd[size_t(p)]);
            y.values[Rx5day] = valueFigure(rx5[size_t(p)]);
        }
        for (const IndexSpec& spec : climateIndices()) {
            Figure& f = y.values[spec.index];
            f.missing = days - y.withData[spec.quantity];
            if (f.status != Status::Absent && f.missing > kMaxMissingInYear) {
                f.status = Status::Forbidden;
                f.value = kMissing;
            }
        }
        out.push_back(y);
    }
    return out;
}

}  // namespace analysis
