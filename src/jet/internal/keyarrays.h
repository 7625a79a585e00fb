// Filling a table's key arrays page by page: per live row its location and the values of up to
// kMaxKeyColumns integer columns, read straight from the row bytes.
#pragma once

#include "jet/internal/jetfile.h"

namespace jet {

constexpr int kMaxKeyColumns = 8;

// Where a key column sits in a row: its null-mask bit and its bytes [start, end).
struct KeySpec {
    int colNum;
    int start;
    int end;
    int type;
};

class KeyCollector {
  public:
    KeyCollector(const PageFile& pages, const TableDef& table, TableIndex* index);
    // One data page of the table (checked to be one).
    void page(const uchar* page, quint32 number);
    // Trims the arrays to the rows found.
    void finish();

  private:
    void allocate(qsizetype capacity);
    template <bool Jet3>
    void collect(quint32 location, const uchar* row, int len);
    template <bool Jet3>
    void rows(const uchar* page, quint32 number);
    void collectMoved(quint32 target);

    const PageFile& pages_;
    const TableDef& table_;
    TableIndex* index_;
    KeySpec specs_[kMaxKeyColumns];
    int keyCount_ = 0;
    qsizetype rows_ = 0;
    qsizetype capacity_ = 0;
    // Written through plain pointers: this runs for every row of the table.
    quint32* locations_ = nullptr;
    qint32* keys_[kMaxKeyColumns] = {};
    quint8* nulls_[kMaxKeyColumns] = {};  // null until the column shows a NULL
    QByteArray other_;                    // the page a moved row lives on now
};

}  // namespace jet
