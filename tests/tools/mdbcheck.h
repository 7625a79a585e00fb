// Reads Jet files back for the writer's round-trip tests, through libmdb and through the
// independent JavaScript reader mdb-reader, into one comparable form.
#pragma once

#include "jetwriter/jetwriter.h"

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>
#include <QVariant>

namespace mdbcheck {

// Column type codes as stored in the file (1 Boolean ... 0x13 BigInt, 0x14 Date/Time Extended).
enum TypeCode {
    Bool = 1,
    Byte = 2,
    Int = 3,
    Long = 4,
    Money = 5,
    Float = 6,
    Double = 7,
    Date = 8,
    Binary = 9,
    Text = 10,
    Ole = 11,
    Memo = 12,
    Guid = 0x0F,
    Numeric = 0x10,
    Complex = 0x12,
    BigInt = 0x13,
    ExtendedDate = 0x14
};

// Values in comparable form: bool, qint64 (integers, BigInt, complex keys; Currency scaled by
// 10 000), double (Single, Double, DateTime as Jet's day serial), QString (text; GUIDs as
// "{xxxxxxxx-...}" lower case; Decimal with exactly `scale` decimals), QByteArray; an invalid
// QVariant is NULL.
struct Table {
    QString name;
    QStringList columns;
    QList<int> types;
    QList<int> sizes;      // as the reader reports them
    qint64 rowCount = -1;  // the count stored in the definition
    QList<QList<QVariant>> rows;
};

struct Dump {
    QMap<QString, Table> tables;
    QStringList queries;  // stored query names (libmdb only)
    QString password;     // the database password (mdb-reader only; empty when none)
    QString error;        // empty when the file was read
};

Dump readWithLibmdb(const QString& path, bool systemTables = false);
// Fails (error set) when node or the mdb-reader module is missing: the tests need both.
Dump readWithMdbReader(const QString& path);

int typeCode(jetwriter::ColumnType t);
QVariant expectedValue(const jetwriter::Column& c, const QVariant& v);
double dateSerial(const QDateTime& dt);
// A GUID in the comparable form: braces, lower case.
QString guidText(const QString& s);

// Compares a read table with what was written; returns the first difference, or an empty string.
QString compare(const Table& actual, const QList<jetwriter::Column>& columns,
                const QList<jetwriter::Row>& rows);

// Compares two read tables (names, types, counts, every value); the first difference, or empty.
QString compareTables(const Table& a, const Table& b);

// The file offset of a fixed field of the catalogue row of `object` (found by libmdb), for
// tests that change one byte of the catalogue; -1 when not found.
qint64 catalogFieldOffset(const QString& path, const QString& object, const QString& field);

// Raw file helpers for structural checks.
struct RawFile {
    QByteArray bytes;
    int pageSize = 4096;
    bool load(const QString& path);
    int pages() const { return int(bytes.size() / pageSize); }
    quint32 u32(qint64 at) const;
    quint16 u16(qint64 at) const;
    quint8 u8(qint64 at) const { return quint8(bytes.at(at)); }
    // The first byte of the usage-map row a pg_row points to (0 inline map, 1 reference map).
    int mapType(quint32 pgRow) const;
    // Row counts of all data pages owned by the table whose definition is on `tdefPage`.
    QList<int> dataPageRowCounts(quint32 tdefPage) const;
    quint32 tdefPageOf(const QString& table) const;  // via libmdb's catalogue
    QString path;
};

}  // namespace mdbcheck
