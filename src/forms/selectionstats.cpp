#include "forms/selectionstats.h"

#include "db/roworder.h"
#include "jet/jet.h"

#include <cmath>

namespace forms {

namespace {

// Cells of several ranges that overlap are taken once.
template <typename Visit>
void forEachCell(const jet::RecordSet& rows, const QVector<CellRange>& ranges, Visit visit) {
    QVector<CellRange> cut;
    for (const CellRange& r : ranges) {
        CellRange c{qMax(0, r.top), qMax(0, r.left), qMin(r.bottom, rows.recordCount() - 1),
                    qMin(r.right, rows.fieldCount() - 1)};
        if (c.top <= c.bottom && c.left <= c.right) {
            cut.append(c);
        }
    }
    for (int i = 0; i < cut.size(); ++i) {
        const CellRange& r = cut[i];
        for (int row = r.top; row <= r.bottom; ++row) {
            for (int column = r.left; column <= r.right; ++column) {
                bool seen = false;
                for (int j = 0; j < i && !seen; ++j) {
                    const CellRange& o = cut[j];
                    seen = row >= o.top && row <= o.bottom && column >= o.left && column <= o.right;
                }
                if (!seen) {
                    visit(row, column);
                }
            }
        }
    }
}

QString number(double value, const QLocale& locale) {
    QString text = locale.toString(value, 'g', 15);
    return text;
}

}  // namespace

SelectionStats selectionStats(const jet::RecordSet& rows, const QVector<CellRange>& ranges) {
    SelectionStats s;
    double compensation = 0;  // Neumaier's: the sum of many tenths stays exact to the last digit
    forEachCell(rows, ranges, [&](int row, int column) {
        ++s.cells;
        const jet::Value value = rows.value(row, column);
        if (!db::isNumber(value) || value.kind() == jet::Value::Kind::Boolean) {
            return;
        }
        const double x = db::shownNumber(value);
        if (s.numbers == 0) {
            s.minimum = s.maximum = x;
        }
        s.minimum = qMin(s.minimum, x);
        s.maximum = qMax(s.maximum, x);
        const double t = s.sum + x;
        compensation += std::fabs(s.sum) >= std::fabs(x) ? (s.sum - t) + x : (x - t) + s.sum;
        s.sum = t;
        ++s.numbers;
    });
    s.sum += compensation;
    if (s.numbers == 0) {
        return s;
    }
    s.mean = s.sum / double(s.numbers);
    if (s.numbers > 1) {
        // Second pass: the squares of the deviations from the mean, not of the values.
        double squares = 0;
        forEachCell(rows, ranges, [&](int row, int column) {
            const jet::Value value = rows.value(row, column);
            if (db::isNumber(value) && value.kind() != jet::Value::Kind::Boolean) {
                const double d = db::shownNumber(value) - s.mean;
                squares += d * d;
            }
        });
        s.deviation = std::sqrt(squares / double(s.numbers - 1));
    }
    return s;
}

QString statsText(const SelectionStats& s, bool oneLine, const QLocale& locale) {
    const QString none = QStringLiteral("\u2014");
    const bool any = s.numbers > 0;
    const QStringList figures{
        QStringLiteral("Celle: %1").arg(locale.toString(s.cells)),
        QStringLiteral("Numeri: %1").arg(locale.toString(s.numbers)),
        QStringLiteral("Somma: %1").arg(any ? number(s.sum, locale) : none),
        QStringLiteral("Media: %1").arg(any ? number(s.mean, locale) : none),
        QStringLiteral("Minimo: %1").arg(any ? number(s.minimum, locale) : none),
        QStringLiteral("Massimo: %1").arg(any ? number(s.maximum, locale) : none),
        QStringLiteral("Deviazione standard: %1").arg(s.numbers > 1 ? number(s.deviation, locale) : none),
    };
    return figures.join(oneLine ? QStringLiteral("   ") : QStringLiteral("\n"));
}

}  // namespace forms
