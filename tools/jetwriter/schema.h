// The table and column model the writer lays out, and the constants of the two page formats.
#pragma once

#include "jetwriter/jetwriter.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>

#include <utility>

namespace jetwriter::detail {

// Column type codes as stored in the table definition.
enum : quint8 {
    kBool = 0x01,
    kByte = 0x02,
    kInt = 0x03,
    kLong = 0x04,
    kMoney = 0x05,
    kFloat = 0x06,
    kDouble = 0x07,
    kDate = 0x08,
    kBinary = 0x09,
    kText = 0x0A,
    kOle = 0x0B,
    kMemo = 0x0C,
    kGuid = 0x0F,
    kNumeric = 0x10,
    kComplex = 0x12,
    kBigInt = 0x13,
    kExtDate = 0x14,
};

// Calculated columns keep their last result behind 16 unknown bytes and a 4-byte length, with 3
// bytes after it; fixed-size results take a 39-byte column.
constexpr int kCalcLenAt = 16;
constexpr int kCalcExtra = 23;
constexpr int kCalcFixedLength = 39;
constexpr quint8 kCalcExtFlags = 0xC0;
constexpr quint16 kDeletedRow = 0xC000;
constexpr quint16 kPointerSlot = 0x4000;  // the slot of a moved row: a pointer to its place
constexpr quint16 kMovedRow = 0x8000;     // a moved row at its place

struct Format {
    bool jet4;
    int pageSize;
    int dataHeader;     // bytes before the row offset table
    int rowCountAt;     // offset of the row count on a data page
    int tdefHeader;     // fixed part of a table definition
    int colRecord;      // one column record
    int mapRowLen;      // a usage-map row (type 0 and type 1 alike)
    int mapBits;        // pages one type-0 row covers
    int refEntries;     // page references in a type-1 row
    int refPageBits;    // pages one 0x05 bitmap page covers
    int maxRow;         // largest data row
    int lvalSingleMax;  // largest long value kept in one LVAL row
    int lvalChunk;      // data bytes per LVAL chain row
};

extern const Format kJet4;  // also the Access 2007-2019 formats
extern const Format kJet3;
const Format& formatOf(Version v);

constexpr int kMaxRowsPerPage = 255;
constexpr int kInlineMax = 64;
constexpr quint32 kTdefTypeUser = 0x4E;
constexpr quint32 kTdefTypeSystem = 0x53;
// A fixed creation date keeps files byte-identical from run to run.
constexpr double kCreationSerial = 45000.5;

struct ColDef {
    QString name;
    quint8 type = kText;
    int chars = 255;  // Text: maximum characters
    int number = 0;
    bool fixed = false;
    int fixedOffset = 0;
    int varIndex = 0;
    int varBefore = 0;  // fixed columns: variable columns with a lower number
    int length = 0;     // stored in the definition
    int precision = 0;  // Decimal
    int scale = 0;
    bool calculated = false;
    int complexTypeId = 0;
    bool autoNumber = false;
};

struct TableDef {
    QString name;
    bool system = false;
    QList<ColDef> cols;
    int fixedLen = 0;
    int numVar = 0;
    RowSource rows;
    quint32 tdefPage = 0;
    QHash<int, RowOptions> rowOptions;  // by position
    qint64 catalogFlags = 0;            // MSysObjects' Flags
};

bool isLong(quint8 type);
// Bytes a fixed column takes in the row; 0 for variable columns and Boolean.
int fixedSize(quint8 type);
quint8 typeCode(ColumnType t);

// Numbers the columns and gives each its fixed offset or variable index.
void layoutColumns(TableDef& t, const Format& f);
// A name as the definition stores it: a length, then UCS-2 (Jet 4) or code page 1252 (Jet 3).
QByteArray encodeName(const QString& s, const Format& f);
TableDef systemTable(const QString& name, const QList<std::pair<QString, quint8>>& cols, const Format& f);

// Why a name or a column cannot be written; empty when it can.
QString checkName(const QString& name, const Format& f, const QString& what);
QString checkColumn(const QString& table, const Column& c, Version v);

}  // namespace jetwriter::detail
