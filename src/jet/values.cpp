// Fixed-width values as the engine stores them (little-endian).
#include "jet/internal/values.h"

#include <cstring>

#include "jet/internal/types.h"

namespace jet {

int fixedSize(int type) {
    switch (type) {
        case TypeByte:
            return 1;
        case TypeInteger:
            return 2;
        case TypeLong:
        case TypeSingle:
        case TypeComplex:
            return 4;
        case TypeCurrency:
        case TypeDouble:
        case TypeDateTime:
        case TypeBigInt:
            return 8;
        case TypeGuid:
            return 16;
        case TypeNumeric:
            return 17;
        default:
            return 0;
    }
}

bool showableType(int type) {
    switch (type) {
        case TypeBoolean:
        case TypeByte:
        case TypeInteger:
        case TypeLong:
        case TypeCurrency:
        case TypeSingle:
        case TypeDouble:
        case TypeDateTime:
        case TypeBinary:
        case TypeText:
        case TypeOle:
        case TypeMemo:
        case TypeGuid:
        case TypeNumeric:
        case TypeBigInt:
        case TypeDateTimeExtended:
            return true;
        default:
            return false;
    }
}

namespace {

bool digitsAt(const uchar* p, int count, qint64* out) {
    qint64 v = 0;
    for (int i = 0; i < count; ++i) {
        if (p[i] < '0' || p[i] > '9') {
            return false;
        }
        v = v * 10 + (p[i] - '0');
    }
    *out = v;
    return true;
}

}  // namespace

bool decodeExtendedDate(const uchar* p, int len, Value* out) {
    qint64 days = 0, seconds = 0, fraction = 0;
    if (len < 42 || !digitsAt(p, 19, &days) || p[19] != ':' || !digitsAt(p + 20, 12, &seconds) ||
        !digitsAt(p + 32, 7, &fraction) || days > 3652058 || seconds >= 86400) {  // to 9999-12-31
        return false;
    }
    const QDate date = QDate(1, 1, 1).addDays(days);
    *out = Value::fromExtendedDate(dateSerial(date, int(seconds)),
                                   QString::fromLatin1(reinterpret_cast<const char*>(p + 32), 7));
    return true;
}

Value decodeFixed(int type, const uchar* p) {
    switch (type) {
        case TypeByte:
            return Value::fromInt(p[0]);  // Jet's Byte is unsigned, 0 to 255
        case TypeInteger:
            return Value::fromInt(qint16(u16(p)));
        case TypeLong:
            return Value::fromInt(qint32(u32(p)));
        case TypeBigInt:
            return Value::fromInt(qint64(u64(p)));
        case TypeCurrency:
            return Value::fromCurrency(qint64(u64(p)));
        case TypeSingle: {
            const quint32 bits = u32(p);
            float f;
            std::memcpy(&f, &bits, 4);
            return Value::fromReal(double(f), true);
        }
        case TypeDouble:
        case TypeDateTime: {
            const quint64 bits = u64(p);
            double d;
            std::memcpy(&d, &bits, 8);
            return type == TypeDouble ? Value::fromReal(d) : Value::fromDateSerial(d);
        }
        default:
            return Value();
    }
}

QString guidText(const uchar* p) {
    static const char hex[] = "0123456789ABCDEF";
    // Byte order of each group as written: the first three are little-endian numbers.
    static const int order[16] = {3, 2, 1, 0, 5, 4, 7, 6, 8, 9, 10, 11, 12, 13, 14, 15};
    QString s;
    s.reserve(38);
    s += QLatin1Char('{');
    for (int i = 0; i < 16; ++i) {
        if (i == 4 || i == 6 || i == 8 || i == 10) {
            s += QLatin1Char('-');
        }
        const uchar b = p[order[i]];
        s += QLatin1Char(hex[b >> 4]);
        s += QLatin1Char(hex[b & 15]);
    }
    s += QLatin1Char('}');
    return s;
}

QString decimalText(const uchar* p, int scale) {
    // The magnitude as four 32-bit words, least significant first, divided down by ten.
    quint32 words[4];
    for (int w = 0; w < 4; ++w) {
        words[w] = u32(p + 1 + 4 * (3 - w));
    }
    QString digits;
    bool zero = false;
    while (!zero) {
        quint64 rest = 0;
        zero = true;
        for (int w = 3; w >= 0; --w) {
            const quint64 cur = (rest << 32) | words[w];
            words[w] = quint32(cur / 10);
            rest = cur % 10;
            zero = zero && words[w] == 0;
        }
        digits.prepend(QLatin1Char(char('0' + rest)));
    }
    scale = qBound(0, scale, 38);
    while (digits.size() <= scale) {
        digits.prepend(QLatin1Char('0'));
    }
    if (scale > 0) {
        digits.insert(digits.size() - scale, QLatin1Char('.'));
    }
    bool nonZero = false;
    for (const QChar c : digits) {
        nonZero = nonZero || (c != QLatin1Char('0') && c != QLatin1Char('.'));
    }
    const bool negative = (p[0] & 0x80) && nonZero;
    return negative ? QLatin1Char('-') + digits : digits;
}

}  // namespace jet
