// Tokenizer and parser of the select dialect (see sql.h).
#include "jet/sql.h"

#include <QRegularExpression>

#include "jet/jetvalue.h"

namespace jet::sql {

namespace {

enum class Tok {
    End,
    Name,       // bare name (letters of any script, digits, underscore)
    Bracketed,  // [name], text without the brackets
    Number,
    String,  // 'text' or "text", text without the quotes
    Date,    // #date#, text without the hashes
    Symbol,  // , . * ( ) = <> < > <= >= + - ;
    Bad,     // something that cannot start a token
};

enum class LexError { None, String, Bracket, Date };

struct Token {
    Tok type = Tok::End;
    QString text;
    int begin = 0;  // position in the statement
    int end = 0;
    bool is(const char* keyword) const {
        return type == Tok::Name && text.compare(QLatin1String(keyword), Qt::CaseInsensitive) == 0;
    }
    bool sym(const char* s) const { return type == Tok::Symbol && text == QLatin1String(s); }
};

bool isNameStart(QChar c) {
    return c.isLetter() || c == QLatin1Char('_');
}
bool isNameChar(QChar c) {
    return c.isLetterOrNumber() || c == QLatin1Char('_') || c.isMark();
}

// Splits the text into tokens. On an unterminated string, bracket or date stops with the error
// and the position where the bad token starts.
QList<Token> tokenize(const QString& s, LexError* error, int* errorAt) {
    QList<Token> out;
    *error = LexError::None;
    int i = 0;
    const int n = s.size();
    while (i < n) {
        const QChar c = s.at(i);
        if (c.isSpace()) {
            ++i;
            continue;
        }
        Token t;
        t.begin = i;
        if (isNameStart(c)) {
            int j = i + 1;
            while (j < n && isNameChar(s.at(j))) {
                ++j;
            }
            t.type = Tok::Name;
            t.text = s.mid(i, j - i);
            i = j;
        } else if (c == QLatin1Char('[')) {
            const int close = s.indexOf(QLatin1Char(']'), i + 1);
            if (close < 0) {
                *error = LexError::Bracket;
                *errorAt = i;
                return out;
            }
            t.type = Tok::Bracketed;
            t.text = s.mid(i + 1, close - i - 1);
            i = close + 1;
        } else if (c.isDigit() || (c == QLatin1Char('.') && i + 1 < n && s.at(i + 1).isDigit())) {
            int j = i;
            while (j < n && s.at(j).isDigit()) {
                ++j;
            }
            if (j < n && s.at(j) == QLatin1Char('.')) {
                ++j;
                while (j < n && s.at(j).isDigit()) {
                    ++j;
                }
            }
            if (j < n && (s.at(j) == QLatin1Char('e') || s.at(j) == QLatin1Char('E'))) {
                int k = j + 1;
                if (k < n && (s.at(k) == QLatin1Char('+') || s.at(k) == QLatin1Char('-'))) {
                    ++k;
                }
                if (k < n && s.at(k).isDigit()) {
                    while (k < n && s.at(k).isDigit()) {
                        ++k;
                    }
                    j = k;
                }
            }
            t.type = Tok::Number;
            t.text = s.mid(i, j - i);
            i = j;
        } else if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            // A doubled quote inside stands for one quote.
            QString text;
            int j = i + 1;
            bool closed = false;
            while (j < n) {
                if (s.at(j) == c) {
                    if (j + 1 < n && s.at(j + 1) == c) {
                        text += c;
                        j += 2;
                        continue;
                    }
                    closed = true;
                    ++j;
                    break;
                }
                text += s.at(j++);
            }
            if (!closed) {
                *error = LexError::String;
                *errorAt = i;
                return out;
            }
            t.type = Tok::String;
            t.text = text;
            i = j;
        } else if (c == QLatin1Char('#')) {
            const int close = s.indexOf(QLatin1Char('#'), i + 1);
            if (close < 0) {
                *error = LexError::Date;
                *errorAt = i;
                return out;
            }
            t.type = Tok::Date;
            t.text = s.mid(i + 1, close - i - 1);
            i = close + 1;
        } else if (c == QLatin1Char('<') || c == QLatin1Char('>')) {
            t.type = Tok::Symbol;
            if (i + 1 < n && (s.at(i + 1) == QLatin1Char('=') ||
                              (c == QLatin1Char('<') && s.at(i + 1) == QLatin1Char('>')))) {
                t.text = s.mid(i, 2);
                i += 2;
            } else {
                t.text = c;
                ++i;
            }
        } else if (QStringLiteral(",.*()=+-;").contains(c)) {
            t.type = Tok::Symbol;
            t.text = c;
            ++i;
        } else {
            t.type = Tok::Bad;
            t.text = c;
            ++i;
        }
        t.end = i;
        out.append(t);
    }
    Token end;
    end.type = Tok::End;
    end.begin = end.end = n;
    out.append(end);
    return out;
}

const char* const kReserved[] = {"select", "from",  "where", "and",  "or",       "not",         "is",
                                 "null",   "order", "by",    "as",   "distinct", "distinctrow", "group",
                                 "having", "union", "join",  "on",   "in",       "like",        "between",
                                 "true",   "false", "asc",   "desc", "top",      "into"};

bool isReserved(const Token& t) {
    if (t.type != Tok::Name) {
        return false;
    }
    for (const char* r : kReserved) {
        if (t.is(r)) {
            return true;
        }
    }
    return false;
}

// #date# literals: month/day/year as the engine reads them, or year-month-day, with an optional
// time of day; a time alone is a time on day zero.
bool parseDateLiteral(const QString& text, double* serial) {
    static const QRegularExpression datePart(QStringLiteral(
        R"(^\s*(?:(\d{1,2})[/-](\d{1,2})[/-](\d{2,4})|(\d{4})-(\d{1,2})-(\d{1,2}))?\s*(?:(\d{1,2}):(\d{2})(?::(\d{2}))?\s*([AaPp][Mm])?)?\s*$)"));
    const QRegularExpressionMatch m = datePart.match(text);
    if (!m.hasMatch() || text.trimmed().isEmpty()) {
        return false;
    }
    QDate date(1899, 12, 30);
    if (!m.captured(1).isEmpty()) {
        int year = m.captured(3).toInt();
        if (m.captured(3).size() <= 2) {
            year += year < 30 ? 2000 : 1900;  // the engine's two-digit year window
        }
        date = QDate(year, m.captured(1).toInt(), m.captured(2).toInt());
    } else if (!m.captured(4).isEmpty()) {
        date = QDate(m.captured(4).toInt(), m.captured(5).toInt(), m.captured(6).toInt());
    }
    if (!date.isValid()) {
        return false;
    }
    int seconds = 0;
    if (!m.captured(7).isEmpty()) {
        int hour = m.captured(7).toInt();
        const int minute = m.captured(8).toInt();
        const int second = m.captured(9).isEmpty() ? 0 : m.captured(9).toInt();
        const QString ampm = m.captured(10).toLower();
        if (!ampm.isEmpty()) {
            if (hour < 1 || hour > 12) {
                return false;
            }
            hour = (hour % 12) + (ampm == QLatin1String("pm") ? 12 : 0);
        }
        if (hour > 23 || minute > 59 || second > 59) {
            return false;
        }
        seconds = hour * 3600 + minute * 60 + second;
    }
    *serial = dateSerial(date, seconds);
    return true;
}

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

class Parser {
  public:
    Parser(const QString& text, QList<Token> tokens) : text_(text), t_(std::move(tokens)) {}

