#include "jetwriter/bytes.h"

#include <QDate>
#include <QTime>

#include <cstring>

namespace jetwriter::detail {

void put8(QByteArray& b, int at, quint8 v) {
    b[at] = char(v);
}
void put16(QByteArray& b, int at, quint16 v) {
    b[at] = char(v & 0xFF);
    b[at + 1] = char(v >> 8);
}
void put32(QByteArray& b, int at, quint32 v) {
    for (int i = 0; i < 4; ++i)
        b[at + i] = char((v >> (8 * i)) & 0xFF);
}
void put64(QByteArray& b, int at, quint64 v) {
    for (int i = 0; i < 8; ++i)
        b[at + i] = char((v >> (8 * i)) & 0xFF);
}
void app8(QByteArray& b, quint8 v) {
    b.append(char(v));
}
void app16(QByteArray& b, quint16 v) {
    b.append(char(v & 0xFF));
    b.append(char(v >> 8));
}
void app32(QByteArray& b, quint32 v) {
    for (int i = 0; i < 4; ++i)
        b.append(char((v >> (8 * i)) & 0xFF));
}
quint64 doubleBits(double d) {
    quint64 u;
    std::memcpy(&u, &d, 8);
    return u;
}
quint32 floatBits(float f) {
    quint32 u;
    std::memcpy(&u, &f, 4);
    return u;
}

quint32 pgRow(quint32 page, int row) {
    return (page << 8) | quint32(row);
}

// Windows-1252 bytes 0x80..0x9F; 0 marks the five bytes the code page leaves undefined.
const char16_t kCp1252High[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                  0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                  0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                  0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

std::optional<QByteArray> toCp1252(const QString& s) {
    QByteArray out;
    out.reserve(s.size());
    for (QChar qc : s) {
        char16_t c = qc.unicode();
        if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
            out.append(char(c));
            continue;
        }
        int found = -1;
        for (int i = 0; i < 32; ++i)
            if (kCp1252High[i] && kCp1252High[i] == c)
                found = i;
        if (found < 0)
            return std::nullopt;
        out.append(char(0x80 + found));
    }
    return out;
}

QByteArray toUcs2(const QString& s) {
    QByteArray out;
    out.reserve(s.size() * 2);
    for (QChar c : s)
        app16(out, c.unicode());
    return out;
}

// Jet 4 text: the "compressed unicode" form when it is strictly shorter (memos only up to 1024
// characters, as Access does), plain UCS-2 otherwise. A string that starts with U+FEFF would be
// taken for a compressed one in plain form, so it is always compressed when it can be.
QByteArray encodeJet4Text(const QString& s, bool memo) {
    const bool bom = !s.isEmpty() && s.at(0).unicode() == 0xFEFF;
    bool compressible = bom || !(memo && s.size() > 1024);
    for (QChar c : s)
        if ((c.unicode() & 0xFF) == 0)
            compressible = false;
    if (compressible) {
        QByteArray out("\xFF\xFE", 2);
        bool oneByte = true;
        for (QChar qc : s) {
            char16_t c = qc.unicode();
            bool wantOne = c < 0x100;
            if (wantOne != oneByte) {
                out.append('\0');
                oneByte = wantOne;
            }
            if (oneByte)
                out.append(char(c));
            else
                app16(out, c);
        }
        if (out.size() < s.size() * 2 || bom)
            return out;
    }
    return toUcs2(s);
}

double dateSerial(const QDate& date, const QTime& time) {
    static const QDate epoch(1899, 12, 30);
    double days = double(epoch.daysTo(date));
    double frac = time.isValid() ? time.msecsSinceStartOfDay() / 86400000.0 : 0.0;
    // Before the epoch the day counts backwards and the time of day is subtracted.
    return days < 0 ? days - frac : days + frac;
}

QByteArray rc4(const QByteArray& key, int n) {
    quint8 st[256];
    for (int i = 0; i < 256; ++i)
        st[i] = quint8(i);
    for (int i = 0, j = 0; i < 256; ++i) {
        j = (j + st[i] + quint8(key[i % key.size()])) & 0xFF;
        std::swap(st[i], st[j]);
    }
    QByteArray out(n, '\0');
    for (int k = 0, i = 0, j = 0; k < n; ++k) {
        i = (i + 1) & 0xFF;
        j = (j + st[i]) & 0xFF;
        std::swap(st[i], st[j]);
        out[k] = char(st[(st[i] + st[j]) & 0xFF]);
    }
    return out;
}

}  // namespace jetwriter::detail
