// The two charts of the curve window, described for the chart library: the curves h(t) of every
// return period with the observed maxima, and the Gumbel probability plot of one duration. Every
// number drawn is one the analysis gave; nothing is drawn where it gave none.
#pragma once

#include "analysis/ddf.h"
#include "chart/figure.h"

#include <QString>

namespace intense {

// h = a·tⁿ of every return period on logarithmic axes, a panel over 1–24 hours (t in hours) and
// one over 1–5 days (t in days), each with the quantiles h(T) of its durations and every year's
// observed maximum as points. A group the rows do not hold has no panel; a return period with no
// curve keeps its quantile points and draws no line.
// `subject` names the station and the years ("Monte Vessa - anni 1990-1999").
chart::Figure curveFigure(const analysis::DdfAnalysis& a, const QString& subject);

// The Gumbel probability plot of duration `d`: each year's maximum in increasing order at the
// reduced variate of its Weibull position, y = −ln(−ln(i / (N + 1))); the fitted distribution's
// line h = u + y / α; and its quantiles at the reduced variate of each return period,
// y = −ln(−ln(1 − 1/T)), a point per return period coloured as its curve in curveFigure. With no
// fit only the observed points are drawn.
chart::Figure gumbelFigure(const analysis::DdfAnalysis& a, int d, const QString& subject);

// The durations that have values to plot (those the rows hold with at least one year).
QVector<int> plottableDurations(const analysis::DdfAnalysis& a);

}  // namespace intense
