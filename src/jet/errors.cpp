// Jet's error numbers and messages, type classes, date serials.
#include <cmath>

#include "jet/jetvalue.h"

namespace jet {

TypeClass typeClassOf(int columnType) {
    switch (columnType) {
        case TypeBoolean:
        case TypeByte:
        case TypeInteger:
        case TypeLong:
        case TypeCurrency:
        case TypeSingle:
        case TypeDouble:
        case TypeDateTime:
        case TypeNumeric:
            return TypeClass::Number;
        case TypeText:
        case TypeMemo:
        case TypeGuid:
            return TypeClass::Text;
        case TypeBinary:
        case TypeOle:
            return TypeClass::Binary;
        default:
            return TypeClass::Unknown;
    }
}

TypeClass typeClassOf(const Value& v) {
    switch (v.kind()) {
        case Value::Kind::Null:
            return TypeClass::Unknown;
        case Value::Kind::Text:
            return TypeClass::Text;
        case Value::Kind::Binary:
            return TypeClass::Binary;
        default:
            return TypeClass::Number;
    }
}

double dateSerial(const QDate& date, int seconds) {
    const double day = double(QDate(1899, 12, 30).daysTo(date));
    const double fraction = seconds / 86400.0;
    // Before the epoch the time of day is subtracted from the (negative) day number.
    return day < 0 ? day - fraction : day + fraction;
}

namespace errors {

namespace {
Error make(int number, const QString& message) {
    return Error{number, message};
}
}  // namespace

Error fileNotFound(const QString& path) {
    return make(3024, QStringLiteral("Could not find file '%1'.").arg(path));
}
Error invalidPath(const QString& path) {
    return make(3044,
                QStringLiteral("'%1' is not a valid path. Make sure that the path name is spelled correctly "
                               "and that you are connected to the server on which the file resides.")
                    .arg(path));
}
Error cannotOpen(const QString& path) {
    return make(3051,
                QStringLiteral("The Microsoft Jet database engine cannot open the file '%1'. It is already "
                               "opened exclusively by another user, or you need permission to view its data.")
                    .arg(path));
}
Error unrecognizedFormat(const QString& path) {
    return make(3343, QStringLiteral("Unrecognized database format '%1'.").arg(path));
}
Error missingSource(const QString& name) {
    return make(3078,
                QStringLiteral("The Microsoft Jet database engine cannot find the input table or query '%1'. "
                               "Make sure it exists and that its name is spelled correctly.")
                    .arg(name));
}
Error missingOperator(const QString& expression) {
    return make(3075,
                QStringLiteral("Syntax error (missing operator) in query expression '%1'.").arg(expression));
}
Error badString(const QString& expression) {
    return make(3075, QStringLiteral("Syntax error in string in query expression '%1'.").arg(expression));
}
Error badDate(const QString& expression) {
    return make(3075, QStringLiteral("Syntax error in date in query expression '%1'.").arg(expression));
}
Error badBracketing(const QString& name) {
    return make(3126, QStringLiteral("Invalid bracketing of name '%1'.").arg(name));
}
Error selectSyntax() {
    return make(3141,
                QStringLiteral("The SELECT statement includes a reserved word or an argument name that is "
                               "misspelled or missing, or the punctuation is incorrect."));
}
Error fromSyntax() {
    return make(3131, QStringLiteral("Syntax error in FROM clause."));
}
Error whereSyntax() {
    return make(3145, QStringLiteral("Syntax error in WHERE clause."));
}
Error orderBySyntax() {
    return make(3138, QStringLiteral("Syntax error in ORDER BY clause."));
}
Error afterEnd() {
    return make(3142, QStringLiteral("Characters found after end of SQL statement."));
}
Error tooFewParameters(int expected) {
    return make(3061, QStringLiteral("Too few parameters. Expected %1.").arg(expected));
}
Error typeMismatch() {
    return make(3464, QStringLiteral("Data type mismatch in criteria expression."));
}
Error tooComplex() {
    return make(3360, QStringLiteral("Query is too complex."));
}
Error invalidOperation() {
    return make(3219, QStringLiteral("Invalid operation."));
}
Error notSupported() {
    return make(3251, QStringLiteral("Operation is not supported for this type of object."));
}
Error unknown(const QString& detail) {
    return make(3000, QStringLiteral("Reserved error (%1).").arg(detail));
}

}  // namespace errors
}  // namespace jet
