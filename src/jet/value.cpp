// Typed values and the way the archive's tools showed them as text.
#include <QDate>
#include <QTime>

#include <cmath>
#include <cstdio>

#include "jet/jet.h"
#include "jet/jetvalue.h"

namespace jet {

Value Value::fromBool(bool b) {
    Value v;
    v.kind_ = Kind::Boolean;
    v.i_ = b ? 1 : 0;
    return v;
}

Value Value::fromInt(qint64 i) {
    Value v;
    v.kind_ = Kind::Integer;
    v.i_ = i;
    return v;
}

Value Value::fromReal(double d, bool single) {
    Value v;
    v.kind_ = Kind::Real;
    v.single_ = single;
    v.d_ = d;
    return v;
}

Value Value::fromCurrency(qint64 tenThousandths) {
    Value v;
    v.kind_ = Kind::Currency;
    v.i_ = tenThousandths;
    return v;
}

Value Value::fromDateSerial(double serial) {
    Value v;
    v.kind_ = Kind::DateTime;
    v.d_ = serial;
    return v;
}

Value Value::fromText(const QString& s) {
    Value v;
    v.kind_ = Kind::Text;
    v.s_ = s;
    return v;
}

Value Value::fromBytes(const QByteArray& b) {
    Value v;
    v.kind_ = Kind::Binary;
    v.b_ = new Bytes;
    v.b_->data = b;
    return v;
}

Value Value::fromDecimal(const QString& digits) {
    Value v;
    v.kind_ = Kind::Decimal;
    v.s_ = digits;
    return v;
}

const QByteArray& Value::bytes() const {
    static const QByteArray empty;
    return b_ ? b_->data : empty;
}

double Value::toDouble() const {
    switch (kind_) {
        case Kind::Boolean:
            // Jet's True is -1 wherever a truth value meets a number.
            return i_ ? -1.0 : 0.0;
        case Kind::Integer:
            return double(i_);
        case Kind::Currency:
            return double(i_) / 10000.0;
        case Kind::Real:
        case Kind::DateTime:
            return d_;
        case Kind::Decimal:
            return s_.toDouble();  // for comparisons only: shown from its digits
        default:
            return 0.0;
    }
}

namespace {

// Shortest text that shows `d` with at most `digits` significant digits, as the platform's
// number-to-text conversion did: 15 digits for a Double (96.6, not 96.59999999999999), 7 for a
// Single, no exponent unless the magnitude needs one (then "1E+16", "1E-05").
QString formatReal(double d, int digits, QChar decimalPoint) {
    if (std::isnan(d)) {
        return QStringLiteral("NaN");
    }
    if (std::isinf(d)) {
        return d > 0 ? QStringLiteral("Inf") : QStringLiteral("-Inf");
    }
    if (d == 0) {
        return QStringLiteral("0");  // also for -0
    }
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*G", digits, d);
    QString s = QString::fromLatin1(buf);
    const int e = s.indexOf(QLatin1Char('E'));
    if (e >= 0) {
        // printf writes at least two exponent digits ("1E+16", "1E-05"), as the platform did.
        QString mantissa = s.left(e);
        const QString exponent = s.mid(e);
        s = mantissa + exponent;
    }
    if (decimalPoint != QLatin1Char('.')) {
        s.replace(QLatin1Char('.'), decimalPoint);
    }
    return s;
}

QString formatCurrency(qint64 units, QChar decimalPoint) {
    // Exact: integer part and up to four decimals with trailing zeros dropped (1.5, not 1.5000).
    const bool negative = units < 0;
    const quint64 magnitude = negative ? quint64(0) - quint64(units) : quint64(units);
    QString s = QString::number(magnitude / 10000);
    quint64 fraction = magnitude % 10000;
    if (fraction != 0) {
        QString f = QStringLiteral("%1").arg(fraction, 4, 10, QLatin1Char('0'));
        while (f.endsWith(QLatin1Char('0'))) {
            f.chop(1);
        }
        s += decimalPoint + f;
    }
    return negative ? QLatin1Char('-') + s : s;
}

// The locale's short date with the year in full: Qt's short formats carry two-digit years
// ("dd/MM/yy"), while the desktop's regional settings show four ("dd/MM/yyyy"), and a date
// exported with two digits loses its century.
QString shortDateFormat(const QLocale& locale) {
    QString format = locale.dateFormat(QLocale::ShortFormat);
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

}  // namespace

DateParts splitDateSerial(double serial) {
    // Before 1899-12-30 the whole part counts days back and the fraction is the time of that day
    // (-1.25 is 1899-12-29 06:00): the day is the whole part, rounded toward zero.
    DateParts parts;
    double day = serial >= 0 ? std::floor(serial) : std::ceil(serial);
    double fraction = std::fabs(serial - day);
    qint64 seconds = qint64(std::llround(fraction * 86400.0));
    if (seconds >= 86400) {
        // Rounded up to the next midnight.
        day += serial >= 0 ? 1 : -1;
        seconds = 0;
    }
    parts.date = QDate(1899, 12, 30).addDays(qint64(day));
    parts.seconds = int(seconds);
    return parts;
}

QString Value::display(const QLocale& locale) const {
    const QChar point = locale.decimalPoint().isEmpty() ? QLatin1Char('.') : locale.decimalPoint().at(0);
    switch (kind_) {
        case Kind::Null:
            return QString();
        case Kind::Boolean:
            // The platform's words for a truth value follow the language of the regional settings.
            if (locale.language() == QLocale::Italian) {
                return i_ ? QStringLiteral("Vero") : QStringLiteral("Falso");
            }
            return i_ ? QStringLiteral("True") : QStringLiteral("False");
        case Kind::Integer:
            return QString::number(i_);  // no digit grouping, as the platform showed integers
        case Kind::Real:
            return formatReal(d_, single_ ? 7 : 15, point);
        case Kind::Currency:
            return formatCurrency(i_, point);
        case Kind::DateTime: {
            if (!std::isfinite(d_) || std::fabs(d_) > 3e6) {
                return formatReal(d_, 15, point);  // beyond any calendar date
            }
            const DateParts parts = splitDateSerial(d_);
            const QTime time = QTime(0, 0).addSecs(parts.seconds);
            // A date alone when there is no time of day; a time alone on day zero (1899-12-30),
            // which is how a pure time is stored; otherwise both.
            if (parts.seconds == 0) {
                return locale.toString(parts.date, shortDateFormat(locale));
            }
            if (parts.date == QDate(1899, 12, 30)) {
                return locale.toString(time, timeFormat(locale));
            }
            return locale.toString(parts.date, shortDateFormat(locale)) + QLatin1Char(' ') +
                   locale.toString(time, timeFormat(locale));
        }
        case Kind::Text:
            return s_;
        case Kind::Decimal: {
            // From its digits, without trailing zeros after the point (as a general number shows).
            QString digits = s_;
            if (digits.contains(QLatin1Char('.'))) {
                while (digits.endsWith(QLatin1Char('0'))) {
                    digits.chop(1);
                }
                if (digits.endsWith(QLatin1Char('.'))) {
                    digits.chop(1);
                }
                digits.replace(QLatin1Char('.'), point);
            }
            return digits == QLatin1String("-0") ? QStringLiteral("0") : digits;
        }
        case Kind::Binary:
            // Raw bytes have no text form; they are shown as hexadecimal digits.
            return QString::fromLatin1(bytes().toHex()).toUpper();
    }
    return QString();
}

}  // namespace jet
