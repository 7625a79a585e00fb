// The engine: record sources (tables, stored queries, select statements) run into snapshots.
// A statement runs in four steps: bind (bind.cpp), read (scan.cpp), DISTINCT (distinct.cpp) and
// ORDER BY (order.cpp).
#include <algorithm>
#include <cstring>
#include <numeric>
#include <vector>

#include "jet/internal/filebytes.h"
#include "jet/internal/jetfile.h"
#include "jet/internal/types.h"
#include "jet/internal/values.h"
#include "jet/jet.h"
#include "jet/sql/bind.h"
#include "jet/sql/distinct.h"
#include "jet/sql/evaluate.h"
#include "jet/sql/order.h"
#include "jet/sql/recordset.h"
#include "jet/sql/scan.h"
#include "jet/sql/sql.h"
#include "jet/sql/storedquery.h"

namespace jet {

namespace {

constexpr int kMaxQueryDepth = 16;

// Hands a plain fixed-width cell's number to the matching method of `out`, read as decodeFixed
// reads it.
template <typename Out>
void withFixed(int type, const uchar* p, Out& out) {
    switch (type) {
        case TypeByte:
            return out.integer(p[0]);  // unsigned
        case TypeInteger:
            return out.integer(qint16(u16(p)));
        case TypeLong:
            return out.integer(qint32(u32(p)));
        case TypeBigInt:
            return out.integer(qint64(u64(p)));
        case TypeCurrency:
            return out.currency(qint64(u64(p)));
        case TypeSingle: {
            const quint32 bits = u32(p);
            float f;
            std::memcpy(&f, &bits, 4);
            return out.real(double(f), true);
        }
        case TypeDouble:
        case TypeDateTime: {
            const quint64 bits = u64(p);
            double d;
            std::memcpy(&d, &bits, 8);
            return type == TypeDouble ? out.real(d, false) : out.date(d);
        }
        default:
            return out.other(decodeFixed(type, p));
    }
}

// The types of the table columns a statement reads; 0 where the source is not a table.
std::vector<int> readTypes(const QVector<int>& read, const TableDef* source) {
    std::vector<int> types(size_t(read.size()), 0);
    for (int i = 0; source && i < read.size(); ++i) {
        if (read[i] >= 0 && read[i] < source->columns.size()) {
            types[size_t(i)] = source->columns[read[i]].type;
        }
    }
    return types;
}

// Keeps the fields a statement reads, column by column. Numbers and dates of a table's fixed
// columns go from their stored bytes straight into the columns, without a Value each.
class TableSink : public RowSink {
  public:
    TableSink(const QVector<int>& read, const TableDef* source, ColumnTable* table)
        : read_(read), types_(readTypes(read, source)), table_(table) {}
    void reserve(size_t rows) override {
        for (ColumnStore& c : table_->columns) {
            c.reserve(rows);
        }
    }
    void add(RowValues& row) override {
        for (int i = 0; i < read_.size(); ++i) {
            ColumnStore& out = table_->columns[size_t(i)];
            const uchar* p = nullptr;
            const int type = types_[size_t(i)];
            if (type == 0 || !row.fixedCell(read_[i], &p)) {
                out.append(row.value(read_[i]));
            } else if (!p) {
                out.appendNull();
            } else {
                Append append{out};
                withFixed(type, p, append);
            }
        }
    }
    void discard() override { *table_ = ColumnTable(int(read_.size())); }

  private:
    struct Append {
        ColumnStore& out;
        void integer(qint64 v) { out.appendInteger(v); }
        void currency(qint64 v) { out.appendCurrency(v); }
        void real(double v, bool single) { out.appendReal(v, single); }
        void date(double v) { out.appendDate(v); }
        void other(const Value& v) { out.append(v); }
    };

    const QVector<int>& read_;
    std::vector<int> types_;  // of the source's columns read; 0 when the source is not a table
    ColumnTable* table_;
};

// A row of a table being read, its fields as text for a stream.
class StreamCells : public RowCells {
  public:
    StreamCells(const QVector<int>& read, const TableDef* source, int width)
        : read_(read), types_(readTypes(read, source)), width_(width) {}
    void setRow(RowValues& row) { row_ = &row; }
    int fieldCount() const override { return width_; }
    QStringView textView(int field, const DisplayFormat& format, QString* buffer) const override {
        const uchar* p = nullptr;
        const int type = types_[size_t(field)];
        if (type != 0 && row_->fixedCell(read_[field], &p)) {
            // Numbers and dates written from their stored bytes, without a Value.
            buffer->resize(0);
            if (p) {
                Format out{format, buffer};
                withFixed(type, p, out);
            }
            return *buffer;
        }
        held_ = row_->value(read_[field]);
        if (held_.kind() == Value::Kind::Text) {
            return held_.text();  // valid while held_ is
        }
        buffer->resize(0);
        format.append(held_, buffer);
        return *buffer;
    }

  private:
    struct Format {
        const DisplayFormat& format;
        QString* out;
        void integer(qint64 v) { format.appendInteger(v, out); }
        void currency(qint64 v) { format.appendCurrency(v, out); }
        void real(double v, bool single) { format.appendReal(v, single, out); }
        void date(double v) { format.appendDate(v, out); }
        void other(const Value& v) { format.append(v, out); }
    };

