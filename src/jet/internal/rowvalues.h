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

class PageRowValues : public RowValues {
  public:
    PageRowValues(const PageFile& pages, const TextCodec& text, const TableDef& def);

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
    CrackedRow cracked_;
    QVector<Last> last_;
    QVector<Fixed> fixed_;
};

}  // namespace jet
