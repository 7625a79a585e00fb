// What a search reads from a selection form: the lists' texts and the keys of the rows they
// designate, the boxes' values, and the rules and messages that go with them.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QtGlobal>

class QCheckBox;

namespace db {
class DataSource;
}
namespace controls {
class DBCombo;
}

namespace forms {

// The message shown when a search names no criterion.
inline const char* const kNoCriterionMessage =
    "Impossibile eseguire la ricerca dei dati, almeno una casella deve essere valida";

// The archive's "trim": leading and trailing blanks removed (blanks only, as the original did).
QString trimBlanks(const QString& text);

// A box counts as ticked only when its value is 1 (0 clear, 2 greyed).
constexpr int kTicked = 1;
// The box's value as the archive's forms saw it: 0 clear, 1 ticked, 2 greyed.
int boxValue(const QCheckBox* box);

// One list of a selection form at the moment of a search.
struct ListChoice {
    QString text;            // the list's edit text as it stands
    QString key;             // the key field of the row the selected entry designates ("" when none)
    bool unmatched = false;  // a non-blank text that designates no row of the list's source
};

// Reads `list`: makes the row its selected entry designates the current row of `source` and
// takes `keyField` from it. A blank text reads no key.
ListChoice readChoice(const controls::DBCombo* list, db::DataSource* source, const QString& keyField);

// One criterion of a statement: the list's text, the criterion's lead ("anno = ") and the key.
struct Criterion {
    QString text;
    QString lead;
    QString key;
};
// A search's statement and its parts, as both selection forms build them.
struct Statement {
    QString sql;                // "select " alone when there is no criterion
    QString fields;             // the select list with its from clause
    QString where;              // "where " and the filters; empty when there is no criterion
    QStringList filters;        // one per criterion, in their order; empty for a blank list
    bool hasCriterion = false;  // false when every list is blank: nothing is searched
};
// "select " + fields + "where " + the filters, when at least one criterion's text is not blank.
Statement buildStatement(const QString& fields, const QList<Criterion>& criteria);

// Which search a statement belongs to: each keeps its statement, parts and flag in Global.
enum class Search { Daily, Intense };

// Writes the statement to Global as a press of "&Seleziona" does: every part, the where clause only
// when there is a criterion (otherwise the last one stays), and then the flag true.
void publish(Search search, const Statement& statement);
// What the result window reads: the statement of the last search, and its flag (cleared when the
// statement raised a data error).
QString publishedStatement(Search search);
qint16 queryOk(Search search);
void setQueryFailed(Search search);

// The message for a list whose text matches none of its entries; `listName` as its label shows it.
QString unmatchedMessage(const QString& listName, const QString& text);

}  // namespace forms
