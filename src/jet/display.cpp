// Values as text (see Value::display and DisplayFormat): numbers through std::to_chars, dates
// through a short pattern read once per format.
#include <QDate>
#include <QTime>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <vector>

#include "jet/internal/types.h"
#include "jet/jet.h"

namespace jet {

namespace {

// The locale's short date with the year in full: Qt's short formats carry two-digit years
// ("dd/MM/yy"), while the desktop's regional settings show four ("dd/MM/yyyy"), and a date
// exported with two digits loses its century.
QString shortDateFormat(const QLocale& locale) {
    QString format = locale.dateFormat(QLocale::ShortFormat);
    // The C locale (a system with no regional settings) names months in English ("16 Apr 1982"),
    // out of place among the program's Italian: day, month and year in figures instead.
    if (format.contains(QLatin1String("MMM"))) {
        return QStringLiteral("dd/MM/yyyy");
    }
    if (!format.contains(QLatin1String("yyyy"))) {
        format.replace(QLatin1String("yy"), QLatin1String("yyyy"));
    }
    return format;
}

// The long time format without the time-zone part that Qt's long format carries.
QString timeFormat(const QLocale& locale) {
    QString format = locale.timeFormat(QLocale::LongFormat);
    format.remove(QLatin1Char('t'));
    return format.trimmed();
}

// A date or time format of numeric fields and literal characters, laid out without QLocale.
// Formats with names of months or days, quotes or AM/PM are left to QLocale (`usable` false).
struct Pattern {
    enum Field : char16_t {
        Day = 1,
        Day2,
        Month,
        Month2,
        Year2,
        Year4,
        Hour,
        Hour2,
        Minute,
        Minute2,
        Second,
        Second2
    };
    std::vector<char16_t> parts;  // fields (values below 32) and literal characters
    bool usable = true;

    Pattern(const QString& format, bool time) {
        for (int i = 0; i < format.size();) {
            const QChar c = format.at(i);
            int run = 1;
            while (i + run < format.size() && format.at(i + run) == c) {
                ++run;
            }
            i += run;
            if (!c.isLetter()) {
                if (c == QLatin1Char('\'') || c.unicode() < 32) {
                    usable = false;
                }
                parts.insert(parts.end(), size_t(run), c.unicode());
                continue;
            }
            const char16_t field = fieldOf(c.toLatin1(), run, time);
            usable = usable && field != 0;
            parts.push_back(field);
        }
    }

