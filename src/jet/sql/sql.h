// The small SQL dialect of the viewer's statements and stored queries: a tokenizer and a parser
// that turn a select statement into a tree. Binding the names to a record source and running it
// is the engine's work (engine.cpp).
#pragma once

#ifndef ALTORRA_JET_INTERNAL
#error "jet/sql headers are private to the engine (altorra_jet)"
#endif

#include <QList>
#include <QString>

#include <memory>

#include "jet/jet.h"

namespace jet::sql {

enum class CompareOp { Eq, Ne, Lt, Gt, Le, Ge };

struct Expr;
using ExprPtr = std::shared_ptr<Expr>;

struct Expr {
    enum class Kind { Literal, Column, Compare, And, Or, Not, IsNull, Negate };
    Kind kind = Kind::Literal;
    Value literal;      // Literal (a Null value for the Null keyword)
    QString qualifier;  // Column: the table or alias before the dot, if any
    QString name;       // Column: the name as written
    CompareOp op = CompareOp::Eq;
    bool negated = false;  // IsNull: IS NOT NULL
    ExprPtr a, b;
    // Filled when the statement is bound to its record source.
    int column = -1;  // Column: index of the field in the source
};

struct SelectItem {
    bool star = false;  // * or table.*
    QString qualifier;  // table before the dot, if any
    QString name;       // field name
    QString alias;      // caption given with AS, empty when none
    bool hasAlias = false;
};

struct OrderItem {
    QString qualifier;
    QString name;
    bool descending = false;
};

struct Select {
    bool distinct = false;
    QList<SelectItem> items;
    QString source;       // record source name (brackets removed)
    QString sourceAlias;  // alias given in FROM, if any
    ExprPtr where;        // null when there is no WHERE
    QList<OrderItem> order;
};

// True when the text is a statement (it starts with a keyword) rather than a record-source name.
bool looksLikeStatement(const QString& text);

// Parses a whole select statement. Returns false and fills *error (Jet's number and wording).
bool parseSelect(const QString& text, Select* out, Error* error);

// Parses a criteria expression on its own (a stored query's WHERE text).
ExprPtr parseExpression(const QString& text, Error* error);

// Parses one output column of a stored query ("database1.Anno", "[x]", "*").
bool parseSelectItem(const QString& text, SelectItem* out, Error* error);

}  // namespace jet::sql
