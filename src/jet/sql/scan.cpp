// Table reads (see scan.h): the page scan with its key arrays.
#include "jet/sql/scan.h"

#include <atomic>

#include "jet/internal/types.h"
#include "jet/sql/evaluate.h"
#include "jet/sql/keyfilter.h"

namespace jet {

namespace {

std::atomic<bool> gKeyArrays{true};

// A row whose fields all have key arrays, read from the arrays.
class KeyRowValues : public RowValues {
  public:
    explicit KeyRowValues(const TableIndex& index) : index_(index) {}
    void setRow(int row) { row_ = row; }
    Value value(int column) override {
        const KeyArray* keys = index_.key(column);
        if (!keys || keys->isNull(row_)) {
            return Value();
        }
        return Value::fromInt(keys->at(row_));
    }

  private:
    const TableIndex& index_;
    int row_ = 0;
};

bool allKeyEligible(const QVector<int>& read, const TableDef& table) {
    for (int c : read) {
        if (c < 0 || c >= table.columns.size() || !keyEligible(table.columns[c])) {
            return false;
        }
    }
    return true;
}

// The page scan: criteria on integer fields answered from the key arrays, the rest per row. Key
// arrays are kept only for the columns statements filter on (or read alone).
// Throws ReadFailure where the file is damaged.
void scanPages(JetFile& file, const TableDef& table, const sql::ExprPtr& where, const QVector<int>& read,
               RowSink& sink) {
    QVector<KeyTest> keyTests;
    sql::ExprPtr rest = where;
    const bool keys = gKeyArrays.load(std::memory_order_relaxed);
    if (keys) {
        splitKeyTests(where, table, &keyTests, &rest);
    }
    // Fields that all can have key arrays (a list of years, of days) come from the arrays.
    const bool fromKeys = keys && !rest && allKeyEligible(read, table);
    QVector<int> keyColumns = fromKeys ? read : QVector<int>();
    for (const KeyTest& t : keyTests) {
        keyColumns << t.column;
    }
    const std::shared_ptr<const TableIndex> index = file.index(table, keyColumns);
    const bool allRows = keyTests.isEmpty();
    const QVector<int> rows = allRows ? QVector<int>() : rowsPassing(keyTests, *index);
    const int count = allRows ? int(index->rowCount) : int(rows.size());
    if (!rest) {
        sink.reserve(size_t(count));
    }
    if (fromKeys) {
        KeyRowValues row(*index);
        for (int i = 0; i < count; ++i) {
            row.setRow(allRows ? i : rows[i]);
            sink.add(row);
        }
        return;
    }
    const QVector<quint32> wanted = index->locations(allRows ? nullptr : &rows);
    file.readRows(table, wanted, [&](RowValues& row) {
        if (!rest || isTrue(evaluate(*rest, row))) {
            sink.add(row);
        }
    });
}

}  // namespace

bool readTable(JetFile& file, const TableDef& table, const sql::ExprPtr& where, const QVector<int>& read,
               RowSink& sink, Error* error) {
    Q_UNUSED(error);  // a damaged file throws ReadFailure, which ends the whole statement
    scanPages(file, table, where, read, sink);
    return true;
}

bool readAllRows(JetFile& file, const TableDef& table, const std::function<void(RowValues&)>& onRow,
                 Error* error) {
    Q_UNUSED(error);
    file.scan(table, onRow);
    return true;
}

void clearRowCache() {
    JetFile::clearIndexCache();
}

void setKeyArrays(bool enabled) {
    gKeyArrays = enabled;
}

RowCacheSize rowCacheSize() {
    return JetFile::indexCacheSize();
}

}  // namespace jet
