// Annual maxima and the Gumbel (EV1) distribution fitted to them.
#pragma once

#include <optional>
#include <vector>

namespace analysis {

// The sample of one series, the values already without the missing ones.
struct SampleStats {
    int count = 0;
    double mean = 0;
    double sd = 0;       // with N - 1 in the denominator, as statistics libraries give it
    double sdN = 0;      // with N, as some course notes compute it
    double lambda1 = 0;  // first two sample L-moments (unbiased probability-weighted moments)
    double lambda2 = 0;
};

SampleStats sampleStats(std::vector<double> values);

enum class GumbelMethod { Moments, LMoments };

// F(x) = exp(-exp(-alpha (x - u))).
struct Gumbel {
    double alpha = 0;
    double u = 0;
};

// No fit when the sample cannot give one (fewer than two values, or no spread).
std::optional<Gumbel> fitGumbel(const SampleStats& sample, GumbelMethod method);

// A Gumbel distribution from given parameters of the moment fit: α = k / s, u = m − c·s. The fit
// above uses k = π/√6 and c = γ·√6/π exactly; worked examples often round them (1.283, 0.45).
Gumbel gumbelFromMoments(double mean, double sd, double k, double c);

// The reduced variate y = −ln(−ln F) of a probability of non-exceedance.
double reducedVariate(double probability);
// Weibull's plotting position of the i-th of n values in increasing order (1-based): i / (n + 1).
double weibullPosition(int i, int n);

// The value not exceeded with probability 1 - 1/T (T > 1, in years).
double gumbelQuantile(const Gumbel& g, double returnPeriod);
double gumbelCdf(const Gumbel& g, double x);

}  // namespace analysis
