// The cells of one row, found the way the engine lays rows out, and their typed values.
#pragma once

#include <string>

#include "jet/internal/jetfile.h"

namespace jet {

struct CrackedRow {
    const uchar* row = nullptr;
    int len = 0;
    int rowCols = 0;     // columns stored in this row (a row written before a column was added has fewer)
    int rowVarCols = 0;  // variable columns stored in this row
    int varEnd = 0;      // where the variable offsets' table begins
    const uchar* mask = nullptr;
    int varOffsets[257];
};

// What is checked of a row before any value is taken from it, by every path that reads rows (the
// first scan with its key arrays, and the full read), worked out once per table.
class RowLayout {
  public:
    RowLayout(const PageFile& pages, const TableDef& def);

    // Cracks the row and checks its layout: a column count the table can have, the null mask, the
    // fixed area holding every fixed cell present, the variable offsets rising inside the variable
    // area, and each long value's header. Throws ReadFailure (the damaged-file error) otherwise.
    void crack(const uchar* row, int len, CrackedRow* out) const;
    const PageFile& pages() const { return pages_; }

  private:
    struct Fixed {
        int colNum;
        int end;
    };
    struct Long {
        int colNum;
        int varIndex;
    };
    void checkFixed(const CrackedRow& r) const;
    void checkLongValues(const CrackedRow& r) const;

    const PageFile& pages_;
    bool jet3_;
    bool variable_;
    int maxColumns_;            // stored in a row: the table's count, deleted columns included
    QVector<int> fixedEnd_;     // by a row's column count: the end of the fixed cells it stores
    QVector<Fixed> fixed_;      // fixed cells, by column number
    QVector<Long> longValues_;  // Memo, OLE and long calculated columns
};

class PageRowValues : public RowValues {
  public:
    // `file` gives the items of complex columns (none without it).
    PageRowValues(const PageFile& pages, const TextCodec& text, const TableDef& def, JetFile* file = nullptr);

    // The row's bytes; throws ReadFailure when its layout does not hold.
    void set(const uchar* row, int len);

    Value value(int column) override;
    bool fixedCell(int column, const uchar** p) override;

  private:
    // The cell of a column: false when NULL.
    bool cell(const ColumnDef& c, const uchar** p, int* len) const;
    Value text(int column, const uchar* p, int len);
    Value calculated(const ColumnDef& c, const uchar* p, int len);
    Value typed(const ColumnDef& c, const uchar* p, int len);

    struct Last {
        bool valid = false;
        std::string raw;  // short texts stay inside the string: no allocation
        Value value;
    };
    // Where a plain fixed-width number sits in every row, worked out once (start 0: not one).
    struct Fixed {
        int start = 0;
        int end = 0;
        int colNum = 0;
    };
    const PageFile& pages_;
    const TextCodec& text_;
    const TableDef& def_;
    JetFile* file_;
    RowLayout layout_;
    CrackedRow cracked_;
    QVector<Last> last_;
    QVector<Fixed> fixed_;
};

}  // namespace jet
