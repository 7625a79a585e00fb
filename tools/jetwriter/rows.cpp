#include "jetwriter/rows.h"

#include "jetwriter/bytes.h"

#include <QDateTime>
#include <QRegularExpression>
#include <QUuid>

#include <cmath>
#include <limits>

namespace jetwriter::detail {

bool RowEncoder::encode(const Row& row, int stored, QByteArray& out, QString* error) {
    const int total = int(t_.cols.size());
    const int n = stored < 0 ? total : std::min(stored, total);
    if (!checkCount(row, n, error))
        return false;
    int fixedLen = 0;
    int numVar = 0;
    for (int i = 0; i < n; ++i) {
        const ColDef& c = t_.cols[i];
        if (c.fixed)
            fixedLen = std::max(fixedLen, c.fixedOffset + fixedSize(c.type));
        else
            ++numVar;
    }
    QByteArray fixed(fixedLen, '\0');
    QByteArray mask((n + 7) / 8, '\0');
    QList<QByteArray> vars(numVar);
    for (int i = 0; i < n; ++i)
        if (!encodeCell(i, i < row.size() ? row[i] : QVariant(), fixed, mask, vars, error))
            return false;
    assemble(n, fixed, mask, vars, out);
    if (out.size() > f_.maxRow) {
        *error = QStringLiteral("tabella %1: riga di %2 byte, oltre il limite di %3")
                     .arg(t_.name)
                     .arg(out.size())
                     .arg(f_.maxRow);
        return false;
    }
    return true;
}

bool RowEncoder::checkCount(const Row& row, int stored, QString* error) const {
    if (row.size() > t_.cols.size()) {
        *error = QStringLiteral("tabella %1: riga con %2 valori per %3 colonne")
                     .arg(t_.name)
                     .arg(row.size())
                     .arg(t_.cols.size());
        return false;
    }
    for (int i = stored; i < row.size(); ++i)
        if (row[i].isValid() && !row[i].isNull()) {
            *error = QStringLiteral("tabella %1: valore per la colonna %2, non memorizzata nella riga")
                         .arg(t_.name, t_.cols[i].name);
            return false;
        }
    return true;
}

bool RowEncoder::encodeCell(int i, const QVariant& v, QByteArray& fixed, QByteArray& mask,
                            QList<QByteArray>& vars, QString* error) {
    const ColDef& c = t_.cols[i];
    const bool isNull = !v.isValid() || v.isNull();
    const auto setBit = [&] { mask[i / 8] = char(quint8(mask[i / 8]) | (1u << (i % 8))); };
    if (c.type == kBool && !c.calculated) {
        // The mask bit is the value.
        if (!isNull && v.toBool())
            setBit();
        return true;
    }
    if (isNull)
        return true;
    setBit();
    if (c.calculated)
        return encodeCalculated(c, v, vars[c.varIndex], error);
    if (c.fixed)
        return encodeFixed(c, v, fixed, c.fixedOffset, error);
    return encodeVar(c, v, vars[c.varIndex], error);
}

void RowEncoder::assemble(int n, const QByteArray& fixed, const QByteArray& mask,
                          const QList<QByteArray>& vars, QByteArray& out) {
    out.clear();
    if (f_.jet4)
        app16(out, quint16(n));
    else
        app8(out, quint8(n));
    out += fixed;
    QList<int> offs;
    for (const QByteArray& v : vars) {
        offs.append(int(out.size()));
        out += v;
    }
    const int eod = int(out.size());
    // The trailer follows the table's definition: present whenever the table has variable
    // columns, even when this row stores none of them.
    if (t_.numVar > 0) {
        if (f_.jet4) {
            app16(out, quint16(eod));
            for (int i = int(vars.size()) - 1; i >= 0; --i)
                app16(out, quint16(offs[i]));
            app16(out, quint16(vars.size()));
        } else {
            jet3Trailer(out, offs, eod, int(mask.size()));
        }
    }
    out += mask;
}

void RowEncoder::jet3Trailer(QByteArray& out, const QList<int>& offs, int eod, int maskSize) {
    const int v = int(offs.size());
    QList<int> full = offs;
    full.append(eod);
    const int base = eod + (v + 1) + 1 + maskSize;
    int j = 0;
    while (j != (base + j - 1) / 256)
        ++j;
    const int real = eod / 256;
    QList<quint8> jump;
    for (int k = 0; k < j; ++k) {
        if (k < real) {
            int idx = 0;
            while (idx <= v && full[idx] < 256 * (k + 1))
                ++idx;
            jump.append(quint8(idx));
        } else {
            jump.append(0xFF);
        }
    }
    app8(out, quint8(eod & 0xFF));
    for (int i = v - 1; i >= 0; --i)
        app8(out, quint8(offs[i] & 0xFF));
    for (int k = j - 1; k >= 0; --k)
        app8(out, jump[k]);
    app8(out, quint8(v));
}

bool RowEncoder::encodeFixed(const ColDef& c, const QVariant& v, QByteArray& fixed, int at, QString* error) {
    bool done = false;
    switch (c.type) {
        case kByte:
        case kInt:
        case kLong:
        case kComplex:
        case kBigInt:
            done = encodeInteger(c, v, fixed, at, error);
            break;
        case kGuid:
            done = encodeGuid(v, fixed, at);
            break;
        case kNumeric:
            done = encodeDecimal(c, v, fixed, at, error);
            break;
        case kExtDate:
            done = encodeExtendedDate(v, fixed, at);
            break;
        default:
            done = encodeReal(c, v, fixed, at);
            break;
    }
    if (!done && error->isEmpty())
        *error = QStringLiteral("tabella %1, colonna %2: valore non valido '%3'")
                     .arg(t_.name, c.name, v.toString());
    return done;
}

// Integers of every width: little-endian two's complement, within the type's range.
bool RowEncoder::encodeInteger(const ColDef& c, const QVariant& v, QByteArray& fixed, int at,
                               QString* error) {
    bool ok = false;
    const qint64 x = v.toLongLong(&ok);
    if (!ok)
        return false;
    qint64 lo = std::numeric_limits<qint64>::min();
    qint64 hi = std::numeric_limits<qint64>::max();
    if (c.type == kByte) {
        lo = 0;
        hi = 255;
    } else if (c.type == kInt) {
        lo = -32768;
        hi = 32767;
    } else if (c.type == kLong || c.type == kComplex) {
        lo = c.type == kLong ? std::numeric_limits<qint32>::min() : 1;
        hi = std::numeric_limits<qint32>::max();
    }
    if (x < lo || x > hi) {
        *error = QStringLiteral("tabella %1, colonna %2: valore %3 fuori dall'intervallo")
                     .arg(t_.name, c.name)
                     .arg(x);
        return false;
    }
    for (int i = 0; i < fixedSize(c.type); ++i)
        put8(fixed, at + i, quint8(quint64(x) >> (8 * i)));
    return true;
}

// Days since 0001-01-01 in 19 digits, ':', seconds of the day in 12, 100 ns units in 7, ":7" and
// a NUL, as Access 2019 stores a Date/Time Extended.
bool RowEncoder::encodeExtendedDate(const QVariant& v, QByteArray& fixed, int at) {
    QDate date;
    int seconds = 0;
    QString fraction(7, QLatin1Char('0'));
    if (v.typeId() == QMetaType::QDateTime || v.typeId() == QMetaType::QDate) {
        const QDateTime dt = v.typeId() == QMetaType::QDate ? v.toDate().startOfDay() : v.toDateTime();
        date = dt.date();
        seconds = dt.time().msecsSinceStartOfDay() / 1000;
        fraction = QStringLiteral("%1").arg(dt.time().msec() * 10000, 7, 10, QLatin1Char('0'));
    } else {
        // yyyy-MM-dd[ hh:mm:ss[.fffffff]]
        const QString s = v.toString();
        date = QDate::fromString(s.left(10), QStringLiteral("yyyy-MM-dd"));
        if (s.size() >= 19) {
            const QTime t = QTime::fromString(s.mid(11, 8), QStringLiteral("hh:mm:ss"));
            if (!t.isValid())
                return false;
            seconds = t.msecsSinceStartOfDay() / 1000;
        }
        if (s.size() > 20)
            fraction = (s.mid(20) + QStringLiteral("0000000")).left(7);
        if ((s.size() != 10 && s.size() < 19) || (s.size() > 19 && s[19] != QLatin1Char('.')))
            return false;
    }
    if (!date.isValid() || date.year() < 1 || fraction.contains(QRegularExpression(QStringLiteral("[^0-9]"))))
        return false;
    const QByteArray text = QStringLiteral("%1:%2%3:7")
                                .arg(QDate(1, 1, 1).daysTo(date), 19, 10, QLatin1Char('0'))
                                .arg(seconds, 12, 10, QLatin1Char('0'))
                                .arg(fraction)
                                .toLatin1();
    for (int i = 0; i < text.size(); ++i)
        put8(fixed, at + i, quint8(text[i]));
    put8(fixed, at + int(text.size()), 0);
    return true;
}

// Currency (scaled by 10 000), Single, Double and DateTime.
bool RowEncoder::encodeReal(const ColDef& c, const QVariant& v, QByteArray& fixed, int at) {
    bool ok = true;
    double d = 0;
    if (c.type == kDate && v.typeId() == QMetaType::QDateTime)
        d = dateSerial(v.toDateTime().date(), v.toDateTime().time());
    else if (c.type == kDate && v.typeId() == QMetaType::QDate)
        d = dateSerial(v.toDate(), QTime());
    else
        d = v.toDouble(&ok);
    if (!ok)
        return false;
    switch (c.type) {
        case kMoney:
            put64(fixed, at, quint64(qint64(std::llround(d * 10000.0))));
            return true;
        case kFloat:
            put32(fixed, at, floatBits(float(d)));
            return true;
        case kDouble:
        case kDate:
            put64(fixed, at, doubleBits(d));
            return true;
        default:
            return false;
    }
}

// A GUID: the first three fields little-endian, the last eight bytes as written.
bool RowEncoder::encodeGuid(const QVariant& v, QByteArray& fixed, int at) {
    const bool isUuid = v.typeId() == QMetaType::QUuid;
    const QUuid u = isUuid ? v.toUuid() : QUuid::fromString(v.toString());
    if (u.isNull() && !isUuid)
        return false;
    put32(fixed, at, u.data1);
    put16(fixed, at + 4, u.data2);
    put16(fixed, at + 6, u.data3);
    for (int i = 0; i < 8; ++i)
        put8(fixed, at + 8 + i, u.data4[i]);
    return true;
}

bool RowEncoder::encodeDecimal(const ColDef& c, const QVariant& v, QByteArray& fixed, int at,
                               QString* error) {
    if (v.typeId() == QMetaType::Double || v.typeId() == QMetaType::Float)
        return false;  // not exact
    static const QRegularExpression number(QStringLiteral("^([+-]?)(\\d*)(?:\\.(\\d*))?$"));
    const auto m = number.match(v.toString().trimmed());
    if (!m.hasMatch() || (m.captured(2).isEmpty() && m.captured(3).isEmpty()))
        return false;
    const QString frac = m.captured(3);
    if (frac.size() > c.scale) {
        *error = QStringLiteral("tabella %1, colonna %2: più di %3 decimali in %4")
                     .arg(t_.name, c.name)
                     .arg(c.scale)
                     .arg(v.toString());
        return false;
    }
    QString digits = m.captured(2) + frac.leftJustified(c.scale, '0');
    while (digits.size() > 1 && digits.startsWith('0'))
        digits.remove(0, 1);
    if (digits.size() > c.precision) {
        *error = QStringLiteral("tabella %1, colonna %2: %3 ha più di %4 cifre")
                     .arg(t_.name, c.name, v.toString())
                     .arg(c.precision);
        return false;
    }
    unsigned __int128 x = 0;
    for (QChar d : digits)
        x = x * 10 + unsigned(d.digitValue());
    put8(fixed, at, m.captured(1) == QLatin1String("-") && x != 0 ? 0x80 : 0x00);
    for (int k = 0; k < 4; ++k)
        put32(fixed, at + 1 + 4 * (3 - k), quint32(x >> (32 * k)));
    return true;
}

bool RowEncoder::encodeCalculated(const ColDef& c, const QVariant& v, QByteArray& out, QString* error) {
    QByteArray payload;
    if (c.type == kBool) {
        payload = QByteArray(1, v.toBool() ? char(0xFF) : char(0));
    } else if (c.type == kText || c.type == kMemo) {
        const QString s = v.toString();
        if (c.type == kText && s.size() > c.chars) {
            *error = QStringLiteral("tabella %1, colonna %2: testo di %3 caratteri, oltre %4")
                         .arg(t_.name, c.name)
                         .arg(s.size())
                         .arg(c.chars);
            return false;
        }
        if (!encodeText(c, s, payload, error))
            return false;
    } else {
        payload = QByteArray(fixedSize(c.type), '\0');
        if (!encodeFixed(c, v, payload, 0, error))
            return false;
    }
    QByteArray wrapped(kCalcLenAt, '\0');
    app32(wrapped, quint32(payload.size()));
    wrapped += payload;
    wrapped += QByteArray(kCalcExtra - kCalcLenAt - 4, '\0');
    if (c.type == kMemo)
        return longValue(c, wrapped, out, error);
    out = wrapped;
    return true;
}

bool RowEncoder::encodeText(const ColDef& c, const QString& s, QByteArray& out, QString* error) {
    if (f_.jet4) {
        out = encodeJet4Text(s, c.type == kMemo);
        return true;
    }
    auto b = toCp1252(s);
    if (!b) {
        *error = QStringLiteral("tabella %1, colonna %2: carattere non rappresentabile nella codifica 1252")
                     .arg(t_.name, c.name);
        return false;
    }
    out = *b;
    return true;
}

bool RowEncoder::encodeVar(const ColDef& c, const QVariant& v, QByteArray& out, QString* error) {
    if (c.type == kText) {
        QString s = v.toString();
        if (s.size() > c.chars) {
            *error = QStringLiteral("tabella %1, colonna %2: testo di %3 caratteri, oltre %4")
                         .arg(t_.name, c.name)
                         .arg(s.size())
                         .arg(c.chars);
            return false;
        }
        return encodeText(c, s, out, error);
    }
    if (c.type == kBinary) {
        out = v.toByteArray();
        if (out.size() > c.chars) {
            *error = QStringLiteral("tabella %1, colonna %2: dato binario oltre %3 byte")
                         .arg(t_.name, c.name)
                         .arg(c.chars);
            return false;
        }
        return true;
    }
    QByteArray data;
    if (c.type == kMemo) {
        if (!encodeText(c, v.toString(), data, error))
            return false;
    } else {
        data = v.toByteArray();
    }
    return longValue(c, data, out, error);
}

bool RowEncoder::longValue(const ColDef& c, const QByteArray& data, QByteArray& out, QString* error) {
    const int len = int(data.size());
    if (len >= (1 << 24)) {
        *error = QStringLiteral("tabella %1, colonna %2: valore troppo lungo").arg(t_.name, c.name);
        return false;
    }
    out = QByteArray(12, '\0');
    put8(out, 0, quint8(len & 0xFF));
    put8(out, 1, quint8((len >> 8) & 0xFF));
    put8(out, 2, quint8((len >> 16) & 0xFF));
    if (len <= kInlineMax) {
        put8(out, 3, 0x80);
        out += data;
        return true;
    }
    PageWriter::RowPage& lp = run_.lval[c.number];
    lp.owner = 0x4C41564C;  // "LVAL"
    quint32 page;
    int r;
    bool fresh;
    if (len <= f_.lvalSingleMax) {
        if (!w_.place(lp, data, &page, &r, &fresh))
            return fail(error);
        if (fresh)
            run_.lvalPages[c.number].append(page);
        put8(out, 3, 0x40);
        put32(out, 4, pgRow(page, r));
        return true;
    }
    // Chains are written last chunk first, so each row's next pointer is already known.
    QList<int> starts;
    for (int s = 0; s < len; s += f_.lvalChunk)
        starts.append(s);
    quint32 next = 0;
    for (int i = int(starts.size()) - 1; i >= 0; --i) {
        QByteArray chunk;
        app32(chunk, next);
        chunk += data.mid(starts[i], f_.lvalChunk);
        if (!w_.place(lp, chunk, &page, &r, &fresh))
            return fail(error);
        if (fresh)
            run_.lvalPages[c.number].append(page);
        next = pgRow(page, r);
    }
    put8(out, 3, 0x00);
    put32(out, 4, next);
    return true;
}

bool RowEncoder::fail(QString* error) {
    *error = w_.error;
    return false;
}

}  // namespace jetwriter::detail
