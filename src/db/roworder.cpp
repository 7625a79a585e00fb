#include "db/roworder.h"

#include <QCollator>
#include <QDate>
#include <QHash>
#include <QTime>

#include <algorithm>
#include <charconv>
#include <cmath>

namespace db {

namespace {

const QCollator& italian() {
    static const QCollator collator = [] {
        QCollator c{QLocale(QLocale::Italian, QLocale::Italy)};
        c.setCaseSensitivity(Qt::CaseInsensitive);
        return c;
    }();
    return collator;
}

// Where a value sorts: numbers and dates, then texts, then NULL.
enum Class : quint8 { kNumber = 0, kText = 1, kNull = 2 };

struct SortKey {
    quint8 cls = kNull;
    double number = 0;  // the value, or the text's rank in collation order
};

bool isEmptyCell(const jet::Value& v) {
    return v.isNull() || (v.kind() == jet::Value::Kind::Text && v.text().trimmed().isEmpty());
}

bool isTextLike(const jet::Value& v) {
    return v.kind() == jet::Value::Kind::Text || v.kind() == jet::Value::Kind::Binary;
}

QString textOf(const jet::Value& v) {
    return v.kind() == jet::Value::Kind::Binary ? QString::fromLatin1(v.bytes().toHex()).toUpper() : v.text();
}

std::vector<SortKey> sortKeys(const jet::RecordSet& rows, int column) {
    const int count = rows.recordCount();
    std::vector<SortKey> keys(static_cast<size_t>(count));
    // Texts are ranked once per distinct text: a column of station names holds a few hundred.
    QHash<QString, int> textIds;
    std::vector<QString> texts;
    for (int row = 0; row < count; ++row) {
        const jet::Value v = rows.value(row, column);
        SortKey& key = keys[size_t(row)];
        if (v.isNull()) {
            continue;
        }
        if (isTextLike(v)) {
            const QString text = textOf(v);
            auto found = textIds.constFind(text);
            if (found == textIds.constEnd()) {
                found = textIds.insert(text, int(texts.size()));
                texts.push_back(text);
            }
            key.cls = kText;
            key.number = found.value();
        } else {
            key.cls = kNumber;
            key.number = shownNumber(v);
        }
    }
    if (!texts.empty()) {
        std::vector<int> byCollation(texts.size());
        for (size_t i = 0; i < texts.size(); ++i) {
            byCollation[i] = int(i);
        }
        const QCollator& collator = italian();
        std::stable_sort(byCollation.begin(), byCollation.end(), [&](int a, int b) {
            return collator.compare(texts[size_t(a)], texts[size_t(b)]) < 0;
        });
        // Texts the collation holds equal share a rank, so they keep their order.
        std::vector<int> rank(texts.size());
        int current = 0;
        for (size_t i = 0; i < byCollation.size(); ++i) {
            if (i > 0 &&
                collator.compare(texts[size_t(byCollation[i - 1])], texts[size_t(byCollation[i])]) != 0) {
                current = int(i);
            }
            rank[size_t(byCollation[i])] = current;
        }
        for (SortKey& key : keys) {
            if (key.cls == kText) {
                key.number = rank[size_t(key.number)];
            }
        }
    }
    return keys;
}

int compareText(const QString& a, const QString& b) {
    return italian().compare(a, b);
}

// The serial of the day a date serial falls on (its whole part, toward zero before 1899-12-30).
double dayOf(double serial) {
    return serial >= 0 ? std::floor(serial) : std::ceil(serial);
}

bool passesOne(const jet::RecordSet& rows, int row, const RowFilter& filter,
               const jet::DisplayFormat& format) {
    const jet::Value cell = rows.value(row, filter.column);
    const bool empty = isEmptyCell(cell);
    switch (filter.condition) {
        case Condition::Empty:
            return empty;
        case Condition::NotEmpty:
            return !empty;
        case Condition::Contains: {
            if (empty) {
                return false;
            }
            QString buffer;
            return rows.textView(row, filter.column, format, &buffer)
                .contains(filter.text, Qt::CaseInsensitive);
        }
        default:
            break;
    }
    if (empty) {
        return filter.condition == Condition::Differs;
    }
    int low = 0;   // the cell against the value: <0, 0, >0
    int high = 0;  // the cell against the upper bound (Between)
    if (isTextLike(cell) != isTextLike(filter.value)) {
        return filter.condition == Condition::Differs;  // a text is never equal to a number
    }
    if (isTextLike(cell)) {
        const QString text = textOf(cell);
        if (filter.condition == Condition::Equal || filter.condition == Condition::Differs) {
            low = text.compare(textOf(filter.value), Qt::CaseInsensitive);
        } else {
            low = compareText(text, textOf(filter.value));
            high = filter.condition == Condition::Between ? compareText(text, textOf(filter.upper)) : 0;
        }
    } else {
        double number = shownNumber(cell);
        if (filter.wholeDays && isDate(cell)) {
            number = dayOf(number);
        }
        const double value = shownNumber(filter.value);
        const double upper = shownNumber(filter.upper);
        low = number < value ? -1 : number > value ? 1 : 0;
        high = number < upper ? -1 : number > upper ? 1 : 0;
    }
    switch (filter.condition) {
        case Condition::Equal:
            return low == 0;
        case Condition::Differs:
            return low != 0;
        case Condition::Less:
            return low < 0;
        case Condition::Greater:
            return low > 0;
        case Condition::Between:
            return low >= 0 && high <= 0;
        default:
            return false;
    }
}

// The kind of a column's values: that of its first value that is not NULL.
jet::Value::Kind columnKind(const jet::RecordSet& rows, int column) {
    const int count = rows.recordCount();
    for (int row = 0; row < count; ++row) {
        if (!rows.isNull(row, column)) {
            return rows.value(row, column).kind();
        }
    }
    return jet::Value::Kind::Text;
}

std::optional<double> readNumber(const QString& text, const QLocale& locale) {
    bool ok = false;
    double number = locale.toDouble(text, &ok);
    if (!ok) {
        number = QLocale::c().toDouble(text, &ok);
    }
    return ok && std::isfinite(number) ? std::optional<double>(number) : std::nullopt;
}

std::optional<double> readDate(const QString& text, bool* wholeDays) {
    const QStringList parts = text.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (parts.isEmpty() || parts.size() > 2) {
        return std::nullopt;
    }
    QDate date = QDate::fromString(parts[0], QStringLiteral("d/M/yyyy"));
    if (!date.isValid()) {
        date = QDate::fromString(parts[0], QStringLiteral("d-M-yyyy"));
    }
    if (!date.isValid()) {
        return std::nullopt;
    }
    int seconds = 0;
    if (parts.size() == 2) {
        QTime time = QTime::fromString(parts[1], QStringLiteral("H:mm:ss"));
        if (!time.isValid()) {
            time = QTime::fromString(parts[1], QStringLiteral("H:mm"));
        }
        if (!time.isValid()) {
            return std::nullopt;
        }
        seconds = time.msecsSinceStartOfDay() / 1000;
    }
    *wholeDays = parts.size() == 1;
    const double day = double(QDate(1899, 12, 30).daysTo(date));
    // Before 1899-12-30 the fraction counts forward from the day's start, as the archive stores it.
    return day >= 0 ? day + seconds / 86400.0 : day - seconds / 86400.0;
}

}  // namespace

bool isDate(const jet::Value& value) {
    return value.kind() == jet::Value::Kind::DateTime;
}

bool isNumber(const jet::Value& value) {
    switch (value.kind()) {
        case jet::Value::Kind::Boolean:
        case jet::Value::Kind::Integer:
        case jet::Value::Kind::Real:
        case jet::Value::Kind::Currency:
        case jet::Value::Kind::Decimal:
            return true;
        default:
            return false;
    }
}

double shownNumber(const jet::Value& value) {
    if (isDate(value)) {
        return value.dateSerial();
    }
    if (value.kind() == jet::Value::Kind::Real && value.isSingle()) {
        // The shortest text that reads back as the same float, read as a double.
        char digits[32];
        const float single = float(value.toDouble());
        const auto written = std::to_chars(digits, digits + sizeof digits, single);
        double number = 0;
        std::from_chars(digits, written.ptr, number);
        return number;
    }
    return value.toDouble();
}

void sortRows(const jet::RecordSet& rows, int column, Qt::SortOrder order, std::vector<int>& rowOrder) {
    if (column < 0 || column >= rows.fieldCount()) {
        return;
    }
    const std::vector<SortKey> keys = sortKeys(rows, column);
    const bool descending = order == Qt::DescendingOrder;
    auto before = [&](int a, int b) {
        const SortKey& x = keys[size_t(a)];
        const SortKey& y = keys[size_t(b)];
        if (x.cls == kNull || y.cls == kNull) {
            return x.cls != kNull && y.cls == kNull;  // NULL last either way
        }
        if (x.cls != y.cls) {
            return descending ? x.cls > y.cls : x.cls < y.cls;
        }
        return descending ? x.number > y.number : x.number < y.number;
    };
    std::stable_sort(rowOrder.begin(), rowOrder.end(), before);
}

bool passes(const jet::RecordSet& rows, int row, const QVector<RowFilter>& filters,
            const jet::DisplayFormat& format) {
    for (const RowFilter& filter : filters) {
        if (filter.column >= 0 && filter.column < rows.fieldCount() &&
            !passesOne(rows, row, filter, format)) {
            return false;
        }
    }
    return true;
}

RowFilter filterByCell(const jet::RecordSet& rows, int row, int column, bool exclude, const QLocale& locale) {
    RowFilter filter;
    filter.column = column;
    filter.value = rows.value(row, column);
    const QString caption = rows.fieldName(column);
    if (isEmptyCell(filter.value)) {
        filter.condition = exclude ? Condition::NotEmpty : Condition::Empty;
        filter.description = caption + QLatin1Char(' ') + conditionName(filter.condition);
    } else {
        filter.condition = exclude ? Condition::Differs : Condition::Equal;
        filter.description = QStringLiteral("%1 %2 %3")
                                 .arg(caption, conditionName(filter.condition),
                                      rows.text(row, column, jet::DisplayFormat(locale)));
    }
    return filter;
}

std::optional<jet::Value> readFilterValue(const jet::RecordSet& rows, int column, const QString& typed,
                                          const QLocale& locale, bool* wholeDays) {
    bool whole = false;
    const QString text = typed.trimmed();
    std::optional<jet::Value> value;
    if (text.isEmpty()) {
        value = std::nullopt;
    } else if (column < 0 || column >= rows.fieldCount()) {
        value = std::nullopt;
    } else {
        const jet::Value::Kind kind = columnKind(rows, column);
        if (kind == jet::Value::Kind::DateTime) {
            if (const std::optional<double> serial = readDate(text, &whole)) {
                value = jet::Value::fromDateSerial(*serial);
            }
        } else if (kind == jet::Value::Kind::Text || kind == jet::Value::Kind::Binary) {
            value = jet::Value::fromText(text);
        } else if (const std::optional<double> number = readNumber(text, locale)) {
            value = jet::Value::fromReal(*number);
        }
    }
    if (wholeDays) {
        *wholeDays = whole;
    }
    return value;
}

QString conditionName(Condition condition) {
    switch (condition) {
        case Condition::Equal:
            return QStringLiteral("uguale a");
        case Condition::Differs:
            return QStringLiteral("diverso da");
        case Condition::Less:
            return QStringLiteral("minore di");
        case Condition::Greater:
            return QStringLiteral("maggiore di");
        case Condition::Between:
            return QStringLiteral("compreso tra");
        case Condition::Contains:
            return QStringLiteral("contiene");
        case Condition::Empty:
            return QStringLiteral("è vuota");
        case Condition::NotEmpty:
            return QStringLiteral("non è vuota");
    }
    return QString();
}

}  // namespace db
