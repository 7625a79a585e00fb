#include "export/sheetcells.h"

#include "controls/gridfit.h"
#include "db/roworder.h"

#include <QDate>
#include <QLocale>

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace exporter {

namespace {

QByteArray shortest(double number) {
    char digits[40];
    const auto written = std::to_chars(digits, digits + sizeof digits, number);
    return QByteArray(digits, int(written.ptr - digits));
}

QByteArray shortestSingle(float number) {
    char digits[40];
    const auto written = std::to_chars(digits, digits + sizeof digits, number);
    return QByteArray(digits, int(written.ptr - digits));
}

// The serial of an instant (whole seconds from 1899-12-30), as the smallest decimal with ten
// digits after the point that is not before it. A program that truncates to the seconds or
// minutes it shows (LibreOffice does) then shows 19:00 as 19:00, not 18:59: the double nearest to
// the instant may lie a hair before it. Ten digits are 8.64 microseconds: below what any reader shows.
double spreadsheetSerial(qint64 seconds) {
    constexpr qint64 kScale = 10000000000;  // 10^10
    const __int128 scaled = __int128(seconds) * kScale;
    __int128 units = scaled / 86400;
    if (units * 86400 < scaled) {
        ++units;  // seconds >= 0 here: dates before 1900-03-01 are written as text
    }
    const qint64 whole = qint64(units / kScale);
    const qint64 fraction = qint64(units % kScale);
    char digits[48];
    std::snprintf(digits, sizeof digits, "%lld.%010lld", static_cast<long long>(whole),
                  static_cast<long long>(fraction));
    return std::strtod(digits, nullptr);
}

void setDate(double serial, SheetCell& cell) {
    // Day and time of day as the archive counts them: the whole part (toward zero before
    // 1899-12-30) is the day, the fraction's absolute value the time.
    double day = serial >= 0 ? std::floor(serial) : std::ceil(serial);
    qint64 seconds = std::llround(std::fabs(serial - day) * 86400.0);
    if (seconds >= 86400) {
        day += serial >= 0 ? 1 : -1;
        seconds = 0;
    }
    const QDate date = QDate(1899, 12, 30).addDays(qint64(day));
    cell.seconds = int(seconds);
    cell.withSeconds = seconds % 60 != 0;
    if (day == 0 && seconds != 0) {
        cell.type = SheetCell::Type::Time;
        cell.number = spreadsheetSerial(seconds);
        return;
    }
    if (!date.isValid() || date < QDate(1900, 3, 1) || date.year() > 9999) {
        cell.type = SheetCell::Type::Text;
        cell.shown = true;
        return;
    }
    cell.type = seconds == 0 ? SheetCell::Type::Date : SheetCell::Type::DateTime;
    cell.year = date.year();
    cell.month = date.month();
    cell.day = date.day();
    cell.number = spreadsheetSerial(qint64(day) * 86400 + seconds);
}

}  // namespace

SheetCell sheetCell(const jet::Value& value) {
    SheetCell cell;
    switch (value.kind()) {
        case jet::Value::Kind::Null:
            break;
        case jet::Value::Kind::Boolean:
            cell.type = SheetCell::Type::Boolean;
            cell.number = value.toBool() ? 1 : 0;
            break;
        case jet::Value::Kind::Integer:
            cell.type = SheetCell::Type::Number;
            cell.number = double(value.toInt());
            cell.digits = QByteArray::number(value.toInt());
            break;
        case jet::Value::Kind::Real:
            cell.type = SheetCell::Type::Number;
            cell.number = db::shownNumber(value);
            cell.digits =
                value.isSingle() ? shortestSingle(float(value.toDouble())) : shortest(value.toDouble());
            if (!std::isfinite(value.toDouble())) {
                cell.type = SheetCell::Type::Text;  // no spreadsheet number for an infinity or NaN
                cell.shown = true;
            }
            break;
        case jet::Value::Kind::Currency: {
            cell.type = SheetCell::Type::Number;
            cell.number = value.toDouble();
            // Exact: the units and four decimals, without trailing zeros.
            const qint64 units = value.currencyUnits();
            QByteArray digits = QByteArray::number(units / 10000);
            qint64 fraction = units % 10000;
            if (fraction != 0) {
                if (units < 0 && units / 10000 == 0) {
                    digits = "-0";
                }
                QByteArray decimals = QByteArray::number(std::llabs(fraction)).rightJustified(4, '0');
                while (decimals.endsWith('0')) {
                    decimals.chop(1);
                }
                digits += '.' + decimals;
            }
            cell.digits = digits;
            break;
        }
        case jet::Value::Kind::Decimal: {
            cell.type = SheetCell::Type::Number;
            QByteArray digits = value.text().toLatin1();
            if (digits.contains('.')) {
                while (digits.endsWith('0')) {
                    digits.chop(1);
                }
                if (digits.endsWith('.')) {
                    digits.chop(1);
                }
            }
            cell.digits = digits;
            cell.number = value.toDouble();
            break;
        }
        case jet::Value::Kind::DateTime:
            setDate(value.dateSerial(), cell);
            break;
        case jet::Value::Kind::Text:
            cell.type = SheetCell::Type::Text;
            cell.text = value.text();
            break;
        case jet::Value::Kind::Binary:
            cell.type = SheetCell::Type::Text;
            cell.shown = true;
            break;
    }
    return cell;
}

QList<double> columnWidths(const jet::RecordSet& rows, const QStringList& captions) {
    QList<double> widths;
    const jet::DisplayFormat format{QLocale()};
    const QList<int> sample = controls::sampleRows(rows.recordCount());
    QString buffer;
    for (int column = 0; column < captions.size(); ++column) {
        // The caption is bold: a tenth wider.
        double width = captions[column].size() * 1.1;
        for (int row : sample) {
            const jet::Value value = rows.value(row, column);
            double chars = rows.textView(row, column, format, &buffer).size();
            if (value.kind() == jet::Value::Kind::DateTime) {
                chars = qMax(chars, 10.0);  // dd/mm/yyyy, hh:mm after it
            }
            width = qMax(width, chars);
        }
        widths.append(qBound(6.0, width + 2, 60.0));
    }
    return widths;
}

}  // namespace exporter
