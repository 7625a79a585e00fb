// ORDER BY (see order.h).
#include "jet/order.h"

#include <QCollator>

#include <algorithm>

#include "jet/evaluate.h"
#include "jet/jetvalue.h"

namespace jet {

namespace {

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

}  // namespace

void sortRows(const std::vector<Value>& cells, int width, const QVector<SortKey>& keys, QVector<int>* order) {
    QCollator collator{QLocale(QLocale::Italian, QLocale::Italy)};
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::stable_sort(order->begin(), order->end(), [&](int x, int y) {
        for (const SortKey& k : keys) {
            int c = compareForSort(cells[qsizetype(x) * width + k.at], cells[qsizetype(y) * width + k.at],
                                   collator);
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
