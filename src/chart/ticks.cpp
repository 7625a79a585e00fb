#include "chart/ticks.h"

#include <QDate>
#include <QLocale>

#include <cmath>

namespace chart {

double roundStep(double min, double max, int count) {
    const double span = max - min;
    if (!(span > 0) || count < 1) {
        return 1;
    }
    const double raw = span / count;
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    for (const double m : {1.0, 2.0, 5.0, 10.0}) {
        if (m * power >= raw * (1 - 1e-9)) {
            return m * power;
        }
    }
    return 10 * power;
}

Extent roundOut(double min, double max, int count) {
    if (min > max) {
        std::swap(min, max);
    }
    if (min == max) {
        min -= 1;
        max += 1;
    }
    // Twice: widening to whole steps can call for the next larger step.
    double step = roundStep(min, max, count);
    Extent out{std::floor(min / step + 1e-9) * step, std::ceil(max / step - 1e-9) * step};
    if ((out.max - out.min) / step > count + 0.5) {
        step = roundStep(out.min, out.max, count);
        out = {std::floor(min / step + 1e-9) * step, std::ceil(max / step - 1e-9) * step};
    }
    if (out.max <= out.min) {
        out.max = out.min + step;
    }
    return out;
}

QString numberText(double value, int decimals) {
    if (std::fabs(value) < 1e-12) {
        value = 0;  // never "-0"
    }
    QString text = QString::number(value, 'f', decimals);
    if (text.contains(u'.')) {
        while (text.endsWith(u'0')) {
            text.chop(1);
        }
        if (text.endsWith(u'.')) {
            text.chop(1);
        }
    }
    text.replace(u'.', u',');
    return text;
}

QVector<Tick> valueTicks(double min, double max, double step) {
    QVector<Tick> ticks;
    if (!(step > 0) || !(max >= min)) {
        return ticks;
    }
    // As many decimals as the step has (0,25: two).
    int decimals = 0;
    while (decimals < 10 &&
           std::fabs(step * std::pow(10.0, decimals) - std::round(step * std::pow(10.0, decimals))) >
               1e-6 * std::pow(10.0, decimals)) {
        ++decimals;
    }
    const double first = std::ceil(min / step - 1e-9);
    const double last = std::floor(max / step + 1e-9);
    for (double k = first; k <= last && ticks.size() < 1000; k += 1) {
        const double v = k * step;
        ticks.append({v, numberText(v, decimals)});
    }
    return ticks;
}

Extent decadesOut(double min, double max) {
    if (!(min > 0)) {
        min = max > 0 ? max / 10 : 1;
    }
    if (!(max > min)) {
        max = min * 10;
    }
    const double low = std::floor(std::log10(min) + 1e-9);
    double high = std::ceil(std::log10(max) - 1e-9);
    if (high <= low) {
        high = low + 1;
    }
    return {std::pow(10.0, low), std::pow(10.0, high)};
}

Extent logOut(double min, double max) {
    const Extent decades = decadesOut(min, max);
    if (std::log10(decades.max / decades.min) >= 3 - 1e-9 || !(min > 0) || !(max > min)) {
        return decades;
    }
    Extent e = decades;
    for (const double m : {2.0, 5.0}) {
        // The largest 1-2-5 tick at or below min, the smallest at or above max.
        if (decades.min * m <= min * (1 + 1e-9)) {
            e.min = decades.min * m;
        }
    }
    for (const double m : {0.5, 0.2}) {
        if (decades.max * m >= max * (1 - 1e-9)) {
            e.max = decades.max * m;
        }
    }
    return e;
}

QVector<Tick> logTicks(double min, double max) {
    QVector<Tick> ticks;
    if (!(min > 0) || !(max > min)) {
        return ticks;
    }
    const int low = int(std::floor(std::log10(min) + 1e-9));
    const int high = int(std::ceil(std::log10(max) - 1e-9));
    const bool fine = high - low < 3;
    for (int e = low; e <= high; ++e) {
        for (const double m : {1.0, 2.0, 5.0}) {
            if (m != 1 && !fine) {
                continue;
            }
            const double v = m * std::pow(10.0, e);
            if (v >= min * (1 - 1e-9) && v <= max * (1 + 1e-9)) {
                ticks.append({v, numberText(v, e < 0 ? -e : 0)});
            }
        }
    }
    return ticks;
}

namespace {

QString monthName(int month) {
    static const QLocale italian(QLocale::Italian, QLocale::Italy);
    return italian.monthName(month, QLocale::ShortFormat);
}

// Month starts from the first at or after `from`, every `months` months (aligned on January).
QVector<Tick> monthTicks(const QDate& from, const QDate& to, int months, bool yearOnAll) {
    QVector<Tick> ticks;
    QDate d(from.year(), from.month(), 1);
    if (d < from) {
        d = d.addMonths(1);
    }
    while ((d.month() - 1) % months != 0) {
        d = d.addMonths(1);
    }
    for (; d <= to && ticks.size() < 500; d = d.addMonths(months)) {
        const bool withYear = yearOnAll || d.month() == 1 || ticks.isEmpty();
        const QString label =
            withYear ? QStringLiteral("%1 %2").arg(monthName(d.month())).arg(d.year()) : monthName(d.month());
        ticks.append({double(d.toJulianDay()), label});
    }
    return ticks;
}

}  // namespace

QVector<Tick> dateTicks(double min, double max, int count) {
    QVector<Tick> ticks;
    if (!(max >= min) || std::fabs(max - min) > 1e7) {
        return ticks;
    }
    const QDate from = QDate::fromJulianDay(qint64(std::ceil(min)));
    const QDate to = QDate::fromJulianDay(qint64(std::floor(max)));
    const double days = max - min;
    count = std::max(count, 2);
    if (days <= 62) {
        int step = 1;
        for (const int s : {1, 2, 5, 7, 10, 15}) {
            step = s;
            if (days / s <= count) {
                break;
            }
        }
        for (QDate d = from; d <= to; d = d.addDays(1)) {
            // Every step-th day of the month, counted from the first (1, 6, 11... for 5); a day
            // too near the next month's first is left out.
            if ((d.day() - 1) % step == 0 && (step == 1 || d.daysInMonth() - d.day() >= step / 2)) {
                // The year on the first: two stretches of one month in two years read apart.
                QString label = QStringLiteral("%1 %2").arg(d.day()).arg(monthName(d.month()));
                if (ticks.isEmpty()) {
                    label += QStringLiteral(" %1").arg(d.year());
                }
                ticks.append({double(d.toJulianDay()), label});
            }
        }
        return ticks;
    }
    if (days <= 400) {
        const int months = days / 30.5 <= count ? 1 : 2;
        return monthTicks(from, to, months, false);
    }
    if (days <= 3 * 366) {
        const int months = days / 30.5 / 3 <= count ? 3 : 6;
        return monthTicks(from, to, months, true);
    }
    int step = 1;
    for (const int s : {1, 2, 5, 10, 20, 50}) {
        step = s;
        if (days / 365.25 / s <= count) {
            break;
        }
    }
    QDate d(from.year(), 1, 1);
    if (d < from) {
        d = d.addYears(1);
    }
    while (d.year() % step != 0) {
        d = d.addYears(1);
    }
    for (; d <= to && ticks.size() < 500; d = d.addYears(step)) {
        ticks.append({double(d.toJulianDay()), QString::number(d.year())});
    }
    return ticks;
}

}  // namespace chart