    static char16_t fieldOf(char c, int run, bool time) {
        if (run > 2 && !(c == 'y' && run == 4)) {
            return 0;
        }
        if (!time) {
            return c == 'd'   ? (run == 1 ? Day : Day2)
                   : c == 'M' ? (run == 1 ? Month : Month2)
                   : c == 'y' ? (run == 2   ? Year2
                                 : run == 4 ? Year4
                                            : 0)
                              : 0;
        }
        return (c == 'h' || c == 'H') ? (run == 1 ? Hour : Hour2)
               : c == 'm'             ? (run == 1 ? Minute : Minute2)
               : c == 's'             ? (run == 1 ? Second : Second2)
                                      : 0;
    }
};

void appendNumber(QString* out, int v, int width) {
    char buf[16];
    const std::to_chars_result r = std::to_chars(buf, buf + sizeof buf, v);
    for (int n = int(r.ptr - buf); n < width; ++n) {
        out->append(QLatin1Char('0'));
    }
    out->append(QLatin1String(buf, int(r.ptr - buf)));
}

void layOut(const Pattern& p, const int (&values)[6], QString* out) {
    // values: day, month, year, hour, minute, second
    for (char16_t part : p.parts) {
        switch (part) {
            case Pattern::Day:
            case Pattern::Day2:
                appendNumber(out, values[0], part == Pattern::Day2 ? 2 : 1);
                break;
            case Pattern::Month:
            case Pattern::Month2:
                appendNumber(out, values[1], part == Pattern::Month2 ? 2 : 1);
                break;
            case Pattern::Year2:
                appendNumber(out, values[2] % 100, 2);
                break;
            case Pattern::Year4:
                appendNumber(out, values[2], 1);  // as Access writes a year before 1000: 6/14/100
                break;
            case Pattern::Hour:
            case Pattern::Hour2:
                appendNumber(out, values[3], part == Pattern::Hour2 ? 2 : 1);
                break;
            case Pattern::Minute:
            case Pattern::Minute2:
                appendNumber(out, values[4], part == Pattern::Minute2 ? 2 : 1);
                break;
            case Pattern::Second:
            case Pattern::Second2:
                appendNumber(out, values[5], part == Pattern::Second2 ? 2 : 1);
                break;
            default:
                out->append(QChar(part));
        }
    }
}

// The significant digits and decimal exponent of d (not zero, finite) rounded to at most
// `digits` significant digits, trailing zeros dropped: what printf's %G works from.
int decimalDigits(double d, int digits, bool single, char* buf, int* exponent) {
    char tmp[64];
    std::to_chars_result r{};
    // The shortest text that reads back as the same double, when it has at most `digits` digits,
    // is what rounding to that many shows (half a unit in the 15th digit exceeds half an ulp of a
    // normal double). Otherwise, and for a Single's 7 digits, the value rounded to that many.
    const bool shortest = !single && std::fabs(d) >= std::numeric_limits<double>::min();
    int count = digits + 1;
    const char* e = tmp;
    if (shortest) {
        r = std::to_chars(tmp, tmp + sizeof tmp, d, std::chars_format::scientific);
        e = std::find(tmp, r.ptr, 'e');
        count =
            int(std::count_if(static_cast<const char*>(tmp), e, [](char c) { return c >= '0' && c <= '9'; }));
    }
    if (count > digits) {
        r = std::to_chars(tmp, tmp + sizeof tmp, d, std::chars_format::scientific, digits - 1);
        e = std::find(tmp, r.ptr, 'e');
    }
    std::from_chars(e + 1 + (e[1] == '+' ? 1 : 0), r.ptr, *exponent);
    int n = 0;
    for (const char* p = tmp; p < e; ++p) {
        if (*p >= '0' && *p <= '9') {
            buf[n++] = *p;
        }
    }
    while (n > 1 && buf[n - 1] == '0') {
        --n;
    }
    return n;
}

}  // namespace

struct DisplayFormat::Settings {
    QLocale locale;
    QChar point;
    bool italian = false;
    // Read when the first date or time is shown.
    mutable bool datesReady = false;
    mutable QString dateFormat, timeFormat;
    mutable std::unique_ptr<Pattern> datePattern, timePattern;

