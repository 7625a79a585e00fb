#include "jetwriter/select.h"

#include <QRegularExpression>
#include <QStringList>

namespace jetwriter::detail {

namespace {

QString unbracket(QString s) {
    s = s.trimmed();
    if (s.size() >= 2 && s.startsWith('[') && s.endsWith(']'))
        return s.mid(1, s.size() - 2);
    return s;
}

// Splits at top-level commas (outside brackets, parentheses and quotes).
QStringList splitItems(const QString& s) {
    QStringList out;
    int depth = 0;
    QChar quote;
    bool inBracket = false;
    QString cur;
    for (QChar c : s) {
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
        } else if (inBracket) {
            if (c == ']')
                inBracket = false;
        } else if (c == '[') {
            inBracket = true;
        } else if (c == '\'' || c == '"') {
            quote = c;
        } else if (c == '(') {
            ++depth;
        } else if (c == ')') {
            --depth;
        } else if (c == ',' && depth == 0) {
            out << cur.trimmed();
            cur.clear();
            continue;
        }
        cur += c;
    }
    if (!cur.trimmed().isEmpty())
        out << cur.trimmed();
    return out;
}

// Finds a keyword (whole word, case-insensitive) outside brackets and quotes, from `from`.
int findKeyword(const QString& s, const QString& kw, int from = 0) {
    bool inBracket = false;
    QChar quote;
    for (int i = 0; i < s.size(); ++i) {
        QChar c = s.at(i);
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
            continue;
        }
        if (inBracket) {
            if (c == ']')
                inBracket = false;
            continue;
        }
        if (c == '[') {
            inBracket = true;
            continue;
        }
        if (c == '\'' || c == '"') {
            quote = c;
            continue;
        }
        if (i < from)
            continue;
        if (s.mid(i, kw.size()).compare(kw, Qt::CaseInsensitive) != 0)
            continue;
        bool startOk = i == 0 || s.at(i - 1).isSpace() || s.at(i - 1) == ']' || s.at(i - 1) == ')';
        int end = i + kw.size();
        bool endOk = end >= s.size() || s.at(end).isSpace() || s.at(end) == '[' || s.at(end) == '(';
        if (startOk && endOk)
            return i;
    }
    return -1;
}

struct SelectParts {
    bool distinct = false;
    QString columns;
    QString table;
    QString where;
    QStringList order;
};

QRegularExpression leading(const char* pattern) {
    return QRegularExpression(QString::fromLatin1(pattern), QRegularExpression::CaseInsensitiveOption);
}

// ORDER BY items after the keyword ORDER at the start of `tail`.
bool parseOrder(const QString& tail, QStringList* order) {
    static const QRegularExpression by = leading("^order\\s+by\\s+");
    const auto bm = by.match(tail);
    if (!bm.hasMatch())
        return false;
    *order = splitItems(tail.mid(bm.capturedLength()));
    return true;
}

// Everything after FROM: the table, the condition, the order.
bool parseFrom(const QString& tail, SelectParts* p) {
    const int whereAt = findKeyword(tail, QStringLiteral("where"));
    const int orderAt = findKeyword(tail, QStringLiteral("order"));
    const int tableEnd = whereAt >= 0 ? whereAt : (orderAt >= 0 ? orderAt : int(tail.size()));
    p->table = unbracket(tail.left(tableEnd));
    if (whereAt >= 0)
        p->where = tail.mid(whereAt + 5, (orderAt >= 0 ? orderAt : tail.size()) - whereAt - 5).trimmed();
    return orderAt < 0 || parseOrder(tail.mid(orderAt), &p->order);
}

bool splitSelect(const QString& sqlIn, SelectParts* p, QString* error) {
    QString sql = sqlIn.trimmed();
    if (sql.endsWith(';'))
        sql.chop(1);
    static const QRegularExpression head = leading("^select\\s+");
    static const QRegularExpression dist = leading("^distinct\\s+");
    const auto m = head.match(sql);
    if (!m.hasMatch()) {
        *error = QStringLiteral("la query non inizia con SELECT: %1").arg(sqlIn);
        return false;
    }
    QString rest = sql.mid(m.capturedLength());
    const auto dm = dist.match(rest);
    p->distinct = dm.hasMatch();
    if (p->distinct)
        rest = rest.mid(dm.capturedLength());
    const int fromAt = findKeyword(rest, QStringLiteral("from"));
    if (fromAt < 0) {
        *error = QStringLiteral("la query non ha FROM: %1").arg(sqlIn);
        return false;
    }
    p->columns = rest.left(fromAt).trimmed();
    if (!parseFrom(rest.mid(fromAt + 4).trimmed(), p)) {
        *error = QStringLiteral("ORDER senza BY: %1").arg(sqlIn);
        return false;
    }
    if (p->table.isEmpty() || p->columns.isEmpty()) {
        *error = QStringLiteral("query incompleta: %1").arg(sqlIn);
        return false;
    }
    return true;
}

}  // namespace

bool parseSelect(const QString& sql, QList<QueryRow>& rows, QString* error) {
    SelectParts p;
    if (!splitSelect(sql, &p, error))
        return false;
    rows.append({0, {}, {}, {}, 0});
    rows.append({1, {}, {}, {}, 1});
    rows.append({3, {}, {}, {}, p.distinct ? 2 : 0});
    rows.append({5, p.table, {}, {}, std::nullopt});
    for (const QString& item : splitItems(p.columns)) {
        const int asAt = findKeyword(item, QStringLiteral("as"));
        const QString expr = asAt >= 0 ? item.left(asAt).trimmed() : item;
        const QString alias = asAt >= 0 ? unbracket(item.mid(asAt + 2)) : QString();
        rows.append({6, alias, {}, expr, 0});
    }
    if (!p.where.isEmpty())
        rows.append({8, {}, {}, p.where, std::nullopt});
    static const QRegularExpression direction = leading("\\s+(asc|desc)$");
    for (QString expr : p.order) {
        QString dir;
        const auto om = direction.match(expr);
        if (om.hasMatch()) {
            if (om.captured(1).compare(QStringLiteral("desc"), Qt::CaseInsensitive) == 0)
                dir = QStringLiteral("D");
            expr = expr.left(om.capturedStart());
        }
        rows.append({11, dir, {}, expr.trimmed(), std::nullopt});
    }
    rows.append({255, {}, {}, {}, std::nullopt});
    return true;
}

}  // namespace jetwriter::detail
