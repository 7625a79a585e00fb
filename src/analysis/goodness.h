// Goodness of fit of a Gumbel distribution to a sample: Kolmogorov–Smirnov and Pearson's χ², both
// at the 5 % level.
#pragma once

#include "analysis/extremes.h"

#include <vector>

namespace analysis {

struct KolmogorovSmirnov {
    double d = 0;         // max |F(x_i) − i/(N+1)| over the values in increasing order (Weibull)
    double critical = 0;  // 5 %: 1.358 / (√N + 0.12 + 0.11/√N) (Stephens' form, good from N = 5)
    bool accepted() const { return d <= critical; }
};

KolmogorovSmirnov kolmogorovSmirnov(std::vector<double> values, const Gumbel& g);

// Classes equally likely under the fitted distribution, as many as give at least five values
// expected in each (k = N / 5, whole part); degrees of freedom k − 1 − 2 (two fitted parameters).
struct ChiSquare {
    bool applicable = false;  // N ≥ 20: four classes, one degree of freedom
    int classes = 0;
    int degrees = 0;
    double expected = 0;  // values expected in each class, N / k
    std::vector<int> observed;
    double statistic = 0;
    double critical = 0;  // the 95 % quantile of χ² with `degrees` degrees of freedom
    bool accepted() const { return statistic <= critical; }
};

inline constexpr int kChiSquareMinimum = 20;

ChiSquare chiSquare(const std::vector<double>& values, const Gumbel& g);

}  // namespace analysis
