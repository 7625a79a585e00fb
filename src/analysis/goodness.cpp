#include "analysis/goodness.h"

#include <boost/math/distributions/chi_squared.hpp>

#include <algorithm>
#include <cmath>

namespace analysis {

KolmogorovSmirnov kolmogorovSmirnov(std::vector<double> values, const Gumbel& g) {
    KolmogorovSmirnov ks;
    const int n = static_cast<int>(values.size());
    if (n == 0) {
        return ks;
    }
    std::sort(values.begin(), values.end());
    for (int i = 0; i < n; ++i) {
        ks.d = std::max(ks.d, std::abs(gumbelCdf(g, values[i]) - weibullPosition(i + 1, n)));
    }
    const double root = std::sqrt(double(n));
    ks.critical = 1.358 / (root + 0.12 + 0.11 / root);
    return ks;
}

ChiSquare chiSquare(const std::vector<double>& values, const Gumbel& g) {
    ChiSquare chi;
    const int n = static_cast<int>(values.size());
    if (n < kChiSquareMinimum) {
        return chi;
    }
    chi.applicable = true;
    chi.classes = n / 5;
    chi.degrees = chi.classes - 3;
    chi.expected = double(n) / chi.classes;
    chi.observed.assign(chi.classes, 0);
    for (double v : values) {
        // The class of v: F(v) in [j/k, (j+1)/k), the last one closed.
        const int j = static_cast<int>(std::floor(gumbelCdf(g, v) * chi.classes));
        ++chi.observed[std::clamp(j, 0, chi.classes - 1)];
    }
    for (int o : chi.observed) {
        chi.statistic += (o - chi.expected) * (o - chi.expected) / chi.expected;
    }
    chi.critical = boost::math::quantile(boost::math::chi_squared_distribution<double>(chi.degrees), 0.95);
    return chi;
}

}  // namespace analysis
