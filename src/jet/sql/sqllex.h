// The tokens of the select dialect, and the literals read from them.
#pragma once

#ifndef ALTORRA_JET_INTERNAL
#error "jet/sql headers are private to the engine (altorra_jet)"
#endif

#include <QList>
#include <QString>

namespace jet::sql {

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

// Splits the text into tokens, the last one End. On an unterminated string, bracket or date
// stops with the error and the position where the bad token starts.
QList<Token> tokenize(const QString& s, LexError* error, int* errorAt);

bool isReserved(const Token& t);
// A name usable for a field or source: bare and not reserved, or bracketed.
bool isName(const Token& t);
// The text of tokens [from, to) as written in the statement, trimmed.
QString spanText(const QString& text, const QList<Token>& t, int from, int to);

// #date# literals: month/day/year as the engine reads them, or year-month-day, with an optional
// time of day; a time alone is a time on day zero.
bool parseDateLiteral(const QString& text, double* serial);

}  // namespace jet::sql
