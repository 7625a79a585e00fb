// ORDER BY (see order.h).
#include "jet/sql/order.h"

#include <QCollator>

#include <algorithm>
#include <cmath>

#include "jet/internal/types.h"
#include "jet/sql/evaluate.h"

namespace jet {

namespace {

// A total order (NaN after every number, as one value): the sort needs a strict weak order.
int compareNumbers(double x, double y) {
    if (x < y) {
        return -1;
    }
    if (x > y) {
        return 1;
    }
    const bool nx = std::isnan(x);
    const bool ny = std::isnan(y);
    return nx == ny ? 0 : nx ? 1 : -1;
}

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
    const int c = compareNumbers(a.toDouble(), b.toDouble());
    return c != 0 ? c : compareSecondFractions(a, b);
}

}  // namespace

void sortRows(const ColumnTable& table, const QVector<SortKey>& keys, std::vector<quint32>* order) {
    QCollator collator{QLocale(QLocale::Italian, QLocale::Italy)};
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::stable_sort(order->begin(), order->end(), [&](quint32 x, quint32 y) {
        for (const SortKey& k : keys) {
            int c = compareForSort(table.value(x, k.column), table.value(y, k.column), collator);
            if (k.descending) {
                c = -c;
            }
            if (c != 0) {
                return c < 0;
            }
        }
        return false;
    });
}

}  // namespace jet
