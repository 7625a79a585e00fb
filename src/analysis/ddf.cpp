#include "analysis/ddf.h"

#include <algorithm>
#include <cmath>

namespace analysis {

namespace {

DurationFit fitDuration(const std::vector<YearMaxima>& years, int d, GumbelMethod method) {
    DurationFit fit;
    fit.present = true;
    for (const YearMaxima& y : years) {
        // A missing maximum leaves that year out of this duration only.
        if (y.values[d] && std::isfinite(*y.values[d])) {
            fit.years.push_back(y.year);
            fit.values.push_back(*y.values[d]);
        }
    }
    fit.stats = sampleStats(fit.values);
    const int n = fit.stats.count;
    if (n < kMinimumYears) {
        fit.reason = QStringLiteral("%1 anni con un valore: ne servono almeno %2").arg(n).arg(kMinimumYears);
        return fit;
    }
    fit.gumbel = fitGumbel(fit.stats, method);
    if (!fit.gumbel) {
        fit.reason = QStringLiteral(
                         "i %1 valori sono tutti uguali: senza dispersione la distribuzione "
                         "non si può adattare")
                         .arg(n);
        return fit;
    }
    for (int i = 0; i < kReturnPeriodCount; ++i) {
        fit.quantiles[i] = gumbelQuantile(*fit.gumbel, kReturnPeriods[i]);
    }
    fit.ks = kolmogorovSmirnov(fit.values, *fit.gumbel);
    fit.chi = chiSquare(fit.values, *fit.gumbel);
    return fit;
}

PowerLaw curveOf(const std::array<DurationFit, kDurations>& fits, bool days, int period) {
    std::vector<double> t;
    std::vector<double> h;
    for (int d = 0; d < kDurations; ++d) {
        if (kDurationList[d].days == days && fits[d].gumbel) {
            t.push_back(kDurationList[d].length);
            h.push_back(fits[d].quantiles[period]);
        }
    }
    return fitPowerLaw(t, h);
}

}  // namespace

PowerLaw fitPowerLaw(const std::vector<double>& t, const std::vector<double>& h) {
    PowerLaw p;
    p.points = static_cast<int>(t.size());
    if (p.points < kMinimumDurations) {
        p.reason =
            QStringLiteral("%1 durate adattate: ne servono almeno %2").arg(p.points).arg(kMinimumDurations);
        return p;
    }
    std::vector<double> x;
    std::vector<double> y;
    for (int i = 0; i < p.points; ++i) {
        if (!(h[i] > 0) || !(t[i] > 0)) {
            p.reason = QStringLiteral("un'altezza non positiva non ha logaritmo");
            return p;
        }
        x.push_back(std::log(t[i]));
        y.push_back(std::log(h[i]));
    }
    double mx = 0;
    double my = 0;
    for (int i = 0; i < p.points; ++i) {
        mx += x[i];
        my += y[i];
    }
    mx /= p.points;
    my /= p.points;
    double sxx = 0;
    double sxy = 0;
    double syy = 0;
    for (int i = 0; i < p.points; ++i) {
        sxx += (x[i] - mx) * (x[i] - mx);
        sxy += (x[i] - mx) * (y[i] - my);
        syy += (y[i] - my) * (y[i] - my);
    }
    if (!(sxx > 0) || !(syy > 0)) {
        p.reason = QStringLiteral("altezze tutte uguali: nessuna pendenza da stimare");
        return p;
    }
    p.valid = true;
    p.n = sxy / sxx;
    p.a = std::exp(my - p.n * mx);
    p.r2 = sxy * sxy / (sxx * syy);
    return p;
}

bool DdfAnalysis::anyPresent(bool inDays) const {
    for (int d = 0; d < kDurations; ++d) {
        if (kDurationList[d].days == inDays && fits[d].present) {
            return true;
        }
    }
    return false;
}

DdfAnalysis analyseDdf(const std::vector<YearMaxima>& years, const std::array<bool, kDurations>& present,
                       GumbelMethod method) {
    DdfAnalysis a;
    a.method = method;
    for (const YearMaxima& y : years) {
        bool any = false;
        for (int d = 0; d < kDurations; ++d) {
            any = any || (present[d] && y.values[d] && std::isfinite(*y.values[d]));
        }
        if (any) {
            a.firstYear = a.firstYear == 0 ? y.year : std::min(a.firstYear, y.year);
            a.lastYear = std::max(a.lastYear, y.year);
        }
    }
    for (int d = 0; d < kDurations; ++d) {
        if (present[d]) {
            a.fits[d] = fitDuration(years, d, method);
        }
    }
    for (int i = 0; i < kReturnPeriodCount; ++i) {
        a.hours[i] = curveOf(a.fits, false, i);
        a.days[i] = curveOf(a.fits, true, i);
    }
    return a;
}

QString checkYears(const std::vector<YearMaxima>& years) {
    std::vector<int> seen;
    for (const YearMaxima& y : years) {
        seen.push_back(y.year);
    }
    std::sort(seen.begin(), seen.end());
    const auto twice = std::adjacent_find(seen.begin(), seen.end());
    if (twice != seen.end()) {
        // Two rows of one year: two stations under one name, or a damaged table. Either way the
        // years are not one station's series.
        return QStringLiteral(
                   "L'anno %1 compare in più righe: le righe non sono la serie di una sola "
                   "stazione.")
            .arg(*twice);
    }
    return QString();
}

QString methodName(GumbelMethod method) {
    return method == GumbelMethod::Moments ? QStringLiteral("metodo dei momenti")
                                           : QStringLiteral("metodo degli L-momenti");
}

}  // namespace analysis
