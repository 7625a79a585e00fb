#include "intense/curvafigure.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace intense {

namespace {

// A power law is a straight line on logarithmic axes; points along it all the same, so that it
// stays one whatever the drawing does between them.
constexpr int kCurvePoints = 16;

QString periodName(int p) {
    return QStringLiteral("T = %1 anni").arg(analysis::kReturnPeriods[p]);
}

chart::YAxis rainAxis(chart::Scale scale) {
    chart::YAxis axis;
    axis.id = QStringLiteral("h");
    axis.title = QStringLiteral("Altezza di pioggia");
    axis.unit = QStringLiteral("mm");
    axis.scale = scale;
    return axis;
}

// The panel of one group of durations (hours or days), or nothing when the rows hold none of it.
std::optional<chart::Panel> curvePanel(const analysis::DdfAnalysis& a, bool days) {
    if (!a.anyPresent(days)) {
        return std::nullopt;
    }
    chart::Panel panel;
    panel.title = days ? QStringLiteral("Durate da 1 a 5 giorni: h = a·tⁿ, t in giorni")
                       : QStringLiteral("Durate da 1 a 24 ore: h = a·tⁿ, t in ore");
    panel.x.kind = chart::XKind::Number;
    panel.x.scale = chart::Scale::Log;
    panel.x.title = days ? QStringLiteral("Durata (giorni)") : QStringLiteral("Durata (ore)");
    panel.axes = {rainAxis(chart::Scale::Log)};
    const double first = 1;
    const double last = days ? 5 : 24;
    // The durations' own range, not widened to whole decades.
    panel.x.min = first;
    panel.x.max = last;
    const auto& laws = days ? a.days : a.hours;
    for (int p = 0; p < analysis::kReturnPeriodCount; ++p) {
        const QColor colour = chart::colours::palette(p);
        if (laws[p].valid) {
            chart::Series& line = panel.series.emplace_back();
            line.name = periodName(p);
            line.mark = chart::Mark::Fit;
            line.colour = colour;
            for (int i = 0; i < kCurvePoints; ++i) {
                const double t = first * std::pow(last / first, double(i) / (kCurvePoints - 1));
                line.x << t;
                line.y << laws[p].a * std::pow(t, laws[p].n);
            }
        }
        chart::Series points;
        points.name = periodName(p);
        points.mark = chart::Mark::Points;
        points.colour = colour;
        for (int d = 0; d < analysis::kDurations; ++d) {
            const analysis::DurationFit& f = a.fits[d];
            if (analysis::kDurationList[d].days == days && f.gumbel) {
                points.x << analysis::kDurationList[d].length;
                points.y << f.quantiles[p];
            }
        }
        if (!points.x.isEmpty()) {
            panel.series << points;
        }
    }
    chart::Series observed;
    observed.name = QStringLiteral("Massimi annui osservati");
    observed.mark = chart::Mark::Points;
    observed.colour = chart::colours::mean();
    for (int d = 0; d < analysis::kDurations; ++d) {
        if (analysis::kDurationList[d].days != days) {
            continue;
        }
        for (const double v : a.fits[d].values) {
            observed.x << analysis::kDurationList[d].length;
            observed.y << v;
        }
    }
    panel.series << observed;
    return panel;
}

QString methodWords(analysis::GumbelMethod method) {
    return method == analysis::GumbelMethod::Moments ? QStringLiteral("metodo dei momenti")
                                                     : QStringLiteral("metodo degli L-momenti");
}

}  // namespace

chart::Figure curveFigure(const analysis::DdfAnalysis& a, const QString& subject) {
    chart::Figure figure;
    figure.caption = QStringLiteral("Curva di possibilità pluviometrica - ") + subject;
    figure.title = figure.caption + QStringLiteral(" (Gumbel, %1)").arg(methodWords(a.method));
    for (const bool days : {false, true}) {
        if (std::optional<chart::Panel> panel = curvePanel(a, days)) {
            figure.panels << *panel;
        }
    }
    return figure;
}

chart::Figure gumbelFigure(const analysis::DdfAnalysis& a, int d, const QString& subject) {
    chart::Figure figure;
    figure.caption = QStringLiteral("Carta probabilistica di Gumbel - ") + subject;
    if (d < 0 || d >= analysis::kDurations) {
        return figure;
    }
    const analysis::DurationFit& f = a.fits[d];
    const QString duration = QString::fromUtf8(analysis::kDurationList[d].caption);
    figure.caption += QStringLiteral(" - durata %1").arg(duration);
    figure.title = figure.caption + QStringLiteral(" (%1)").arg(methodWords(a.method));
    chart::Panel& panel = figure.panels.emplace_back();
    panel.x.kind = chart::XKind::Number;
    panel.x.title =
        QStringLiteral("Variabile ridotta y = −ln(−ln F); Tempo di ritorno (anni) T: y = −ln(−ln(1 − 1/T))");
    panel.axes = {rainAxis(chart::Scale::Linear)};

    std::vector<double> sorted = f.values;
    std::sort(sorted.begin(), sorted.end());
    const int n = int(sorted.size());
    double low = analysis::reducedVariate(analysis::weibullPosition(1, std::max(n, 1)));
    double high = analysis::reducedVariate(1 - 1.0 / analysis::kReturnPeriods.back());
    if (f.gumbel) {
        chart::Series& line = panel.series.emplace_back();
        line.name = QStringLiteral("Gumbel adattata: h = u + y / α");
        line.mark = chart::Mark::Fit;
        line.colour = chart::colours::maximum();
        for (const double y : {low, high}) {
            line.x << y;
            line.y << f.gumbel->u + y / f.gumbel->alpha;
        }
        // One point per return period, so that the legend says which T each one is.
        for (int p = 0; p < analysis::kReturnPeriodCount; ++p) {
            chart::Series& quantile = panel.series.emplace_back();
            quantile.name = periodName(p);
            quantile.mark = chart::Mark::Points;
            quantile.colour = chart::colours::palette(p);
            quantile.x << analysis::reducedVariate(1 - 1.0 / analysis::kReturnPeriods[p]);
            quantile.y << f.quantiles[p];
        }
    }
    chart::Series& observed = panel.series.emplace_back();
    observed.name = QStringLiteral("Massimi annui osservati (posizione di Weibull i/(N+1))");
    observed.mark = chart::Mark::Points;
    observed.colour = chart::colours::mean();
    for (int i = 0; i < n; ++i) {
        observed.x << analysis::reducedVariate(analysis::weibullPosition(i + 1, n));
        observed.y << sorted[size_t(i)];
    }
    return figure;
}

QVector<int> plottableDurations(const analysis::DdfAnalysis& a) {
    QVector<int> durations;
    for (int d = 0; d < analysis::kDurations; ++d) {
        if (a.fits[d].present && !a.fits[d].values.empty()) {
            durations << d;
        }
    }
    return durations;
}

}  // namespace intense
