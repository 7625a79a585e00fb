// DISTINCT (see distinct.h).
#include "jet/sql/distinct.h"

#include <QHash>

#include <cmath>

#include "jet/internal/types.h"
#include "jet/sql/evaluate.h"

namespace jet {

namespace {

size_t distinctHash(const Value& v) {
    switch (typeClassOf(v)) {
        case TypeClass::Text:
            return qHash(foldKey(v.text()));
        case TypeClass::Binary:
            return qHash(v.bytes());
        case TypeClass::Number: {
            const double d = v.toDouble();
            // -0 and 0 alike, every NaN alike: equal values must share a bucket.
            return std::isnan(d) ? 0x7FF8u : qHash(d == 0 ? 0.0 : d);
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
        case TypeClass::Number: {
            // NaN is one value here, or rows of NaN would never meet their equals.
            const double x = a.toDouble();
            const double y = b.toDouble();
            return (x == y && compareSecondFractions(a, b) == 0) || (std::isnan(x) && std::isnan(y));
        }
        default:
            return true;
    }
}

}  // namespace

std::vector<quint32> distinctRows(const ColumnTable& table, int fields) {
    // Rows hashed on their fields; equal hashes are compared field by field.
    const size_t count = table.rows();
    QHash<size_t, std::vector<quint32>> buckets;
    std::vector<quint32> kept;
    std::vector<Value> row(static_cast<size_t>(fields));
    for (size_t r = 0; r < count; ++r) {
        size_t h = 0;
        for (int f = 0; f < fields; ++f) {
            row[size_t(f)] = table.value(r, f);
            h = h * 1000003u ^ distinctHash(row[size_t(f)]);
        }
        std::vector<quint32>& bucket = buckets[h];
        bool seen = false;
        for (quint32 other : bucket) {
            bool same = true;
            for (int f = 0; f < fields && same; ++f) {
                same = distinctEqual(row[size_t(f)], table.value(other, f));
            }
            if (same) {
                seen = true;
                break;
            }
        }
        if (!seen) {
            bucket.push_back(quint32(r));
            kept.push_back(quint32(r));
        }
    }
    return kept;
}

}  // namespace jet
