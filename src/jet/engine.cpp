// The engine: record sources (tables, stored queries, select statements) run into snapshots.
#include <QCollator>
#include <QHash>
#include <QSet>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <numeric>
#include <string>
#include <vector>

#include "jet/jet.h"
#include "jet/jetfile.h"
#include "jet/jetvalue.h"
#include "jet/sql.h"

namespace jet {

namespace {

std::atomic<ReadPath> gReadPath{ReadPath::Automatic};

constexpr int kMaxQueryDepth = 16;

// A failure found while rows are being read (a type mismatch met at run time).
struct RunFailure {
    Error error;
};

class RecordSetImpl : public RecordSet {
  public:
    int fieldCount() const override { return captions.size(); }
    QString fieldName(int field) const override { return captions.value(field); }
    int fieldIndex(const QString& name) const override {
        const QString key = foldKey(name);
        for (int i = 0; i < captions.size(); ++i) {
            if (foldKey(captions[i]) == key) {
                return i;
            }
        }
        return -1;
    }
    int recordCount() const override { return captions.isEmpty() ? 0 : int(cells.size() / captions.size()); }
    const Value& value(int row, int field) const override {
        static const Value null;
        if (row < 0 || field < 0 || field >= captions.size() || row >= recordCount()) {
            return null;
        }
        return cells[qsizetype(row) * captions.size() + field];
    }

    QStringList captions;
    QVector<int> types;  // column types of the fields, as the source declares them
    std::vector<Value> cells;
};

// Rows of a snapshot seen as a record source.
class SnapshotRowValues : public RowValues {
  public:
    explicit SnapshotRowValues(const RecordSetImpl& rs) : rs_(rs) {}
    void setRow(int row) { row_ = row; }
    Value value(int column) override { return rs_.value(row_, column); }

