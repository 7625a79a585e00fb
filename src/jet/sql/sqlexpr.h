// The expression grammar of the select dialect: or / and / not / comparison / operand.
#pragma once

#ifndef ALTORRA_JET_INTERNAL
#error "jet/sql headers are private to the engine (altorra_jet)"
#endif

#include <QList>
#include <QString>

#include "jet/sql/sql.h"
#include "jet/sql/sqllex.h"

namespace jet::sql {

// Parses criteria from a token list ending in End. Throws on a syntax error (see parseCriteria).
class ExprParser {
  public:
    explicit ExprParser(QList<Token> tokens) : t_(std::move(tokens)) {}

    // The whole list as one expression. Returns null and fills *error (wording with `expression`).
    ExprPtr parseAll(const QString& expression, Error* error);

  private:
    const Token& peek() const { return t_[qMin(pos_, int(t_.size()) - 1)]; }
    const Token& next() { return t_[qMin(pos_++, int(t_.size()) - 1)]; }
    void count();

    ExprPtr parseOr();
    ExprPtr parseAnd();
    ExprPtr parseNot();
    ExprPtr parseComparison();
    ExprPtr parseOperand();
    ExprPtr parseSigned(const Token& sign);
    ExprPtr parseLiteral(const Token& t);
    ExprPtr parseColumn(const Token& t);

    QList<Token> t_;
    int pos_ = 0;
    int nodes_ = 0;
};

}  // namespace jet::sql
