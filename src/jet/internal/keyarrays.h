// Key arrays: per table, the location of every live row and, for the integer columns statements
// have asked about, their values in flat arrays, each as narrow as the values seen allow.
#pragma once

#include <QVector>

#include <vector>

#include "jet/internal/jetfile.h"
#include "jet/internal/rowvalues.h"

namespace jet {

// Integer columns stored in the row's fixed part: the ones a key array can hold.
bool keyEligible(const ColumnDef& column);

// One column's values, one per row of the index, 1, 2 or 4 bytes each (signed).
class KeyArray {
  public:
    int column = -1;  // in the table definition
    int width = 1;

    qint32 at(qsizetype row) const {
        return width == 1 ? qint32(v8[row]) : width == 2 ? qint32(v16[row]) : v32[row];
    }
    bool isNull(qsizetype row) const { return !nulls.isEmpty() && nulls[row]; }
    qsizetype bytes() const;

    QVector<qint8> v8;
    QVector<qint16> v16;
    QVector<qint32> v32;
    QVector<quint8> nulls;  // empty while the column shows no NULL
};

// Per table: where every live row is, in scan order, and the key arrays built so far. Shared
// read-only once built; asking for another column builds a new one sharing what is known.
struct TableIndex {
    // A data page holding live rows. Most pages hold their rows in slots 0, 1, 2… and need no
    // more; the locations of the rows of any other page (a deleted or moved row) are listed.
    struct Page {
        quint32 number;
        quint32 firstRow;  // index of its first row
        qint32 listed;     // -1, or where its rows' locations start in `listed`
    };
    QVector<Page> pages;
    QVector<quint32> listed;  // (page << 8) | row
    qsizetype rowCount = 0;
    qsizetype damaged = 0;  // rows set aside (TableDef::setDamagedRowsAside)
    std::vector<KeyArray> keys;

    const KeyArray* key(int column) const;  // null when the column has no array
    // (page << 8) | row of the given rows (ascending indexes), or of every row.
    QVector<quint32> locations(const QVector<int>* rows = nullptr) const;
    qsizetype bytes() const;
};

// Where a key column sits in a row: its null-mask bit and its bytes [start, end).
struct KeySpec {
    int colNum;
    int start;
    int end;
    int type;
};

// Fills the key arrays of some columns page by page, reading straight from the row bytes, and,
// unless they are known already, the row locations.
class KeyCollector {
  public:
    // `keys` get the values; `rows` the rows' places, or null when they are known (then the scan
    // must meet exactly `knownRows` rows).
    KeyCollector(const PageFile& pages, const TableDef& table, std::vector<KeyArray>* keys, TableIndex* rows,
                 qsizetype knownRows);
    // One data page of the table (checked to be one).
    void page(const uchar* page, quint32 number);
    // Trims the arrays to the rows found.
    void finish();

  private:
    struct Column {
        KeySpec spec;
        KeyArray* array;
        void* data;  // the array's values, written through a plain pointer
        quint8* nulls;
        int width;  // of the array's values, 0 before the first
    };
    void allocate(qsizetype capacity);
    void widen(Column& c, qint32 value);
    void markNull(Column& c);
    bool collect(const uchar* row, int len);
    void locate(quint32 location);
    void rows(const uchar* page, quint32 number);
    quint32 collectMoved(const uchar* pointer);

    const PageFile& pages_;
    const TableDef& table_;
    RowLayout layout_;
    CrackedRow cracked_;
    QVector<quint32> movedTo_;  // where the moved rows met live: each may be reached once
    std::vector<Column> columns_;
    TableIndex* index_;
    quint32 pageRows_[256];  // the locations of the current page's rows
    int pageCount_ = 0;
    quint32 pageNumber_ = 0;
    bool inOrder_ = true;
    qsizetype knownRows_ = -1;
    qsizetype rows_ = 0;
    qsizetype damaged_ = 0;
    qsizetype capacity_ = 0;
    QByteArray other_;  // the page a moved row lives on now
};

}  // namespace jet
