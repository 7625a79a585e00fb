// The tokenizer (see sqllex.h).
#include "jet/sql/sqllex.h"

#include <QDate>
#include <QRegularExpression>

#include "jet/internal/types.h"

namespace jet::sql {

namespace {

bool isNameStart(QChar c) {
    return c.isLetter() || c == QLatin1Char('_');
}
bool isNameChar(QChar c) {
    return c.isLetterOrNumber() || c == QLatin1Char('_') || c.isMark();
}

// The end of a number starting at i: digits, an optional fraction and an optional exponent.
int numberEnd(const QString& s, int i) {
    const int n = s.size();
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
    return j;
}

// A quoted string starting at i; a doubled quote inside stands for one quote. -1 when unclosed.
int stringEnd(const QString& s, int i, QString* text) {
    const QChar quote = s.at(i);
    const int n = s.size();
    int j = i + 1;
    while (j < n) {
        if (s.at(j) == quote) {
            if (j + 1 < n && s.at(j + 1) == quote) {
                *text += quote;
                j += 2;
                continue;
            }
            return j + 1;
        }
        *text += s.at(j++);
    }
    return -1;
}

// Reads the text between an opening character at i and its closing one. -1 when unclosed.
int enclosedEnd(const QString& s, int i, QChar close, QString* text) {
    const int at = s.indexOf(close, i + 1);
    if (at < 0) {
        return -1;
    }
    *text = s.mid(i + 1, at - i - 1);
    return at + 1;
}

// The token starting at i (not a blank). Sets *error on an unterminated one.
Token nextToken(const QString& s, int i, LexError* error) {
    const int n = s.size();
    const QChar c = s.at(i);
    Token t;
    t.begin = i;
    int end = i + 1;
    if (isNameStart(c)) {
        while (end < n && isNameChar(s.at(end))) {
            ++end;
        }
        t.type = Tok::Name;
        t.text = s.mid(i, end - i);
    } else if (c == QLatin1Char('[') || c == QLatin1Char('#')) {
        const bool bracket = c == QLatin1Char('[');
        t.type = bracket ? Tok::Bracketed : Tok::Date;
        end = enclosedEnd(s, i, bracket ? QLatin1Char(']') : QLatin1Char('#'), &t.text);
        if (end < 0) {
            *error = bracket ? LexError::Bracket : LexError::Date;
        }
    } else if (c.isDigit() || (c == QLatin1Char('.') && i + 1 < n && s.at(i + 1).isDigit())) {
        end = numberEnd(s, i);
        t.type = Tok::Number;
        t.text = s.mid(i, end - i);
    } else if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
        t.type = Tok::String;
        end = stringEnd(s, i, &t.text);
        if (end < 0) {
            *error = LexError::String;
        }
    } else if (c == QLatin1Char('<') || c == QLatin1Char('>')) {
        t.type = Tok::Symbol;
        if (i + 1 < n &&
            (s.at(i + 1) == QLatin1Char('=') || (c == QLatin1Char('<') && s.at(i + 1) == QLatin1Char('>')))) {
            end = i + 2;
        }
        t.text = s.mid(i, end - i);
    } else {
        t.type = QStringLiteral(",.*()=+-;").contains(c) ? Tok::Symbol : Tok::Bad;
        t.text = c;
    }
    t.end = end;
    return t;
}

const char* const kReserved[] = {"select", "from",  "where", "and",  "or",       "not",         "is",
                                 "null",   "order", "by",    "as",   "distinct", "distinctrow", "group",
                                 "having", "union", "join",  "on",   "in",       "like",        "between",
                                 "true",   "false", "asc",   "desc", "top",      "into"};

}  // namespace

QList<Token> tokenize(const QString& s, LexError* error, int* errorAt) {
    QList<Token> out;
    *error = LexError::None;
    int i = 0;
    const int n = s.size();
    while (i < n) {
        if (s.at(i).isSpace()) {
            ++i;
            continue;
        }
        Token t = nextToken(s, i, error);
        if (*error != LexError::None) {
            *errorAt = i;
            return out;
        }
        i = t.end;
        out.append(t);
    }
    Token end;
    end.type = Tok::End;
    end.begin = end.end = n;
    out.append(end);
    return out;
}

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

bool isName(const Token& t) {
    return (t.type == Tok::Name && !isReserved(t)) || t.type == Tok::Bracketed;
}

QString spanText(const QString& text, const QList<Token>& t, int from, int to) {
    if (from >= to) {
        return QString();
    }
    return text.mid(t[from].begin, t[to - 1].end - t[from].begin).trimmed();
}

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

}  // namespace jet::sql
