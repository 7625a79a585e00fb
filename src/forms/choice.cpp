#include "forms/choice.h"

#include "controls/dbcombo.h"
#include "db/datasource.h"
#include "db/global.h"

#include <QCheckBox>

namespace forms {

QString trimBlanks(const QString& text) {
    int first = 0;
    int last = text.size();
    while (first < last && text.at(first) == QLatin1Char(' ')) {
        ++first;
    }
    while (last > first && text.at(last - 1) == QLatin1Char(' ')) {
        --last;
    }
    return text.mid(first, last - first);
}

int boxValue(const QCheckBox* box) {
    switch (box->checkState()) {
        case Qt::Checked:
            return 1;
        case Qt::PartiallyChecked:
            return 2;
        case Qt::Unchecked:
            break;
    }
    return 0;
}

ListChoice readChoice(const controls::DBCombo* list, db::DataSource* source, const QString& keyField) {
    ListChoice choice;
    choice.text = list->text();
    db::Recordset* rows = source->recordset();
    const db::Bookmark bookmark = list->SelectedItem();
    const bool designates = rows && bookmark >= 0 && bookmark < rows->RecordCount();
    if (designates) {
        rows->setBookmark(bookmark);
        source->notifyRepositioned();
    }
    if (trimBlanks(choice.text).isEmpty()) {
        return choice;  // a blank list asks for nothing, whatever it designates
    }
    if (!designates) {
        choice.unmatched = true;
        return choice;
    }
    choice.key = rows->text(keyField);
    return choice;
}

Statement buildStatement(const QString& fields, const QList<Criterion>& criteria) {
    Statement s;
    s.sql = QStringLiteral("select ");
    s.fields = fields;
    QStringList& filters = s.filters;
    int previous = -1;
    for (const Criterion& criterion : criteria) {
        filters.append(QString());
        if (trimBlanks(criterion.text).isEmpty()) {
            continue;
        }
        if (previous >= 0) {
            filters[previous] += QStringLiteral(" and ");
        }
        previous = int(filters.size()) - 1;
        filters[previous] = criterion.lead + criterion.key;
    }
    s.hasCriterion = previous >= 0;
    if (s.hasCriterion) {
        s.where = QStringLiteral("where ") + filters.join(QString());
        s.sql += s.fields + s.where;
    }
    return s;
}

namespace {

// The Global variables of one search (Global keeps them for the whole run).
struct QueryState {
    QString& sql;
    QString& fields;
    QString& where;
    QList<QString*> filters;
    qint16& queryOk;
};

QueryState stateOf(Search search) {
    if (search == Search::Daily) {
        return {Global::DailySql,
                Global::DailyFields,
                Global::DailyWhere,
                {&Global::DailyStationFilter, &Global::DailyYearFilter, &Global::DailyMonthFilter,
                 &Global::DailyDayFilter},
                Global::DailyQueryOk};
    }
    return {Global::IntenseSql,
            Global::IntenseFields,
            Global::IntenseWhere,
            {&Global::IntenseStationFilter, &Global::IntenseYearFilter},
            Global::IntenseQueryOk};
}

}  // namespace

void publish(Search search, const Statement& statement) {
    const QueryState state = stateOf(search);
    state.sql = statement.sql;
    state.fields = statement.fields;
    for (int i = 0; i < state.filters.size(); ++i) {
        *state.filters[i] = statement.filters.value(i);
    }
    if (statement.hasCriterion) {
        state.where = statement.where;
        state.queryOk = Global::kTrue;
    }
}

QString publishedStatement(Search search) {
    return stateOf(search).sql;
}

qint16 queryOk(Search search) {
    return stateOf(search).queryOk;
}

void setQueryFailed(Search search) {
    stateOf(search).queryOk = Global::kFalse;
}

QString unmatchedMessage(const QString& listName, const QString& text) {
    return QStringLiteral(
               "Il valore \"%1\" indicato in %2 non corrisponde a nessuna voce dell'elenco: "
               "sceglierne una dall'elenco")
        .arg(trimBlanks(text), listName);
}

}  // namespace forms
