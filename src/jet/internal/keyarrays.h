// Key arrays: per table, the location of every live row and, for the integer columns statements
// have asked about, their values in flat arrays, each as narrow as the values seen allow.
#pragma once

#include <QVector>

#include <vector>

#include "jet/internal/jetfile.h"

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
// read-only once built; asking for another column builds a new one that shares the locations.
struct TableIndex {
    QVector<quint32> locations;  // (page << 8) | row
    std::vector<KeyArray> keys;
    const KeyArray* key(int column) const;  // null when the column has no array
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
    // `keys` get the values; `locations` the rows' places, or null when they are known (then the
    // scan must meet exactly `knownRows` rows).
    KeyCollector(const PageFile& pages, const TableDef& table, std::vector<KeyArray>* keys,
                 QVector<quint32>* locations, qsizetype knownRows);
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
    };
    void allocate(qsizetype capacity);
    void widen(Column& c, qint32 value);
    void markNull(Column& c);
    template <bool Jet3>
    void collect(quint32 location, const uchar* row, int len);
    template <bool Jet3>
    void rows(const uchar* page, quint32 number);
    void collectMoved(quint32 target);

    const PageFile& pages_;
    const TableDef& table_;
    std::vector<Column> columns_;
    QVector<quint32>* locationArray_;
    quint32* locations_ = nullptr;
    qsizetype knownRows_ = -1;
    qsizetype rows_ = 0;
    qsizetype capacity_ = 0;
    QByteArray other_;  // the page a moved row lives on now
};

}  // namespace jet
