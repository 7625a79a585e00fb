// The engine: record sources (tables, stored queries, select statements) run into snapshots.
// A statement runs in four steps: bind (bind.cpp), read (scan.cpp), DISTINCT (distinct.cpp) and
// ORDER BY (order.cpp).
#include <numeric>
#include <vector>

#include "jet/bind.h"
#include "jet/distinct.h"
#include "jet/evaluate.h"
#include "jet/internal/jetfile.h"
#include "jet/jet.h"
#include "jet/jetvalue.h"
#include "jet/order.h"
#include "jet/recordset.h"
#include "jet/scan.h"
#include "jet/sql.h"
#include "jet/storedquery.h"

namespace jet {

namespace {

constexpr int kMaxQueryDepth = 16;

// Keeps the fields a statement reads, column by column.
class TableSink : public RowSink {
  public:
    TableSink(const QVector<int>& read, ColumnTable* table) : read_(read), table_(table) {}
    void reserve(size_t rows) override {
        for (ColumnStore& c : table_->columns) {
            c.reserve(rows);
        }
    }
    void add(RowValues& row) override {
        for (int i = 0; i < read_.size(); ++i) {
            table_->columns[size_t(i)].append(row.value(read_[i]));
        }
    }
    void discard() override { *table_ = ColumnTable(int(read_.size())); }

  private:
    const QVector<int>& read_;
    ColumnTable* table_;
};

// The rows a statement keeps, in the order it shows them: DISTINCT keeps the first of equal rows
// (and, without ORDER BY, sorts by every field, as the engine does to find duplicates); ORDER BY
// sorts stably. *all when that is every row as read.
std::vector<quint32> rowOrder(const sql::Select& select, const BoundSelect& bound, const ColumnTable& table,
                              bool* all) {
    QVector<SortKey> keys;
    for (int k = 0; k < bound.sortAt.size(); ++k) {
        keys << SortKey{bound.sortAt[k], select.order[k].descending};
    }
    std::vector<quint32> order;
    *all = !select.distinct && keys.isEmpty();
    if (*all) {
        return order;
    }
    if (select.distinct) {
        order = distinctRows(table, bound.outWidth);
        if (keys.isEmpty()) {
            for (int f = 0; f < bound.outWidth; ++f) {
                keys << SortKey{f, false};
            }
        }
    } else {
        order.resize(table.rows());
        std::iota(order.begin(), order.end(), 0u);
    }
    sortRows(table, keys, &order);
    return order;
}

class DatabaseImpl : public Database {
  public:
    explicit DatabaseImpl(std::unique_ptr<JetFile> file) : file_(std::move(file)) {}

    QStringList tableNames() const override {
        QStringList names;
        for (const CatalogObject& o : file_->tables()) {
            names << o.name;
        }
        return names;
    }
    QStringList queryNames() const override {
        QStringList names;
        for (const CatalogObject& o : file_->queries()) {
            names << o.name;
        }
        return names;
    }

    std::unique_ptr<RecordSet> openRecordSet(const QString& source, Error* error) override {
        Error local;
        Error* err = error ? error : &local;
        *err = Error();
        try {
            std::unique_ptr<RecordSetImpl> rs = openSource(source, 0, err);
            return rs;
        } catch (const RunFailure& failure) {
            *err = failure.error;
            return nullptr;
        } catch (const ReadFailure& failure) {
            *err = failure.error;
            return nullptr;
        } catch (const std::bad_alloc&) {
            *err = errors::unknown(QStringLiteral("memoria insufficiente"));
            return nullptr;
        }
    }

  private:
    std::unique_ptr<RecordSetImpl> openSource(const QString& source, int depth, Error* error) {
        const QString text = source.trimmed();
        if (sql::looksLikeStatement(text)) {
            sql::Select select;
            if (!sql::parseSelect(text, &select, error)) {
                return nullptr;
            }
            return run(select, depth, error);
        }
        QString name = text;
        if (name.size() >= 2 && name.startsWith(QLatin1Char('[')) && name.endsWith(QLatin1Char(']'))) {
            name = name.mid(1, name.size() - 2);
        }
        if (!name.isEmpty() && (file_->findTable(name) || file_->findQuery(name))) {
            sql::Select select;
            sql::SelectItem all;
            all.star = true;
            select.items.append(all);
            select.source = name;
            return run(select, depth, error);
        }
        *error = errors::missingSource(name);
        return nullptr;
    }

    // The statement's record source: a table, or a stored query run first (into *inner).
    bool openInput(const sql::Select& select, int depth, SourceColumns* columns, const TableDef** table,
                   std::unique_ptr<RecordSetImpl>* inner, Error* error) {
        if (const CatalogObject* t = file_->findTable(select.source)) {
            *table = file_->tableDef(*t, error);
            if (!*table) {
                return false;
            }
            for (const ColumnDef& c : (*table)->columns) {
                columns->names << c.name;
                columns->types << c.type;
            }
            return true;
        }
        if (const CatalogObject* q = file_->findQuery(select.source)) {
            sql::Select stored;
            if (!loadStoredQuery(*file_, *q, &stored, error)) {
                return false;
            }
            *inner = run(stored, depth + 1, error);
            if (!*inner) {
                return false;
            }
            columns->names = (*inner)->captions;
            columns->types = (*inner)->types;
            return true;
        }
        *error = errors::missingSource(select.source);
        return false;
    }

    std::unique_ptr<RecordSetImpl> run(sql::Select select, int depth, Error* error) {
        if (depth > kMaxQueryDepth) {
            *error = errors::notSupported();  // queries that name each other in a circle
            return nullptr;
        }
        SourceColumns columns;
        const TableDef* table = nullptr;
        std::unique_ptr<RecordSetImpl> inner;
        BoundSelect bound;
        if (!openInput(select, depth, &columns, &table, &inner, error) ||
            !bindSelect(select, columns, &bound, error)) {
            return nullptr;
        }
        ColumnTable rows(int(bound.read.size()));
        TableSink sink(bound.read, &rows);
        if (inner) {
            SnapshotRowValues row(*inner);
            for (int r = 0; r < inner->recordCount(); ++r) {
                row.setRow(r);
                if (!select.where || isTrue(evaluate(*select.where, row))) {
                    sink.add(row);
                }
            }
        } else if (!readTable(*file_, *table, select.where, bound.read, sink, error)) {
            return nullptr;
        }
        auto rs = std::make_unique<RecordSetImpl>();
        rs->captions = bound.captions;
        rs->types = bound.types;
        bool all = false;
        std::vector<quint32> order = rowOrder(select, bound, rows, &all);
        rs->setRows(std::move(rows), std::move(order), all);
        return rs;
    }

    std::unique_ptr<JetFile> file_;
};

}  // namespace

std::shared_ptr<Database> Database::open(const QString& path, Error* error) {
    Error local;
    Error* err = error ? error : &local;
    *err = Error();
    std::unique_ptr<JetFile> file = JetFile::open(path, err);
    if (!file) {
        return nullptr;
    }
    return std::make_shared<DatabaseImpl>(std::move(file));
}

}  // namespace jet
