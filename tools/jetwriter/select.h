// The writer's own reading of the simple select statements it stores as queries, and the
// catalogue rows (MSysQueries) that describe them.
#pragma once

#include <QList>
#include <QString>

#include <optional>

namespace jetwriter::detail {

// One MSysQueries row: attribute 0 start, 1 type, 3 predicate flags, 5 table, 6 output column,
// 8 WHERE, 11 ORDER BY, 255 end.
struct QueryRow {
    int attribute;
    QString name1;
    QString name2;
    QString expression;
    std::optional<int> flag;
};

// SELECT [DISTINCT] columns FROM one table [WHERE ...] [ORDER BY ...]; false with *error set
// when the statement is not of that form.
bool parseSelect(const QString& sql, QList<QueryRow>& rows, QString* error);

}  // namespace jetwriter::detail