  private:
    const RecordSetImpl& rs_;
    int row_ = 0;
};

// ---------------------------------------------------------------------------------- evaluation

int compareText(const QString& a, const QString& b) {
    // Text compares without regard to case, as the engine's default sort order does.
    return QString::compare(foldKey(a), foldKey(b));
}

bool isTrue(const Value& v) {
    switch (v.kind()) {
        case Value::Kind::Null:
        case Value::Kind::Text:
        case Value::Kind::Binary:
            return false;
        default:
            return v.toDouble() != 0;
    }
}

bool compareHolds(sql::CompareOp op, int c) {
    switch (op) {
        case sql::CompareOp::Eq:
            return c == 0;
        case sql::CompareOp::Ne:
            return c != 0;
        case sql::CompareOp::Lt:
            return c < 0;
        case sql::CompareOp::Gt:
            return c > 0;
        case sql::CompareOp::Le:
            return c <= 0;
        case sql::CompareOp::Ge:
            return c >= 0;
    }
    return false;
}

Value evaluate(const sql::Expr& e, RowValues& row) {
    using K = sql::Expr::Kind;
    switch (e.kind) {
        case K::Literal:
            return e.literal;
        case K::Column:
            return row.value(e.column);
        case K::Negate: {
            const Value v = evaluate(*e.a, row);
            if (v.isNull()) {
                return v;
            }
            if (typeClassOf(v) != TypeClass::Number) {
                throw RunFailure{errors::typeMismatch()};
            }
            if (v.kind() == Value::Kind::Integer) {
                return Value::fromInt(-v.toInt());
            }
            return Value::fromReal(-v.toDouble());
        }
        case K::Compare: {
            const Value a = evaluate(*e.a, row);
            const Value b = evaluate(*e.b, row);
            if (a.isNull() || b.isNull()) {
                return Value();
            }
            const TypeClass ca = typeClassOf(a);
            const TypeClass cb = typeClassOf(b);
            if (ca != cb || ca == TypeClass::Binary) {
                throw RunFailure{errors::typeMismatch()};
            }
            int c = 0;
            if (ca == TypeClass::Text) {
                c = compareText(a.text(), b.text());
            } else if (a.kind() == Value::Kind::Currency && b.kind() == Value::Kind::Currency) {
                c = a.currencyUnits() < b.currencyUnits()   ? -1
                    : a.currencyUnits() > b.currencyUnits() ? 1
                                                            : 0;
            } else {
                // Numbers compare as numbers: a Long field = 4.5 matches no 4.
                const double x = a.toDouble();
                const double y = b.toDouble();
                c = x < y ? -1 : x > y ? 1 : 0;
            }
            return Value::fromBool(compareHolds(e.op, c));
        }
        case K::IsNull: {
            const bool null = evaluate(*e.a, row).isNull();
            return Value::fromBool(e.negated ? !null : null);
        }
        case K::Not: {
            const Value v = evaluate(*e.a, row);
            return v.isNull() ? v : Value::fromBool(!isTrue(v));
        }
        case K::And: {
            const Value a = evaluate(*e.a, row);
            if (!a.isNull() && !isTrue(a)) {
                return Value::fromBool(false);
            }
            const Value b = evaluate(*e.b, row);
            if (!b.isNull() && !isTrue(b)) {
                return Value::fromBool(false);
            }
            return (a.isNull() || b.isNull()) ? Value() : Value::fromBool(true);
        }
        case K::Or: {
            const Value a = evaluate(*e.a, row);
            if (isTrue(a)) {
                return Value::fromBool(true);
            }
            const Value b = evaluate(*e.b, row);
            if (isTrue(b)) {
                return Value::fromBool(true);
            }
            return (a.isNull() || b.isNull()) ? Value() : Value::fromBool(false);
        }
    }
    return Value();
}

// Orders values the way a sort on a field does: NULL first, numbers by value, text caseless.
int compareForSort(const Value& a, const Value& b, const QCollator& collator) {
    if (a.isNull() || b.isNull()) {
        return a.isNull() == b.isNull() ? 0 : (a.isNull() ? -1 : 1);
    }
    const TypeClass ca = typeClassOf(a);
    const TypeClass cb = typeClassOf(b);
    if (ca != cb) {
        return int(ca) < int(cb) ? -1 : 1;
    }
    if (ca == TypeClass::Text) {
        const int c = collator.compare(a.text(), b.text());
        return c != 0 ? c : compareText(a.text(), b.text());
    }
    if (ca == TypeClass::Binary) {
        return a.bytes() < b.bytes() ? -1 : b.bytes() < a.bytes() ? 1 : 0;
    }
    const double x = a.toDouble();
    const double y = b.toDouble();
    return x < y ? -1 : x > y ? 1 : 0;
}

// DISTINCT takes values as equal as comparisons do: text without regard to case, numbers by value.
size_t distinctHash(const Value& v) {
    switch (typeClassOf(v)) {
        case TypeClass::Text:
            return qHash(foldKey(v.text()));
        case TypeClass::Binary:
            return qHash(v.bytes());
        case TypeClass::Number: {
            const double d = v.toDouble();
            return qHash(d == 0 ? 0.0 : d);  // -0 and 0 alike
        }
        default:
            return 0x9E3779B9u;
    }
}

bool distinctEqual(const Value& a, const Value& b) {
    const TypeClass ca = typeClassOf(a);
    if (ca != typeClassOf(b)) {
        return false;
    }
    switch (ca) {
        case TypeClass::Text:
            return compareText(a.text(), b.text()) == 0;
        case TypeClass::Binary:
            return a.bytes() == b.bytes();
        case TypeClass::Number:
            return a.toDouble() == b.toDouble();
        default:
            return true;
    }
}

void splitConjuncts(const sql::ExprPtr& e, QVector<sql::ExprPtr>* out) {
    if (e && e->kind == sql::Expr::Kind::And) {
        splitConjuncts(e->a, out);
        splitConjuncts(e->b, out);
    } else if (e) {
        out->append(e);
    }
}

sql::CompareOp flipped(sql::CompareOp op) {
    switch (op) {
        case sql::CompareOp::Lt:
            return sql::CompareOp::Gt;
        case sql::CompareOp::Gt:
            return sql::CompareOp::Lt;
        case sql::CompareOp::Le:
            return sql::CompareOp::Ge;
        case sql::CompareOp::Ge:
            return sql::CompareOp::Le;
        default:
            return op;
    }
}

// A criterion answered from a key array: a key column against a number, or IS [NOT] NULL.
struct KeyTest {
    int key = -1;  // index into TableIndex::keyColumns
    bool nullTest = false;
    bool negated = false;
    sql::CompareOp op = sql::CompareOp::Eq;
    double literal = 0;
};

bool asKeyTest(const sql::Expr& e, const TableIndex& index, KeyTest* out) {
    using K = sql::Expr::Kind;
    auto keyOf = [&](const sql::Expr& c) {
        return c.kind == K::Column ? int(index.keyColumns.indexOf(c.column)) : -1;
    };
    if (e.kind == K::IsNull) {
        out->key = keyOf(*e.a);
        out->nullTest = true;
        out->negated = e.negated;
        return out->key >= 0;
    }
    if (e.kind != K::Compare) {
        return false;
    }
    const sql::Expr* column = e.a.get();
    const sql::Expr* literal = e.b.get();
    out->op = e.op;
    if (column->kind != K::Column) {
        std::swap(column, literal);
        out->op = flipped(e.op);
    }
    if (column->kind != K::Column || literal->kind != K::Literal) {
        return false;
    }
    const Value& v = literal->literal;
    if (v.isNull() || typeClassOf(v) != TypeClass::Number) {
        return false;
    }
    out->key = keyOf(*column);
    out->literal = v.toDouble();
    return out->key >= 0;
}

bool keyPasses(const KeyTest& t, const TableIndex& index, int row) {
    const bool null = !index.nulls[t.key].isEmpty() && index.nulls[t.key][row];
    if (t.nullTest) {
        return t.negated ? !null : null;
    }
    if (null) {
        return false;
    }
    const double k = double(index.keys[t.key][row]);
    return compareHolds(t.op, k < t.literal ? -1 : k > t.literal ? 1 : 0);
}

// The rows (of `among`, or of all) that pass a key test. An equality with a whole number, the
// common case, compares the stored integers directly.
void filterByKey(const KeyTest& t, const TableIndex& index, const QVector<int>* among, QVector<int>* out) {
    const QVector<qint32>& keys = index.keys[t.key];
    const bool noNulls = index.nulls[t.key].isEmpty();
    const int count = among ? int(among->size()) : int(keys.size());
    if (!t.nullTest && noNulls && t.op == sql::CompareOp::Eq) {
        if (t.literal != std::floor(t.literal) || t.literal < -2147483648.0 || t.literal > 2147483647.0) {
            return;  // no integer equals it
        }
        const qint32 wanted = qint32(t.literal);
        const qint32* k = keys.constData();
        for (int i = 0; i < count; ++i) {
            const int r = among ? (*among)[i] : i;
            if (k[r] == wanted) {
                out->append(r);
            }
        }
        return;
    }
    for (int i = 0; i < count; ++i) {
        const int r = among ? (*among)[i] : i;
        if (keyPasses(t, index, r)) {
            out->append(r);
        }
    }
}

// -------------------------------------------------------------------------------- the database

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