    const Token& peek(int ahead = 0) const { return t_[qMin(pos_ + ahead, int(t_.size()) - 1)]; }
    const Token& next() { return t_[qMin(pos_++, int(t_.size()) - 1)]; }
    int pos() const { return pos_; }
    void setPos(int p) { pos_ = p; }
    const QList<Token>& tokens() const { return t_; }

    void count() {
        if (++nodes_ > kMaxExpressionNodes) {
            throw ParseFailure{ParseFailure::Complex};
        }
    }

    // Expression grammar: or / and / not / comparison / operand.
    ExprPtr parseOr() {
        ExprPtr left = parseAnd();
        while (peek().is("or")) {
            next();
            count();
            auto e = std::make_shared<Expr>();
            e->kind = Expr::Kind::Or;
            e->a = left;
            e->b = parseAnd();
            left = e;
        }
        return left;
    }

    ExprPtr parseAnd() {
        ExprPtr left = parseNot();
        while (peek().is("and")) {
            next();
            count();
            auto e = std::make_shared<Expr>();
            e->kind = Expr::Kind::And;
            e->a = left;
            e->b = parseNot();
            left = e;
        }
        return left;
    }

    ExprPtr parseNot() {
        if (peek().is("not")) {
            next();
            count();
            auto e = std::make_shared<Expr>();
            e->kind = Expr::Kind::Not;
            e->a = parseNot();
            return e;
        }
        return parseComparison();
    }