    void prepareDates() const {
        if (datesReady) {
            return;
        }
        dateFormat = shortDateFormat(locale);
        timeFormat = jet::timeFormat(locale);
        datePattern = std::make_unique<Pattern>(dateFormat, false);
        timePattern = std::make_unique<Pattern>(timeFormat, true);
        datesReady = true;
    }
};

DisplayFormat::DisplayFormat(const QLocale& locale) : d(std::make_unique<Settings>()) {
    d->locale = locale;
    d->point = locale.decimalPoint().isEmpty() ? QLatin1Char('.') : locale.decimalPoint().at(0);
    d->italian = locale.language() == QLocale::Italian;
}
DisplayFormat::~DisplayFormat() = default;
DisplayFormat::DisplayFormat(const DisplayFormat& other) : DisplayFormat(other.d->locale) {}
DisplayFormat& DisplayFormat::operator=(const DisplayFormat& other) {
    if (this != &other) {
        DisplayFormat copy(other.d->locale);
        d.swap(copy.d);
    }
    return *this;
}

const QLocale& DisplayFormat::locale() const {
    return d->locale;
}

QString DisplayFormat::text(const Value& v) const {
    QString s;
    append(v, &s);
    return s;
}

void DisplayFormat::appendInteger(qint64 v, QString* out) const {
    char buf[24];
    const std::to_chars_result r = std::to_chars(buf, buf + sizeof buf, v);
    out->append(QLatin1String(buf, int(r.ptr - buf)));  // no digit grouping, as the platform showed integers
}

void DisplayFormat::appendBool(bool v, QString* out) const {
    // The platform's words for a truth value follow the language of the regional settings.
    if (d->italian) {
        out->append(v ? QLatin1String("Vero") : QLatin1String("Falso"));
    } else {
        out->append(v ? QLatin1String("True") : QLatin1String("False"));
    }
}

// Shortest text that shows `v` with at most 15 significant digits (7 for a Single), as the
// platform's number-to-text conversion did: 96.6, not 96.59999999999999; no exponent unless the
// magnitude needs one (then "1E+16", "1E-05", at least two exponent digits).
void DisplayFormat::appendReal(double v, bool single, QString* out) const {
    if (std::isnan(v)) {
        out->append(QLatin1String("NaN"));
        return;
    }
    if (std::isinf(v)) {
        out->append(v > 0 ? QLatin1String("Inf") : QLatin1String("-Inf"));
        return;
    }
    if (v == 0) {
        out->append(QLatin1Char('0'));  // also for -0
        return;
    }
    const int precision = single ? 7 : 15;
    char digits[32];
    int exponent = 0;
    const int n = decimalDigits(v, precision, single, digits, &exponent);
    char buf[64];
    char* p = buf;
    if (v < 0) {
        *p++ = '-';
    }
    if (exponent < -4 || exponent >= precision) {
        *p++ = digits[0];
        if (n > 1) {
            *p++ = '.';
            p = std::copy(digits + 1, digits + n, p);
        }
        *p++ = 'E';
        *p++ = exponent < 0 ? '-' : '+';
        const int magnitude = std::abs(exponent);
        if (magnitude < 10) {
            *p++ = '0';
        }
        p = std::to_chars(p, buf + sizeof buf, magnitude).ptr;
    } else if (exponent < 0) {
        *p++ = '0';
        *p++ = '.';
        p = std::fill_n(p, -exponent - 1, '0');
        p = std::copy(digits, digits + n, p);
    } else {
        const int whole = exponent + 1;
        for (int i = 0; i < whole; ++i) {
            *p++ = i < n ? digits[i] : '0';
        }
        if (n > whole) {
            *p++ = '.';
            p = std::copy(digits + whole, digits + n, p);
        }
    }
    const int start = int(out->size());
    out->append(QLatin1String(buf, int(p - buf)));
    if (d->point != QLatin1Char('.')) {
        QChar* data = out->data();
        for (int i = start; i < out->size(); ++i) {
            if (data[i] == QLatin1Char('.')) {
                data[i] = d->point;
            }
        }
    }
}

void DisplayFormat::appendCurrency(qint64 units, QString* out) const {
    // Exact: integer part and up to four decimals with trailing zeros dropped (1.5, not 1.5000).
    const bool negative = units < 0;
    const quint64 magnitude = negative ? quint64(0) - quint64(units) : quint64(units);
    char buf[32];
    char* p = buf;
    if (negative) {
        *p++ = '-';
    }
    p = std::to_chars(p, buf + sizeof buf, magnitude / 10000).ptr;
    out->append(QLatin1String(buf, int(p - buf)));
    int fraction = int(magnitude % 10000);
    if (fraction != 0) {
        char f[4] = {char('0' + fraction / 1000), char('0' + fraction / 100 % 10),
                     char('0' + fraction / 10 % 10), char('0' + fraction % 10)};
        int n = 4;
        while (f[n - 1] == '0') {
            --n;
        }
        out->append(d->point);
        out->append(QLatin1String(f, n));
    }
}

void DisplayFormat::appendDate(double serial, QString* out) const {
    if (!std::isfinite(serial) || std::fabs(serial) > 3e6) {
        appendReal(serial, false, out);  // beyond any calendar date
        return;
    }
    d->prepareDates();
    const DateParts parts = splitDateSerial(serial);
    const QTime time = QTime(0, 0).addSecs(parts.seconds);
    const int year = parts.date.year();
    const int values[6] = {parts.date.day(),     parts.date.month(),      year,
                           parts.seconds / 3600, parts.seconds / 60 % 60, parts.seconds % 60};
    const bool fast = year >= 1 && year <= 9999 && d->datePattern->usable && d->timePattern->usable;
    // A date alone when there is no time of day; a time alone on day zero (1899-12-30), which is
    // how a pure time is stored; otherwise both.
    const bool showDate = parts.seconds == 0 || parts.date != QDate(1899, 12, 30);
    if (showDate) {
        if (fast) {
            layOut(*d->datePattern, values, out);
        } else if (year >= 1 && year < 1000) {
            QString format = d->dateFormat;  // the year without leading zeros, as layOut writes it
            format.replace(QLatin1String("yyyy"),
                           QLatin1Char('\'') + QString::number(year) + QLatin1Char('\''));
            out->append(d->locale.toString(parts.date, format));
        } else {
            out->append(d->locale.toString(parts.date, d->dateFormat));
        }
    }
    if (parts.seconds != 0) {
        if (showDate) {
            out->append(QLatin1Char(' '));
        }
        if (fast) {
            layOut(*d->timePattern, values, out);
        } else {
            out->append(d->locale.toString(time, d->timeFormat));
        }
    }
}

void DisplayFormat::appendExtendedDate(double wholeSeconds, const QString& fraction, QString* out) const {
    const DateParts parts = splitDateSerial(wholeSeconds);
    appendDate(dateSerial(parts.date, 0), out);
    if (parts.seconds == 0 && fraction.count(QLatin1Char('0')) == fraction.size()) {
        return;
    }
    d->prepareDates();
    // The fraction follows the seconds, before any AM/PM (6/14/2021 10:45:12.3456789 PM).
    QString format = d->timeFormat;
    const qsizetype seconds = format.lastIndexOf(QLatin1String("ss"));
    const QString digits = QLatin1Char('\'') + d->point + fraction + QLatin1Char('\'');
    if (seconds >= 0) {
        format.insert(seconds + 2, digits);
    } else {
        format += digits;
    }
    out->append(QLatin1Char(' '));
    out->append(d->locale.toString(QTime(0, 0).addSecs(parts.seconds), format));
}

// A Decimal from its digits, without trailing zeros after the point (as a general number shows).
void DisplayFormat::appendDecimal(const QString& stored, QString* out) const {
    QString digits = stored;
    if (digits.contains(QLatin1Char('.'))) {
        while (digits.endsWith(QLatin1Char('0'))) {
            digits.chop(1);
        }
        if (digits.endsWith(QLatin1Char('.'))) {
            digits.chop(1);
        }
        digits.replace(QLatin1Char('.'), d->point);
    }
    out->append(digits == QLatin1String("-0") ? QStringLiteral("0") : digits);
}

void DisplayFormat::append(const Value& v, QString* out) const {
    switch (v.kind()) {
        case Value::Kind::Null:
            return;
        case Value::Kind::Boolean:
            appendBool(v.toBool(), out);
            return;
        case Value::Kind::Integer:
            appendInteger(v.toInt(), out);
            return;
        case Value::Kind::Real:
            appendReal(v.toDouble(), v.isSingle(), out);
            return;
        case Value::Kind::Currency:
            appendCurrency(v.currencyUnits(), out);
            return;
        case Value::Kind::DateTime:
            if (v.isExtendedDate()) {
                appendExtendedDate(v.dateSerial(), v.secondFraction(), out);
            } else {
                appendDate(v.dateSerial(), out);
            }
            return;
        case Value::Kind::Text:
            out->append(v.text());
            return;
        case Value::Kind::Decimal:
            appendDecimal(v.text(), out);
            return;
        case Value::Kind::Binary:
            // Raw bytes have no text form; they are shown as hexadecimal digits.
            out->append(QString::fromLatin1(v.bytes().toHex()).toUpper());
            return;
    }
}

QString Value::display(const QLocale& locale) const {
    if (kind() == Kind::Null) {
        return QString();
    }
    if (kind() == Kind::Text) {
        return text();
    }
    return DisplayFormat(locale).text(*this);
}

}  // namespace jet