    // A stored query rebuilt from its rows in MSysQueries.
    bool loadStoredQuery(const CatalogObject& query, sql::Select* out, Error* error) {
        switch (query.flags) {
            case 0:
                break;
            case 32:
            case 48:
            case 64:
            case 80:
            case 96:
                *error = errors::invalidOperation();  // an action query yields no rows
                return false;
            default:
                *error = errors::notSupported();
                return false;
        }
        const CatalogObject* sys = file_->findAnyTable(QStringLiteral("MSysQueries"));
        const TableDef* def = sys ? file_->tableDef(*sys, error) : nullptr;
        if (!def) {
            if (!error->isError()) {
                *error = errors::missingSource(query.name);
            }
            return false;
        }
        auto col = [&](const char* name) {
            for (int i = 0; i < def->columns.size(); ++i) {
                if (def->columns[i].key == foldKey(QLatin1String(name))) {
                    return i;
                }
            }
            return -1;
        };
        const int cId = col("ObjectId"), cAttr = col("Attribute"), cExpr = col("Expression"),
                  cFlag = col("Flag"), cName1 = col("Name1"), cName2 = col("Name2"), cOrder = col("Order");
        if (cId < 0 || cAttr < 0 || cExpr < 0 || cFlag < 0 || cName1 < 0 || cName2 < 0) {
            *error = errors::unrecognizedFormat(file_->path());
            return false;
        }
        struct Attr {
            int attribute;
            QByteArray order;
            QString expression, name1, name2;
            int flag;
        };
        QVector<Attr> attrs;
        file_->scanWithLibmdb(
            *def,
            [&](RowValues& row) {
                if ((quint32(row.value(cId).toInt()) & 0x00FFFFFFu) != query.id) {
                    return;
                }
                Attr a;
                a.attribute = int(row.value(cAttr).toInt());
                a.order = cOrder >= 0 ? row.value(cOrder).bytes() : QByteArray();
                a.expression = row.value(cExpr).text();
                a.name1 = row.value(cName1).text();
                a.name2 = row.value(cName2).text();
                a.flag = int(row.value(cFlag).toInt());
                attrs.append(a);
            },
            error);
        std::stable_sort(attrs.begin(), attrs.end(), [](const Attr& x, const Attr& y) {
            return x.attribute != y.attribute ? x.attribute < y.attribute : x.order < y.order;
        });
        *out = sql::Select();
        int parameters = 0;
        bool star = false;
        for (const Attr& a : attrs) {
            switch (a.attribute) {
                case 0:
                case 255:
                    break;
                case 1:
                    if (a.flag != 1) {
                        *error =
                            a.flag >= 2 && a.flag <= 5 ? errors::invalidOperation() : errors::notSupported();
                        return false;
                    }
                    break;
                case 2:
                    ++parameters;
                    break;
                case 3:
                    if (a.flag & 0x30) {
                        *error = errors::notSupported();  // TOP n [PERCENT]
                        return false;
                    }
                    star = a.flag & 1;
                    out->distinct = a.flag & 2;
                    break;
                case 5:
                    if (!out->source.isEmpty()) {
                        *error = errors::notSupported();  // more than one input: a join
                        return false;
                    }
                    out->source = a.name1;
                    out->sourceAlias = a.name2;
                    break;
                case 6: {
                    sql::SelectItem item;
                    if (!sql::parseSelectItem(a.expression, &item, error) || item.hasAlias) {
                        *error = errors::notSupported();  // a calculated column
                        return false;
                    }
                    if (!a.name1.isEmpty()) {
                        item.alias = a.name1;
                        item.hasAlias = true;
                    }
                    out->items.append(item);
                    break;
                }
                case 8:
                    out->where = sql::parseExpression(a.expression, error);
                    if (!out->where) {
                        return false;
                    }
                    break;
                case 11: {
                    Error e;
                    sql::ExprPtr x = sql::parseExpression(a.expression, &e);
                    if (!x || x->kind != sql::Expr::Kind::Column) {
                        *error = errors::notSupported();
                        return false;
                    }
                    sql::OrderItem item;
                    item.qualifier = x->qualifier;
                    item.name = x->name;
                    item.descending = a.name1.compare(QLatin1String("D"), Qt::CaseInsensitive) == 0;
                    out->order.append(item);
                    break;
                }
                default:  // joins, grouping, having
                    *error = errors::notSupported();
                    return false;
            }
        }
        if (parameters > 0) {
            *error = errors::tooFewParameters(parameters);
            return false;
        }
        if (star) {
            sql::SelectItem all;
            all.star = true;
            out->items.prepend(all);
        }
        if (out->source.isEmpty() || out->items.isEmpty()) {
            *error = errors::notSupported();
            return false;
        }
        return true;
    }

