#include "analysis/extremes.h"

#include <boost/math/constants/constants.hpp>
#include <boost/math/distributions/extreme_value.hpp>

#include <algorithm>
#include <cmath>

namespace analysis {

namespace {

boost::math::extreme_value_distribution<double> distribution(const Gumbel& g) {
    return boost::math::extreme_value_distribution<double>(g.u, 1.0 / g.alpha);
}

}  // namespace

SampleStats sampleStats(std::vector<double> values) {
    SampleStats s;
    s.count = static_cast<int>(values.size());
    if (values.empty()) {
        return s;
    }
    std::sort(values.begin(), values.end());
    const double n = s.count;
    double sum = 0;
    double b1 = 0;
    for (int i = 0; i < s.count; ++i) {
        sum += values[i];
        if (s.count > 1) {
            b1 += values[i] * i / (n - 1);
        }
    }
    s.mean = sum / n;
    b1 /= n;
    double squares = 0;
    for (double v : values) {
        squares += (v - s.mean) * (v - s.mean);
    }
    // Equal values have no spread at all: rounding in the sums must not invent one.
    const bool equal = values.front() == values.back();
    s.sd = s.count > 1 && !equal ? std::sqrt(squares / (n - 1)) : 0;
    s.sdN = equal ? 0 : std::sqrt(squares / n);
    s.lambda1 = s.mean;
    s.lambda2 = equal ? 0 : 2 * b1 - s.mean;
    return s;
}

std::optional<Gumbel> fitGumbel(const SampleStats& sample, GumbelMethod method) {
    using boost::math::constants::euler;
    using boost::math::constants::pi;
    const double spread = method == GumbelMethod::Moments ? sample.sd : sample.lambda2;
    if (sample.count < 2 || !(spread > 0)) {
        return std::nullopt;
    }
    Gumbel g;
    g.alpha = method == GumbelMethod::Moments ? pi<double>() / (sample.sd * std::sqrt(6.0))
                                              : std::log(2.0) / sample.lambda2;
    g.u = sample.mean - euler<double>() / g.alpha;
    return g;
}

Gumbel gumbelFromMoments(double mean, double sd, double k, double c) {
    Gumbel g;
    g.alpha = k / sd;
    g.u = mean - c * sd;
    return g;
}

double reducedVariate(double probability) {
    return -std::log(-std::log(probability));
}

double weibullPosition(int i, int n) {
    return double(i) / (n + 1);
}

double gumbelQuantile(const Gumbel& g, double returnPeriod) {
    return boost::math::quantile(distribution(g), 1.0 - 1.0 / returnPeriod);
}

double gumbelCdf(const Gumbel& g, double x) {
    return boost::math::cdf(distribution(g), x);
}

}  // namespace analysis
