// Shared by the reader and the engine: Jet's column type codes, the classes their values compare
// in, date serials and the caseless key of a name.
#pragma once

#ifndef ALTORRA_JET_INTERNAL
#error "jet/internal headers are private to the reader library (altorra_jet)"
#endif

#include <QDate>
#include <QString>

#include "jet/jet.h"

namespace jet {

// Column type codes as stored in a table definition (the same numbers libmdb uses).
enum ColumnType : int {
    TypeBoolean = 0x01,
    TypeByte = 0x02,
    TypeInteger = 0x03,
    TypeLong = 0x04,
    TypeCurrency = 0x05,
    TypeSingle = 0x06,
    TypeDouble = 0x07,
    TypeDateTime = 0x08,
    TypeBinary = 0x09,
    TypeText = 0x0A,
    TypeOle = 0x0B,
    TypeMemo = 0x0C,
    TypeGuid = 0x0F,
    TypeNumeric = 0x10,
};

// What a value of a column can be compared with.
enum class TypeClass { Number, Text, Binary, Unknown };
TypeClass typeClassOf(int columnType);
TypeClass typeClassOf(const Value& literal);

struct DateParts {
    QDate date;
    int seconds = 0;  // time of day
};
// Splits a Jet date serial (days since 1899-12-30; before it the time fraction is subtracted).
DateParts splitDateSerial(double serial);
// The serial of a date and time of day (the inverse of splitDateSerial).
double dateSerial(const QDate& date, int seconds);

// Unicode-aware caseless key of a name or text.
inline QString foldKey(const QString& s) {
    return s.toCaseFolded();
}

}  // namespace jet
