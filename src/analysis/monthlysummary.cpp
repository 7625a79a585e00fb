#include "analysis/monthlysummary.h"

#include <algorithm>

namespace analysis {

const std::array<FigureSpec, kMonthlyFigures>& monthlyFigures() {
    static const std::array<FigureSpec, kMonthlyFigures> specs = {{
        {RainTotal, Rain, Rule::Total, Reduce::Sum, 0, false},
        {RainDays, Rain, Rule::Total, Reduce::CountAtLeast, kRainDay, false},
        {RainMax, Rain, Rule::Mean, Reduce::Max, 0, true},
        {TempMaxMean, TempMax, Rule::Mean, Reduce::Mean, 0, false},
        {TempMinMean, TempMin, Rule::Mean, Reduce::Mean, 0, false},
        {TempMeanMean, TempMean, Rule::Mean, Reduce::Mean, 0, false},
        {TempMaxHighest, TempMax, Rule::Mean, Reduce::Max, 0, true},
        {TempMinLowest, TempMin, Rule::Mean, Reduce::Min, 0, true},
        {HumidityMean, Humidity, Rule::Mean, Reduce::Mean, 0, false},
        {WindMean, Wind, Rule::Mean, Reduce::Mean, 0, false},
        {SnowDays, Snow, Rule::Total, Reduce::CountAbove, 0, false},
    }};
    return specs;
}

namespace {

// Reduces the values present; `index` receives the first day of an extreme.
double reduce(const FigureSpec& spec, const double* v, int days, int* index) {
    double acc = 0;
    int count = 0;
    *index = -1;
    for (int i = 0; i < days; ++i) {
        const double x = v[i];
        if (missing(x)) {
            continue;
        }
        ++count;
        switch (spec.reduce) {
            case Reduce::Sum:
            case Reduce::Mean:
                acc += x;
                break;
            case Reduce::CountAtLeast:
                acc += x >= spec.threshold ? 1 : 0;
                break;
            case Reduce::CountAbove:
                acc += x > spec.threshold ? 1 : 0;
                break;
            case Reduce::Max:
            case Reduce::Min:
                if (*index < 0 || (spec.reduce == Reduce::Max ? x > acc : x < acc)) {
                    acc = x;
                    *index = i;
                }
                break;
        }
    }
    return spec.reduce == Reduce::Mean ? acc / count : acc;
}

}  // namespace

Figure monthlyFigure(const DailySeries& series, const FigureSpec& spec, int first, int days) {
    Figure f;
    if (!series.has(spec.quantity)) {
        return f;
    }
    const double* v = series.values(spec.quantity).data() + first;
    int run = 0;
    for (int i = 0; i < days; ++i) {
        if (missing(v[i])) {
            ++f.missing;
            f.longestGap = std::max(f.longestGap, ++run);
        } else {
            run = 0;
        }
    }
    const bool allowed = spec.rule == Rule::Total
                             ? f.missing == 0
                             : f.missing <= kMaxMissingDays && f.longestGap <= kMaxConsecutiveMissing;
    if (!allowed || f.missing == days) {
        f.status = Status::Forbidden;
        return f;
    }
    int index = -1;
    f.value = reduce(spec, v, days, &index);
    if (spec.dated) {
        f.date = series.date(first + index);
    }
    f.status = Status::Computed;
    return f;
}

std::vector<MonthSummary> monthlySummaries(const DailySeries& series) {
    std::vector<MonthSummary> out;
    if (series.empty()) {
        return out;
    }
    for (int year = series.firstYear(); year <= series.lastYear(); ++year) {
        for (int month = 1; month <= 12; ++month) {
            const QDate start(year, month, 1);
            const int first = series.indexOf(start);
            const int days = start.daysInMonth();
            bool anyRow = false;
            for (int i = 0; i < days && !anyRow; ++i) {
                anyRow = series.hasRow(first + i);
            }
            if (!anyRow) {
                continue;
            }
            MonthSummary m;
            m.year = year;
            m.month = month;
            m.days = days;
            for (int q = 0; q < kQuantities; ++q) {
                if (series.has(Quantity(q))) {
                    const double* v = series.values(Quantity(q)).data() + first;
                    m.withData[size_t(q)] =
                        int(std::count_if(v, v + days, [](double x) { return !missing(x); }));
                }
            }
            for (const FigureSpec& spec : monthlyFigures()) {
                m.figures[spec.figure] = monthlyFigure(series, spec, first, days);
            }
            out.push_back(m);
        }
    }
    return out;
}

namespace {

// A yearly figure from twelve monthly ones, all computed; otherwise none.
Figure yearFigure(const FigureSpec& spec, const std::array<const Figure*, 12>& months) {
    Figure f;
    for (const Figure* m : months) {
        if (!m || !m->computed()) {
            ++f.missing;
        }
    }
    if (f.missing > 0) {
        f.status = Status::Forbidden;
        return f;
    }
    double acc = 0;
    for (const Figure* m : months) {
        const bool better = f.date.isNull() || (spec.reduce == Reduce::Max ? m->value > acc : m->value < acc);
        switch (spec.reduce) {
            case Reduce::Max:
            case Reduce::Min:
                if (better) {
                    acc = m->value;
                    f.date = m->date;
                }
                break;
            default:
                acc += m->value;
        }
    }
    f.value = spec.reduce == Reduce::Mean ? acc / 12 : acc;
    f.status = Status::Computed;
    return f;
}

}  // namespace

std::vector<YearSummary> yearlySummaries(const DailySeries& series, const std::vector<MonthSummary>& months) {
    std::vector<YearSummary> out;
    if (series.empty()) {
        return out;
    }
    for (int year = series.firstYear(); year <= series.lastYear(); ++year) {
        YearSummary y;
        y.year = year;
        std::array<const MonthSummary*, 12> of{};
        for (const MonthSummary& m : months) {
            if (m.year == year) {
                of[size_t(m.month - 1)] = &m;
                ++y.monthsWithRows;
            }
        }
        if (y.monthsWithRows == 0) {
            continue;
        }
        for (const FigureSpec& spec : monthlyFigures()) {
            std::array<const Figure*, 12> figures{};
            for (int i = 0; i < 12; ++i) {
                figures[size_t(i)] = of[size_t(i)] ? &of[size_t(i)]->figures[spec.figure] : nullptr;
            }
            y.figures[spec.figure] = series.has(spec.quantity) ? yearFigure(spec, figures) : Figure{};
        }
        out.push_back(y);
    }
    return out;
}

std::array<MonthNormal, 12> monthNormals(const std::vector<MonthSummary>& months) {
    std::array<MonthNormal, 12> out;
    for (int i = 0; i < 12; ++i) {
        out[size_t(i)].month = i + 1;
    }
    for (const MonthSummary& m : months) {
        MonthNormal& n = out[size_t(m.month - 1)];
        for (int f = 0; f < kMonthlyFigures; ++f) {
            const Figure& src = m.figures[size_t(f)];
            Figure& dst = n.figures[size_t(f)];
            if (src.status == Status::Absent) {
                continue;
            }
            if (dst.status == Status::Absent) {
                dst = Figure{Status::Forbidden, 0, QDate(), 0, 0};
            }
            if (src.computed()) {
                dst.value += src.value;
                ++n.years[size_t(f)];
            } else {
                ++dst.missing;  // years the month was not computed in
            }
        }
    }
    for (MonthNormal& n : out) {
        for (int f = 0; f < kMonthlyFigures; ++f) {
            Figure& dst = n.figures[size_t(f)];
            if (n.years[size_t(f)] > 0) {
                dst.value /= n.years[size_t(f)];
                dst.status = Status::Computed;
            } else if (dst.status == Status::Forbidden) {
                dst.value = kMissing;
            }
        }
    }
    return out;
}

}  // namespace analysis
