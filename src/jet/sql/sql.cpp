// The select statement parser (see sql.h): the clauses in order, each read by its own function.
#include "jet/sql/sql.h"

#include <QRegularExpression>

#include "jet/internal/types.h"
#include "jet/sql/sqlexpr.h"
#include "jet/sql/sqllex.h"

namespace jet::sql {

namespace {

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

// An unterminated string, date or bracket: where the broken token sits decides the wording, as the
// engine reports it.
Error lexFailure(const QString& text, LexError lexError, int errorAt) {
    const int whereAt = text.indexOf(
        QRegularExpression(QStringLiteral(R"(\bwhere\b)"), QRegularExpression::CaseInsensitiveOption));
    const QString expression =
        (whereAt >= 0 && whereAt < errorAt) ? text.mid(whereAt + 5).trimmed() : text.mid(errorAt).trimmed();
    switch (lexError) {
        case LexError::String:
            return errors::badString(expression);
        case LexError::Date:
            return errors::badDate(expression);
        default:
            return errors::badBracketing(text.mid(errorAt).trimmed());
    }
}

// The select list from *i up to FROM at nesting depth 0; leaves *i after FROM.
bool parseSelectList(const QString& text, const QList<Token>& t, int* i, Select* out, Error* error) {
    int fromAt = -1;
    int depth = 0;
    for (int j = *i; j < t.size(); ++j) {
        if (t[j].sym("(")) {
            ++depth;
        } else if (t[j].sym(")")) {
            --depth;
        } else if (depth == 0 && t[j].is("from")) {
            fromAt = j;
            break;
        }
    }
    if (fromAt < 0 || fromAt == *i) {
        *error = errors::selectSyntax();
        return false;
    }
    int itemStart = *i;
    for (int j = *i; j <= fromAt; ++j) {
        if (j != fromAt && !t[j].sym(",")) {
            continue;
        }
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
    *i = fromAt + 1;
    return true;
}

// FROM source [[AS] alias], then the end or the next clause.
bool parseFrom(const QList<Token>& t, int* at, Select* out, Error* error) {
    int i = *at;
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
    *at = i;
    return true;
}

// WHERE criteria, running to ORDER or ';' at nesting depth 0. *i is at WHERE.
bool parseWhere(const QString& text, const QList<Token>& t, int* i, Select* out, Error* error) {
    const int whereStart = *i + 1;
    int whereEnd = whereStart;
    int depth = 0;
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
    out->where = ExprParser(sub).parseAll(whereText, error);
    *i = whereEnd;
    return bool(out->where);
}

// ORDER BY field [ASC|DESC], ... *i is at ORDER.
bool parseOrderBy(const QList<Token>& t, int* at, Select* out, Error* error) {
    int i = *at + 1;
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
        if (!t[i].sym(",")) {
            break;
        }
        ++i;
    }
    *at = i;
    return true;
}

// After the last clause: an optional ';' and nothing more.
bool parseEnd(const QString& text, const QList<Token>& t, int i, Error* error) {
    if (t[i].sym(";")) {
        ++i;
    }
    if (t[i].type == Tok::End) {
        return true;
    }
    *error = t[i - 1].sym(";") ? errors::afterEnd() : errors::missingOperator(spanText(text, t, i, t.size()));
    if (t[i].is("group") || t[i].is("having") || t[i].is("union")) {
        *error = errors::notSupported();
    }
    return false;
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
    const QList<Token> t = tokenize(text, &lexError, &errorAt);
    *out = Select();
    if (lexError != LexError::None) {
        *error = lexFailure(text, lexError, errorAt);
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
    if (!parseSelectList(text, t, &i, out, error) || !parseFrom(t, &i, out, error)) {
        return false;
    }
    if (t[i].is("where") && !parseWhere(text, t, &i, out, error)) {
        return false;
    }
    if (t[i].is("order") && !parseOrderBy(t, &i, out, error)) {
        return false;
    }
    return parseEnd(text, t, i, error);
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