    const QVector<int>& read_;
    std::vector<int> types_;
    int width_;
    RowValues* row_ = nullptr;
    mutable Value held_;
};

// A row of a snapshot, for a stream.
class SnapshotCells : public RowCells {
  public:
    explicit SnapshotCells(const RecordSet& rows) : rows_(rows) {}
    void setRow(int row) { row_ = row; }
    int fieldCount() const override { return rows_.fieldCount(); }
    QStringView textView(int field, const DisplayFormat& format, QString* buffer) const override {
        return rows_.textView(row_, field, format, buffer);
    }

  private:
    const RecordSet& rows_;
    int row_ = 0;
};

// Thrown through the read when the stream asks it to stop.
struct StreamStopped {};

// Hands every row read to a stream as it comes.
class StreamSink : public RowSink {
  public:
    StreamSink(RowStream& out, const QVector<int>& read, const TableDef* source, int width)
        : out_(out), cells_(read, source, width) {}
    void add(RowValues& row) override {
        cells_.setRow(row);
        if (!out_.row(cells_)) {
            throw StreamStopped{};
        }
    }
    void discard() override { throw ReadFailure{errors::unknown(QString())}; }  // rows handed over stay

  private:
    RowStream& out_;
    StreamCells cells_;
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

    bool changedOnDisk() const override { return file_->changedOnDisk(); }

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

    bool readRows(const QString& source, RowStream& out, Error* error) override {
        Error local;
        Error* err = error ? error : &local;
        *err = Error();
        try {
            sql::Select select;
            if (!selectOf(source, &select, err)) {
                return false;
            }
            if (!select.distinct && select.order.isEmpty() && file_->findTable(select.source)) {
                return stream(select, out, err);
            }
            std::unique_ptr<RecordSetImpl> rs = run(select, 0, err);
            if (rs && !rs->leftOut.isEmpty()) {
                out.leftOut(rs->leftOut);
            }
            if (!rs || !out.start(rs->captions)) {
                return rs != nullptr;
            }
            SnapshotCells cells(*rs);
            for (int r = 0; r < rs->recordCount(); ++r) {
                cells.setRow(r);
                if (!out.row(cells)) {
                    break;
                }
            }
            return true;
        } catch (const StreamStopped&) {
            return true;
        } catch (const RunFailure& failure) {
            *err = failure.error;
            return false;
        } catch (const ReadFailure& failure) {
            *err = failure.error;
            return false;
        } catch (const std::bad_alloc&) {
            *err = errors::unknown(QStringLiteral("memoria insufficiente"));
            return false;
        }
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
        sql::Select select;
        if (!selectOf(source, &select, error)) {
            return nullptr;
        }
        return run(select, depth, error);
    }

    // The statement of a record source: its text parsed, or every field of a table or query.
    bool selectOf(const QString& source, sql::Select* select, Error* error) {
        const QString text = source.trimmed();
        if (sql::looksLikeStatement(text)) {
            return sql::parseSelect(text, select, error);
        }
        QString name = text;
        if (name.size() >= 2 && name.startsWith(QLatin1Char('[')) && name.endsWith(QLatin1Char(']'))) {
            name = name.mid(1, name.size() - 2);
        }
        if (!name.isEmpty() && (file_->findTable(name) || file_->findQuery(name))) {
            sql::SelectItem all;
            all.star = true;
            select->items.append(all);
            select->source = name;
            return true;
        }
        *error = file_->missingObject(name);
        return false;
    }

    // A table's rows that meet the criterion, handed over as they are read.
    bool stream(sql::Select& select, RowStream& out, Error* error) {
        SourceColumns columns;
        const TableDef* table = nullptr;
        std::unique_ptr<RecordSetImpl> inner;
        BoundSelect bound;
        if (!openInput(select, 0, &columns, &table, &inner, error) ||
            !bindSelect(select, columns, &bound, error)) {
            return false;
        }
        if (!bound.leftOut.isEmpty()) {
            out.leftOut(bound.leftOut);
        }
        if (!out.start(bound.captions)) {
            return true;
        }
        StreamSink sink(out, bound.read, table, int(bound.captions.size()));
        return readTable(*file_, *table, select.where, bound.read, sink, error);
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
                // A complex column whose items can be shown is a text to the statement.
                const bool items = c.type == TypeComplex && c.complexLink >= 0;
                columns->names << c.name;
                columns->types << (items ? int(TypeMemo) : c.type);
                columns->shownOnly << items;
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
            columns->shownOnly = (*inner)->shownOnly;
            return true;
        }
        *error = file_->missingObject(select.source);
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
        TableSink sink(bound.read, inner ? nullptr : table, &rows);
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
        rs->shownOnly = bound.shownOnly;
        rs->leftOut = bound.leftOut;
        const bool star = std::any_of(select.items.cbegin(), select.items.cend(),
                                      [](const sql::SelectItem& item) { return item.star; });
        if (inner && star) {
            rs->leftOut = inner->leftOut + rs->leftOut;  // what the query's own "*" left out
        }
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
