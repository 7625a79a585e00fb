// Expression parsing (see sqlexpr.h).
#include "jet/sql/sqlexpr.h"

#include "jet/internal/types.h"

namespace jet::sql {

namespace {

struct ParseFailure {
    enum What { Syntax, Date, Complex };
    What what = Syntax;
};

// Expressions are evaluated recursively: a bound on their size keeps any statement from
// exhausting the stack.
constexpr int kMaxExpressionNodes = 1000;

Error failureError(const ParseFailure& failure, const QString& expression) {
    switch (failure.what) {
        case ParseFailure::Date:
            return errors::badDate(expression);
        case ParseFailure::Complex:
            return errors::tooComplex();
        default:
            return errors::missingOperator(expression);
    }
}

ExprPtr binary(Expr::Kind kind, ExprPtr a, ExprPtr b) {
    auto e = std::make_shared<Expr>();
    e->kind = kind;
    e->a = std::move(a);
    e->b = std::move(b);
    return e;
}

}  // namespace

ExprPtr ExprParser::parseAll(const QString& expression, Error* error) {
    try {
        ExprPtr e = parseOr();
        if (peek().type != Tok::End) {
            throw ParseFailure{};
        }
        return e;
    } catch (const ParseFailure& failure) {
        *error = failureError(failure, expression);
        return nullptr;
    }
}

void ExprParser::count() {
    if (++nodes_ > kMaxExpressionNodes) {
        throw ParseFailure{ParseFailure::Complex};
    }
}

ExprPtr ExprParser::parseOr() {
    ExprPtr left = parseAnd();
    while (peek().is("or")) {
        next();
        count();
        ExprPtr right = parseAnd();
        left = binary(Expr::Kind::Or, left, right);
    }
    return left;
}

ExprPtr ExprParser::parseAnd() {
    ExprPtr left = parseNot();
    while (peek().is("and")) {
        next();
        count();
        ExprPtr right = parseNot();
        left = binary(Expr::Kind::And, left, right);
    }
    return left;
}

ExprPtr ExprParser::parseNot() {
    if (peek().is("not")) {
        next();
        count();
        return binary(Expr::Kind::Not, parseNot(), nullptr);
    }
    return parseComparison();
}

ExprPtr ExprParser::parseComparison() {
    ExprPtr left = parseOperand();
    const Token& t = peek();
    if (t.type == Tok::Symbol) {
        static const struct {
            const char* s;
            CompareOp op;
        } ops[] = {{"=", CompareOp::Eq}, {"<>", CompareOp::Ne}, {"<", CompareOp::Lt},
                   {">", CompareOp::Gt}, {"<=", CompareOp::Le}, {">=", CompareOp::Ge}};
        for (const auto& o : ops) {
            if (t.sym(o.s)) {
                next();
                ExprPtr e = binary(Expr::Kind::Compare, left, parseOperand());
                e->op = o.op;
                return e;
            }
        }
    }
    if (t.is("is")) {
        next();
        ExprPtr e = binary(Expr::Kind::IsNull, left, nullptr);
        if (peek().is("not")) {
            next();
            e->negated = true;
        }
        if (!peek().is("null")) {
            throw ParseFailure{};
        }
        next();
        return e;
    }
    return left;
}

ExprPtr ExprParser::parseOperand() {
    count();
    const Token& t = next();
    if (t.sym("-") || t.sym("+")) {
        return parseSigned(t);
    }
    if (t.sym("(")) {
        ExprPtr inner = parseOr();
        if (!next().sym(")")) {
            throw ParseFailure{};
        }
        return inner;
    }
    switch (t.type) {
        case Tok::Number:
        case Tok::String:
        case Tok::Date:
            return parseLiteral(t);
        case Tok::Name:
            if (ExprPtr literal = parseLiteral(t)) {
                return literal;
            }
            if (isReserved(t)) {
                throw ParseFailure{};
            }
            return parseColumn(t);
        case Tok::Bracketed:
            return parseColumn(t);
        default:
            throw ParseFailure{};
    }
}

// A sign before an operand: folded into a number literal, else a negation.
ExprPtr ExprParser::parseSigned(const Token& sign) {
    const bool minus = sign.sym("-");
    ExprPtr inner = parseOperand();
    if (!minus) {
        return inner;
    }
    if (inner->kind == Expr::Kind::Literal && inner->literal.kind() == Value::Kind::Integer) {
        inner->literal = Value::fromInt(-inner->literal.toInt());
        return inner;
    }
    if (inner->kind == Expr::Kind::Literal && inner->literal.kind() == Value::Kind::Real) {
        inner->literal = Value::fromReal(-inner->literal.toDouble());
        return inner;
    }
    return binary(Expr::Kind::Negate, inner, nullptr);
}

// A number, text, date or the words Null/True/False (and their synonyms); null for another name.
ExprPtr ExprParser::parseLiteral(const Token& t) {
    auto e = std::make_shared<Expr>();
    bool ok = false;
    double serial = 0;
    switch (t.type) {
        case Tok::Number: {
            const qint64 i = t.text.toLongLong(&ok);
            e->literal = ok ? Value::fromInt(i) : Value::fromReal(t.text.toDouble(&ok));
            if (!ok) {
                throw ParseFailure{};
            }
            return e;
        }
        case Tok::String:
            e->literal = Value::fromText(t.text);
            return e;
        case Tok::Date:
            if (!parseDateLiteral(t.text, &serial)) {
                throw ParseFailure{ParseFailure::Date};
            }
            e->literal = Value::fromDateSerial(serial);
            return e;
        default:
            break;
    }
    if (t.is("null")) {
        return e;  // a Null literal
    }
    if (t.is("true") || t.is("yes") || t.is("on")) {
        e->literal = Value::fromBool(true);
        return e;
    }
    if (t.is("false") || t.is("no") || t.is("off")) {
        e->literal = Value::fromBool(false);
        return e;
    }
    return nullptr;
}

// A field, bare or bracketed, with an optional source before a dot.
ExprPtr ExprParser::parseColumn(const Token& t) {
    auto e = std::make_shared<Expr>();
    e->kind = Expr::Kind::Column;
    e->name = t.text;
    if (peek().sym(".")) {
        next();
        const Token& second = next();
        if ((second.type != Tok::Name && second.type != Tok::Bracketed) || isReserved(second)) {
            throw ParseFailure{};
        }
        e->qualifier = e->name;
        e->name = second.text;
    }
    return e;
}

ExprPtr parseExpression(const QString& text, Error* error) {
    LexError lexError = LexError::None;
    int errorAt = 0;
    QList<Token> t = tokenize(text, &lexError, &errorAt);
    if (lexError != LexError::None) {
        *error = lexError == LexError::String ? errors::badString(text.trimmed())
                 : lexError == LexError::Date ? errors::badDate(text.trimmed())
                                              : errors::badBracketing(text.mid(errorAt));
        return nullptr;
    }
    return ExprParser(t).parseAll(text.trimmed(), error);
}

}  // namespace jet::sql
