// Stored queries (see storedquery.h).
#include "jet/sql/storedquery.h"

#include <QVector>

#include <algorithm>

#include "jet/internal/types.h"
#include "jet/sql/scan.h"

namespace jet {

namespace {

// One row of MSysQueries for the query.
struct Attr {
    int attribute = 0;
    QByteArray order;
    QString expression, name1, name2;
    int flag = 0;
};

// What is being rebuilt, beside the statement itself.
struct Rebuild {
    sql::Select* out = nullptr;
    int parameters = 0;
    bool star = false;
};

bool isSelectQuery(int flags, Error* error) {
    switch (flags) {
        case 0:
            return true;
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
}

int columnOf(const TableDef& def, const char* name) {
    const QString key = foldKey(QLatin1String(name));
    for (int i = 0; i < def.columns.size(); ++i) {
        if (def.columns[i].key == key) {
            return i;
        }
    }
    return -1;
}

// The query's rows, ordered by attribute and then by their stored order.
bool readAttributes(JetFile& file, const CatalogObject& query, QVector<Attr>* attrs, Error* error) {
    const CatalogObject* sys = file.findAnyTable(QStringLiteral("MSysQueries"));
    const TableDef* def = sys ? file.tableDef(*sys, error) : nullptr;
    if (!def) {
        if (!error->isError()) {
            *error = errors::missingSource(query.name);
        }
        return false;
    }
    const int cId = columnOf(*def, "ObjectId"), cAttr = columnOf(*def, "Attribute"),
              cExpr = columnOf(*def, "Expression"), cFlag = columnOf(*def, "Flag"),
              cName1 = columnOf(*def, "Name1"), cName2 = columnOf(*def, "Name2"),
              cOrder = columnOf(*def, "Order");
    if (cId < 0 || cAttr < 0 || cExpr < 0 || cFlag < 0 || cName1 < 0 || cName2 < 0) {
        *error = errors::unrecognizedFormat(file.path());
        return false;
    }
    readAllRows(
        file, *def,
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
            attrs->append(a);
        },
        error);
    std::stable_sort(attrs->begin(), attrs->end(), [](const Attr& x, const Attr& y) {
        return x.attribute != y.attribute ? x.attribute < y.attribute : x.order < y.order;
    });
    return true;
}

bool addColumn(const Attr& a, sql::Select* out, Error* error) {
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
    return true;
}

bool addOrder(const Attr& a, sql::Select* out, Error* error) {
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
    return true;
}

bool apply(const Attr& a, Rebuild* r, Error* error) {
    sql::Select* out = r->out;
    switch (a.attribute) {
        case 0:
        case 255:
            return true;
        case 1:
            if (a.flag != 1) {
                *error = a.flag >= 2 && a.flag <= 5 ? errors::invalidOperation() : errors::notSupported();
                return false;
            }
            return true;
        case 2:
            ++r->parameters;
            return true;
        case 3:
            if (a.flag & 0x30) {
                *error = errors::notSupported();  // TOP n [PERCENT]
                return false;
            }
            r->star = a.flag & 1;
            out->distinct = a.flag & 2;
            return true;
        case 5:
            if (!out->source.isEmpty()) {
                *error = errors::notSupported();  // more than one input: a join
                return false;
            }
            out->source = a.name1;
            out->sourceAlias = a.name2;
            return true;
        case 6:
            return addColumn(a, out, error);
        case 8:
            out->where = sql::parseExpression(a.expression, error);
            return bool(out->where);
        case 11:
            return addOrder(a, out, error);
        default:  // joins, grouping, having
            *error = errors::notSupported();
            return false;
    }
}

}  // namespace

bool loadStoredQuery(JetFile& file, const CatalogObject& query, sql::Select* out, Error* error) {
    QVector<Attr> attrs;
    if (!isSelectQuery(query.flags, error) || !readAttributes(file, query, &attrs, error)) {
        return false;
    }
    *out = sql::Select();
    Rebuild rebuild;
    rebuild.out = out;
    for (const Attr& a : attrs) {
        if (!apply(a, &rebuild, error)) {
            return false;
        }
    }
    if (rebuild.parameters > 0) {
        *error = errors::tooFewParameters(rebuild.parameters);
        return false;
    }
    if (rebuild.star) {
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

}  // namespace jet
