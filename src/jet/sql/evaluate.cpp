// Criteria evaluation (see evaluate.h).
#include "jet/sql/evaluate.h"

#include "jet/internal/types.h"

namespace jet {

namespace {

using K = sql::Expr::Kind;

Value negate(const Value& v) {
    if (v.isNull()) {
        return v;
    }
    if (typeClassOf(v) != TypeClass::Number) {
        throw RunFailure{errors::typeMismatch()};
    }
    if (v.kind() == Value::Kind::Integer) {
        return Value::fromInt(-v.toInt());
    }
    return Value::fromReal(-v.toDouble());
}

Value compare(sql::CompareOp op, const Value& a, const Value& b) {
    if (a.isNull() || b.isNull()) {
        return Value();
    }
    const TypeClass ca = typeClassOf(a);
    const TypeClass cb = typeClassOf(b);
    if (ca != cb || ca == TypeClass::Binary) {
        throw RunFailure{errors::typeMismatch()};
    }
    int c = 0;
    if (ca == TypeClass::Text) {
        c = compareText(a.text(), b.text());
    } else if (a.kind() == Value::Kind::Currency && b.kind() == Value::Kind::Currency) {
        c = a.currencyUnits() < b.currencyUnits() ? -1 : a.currencyUnits() > b.currencyUnits() ? 1 : 0;
    } else {
        // Numbers compare as numbers: a Long field = 4.5 matches no 4.
        const double x = a.toDouble();
        const double y = b.toDouble();
        c = x < y ? -1 : x > y ? 1 : 0;
    }
    return Value::fromBool(compareHolds(op, c));
}

// AND is false as soon as one side is false, NULL when a side is NULL and none false.
Value conjunction(const sql::Expr& e, RowValues& row) {
    const Value a = evaluate(*e.a, row);
    if (!a.isNull() && !isTrue(a)) {
        return Value::fromBool(false);
    }
    const Value b = evaluate(*e.b, row);
    if (!b.isNull() && !isTrue(b)) {
        return Value::fromBool(false);
    }
    return (a.isNull() || b.isNull()) ? Value() : Value::fromBool(true);
}

Value disjunction(const sql::Expr& e, RowValues& row) {
    const Value a = evaluate(*e.a, row);
    if (isTrue(a)) {
        return Value::fromBool(true);
    }
    const Value b = evaluate(*e.b, row);
    if (isTrue(b)) {
        return Value::fromBool(true);
    }
    return (a.isNull() || b.isNull()) ? Value() : Value::fromBool(false);
}

TypeClass classOf(const sql::Expr& e, const QVector<int>& types) {
    switch (e.kind) {
        case K::Literal:
            return typeClassOf(e.literal);
        case K::Column:
            return types[e.column] ? typeClassOf(types[e.column]) : TypeClass::Unknown;
        default:
            return TypeClass::Number;
    }
}

}  // namespace

int compareText(const QString& a, const QString& b) {
    return QString::compare(foldKey(a), foldKey(b));
}

int compareSecondFractions(const Value& a, const Value& b) {
    if (!a.isExtendedDate() && !b.isExtendedDate()) {
        return 0;
    }
    const QString none(7, QLatin1Char('0'));
    return QString::compare(a.isExtendedDate() ? a.secondFraction() : none,
                            b.isExtendedDate() ? b.secondFraction() : none);
}

bool isTrue(const Value& v) {
    switch (v.kind()) {
        case Value::Kind::Null:
        case Value::Kind::Text:
        case Value::Kind::Binary:
            return false;
        default:
            return v.toDouble() != 0;
    }
}

bool compareHolds(sql::CompareOp op, int c) {
    switch (op) {
        case sql::CompareOp::Eq:
            return c == 0;
        case sql::CompareOp::Ne:
            return c != 0;
        case sql::CompareOp::Lt:
            return c < 0;
        case sql::CompareOp::Gt:
            return c > 0;
        case sql::CompareOp::Le:
            return c <= 0;
        case sql::CompareOp::Ge:
            return c >= 0;
    }
    return false;
}

Value evaluate(const sql::Expr& e, RowValues& row) {
    switch (e.kind) {
        case K::Literal:
            return e.literal;
        case K::Column:
            return row.value(e.column);
        case K::Negate:
            return negate(evaluate(*e.a, row));
        case K::Compare:
            return compare(e.op, evaluate(*e.a, row), evaluate(*e.b, row));
        case K::IsNull: {
            const bool null = evaluate(*e.a, row).isNull();
            return Value::fromBool(e.negated ? !null : null);
        }
        case K::Not: {
            const Value v = evaluate(*e.a, row);
            return v.isNull() ? v : Value::fromBool(!isTrue(v));
        }
        case K::And:
            return conjunction(e, row);
        case K::Or:
            return disjunction(e, row);
    }
    return Value();
}

bool typesAgree(const sql::Expr& e, const QVector<int>& types) {
    if (e.kind == K::Compare) {
        const TypeClass a = classOf(*e.a, types);
        const TypeClass b = classOf(*e.b, types);
        if (a == TypeClass::Binary || b == TypeClass::Binary) {
            return false;
        }
        if (a != TypeClass::Unknown && b != TypeClass::Unknown && a != b) {
            return false;
        }
    }
    if (e.kind == K::Negate) {
        const TypeClass a = classOf(*e.a, types);
        if (a == TypeClass::Text || a == TypeClass::Binary) {
            return false;
        }
    }
    return (!e.a || typesAgree(*e.a, types)) && (!e.b || typesAgree(*e.b, types));
}

}  // namespace jet
