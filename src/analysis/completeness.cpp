#include "analysis/completeness.h"

namespace analysis {

std::array<QuantitySpan, kQuantities> quantitySpans(const DailySeries& series) {
    std::array<QuantitySpan, kQuantities> out{};
    for (int q = 0; q < kQuantities; ++q) {
        if (!series.has(Quantity(q))) {
            continue;
        }
        QuantitySpan& span = out[size_t(q)];
        const std::vector<double>& v = series.values(Quantity(q));
        int last = -1;
        for (int i = 0; i < int(v.size()); ++i) {
            if (missing(v[size_t(i)])) {
                continue;
            }
            if (last < 0) {
                span.first = series.date(i);
            } else if (i - last - 1 > span.longestGap) {
                span.longestGap = i - last - 1;
                span.gapStart = series.date(last + 1);
            }
            last = i;
            ++span.daysWithData;
        }
        span.any = last >= 0;
        if (span.any) {
            span.last = series.date(last);
        }
    }
    return out;
}

}  // namespace analysis
