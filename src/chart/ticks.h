// Where an axis puts its ticks and what they read: whole, round steps (1, 2 or 5 times a power of
// ten), decades on a logarithmic axis, month starts on a date axis, one tick per category.
#pragma once

#include <QString>
#include <QVector>

namespace chart {

struct Tick {
    double value = 0;
    QString label;
};

struct Extent {
    double min = 0;
    double max = 0;
};

// The round step that cuts [min, max] into at most `count` parts.
double roundStep(double min, double max, int count);
// [min, max] widened to whole steps of roundStep (at least one step wide), so the axis begins and
// ends on a tick.
Extent roundOut(double min, double max, int count);
// The ticks on [min, max] at whole multiples of `step`, labelled with as few decimals as the step
// needs and a decimal comma.
QVector<Tick> valueTicks(double min, double max, double step);
// A logarithmic axis' extent: from the power of ten at or below min to the one at or above max.
Extent decadesOut(double min, double max);
// The same, but where the decades span fewer than three (so that logTicks marks 1, 2 and 5 times a
// power of ten) the ends are widened only to the nearest of those ticks: rain of 13 to 160 mm
// reads 10 to 200, not 10 to 1000.
Extent logOut(double min, double max);
// Ticks at 1, 10, 100... within [min, max]; with fewer than three decades also at 2 and 5 times.
QVector<Tick> logTicks(double min, double max);
// Ticks of a date axis over Julian days [min, max], at most about `count`: days for a month or two
// ("5 mar", the first with its year), month starts for up to a year ("gen", "feb", with the year on January
// and on the first), every third month up to three years ("gen 1995"), year starts beyond ("1995").
QVector<Tick> dateTicks(double min, double max, int count);
// A number as ticks and tips show it: a decimal comma, at most `decimals` decimals, no trailing zeros.
QString numberText(double value, int decimals);

}  // namespace chart
