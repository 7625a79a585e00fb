// The key filter (see keyfilter.h).
#include "jet/sql/keyfilter.h"

#include <cmath>

#include "jet/internal/types.h"
#include "jet/sql/evaluate.h"

namespace jet {

namespace {

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

bool asKeyTest(const sql::Expr& e, const TableDef& table, KeyTest* out) {
    using K = sql::Expr::Kind;
    auto keyOf = [&](const sql::Expr& c) {
        const bool keyed = c.kind == K::Column && c.column >= 0 && c.column < table.columns.size() &&
                           keyEligible(table.columns[c.column]);
        return keyed ? c.column : -1;
    };
    if (e.kind == K::IsNull) {
        out->column = keyOf(*e.a);
        out->nullTest = true;
        out->negated = e.negated;
        return out->column >= 0;
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
    out->column = keyOf(*column);
    out->literal = v.toDouble();
    return out->column >= 0;
}

bool keyPasses(const KeyTest& t, const KeyArray& keys, int row) {
    const bool null = keys.isNull(row);
    if (t.nullTest) {
        return t.negated ? !null : null;
    }
    if (null) {
        return false;
    }
    const double k = double(keys.at(row));
    return compareHolds(t.op, k < t.literal ? -1 : k > t.literal ? 1 : 0);
}

// Equality on an array without NULLs, on the stored width: a value the width cannot hold is in
// no row.
template <typename T>
void equalRows(const QVector<T>& values, qint32 wanted, const QVector<int>* among, QVector<int>* out) {
    if (T(wanted) != wanted) {
        return;
    }
    const T w = T(wanted);
    const T* k = values.constData();
    if (among) {
        for (int r : *among) {
            if (k[r] == w) {
                out->append(r);
            }
        }
        return;
    }
    const int count = int(values.size());
    for (int r = 0; r < count; ++r) {
        if (k[r] == w) {
            out->append(r);
        }
    }
}

// The rows (of `among`, or of all) that pass a key test. An equality with a whole number, the
// common case, compares the stored integers directly.
void filterByKey(const KeyTest& t, const TableIndex& index, const QVector<int>* among, QVector<int>* out) {
    const KeyArray* keys = index.key(t.column);
    Q_ASSERT(keys);
    const int count = among ? int(among->size()) : int(index.rowCount);
    if (!t.nullTest && keys->nulls.isEmpty() && t.op == sql::CompareOp::Eq) {
        if (t.literal != std::floor(t.literal) || t.literal < -2147483648.0 || t.literal > 2147483647.0) {
            return;  // no integer equals it
        }
        const qint32 wanted = qint32(t.literal);
        if (keys->width == 1) {
            equalRows(keys->v8, wanted, among, out);
        } else if (keys->width == 2) {
            equalRows(keys->v16, wanted, among, out);
        } else {
            equalRows(keys->v32, wanted, among, out);
        }
        return;
    }
    for (int i = 0; i < count; ++i) {
        const int r = among ? (*among)[i] : i;
        if (keyPasses(t, *keys, r)) {
            out->append(r);
        }
    }
}

}  // namespace

void splitKeyTests(const sql::ExprPtr& where, const TableDef& table, QVector<KeyTest>* tests,
                   sql::ExprPtr* rest) {
    QVector<sql::ExprPtr> conjuncts;
    splitConjuncts(where, &conjuncts);
    rest->reset();
    for (const sql::ExprPtr& c : conjuncts) {
        KeyTest t;
        if (asKeyTest(*c, table, &t)) {
            *tests << t;
        } else if (!*rest) {
            *rest = c;
        } else {
            auto both = std::make_shared<sql::Expr>();
            both->kind = sql::Expr::Kind::And;
            both->a = *rest;
            both->b = c;
            *rest = both;
        }
    }
}

QVector<int> rowsPassing(const QVector<KeyTest>& tests, const TableIndex& index) {
    // Test by test: the first narrows the rows, the next see fewer.
    QVector<int> rows;
    filterByKey(tests[0], index, nullptr, &rows);
    for (int k = 1; k < tests.size() && !rows.isEmpty(); ++k) {
        QVector<int> narrower;
        filterByKey(tests[k], index, &rows, &narrower);
        rows.swap(narrower);
    }
    return rows;
}

}  // namespace jet
