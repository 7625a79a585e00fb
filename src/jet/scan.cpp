// Table reads (see scan.h): the page scan with its key arrays.
#include "jet/scan.h"

#include "jet/evaluate.h"
#include "jet/jetvalue.h"
#include "jet/keyfilter.h"

namespace jet {

namespace {

// A row whose fields all have key arrays, read from the arrays.
class KeyRowValues : public RowValues {
  public:
    explicit KeyRowValues(const TableIndex& index) : index_(index) {}
    void setRow(int row) { row_ = row; }
    Value value(int column) override {
        const int k = int(index_.keyColumns.indexOf(column));
        if (k < 0 || (!index_.nulls[k].isEmpty() && index_.nulls[k][row_])) {
            return Value();
        }
        return Value::fromInt(index_.keys[k][row_]);
    }

  private:
    const TableIndex& index_;
    int row_ = 0;
};

bool allKeyed(const QVector<int>& read, const TableIndex& index) {
    for (int c : read) {
        if (!index.keyColumns.contains(c)) {
            return false;
        }
    }
    return true;
}

// The page scan: criteria on integer fields answered from the key arrays, the rest per row.
// Throws ReadFailure where the file is damaged.
void scanPages(JetFile& file, const TableDef& table, const sql::ExprPtr& where, const QVector<int>& read,
               RowSink& sink) {
    const std::shared_ptr<const TableIndex> index = file.index(table);
    QVector<KeyTest> keyTests;
    sql::ExprPtr rest;
    splitKeyTests(where, *index, &keyTests, &rest);
    const bool allRows = keyTests.isEmpty();
    const QVector<int> rows = allRows ? QVector<int>() : rowsPassing(keyTests, *index);
    const int count = allRows ? int(index->locations.size()) : int(rows.size());
    if (!rest) {
        sink.reserve(size_t(count));
    }
    // Fields that all have key arrays (a list of years, of days) come from the arrays.
    if (!rest && allKeyed(read, *index)) {
        KeyRowValues row(*index);
        for (int i = 0; i < count; ++i) {
            row.setRow(allRows ? i : rows[i]);
            sink.add(row);
        }
        return;
    }
    QVector<quint32> wanted;
    if (allRows) {
        wanted = index->locations;
    } else {
        wanted.reserve(rows.size());
        for (int r : rows) {
            wanted << index->locations[r];
        }
    }
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

}  // namespace jet