    ExprPtr parseComparison() {
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
                    auto e = std::make_shared<Expr>();
                    e->kind = Expr::Kind::Compare;
                    e->op = o.op;
                    e->a = left;
                    e->b = parseOperand();
                    return e;
                }
            }
        }
        if (t.is("is")) {
            next();
            auto e = std::make_shared<Expr>();
            e->kind = Expr::Kind::IsNull;
            if (peek().is("not")) {
                next();
                e->negated = true;
            }
            if (!peek().is("null")) {
                throw ParseFailure{};
            }
            next();
            e->a = left;
            return e;
        }
        return left;
    }

    ExprPtr parseOperand() {
        count();
        const Token& t = next();
        auto e = std::make_shared<Expr>();
        if (t.sym("-") || t.sym("+")) {
            ExprPtr inner = parseOperand();
            if (t.sym("+")) {
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
            e->kind = Expr::Kind::Negate;
            e->a = inner;
            return e;
        }
        if (t.sym("(")) {
            ExprPtr inner = parseOr();
            if (!next().sym(")")) {
                throw ParseFailure{};
            }
            return inner;
        }
        switch (t.type) {
            case Tok::Number: {
                bool ok = false;
                const qint64 i = t.text.toLongLong(&ok);
                if (ok) {
                    e->literal = Value::fromInt(i);
                } else {
                    e->literal = Value::fromReal(t.text.toDouble(&ok));
                    if (!ok) {
                        throw ParseFailure{};
                    }
                }
                return e;
            }
            case Tok::String:
                e->literal = Value::fromText(t.text);
                return e;
            case Tok::Date: {
                double serial = 0;
                if (!parseDateLiteral(t.text, &serial)) {
                    throw ParseFailure{ParseFailure::Date};
                }
                e->literal = Value::fromDateSerial(serial);
                return e;
            }
            case Tok::Name:
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
                if (isReserved(t)) {
                    throw ParseFailure{};
                }
                [[fallthrough]];
            case Tok::Bracketed: {
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
            default:
                throw ParseFailure{};
        }
    }

  private:
    const QString& text_;
    QList<Token> t_;
    int pos_ = 0;
    int nodes_ = 0;
};

// The text of tokens [from, to) as written in the statement, trimmed.
QString spanText(const QString& text, const QList<Token>& t, int from, int to) {
    if (from >= to) {
        return QString();
    }
    return text.mid(t[from].begin, t[to - 1].end - t[from].begin).trimmed();
}

bool isName(const Token& t) {
    return (t.type == Tok::Name && !isReserved(t)) || t.type == Tok::Bracketed;
}

// One select-list item from tokens [from, to). Returns false for anything but a plain field.
bool itemFromTokens(const QList<Token>& t, int from, int to, SelectItem* item) {
    int i = from;
    if (i >= to) {
        return false;
    }
    if (t[i].sym("*")) {
        item->star = true;
        ++i;
    } else if (isName(t[i])) {
        item->name = t[i].text;
        ++i;
        if (i < to && t[i].sym(".")) {
            if (i + 1 >= to) {
                return false;
            }
            item->qualifier = item->name;
            item->name.clear();
            if (t[i + 1].sym("*")) {
                item->star = true;
            } else if (isName(t[i + 1])) {
                item->name = t[i + 1].text;
            } else {
                return false;
            }
            i += 2;
        }
    } else {
        return false;
    }
    if (i < to && t[i].is("as")) {
        if (item->star || i + 2 != to) {
            return false;
        }
        const Token& alias = t[i + 1];
        if (!isName(alias)) {
            return false;
        }
        item->alias = alias.text;
        item->hasAlias = true;
        i += 2;
    }
    return i == to;
}

}  // namespace

