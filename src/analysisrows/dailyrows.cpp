#include "analysisrows/dailyrows.h"

#include <QLocale>

#include <charconv>

namespace analysisrows {

using analysis::kQuantities;
using analysis::missing;

const std::array<const char*, kQuantities>& quantityCaptions() {
    static const std::array<const char*, kQuantities> captions = {
        "pioggia mm",           "Temperatura massima °C", "Temperatura minima °C",
        "Temperatura media °C", "Altezza della neve cm",  "Velocità media del vento (Km/h)",
        "Umidità dell'aria",
    };
    return captions;
}

DailyColumns dailyColumns(const jet::RecordSet& rows) {
    DailyColumns c;
    c.day = rows.fieldIndex(QStringLiteral("Giorno"));
    c.month = rows.fieldIndex(QStringLiteral("Mese"));
    c.year = rows.fieldIndex(QStringLiteral("Anno"));
    for (int q = 0; q < kQuantities; ++q) {
        c.quantity[size_t(q)] = rows.fieldIndex(QString::fromUtf8(quantityCaptions()[size_t(q)]));
    }
    return c;
}

double numberOf(const jet::Value& value) {
    using K = jet::Value::Kind;
    switch (value.kind()) {
        case K::Integer:
        case K::Currency:
        case K::Decimal:
            return value.toDouble();
        case K::Real: {
            if (!value.isSingle()) {
                return value.toDouble();
            }
            // The float's shortest digits, read back as a double: 12.3f counts as 12.3.
            char buffer[32];
            const float f = float(value.toDouble());
            const auto end = std::to_chars(buffer, buffer + sizeof buffer, f).ptr;
            double d = 0;
            std::from_chars(buffer, end, d);
            return d;
        }
        case K::Text: {
            QString t = value.text().trimmed();
            t.replace(QLatin1Char(','), QLatin1Char('.'));
            bool ok = false;
            const double d = QLocale::c().toDouble(t, &ok);
            return ok ? d : analysis::kMissing;
        }
        default:
            return analysis::kMissing;
    }
}

analysis::DailySeries seriesOf(const jet::RecordSet& rows, const DailyColumns& columns,
                               const std::vector<int>& which) {
    std::array<bool, kQuantities> present{};
    for (int q = 0; q < kQuantities; ++q) {
        present[size_t(q)] = columns.quantity[size_t(q)] >= 0;
    }
    std::vector<analysis::DailyRecord> records;
    records.reserve(which.size());
    auto whole = [&](int row, int field) {
        const double v = numberOf(rows.value(row, field));
        return missing(v) || v != std::floor(v) || std::fabs(v) > 100000 ? -1 : int(v);
    };
    for (int row : which) {
        analysis::DailyRecord r;
        if (columns.usable()) {
            r.year = whole(row, columns.year);
            r.month = whole(row, columns.month);
            r.day = whole(row, columns.day);
        }
        for (int q = 0; q < kQuantities; ++q) {
            if (present[size_t(q)]) {
                r.values[size_t(q)] = numberOf(rows.value(row, columns.quantity[size_t(q)]));
            }
        }
        records.push_back(r);
    }
    return analysis::DailySeries::build(records, present);
}

}  // namespace analysisrows
