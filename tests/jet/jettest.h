// Helpers shared by the reader's tests.
#pragma once

#include <QDate>
#include <QVariant>

#include <cmath>

#include "jet/jet.h"

namespace jettest {

// A value in the comparable form of the round-trip checks: bool, qint64 (Currency scaled by
// 10 000), double (Single, Double, DateTime serial), QString, QByteArray; NULL an invalid QVariant.
inline QVariant comparable(const jet::Value& v) {
    switch (v.kind()) {
        case jet::Value::Kind::Null:
            return QVariant();
        case jet::Value::Kind::Boolean:
            return v.toBool();
        case jet::Value::Kind::Integer:
            return v.toInt();
        case jet::Value::Kind::Currency:
            return v.currencyUnits();
        case jet::Value::Kind::Real:
            return v.toDouble();
        case jet::Value::Kind::DateTime:
            return v.dateSerial();
        case jet::Value::Kind::Text:
        case jet::Value::Kind::Decimal:
            return v.text();
        case jet::Value::Kind::Binary:
            return v.bytes();
    }
    return QVariant();
}

// Equal, doubles within the precision mdb-reader keeps (dates to the millisecond).
inline bool sameValue(const QVariant& a, const QVariant& b) {
    if (a.isValid() != b.isValid()) {
        return false;
    }
    if (!a.isValid()) {
        return true;
    }
    if (a.typeId() == QMetaType::Double || b.typeId() == QMetaType::Double) {
        const double x = a.toDouble();
        const double y = b.toDouble();
        if (std::isnan(x) || std::isnan(y)) {
            return std::isnan(x) && std::isnan(y);
        }
        return x == y || std::fabs(x - y) <= 1e-15 * std::max(std::fabs(x), std::fabs(y)) ||
               std::fabs(x - y) < 2e-8;
    }
    if (a.typeId() == QMetaType::Bool || b.typeId() == QMetaType::Bool) {
        return a.toBool() == b.toBool();
    }
    if (a.typeId() == QMetaType::QByteArray || b.typeId() == QMetaType::QByteArray) {
        return a.toByteArray() == b.toByteArray();
    }
    if (a.typeId() == QMetaType::QString || b.typeId() == QMetaType::QString) {
        return a.toString() == b.toString();
    }
    return a.toLongLong() == b.toLongLong();
}

// Every cell of a record set, row by row, in comparable form.
inline QList<QList<QVariant>> cells(const jet::RecordSet& rs) {
    QList<QList<QVariant>> out;
    for (int r = 0; r < rs.recordCount(); ++r) {
        QList<QVariant> row;
        for (int f = 0; f < rs.fieldCount(); ++f) {
            row << comparable(rs.value(r, f));
        }
        out << row;
    }
    return out;
}

// The first difference between two sets of rows, or an empty string.
inline QString firstDifference(const QList<QList<QVariant>>& a, const QList<QList<QVariant>>& b) {
    if (a.size() != b.size()) {
        return QStringLiteral("righe %1 contro %2").arg(a.size()).arg(b.size());
    }
    for (int r = 0; r < a.size(); ++r) {
        if (a[r].size() != b[r].size()) {
            return QStringLiteral("riga %1: %2 campi contro %3").arg(r).arg(a[r].size()).arg(b[r].size());
        }
        for (int c = 0; c < a[r].size(); ++c) {
            if (!sameValue(a[r][c], b[r][c])) {
                return QStringLiteral("riga %1 campo %2: %3 contro %4")
                    .arg(r)
                    .arg(c)
                    .arg(a[r][c].toString().left(80), b[r][c].toString().left(80));
            }
        }
    }
    return QString();
}

// The rows with empty text taken for NULL, as libmdb reads it.
inline QList<QList<QVariant>> emptyAsNull(QList<QList<QVariant>> rows) {
    for (QList<QVariant>& row : rows) {
        for (QVariant& v : row) {
            if (v.typeId() == QMetaType::QString && v.toString().isEmpty()) {
                v = QVariant();
            }
        }
    }
    return rows;
}

}  // namespace jettest