bool looksLikeStatement(const QString& text) {
    static const QRegularExpression re(
        QStringLiteral(
            R"(^\s*(select|insert|update|delete|create|drop|alter|transform|parameters)(\s|\[|\*|\(|$))"),
        QRegularExpression::CaseInsensitiveOption);
    return re.match(text).hasMatch();
}

bool parseSelect(const QString& text, Select* out, Error* error) {
    LexError lexError = LexError::None;
    int errorAt = 0;
    QList<Token> t = tokenize(text, &lexError, &errorAt);
    *out = Select();

    if (lexError != LexError::None) {
        // Where the broken token sits decides the wording, as the engine reports it.
        const int whereAt = text.indexOf(
            QRegularExpression(QStringLiteral(R"(\bwhere\b)"), QRegularExpression::CaseInsensitiveOption));
        const QString expression = (whereAt >= 0 && whereAt < errorAt) ? text.mid(whereAt + 5).trimmed()
                                                                       : text.mid(errorAt).trimmed();
        switch (lexError) {
            case LexError::String:
                *error = errors::badString(expression);
                break;
            case LexError::Date:
                *error = errors::badDate(expression);
                break;
            default:
                *error = errors::badBracketing(text.mid(errorAt).trimmed());
                break;
        }
        return false;
    }

    int i = 0;
    if (!t[i].is("select")) {
        *error = errors::invalidOperation();
        return false;
    }
    ++i;
    if (t[i].is("distinct") || t[i].is("distinctrow")) {
        out->distinct = t[i].is("distinct");
        ++i;
    } else if (t[i].is("all")) {
        ++i;
    }

    // The select list runs up to FROM at nesting depth 0.
    int fromAt = -1;
    int depth = 0;
    for (int j = i; j < t.size(); ++j) {
        if (t[j].sym("(")) {
            ++depth;
        } else if (t[j].sym(")")) {
            --depth;
        } else if (depth == 0 && t[j].is("from")) {
            fromAt = j;
            break;
        }
    }
    if (fromAt < 0 || fromAt == i) {
        *error = errors::selectSyntax();
        return false;
    }
    int itemStart = i;
    for (int j = i; j <= fromAt; ++j) {
        if (j == fromAt || t[j].sym(",")) {
            SelectItem item;
            if (j == itemStart) {
                *error = errors::selectSyntax();
                return false;
            }
            if (!itemFromTokens(t, itemStart, j, &item)) {
                // "as" with nothing usable after it is a broken statement; anything else is an
                // expression this dialect does not read.
                for (int k = itemStart; k < j; ++k) {
                    if (t[k].is("as") || t[k].is("select") || t[k].is("where")) {
                        *error = errors::selectSyntax();
                        return false;
                    }
                }
                *error = errors::missingOperator(spanText(text, t, itemStart, j));
                return false;
            }
            out->items.append(item);
            itemStart = j + 1;
        }
    }

    // FROM source [[AS] alias]
    i = fromAt + 1;
    if (!isName(t[i])) {
        *error = errors::fromSyntax();
        return false;
    }
    out->source = t[i].text;
    ++i;
    if (t[i].is("as")) {
        ++i;
        if (!isName(t[i])) {
            *error = errors::fromSyntax();
            return false;
        }
        out->sourceAlias = t[i].text;
        ++i;
    } else if (isName(t[i])) {
        out->sourceAlias = t[i].text;
        ++i;
    }
    if (!(t[i].type == Tok::End || t[i].sym(";") || t[i].is("where") || t[i].is("order"))) {
        *error = errors::fromSyntax();
        return false;
    }

    if (t[i].is("where")) {
        const int whereStart = i + 1;
        int whereEnd = whereStart;
        depth = 0;
        while (t[whereEnd].type != Tok::End &&
               !(depth == 0 && (t[whereEnd].is("order") || t[whereEnd].sym(";")))) {
            if (t[whereEnd].sym("(")) {
                ++depth;
            } else if (t[whereEnd].sym(")")) {
                --depth;
            }
            ++whereEnd;
        }
        const QString whereText = spanText(text, t, whereStart, whereEnd);
        if (whereStart == whereEnd) {
            *error = errors::missingOperator(whereText);
            return false;
        }
        QList<Token> sub = t.mid(whereStart, whereEnd - whereStart);
        Token end;
        end.type = Tok::End;
        end.begin = end.end = t[whereEnd].begin;
        sub.append(end);
        Parser p(text, sub);
        try {
            out->where = p.parseOr();
            if (p.peek().type != Tok::End) {
                throw ParseFailure{};
            }
        } catch (const ParseFailure& failure) {
            *error = failureError(failure, whereText);
            return false;
        }
        i = whereEnd;
    }

    if (t[i].is("order")) {
        ++i;
        if (!t[i].is("by")) {
            *error = errors::orderBySyntax();
            return false;
        }
        ++i;
        while (true) {
            OrderItem item;
            if (!isName(t[i])) {
                *error = errors::orderBySyntax();
                return false;
            }
            item.name = t[i++].text;
            if (t[i].sym(".")) {
                if (!isName(t[i + 1])) {
                    *error = errors::orderBySyntax();
                    return false;
                }
                item.qualifier = item.name;
                item.name = t[i + 1].text;
                i += 2;
            }
            if (t[i].is("asc")) {
                ++i;
            } else if (t[i].is("desc")) {
                item.descending = true;
                ++i;
            }
            out->order.append(item);
            if (t[i].sym(",")) {
                ++i;
                continue;
            }
            break;
        }
    }

    if (t[i].sym(";")) {
        ++i;
    }
    if (t[i].type != Tok::End) {
        *error =
            t[i - 1].sym(";") ? errors::afterEnd() : errors::missingOperator(spanText(text, t, i, t.size()));
        if (t[i].is("group") || t[i].is("having") || t[i].is("union")) {
            *error = errors::notSupported();
        }
        return false;
    }
    return true;
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
    Parser p(text, t);
    try {
        ExprPtr e = p.parseOr();
        if (p.peek().type != Tok::End) {
            throw ParseFailure{};
        }
        return e;
    } catch (const ParseFailure& failure) {
        *error = failureError(failure, text.trimmed());
        return nullptr;
    }
}

bool parseSelectItem(const QString& text, SelectItem* out, Error* error) {
    LexError lexError = LexError::None;
    int errorAt = 0;
    QList<Token> t = tokenize(text, &lexError, &errorAt);
    *out = SelectItem();
    if (lexError != LexError::None || !itemFromTokens(t, 0, t.size() - 1, out)) {
        *error = errors::missingOperator(text.trimmed());
        return false;
    }
    return true;
}

}  // namespace jet::sql
