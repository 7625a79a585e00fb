#include "daily/summarycharts.h"

namespace daily {

namespace {

using analysis::MonthlyFigure;

// A figure's value, or missing when it is not computed.
double valueOf(const analysis::Figure& f) {
    return f.computed() ? f.value : chart::kMissing;
}

chart::Series monthSeries(const QString& name, chart::Mark mark, const char* axis, const QColor& colour) {
    chart::Series s;
    s.name = name;
    s.mark = mark;
    s.axis = QString::fromLatin1(axis);
    s.colour = colour;
    for (int m = 0; m < 12; ++m) {
        s.x.append(m);
        s.y.append(chart::kMissing);
    }
    return s;
}

QString yearsText(const analysis::StationSummary& summary) {
    const analysis::DailySeries& s = summary.series;
    return s.empty() ? QString()
           : s.firstYear() == s.lastYear()
               ? QStringLiteral("anno %1").arg(s.firstYear())
               : QStringLiteral("anni %1-%2").arg(s.firstYear()).arg(s.lastYear());
}

}  // namespace

chart::Figure climograph(const analysis::StationSummary& summary, int year, const QString& station) {
    chart::Figure f;
    const QString period = year > 0 ? QStringLiteral("anno %1").arg(year)
                                    : QStringLiteral("normale, %1").arg(yearsText(summary));
    f.title = QStringLiteral("%1 - %2").arg(station, period);
    f.caption = QStringLiteral("Climogramma - ") + f.title;
    chart::Panel& p = f.panels.emplace_back();
    p.x.kind = chart::XKind::Category;
    p.x.title = QStringLiteral("Mese");
    p.x.step = 1;  // a line joins neighbouring months only
    for (int m = 1; m <= 12; ++m) {
        p.x.categories << analysis::monthAbbreviation(m);
    }
    p.axes = {{QStringLiteral("t"), QStringLiteral("Temperatura"), QStringLiteral("°C")},
              {QStringLiteral("p"), QStringLiteral("Pioggia"), QStringLiteral("mm"), chart::Scale::Linear,
               true, true}};
    chart::Series rain = monthSeries(analysis::figureCaption(analysis::RainTotal), chart::Mark::Bar, "p",
                                     chart::colours::rain());
    chart::Series marks =
        monthSeries(QString::fromUtf8(kNotComputedRain), chart::Mark::Points, "p", QColor(0x9E, 0x2A, 0x2B));
    chart::Series tmax = monthSeries(analysis::figureCaption(analysis::TempMaxMean), chart::Mark::Line, "t",
                                     chart::colours::maximum());
    chart::Series tmin = monthSeries(analysis::figureCaption(analysis::TempMinMean), chart::Mark::Line, "t",
                                     chart::colours::minimum());
    bool anyMark = false;
    auto place = [&](int month, const std::array<analysis::Figure, analysis::kMonthlyFigures>& figures) {
        const int i = month - 1;
        rain.y[i] = valueOf(figures[analysis::RainTotal]);
        tmax.y[i] = valueOf(figures[analysis::TempMaxMean]);
        tmin.y[i] = valueOf(figures[analysis::TempMinMean]);
        if (figures[analysis::RainTotal].status == analysis::Status::Forbidden) {
            marks.y[i] = 0;
            anyMark = true;
        }
    };
    if (year > 0) {
        for (const analysis::MonthSummary& m : summary.months) {
            if (m.year == year) {
                place(m.month, m.figures);
            }
        }
    } else {
        std::array<bool, 12> held{};
        for (const analysis::MonthSummary& m : summary.months) {
            held[size_t(m.month - 1)] = true;
        }
        for (const analysis::MonthNormal& n : summary.normals) {
            if (held[size_t(n.month - 1)]) {
                place(n.month, n.figures);
            }
        }
    }
    const analysis::DailySeries& s = summary.series;
    if (s.has(analysis::Rain)) {
        p.series << rain;
        if (anyMark) {
            p.series << marks;
        }
    }
    if (s.has(analysis::TempMax)) {
        p.series << tmax;
    }
    if (s.has(analysis::TempMin)) {
        p.series << tmin;
    }
    return f;
}

chart::Figure cumulativeRain(const analysis::StationSummary& summary, const QString& station) {
    chart::Figure f;
    f.title = QStringLiteral("%1 - %2").arg(station, yearsText(summary));
    f.caption = QStringLiteral("Pioggia cumulata - ") + f.title;
    chart::Panel& p = f.panels.emplace_back();
    p.x.title = QStringLiteral("Giorno dell'anno");
    p.x.step = 1;
    p.x.min = 1;
    p.x.max = 366;
    p.axes = {{QStringLiteral("p"), QStringLiteral("Pioggia cumulata"), QStringLiteral("mm"),
               chart::Scale::Linear, true}};
    const analysis::DailySeries& s = summary.series;
    if (s.empty() || !s.has(analysis::Rain)) {
        return f;
    }
    for (int year = s.firstYear(); year <= s.lastYear(); ++year) {
        chart::Series line;
        line.name = QString::number(year);
        line.axis = QStringLiteral("p");
        line.colour = chart::colours::palette(year - s.firstYear());
        const int first = s.indexOf(QDate(year, 1, 1));
        const int days = QDate(year, 1, 1).daysInYear();
        double total = 0;
        bool any = false;
        for (int d = 0; d < days; ++d) {
            const double v = s.value(analysis::Rain, first + d);
            if (analysis::missing(v)) {
                break;  // the sum from here on would leave that day out
            }
            total += v;
            line.x.append(d + 1);
            line.y.append(total);
            any = true;
        }
        if (any) {
            p.series << line;
        }
    }
    return f;
}

}  // namespace daily
