// Internal helpers shared by the reader's parts: Jet column types, dates, error texts.
#pragma once

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

// Jet's errors, numbered as the engine numbers them and worded as its Italian edition does.
namespace errors {
Error fileNotFound(const QString& path);           // 3024
Error invalidPath(const QString& path);            // 3044
Error cannotOpen(const QString& path);             // 3051
Error noReadPermission(const QString& path);       // 3051, worded as a permission problem
Error damagedArchive(const QString& path);         // 3049, not an archive or a damaged one
Error invalidPassword();                           // 3031
Error unrecognizedFormat(const QString& path);     // 3343
Error missingSource(const QString& name);          // 3078
Error missingOperator(const QString& expression);  // 3075
Error badString(const QString& expression);        // 3075
Error badDate(const QString& expression);          // 3075
Error badBracketing(const QString& name);          // 3126
Error selectSyntax();                              // 3141
Error fromSyntax();                                // 3131
Error whereSyntax();                               // 3145
Error orderBySyntax();                             // 3138
Error afterEnd();                                  // 3142
Error tooFewParameters(int expected);              // 3061
Error typeMismatch();                              // 3464
Error tooComplex();                                // 3360
Error invalidOperation();                          // 3219
Error notSupported();                              // 3251
Error unknown(const QString& detail);              // 3000
Error unsupportedColumn(const QString& column);    // 3251
}  // namespace errors

// Unicode-aware caseless key of a name or text.
inline QString foldKey(const QString& s) {
    return s.toCaseFolded();
}

}  // namespace jet