    std::unique_ptr<RecordSetImpl> run(sql::Select select, int depth, Error* error) {
        if (depth > kMaxQueryDepth) {
            *error = errors::notSupported();  // queries that name each other in a circle
            return nullptr;
        }
        // The record source: a table, or a stored query run first.
        QStringList names;
        QVector<int> types;
        const TableDef* table = nullptr;
        std::unique_ptr<RecordSetImpl> inner;
        if (const CatalogObject* t = file_->findTable(select.source)) {
            table = file_->tableDef(*t, error);
            if (!table) {
                return nullptr;
            }
            for (const ColumnDef& c : table->columns) {
                names << c.name;
                types << c.type;
            }
        } else if (const CatalogObject* q = file_->findQuery(select.source)) {
            sql::Select stored;
            if (!loadStoredQuery(*q, &stored, error)) {
                return nullptr;
            }
            inner = run(stored, depth + 1, error);
            if (!inner) {
                return nullptr;
            }
            names = inner->captions;
            types = inner->types;
        } else {
            *error = errors::missingSource(select.source);
            return nullptr;
        }

        // Names: a field of the source, or else a parameter the statement does not supply.
        QStringList parameters;
        auto bind = [&](const QString& qualifier, const QString& name) {
            const bool qualified = !qualifier.isEmpty();
            const QString q = foldKey(qualifier);
            if (qualified && q != foldKey(select.source) && q != foldKey(select.sourceAlias)) {
                const QString p = foldKey(qualifier + QLatin1Char('.') + name);
                if (!parameters.contains(p)) {
                    parameters << p;
                }
                return -1;
            }
            const QString key = foldKey(name);
            for (int i = 0; i < names.size(); ++i) {
                if (foldKey(names[i]) == key) {
                    return i;
                }
            }
            const QString p = foldKey(qualified ? qualifier + QLatin1Char('.') + name : name);
            if (!parameters.contains(p)) {
                parameters << p;
            }
            return -1;
        };

        auto rs = std::make_unique<RecordSetImpl>();
        QVector<int> out;  // source column of each output field
        for (const sql::SelectItem& item : select.items) {
            if (item.star) {
                if (!item.qualifier.isEmpty() && foldKey(item.qualifier) != foldKey(select.source) &&
                    foldKey(item.qualifier) != foldKey(select.sourceAlias)) {
                    *error = errors::missingSource(item.qualifier);
                    return nullptr;
                }
                for (int i = 0; i < names.size(); ++i) {
                    out << i;
                    rs->captions << names[i];
                    rs->types << types[i];
                }
                continue;
            }
            const int c = bind(item.qualifier, item.name);
            out << c;
            // A field without alias is headed by its name as the table stores it.
            rs->captions << (item.hasAlias ? item.alias : c >= 0 ? names[c] : item.name);
            rs->types << (c >= 0 ? types[c] : 0);
        }
        std::function<void(sql::Expr&)> bindExpr = [&](sql::Expr& e) {
            if (e.kind == sql::Expr::Kind::Column) {
                e.column = bind(e.qualifier, e.name);
            }
            if (e.a) {
                bindExpr(*e.a);
            }
            if (e.b) {
                bindExpr(*e.b);
            }
        };
        if (select.where) {
            bindExpr(*select.where);
        }
        QVector<int> orderColumns;
        for (const sql::OrderItem& o : select.order) {
            orderColumns << bind(o.qualifier, o.name);
        }
        if (!parameters.isEmpty()) {
            *error = errors::tooFewParameters(int(parameters.size()));
            return nullptr;
        }
        if (select.where && !typesAgree(*select.where, types)) {
            *error = errors::typeMismatch();
            return nullptr;
        }

        // Fields read per row: the output, then the sort keys not among them.
        QVector<int> read = out;
        QVector<int> sortAt;
        for (int c : orderColumns) {
            int at = int(read.indexOf(c));
            if (at < 0) {
                at = int(read.size());
                read << c;
            }
            sortAt << at;
        }
        const int width = int(read.size());
        std::vector<Value> cells;
        const std::function<void(RowValues&)> project = [&](RowValues& row) {
            for (int c : read) {
                cells.push_back(row.value(c));
            }
        };
        const std::function<void(RowValues&)> take = [&](RowValues& row) {
            if (select.where && !isTrue(evaluate(*select.where, row))) {
                return;
            }
            project(row);
        };

        if (inner) {
            SnapshotRowValues row(*inner);
            for (int r = 0; r < inner->recordCount(); ++r) {
                row.setRow(r);
                take(row);
            }
        } else if (!readTable(*table, select.where, take, project, read, &cells, error)) {
            return nullptr;
        }

        // Row order: DISTINCT keeps the first of equal rows; ORDER BY sorts stably.
        const int count = width ? int(cells.size() / width) : 0;
        QVector<int> order(count);
        std::iota(order.begin(), order.end(), 0);
        const int outWidth = int(out.size());
        if (select.distinct) {
            // Rows hashed on their fields; equal hashes are compared field by field.
            QHash<size_t, QVector<int>> buckets;
            QVector<int> kept;
            for (int r : order) {
                const Value* row = &cells[size_t(r) * width];
                size_t h = 0;
                for (int f = 0; f < outWidth; ++f) {
                    h = h * 1000003u ^ distinctHash(row[f]);
                }
                QVector<int>& bucket = buckets[h];
                bool seen = false;
                for (int other : bucket) {
                    const Value* o = &cells[size_t(other) * width];
                    bool same = true;
                    for (int f = 0; f < outWidth && same; ++f) {
                        same = distinctEqual(row[f], o[f]);
                    }
                    if (same) {
                        seen = true;
                        break;
                    }
                }
                if (!seen) {
                    bucket << r;
                    kept << r;
                }
            }
            order = kept;
            if (sortAt.isEmpty()) {
                // The engine sorts to find duplicates: DISTINCT rows come ordered by their fields.
                for (int f = 0; f < outWidth; ++f) {
                    sortAt << f;
                }
                select.order = QList<sql::OrderItem>(outWidth);
            }
        }
        if (!sortAt.isEmpty()) {
            QCollator collator{QLocale(QLocale::Italian, QLocale::Italy)};
            collator.setCaseSensitivity(Qt::CaseInsensitive);
            std::stable_sort(order.begin(), order.end(), [&](int x, int y) {
                for (int k = 0; k < sortAt.size(); ++k) {
                    int c = compareForSort(cells[qsizetype(x) * width + sortAt[k]],
                                           cells[qsizetype(y) * width + sortAt[k]], collator);
                    if (select.order[k].descending) {
                        c = -c;
                    }
                    if (c != 0) {
                        return c < 0;
                    }
                }
                return false;
            });
        }
        bool identity = width == outWidth && order.size() == count;
        for (int i = 0; identity && i < order.size(); ++i) {
            identity = order[i] == i;
        }
        if (identity) {
            rs->cells = std::move(cells);
        } else {
            rs->cells.reserve(size_t(order.size()) * outWidth);
            for (int r : order) {
                for (int f = 0; f < outWidth; ++f) {
                    rs->cells.push_back(cells[qsizetype(r) * width + f]);
                }
            }
        }
        return rs;
    }

