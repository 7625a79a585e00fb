// Byte-level encodings of the Jet formats: little-endian integers, text in code page 1252, UCS-2
// and Jet 4's compressed form, day serials, and the RC4 stream Jet masks its header with.
#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

class QDate;
class QTime;

namespace jetwriter::detail {

void put8(QByteArray& b, int at, quint8 v);
void put16(QByteArray& b, int at, quint16 v);
void put32(QByteArray& b, int at, quint32 v);
void put64(QByteArray& b, int at, quint64 v);
void app8(QByteArray& b, quint8 v);
void app16(QByteArray& b, quint16 v);
void app32(QByteArray& b, quint32 v);
quint64 doubleBits(double d);
quint32 floatBits(float f);

// A row address as the format stores it: the page in the upper 24 bits, the row in the lowest 8.
quint32 pgRow(quint32 page, int row);

// Jet 3 text; nothing when a character lies outside the code page.
std::optional<QByteArray> toCp1252(const QString& s);
QByteArray toUcs2(const QString& s);
QByteArray encodeJet4Text(const QString& s, bool memo);

// Jet's day number: days since 1899-12-30, the time of day as the fraction.
double dateSerial(const QDate& date, const QTime& time);

// `n` bytes of the RC4 key stream for `key`.
QByteArray rc4(const QByteArray& key, int n);

}  // namespace jetwriter::detail
