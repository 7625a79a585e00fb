// Typed values and the way the archive's tools showed them as text.
#include <QDate>
#include <QTime>

#include <cmath>

#include "jet/internal/types.h"
#include "jet/jet.h"

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

Value Value::fromExtendedDate(double wholeSeconds, const QString& fraction) {
    Value v = fromDateSerial(wholeSeconds);
    v.s_ = fraction;
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

}  // namespace jet