    // Criteria must compare like with like: a text field with text, a number field with numbers.
    static TypeClass classOf(const sql::Expr& e, const QVector<int>& types) {
        switch (e.kind) {
            case sql::Expr::Kind::Literal:
                return typeClassOf(e.literal);
            case sql::Expr::Kind::Column:
                return types[e.column] ? typeClassOf(types[e.column]) : TypeClass::Unknown;
            default:
                return TypeClass::Number;
        }
    }
    static bool typesAgree(const sql::Expr& e, const QVector<int>& types) {
        if (e.kind == sql::Expr::Kind::Compare) {
            const TypeClass a = classOf(*e.a, types);
            const TypeClass b = classOf(*e.b, types);
            if (a == TypeClass::Binary || b == TypeClass::Binary) {
                return false;
            }
            if (a != TypeClass::Unknown && b != TypeClass::Unknown && a != b) {
                return false;
            }
        }
        if (e.kind == sql::Expr::Kind::Negate) {
            const TypeClass a = classOf(*e.a, types);
            if (a == TypeClass::Text || a == TypeClass::Binary) {
                return false;
            }
        }
        return (!e.a || typesAgree(*e.a, types)) && (!e.b || typesAgree(*e.b, types));
    }

    // Rows of a table that meet the criteria: by the page scan, or through libmdb.
    bool readTable(const TableDef& table, const sql::ExprPtr& where,
                   const std::function<void(RowValues&)>& take,
                   const std::function<void(RowValues&)>& project, const QVector<int>& read,
                   std::vector<Value>* cells, Error* error) {
        const ReadPath path = gReadPath.load();
        if (path != ReadPath::LibmdbOnly) {
            try {
                const std::shared_ptr<const TableIndex> index = file_->index(table);
                // Criteria on integer fields are answered from the key arrays; the rest per row.
                QVector<sql::ExprPtr> conjuncts;
                splitConjuncts(where, &conjuncts);
                QVector<KeyTest> keyTests;
                sql::ExprPtr rest;
                for (const sql::ExprPtr& c : conjuncts) {
                    KeyTest t;
                    if (asKeyTest(*c, *index, &t)) {
                        keyTests << t;
                    } else if (!rest) {
                        rest = c;
                    } else {
                        auto both = std::make_shared<sql::Expr>();
                        both->kind = sql::Expr::Kind::And;
                        both->a = rest;
                        both->b = c;
                        rest = both;
                    }
                }
                // Test by test over the arrays: the first narrows the rows, the next see fewer.
                QVector<int> rows;
                const bool allRows = keyTests.isEmpty();
                if (!allRows) {
                    filterByKey(keyTests[0], *index, nullptr, &rows);
                    for (int k = 1; k < keyTests.size() && !rows.isEmpty(); ++k) {
                        QVector<int> narrower;
                        filterByKey(keyTests[k], *index, &rows, &narrower);
                        rows.swap(narrower);
                    }
                }
                const int count = allRows ? int(index->locations.size()) : int(rows.size());
                // Fields that all have key arrays (a list of years, of days) come from the arrays.
                QVector<int> fromKeys;
                for (int c : read) {
                    fromKeys << int(index->keyColumns.indexOf(c));
                }
                if (!rest && !fromKeys.contains(-1)) {
                    cells->reserve(size_t(count) * read.size());
                    for (int i = 0; i < count; ++i) {
                        const int r = allRows ? i : rows[i];
                        for (int k : fromKeys) {
                            const bool null = !index->nulls[k].isEmpty() && index->nulls[k][r];
                            cells->push_back(null ? Value() : Value::fromInt(index->keys[k][r]));
                        }
                    }
                    return true;
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
                if (!rest) {
                    cells->reserve(size_t(wanted.size()) * read.size());
                }
                file_->readRows(table, wanted, [&](RowValues& row) {
                    if (rest && !isTrue(evaluate(*rest, row))) {
                        return;
                    }
                    project(row);
                });
                return true;
            } catch (const Fallback&) {
                cells->clear();
                if (path == ReadPath::PageScanOnly) {
                    *error = errors::unknown(QStringLiteral("lettura diretta delle pagine non possibile"));
                    return false;
                }
            }
        }
        return file_->scanWithLibmdb(table, take, error);
    }

    std::unique_ptr<JetFile> file_;
};

}  // namespace

void setReadPath(ReadPath path) {
    gReadPath.store(path);
}
ReadPath readPath() {
    return gReadPath.load();
}
void clearRowCache() {
    JetFile::clearIndexCache();
}

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
