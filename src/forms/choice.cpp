#include "forms/choice.h"

#include "db/boundcontrols.h"
#include "db/datasource.h"

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

ListChoice readChoice(const db::DBCombo* list, db::DataSource* source, const QString& keyField) {
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

QStringList criterionFilters(const QList<Criterion>& criteria) {
    QStringList filters;
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
    return filters;
}

QString unmatchedMessage(const QString& listName, const QString& text) {
    return QStringLiteral(
               "Il valore \"%1\" indicato in %2 non corrisponde a nessuna voce dell'elenco: "
               "sceglierne una dall'elenco")
        .arg(trimBlanks(text), listName);
}

}  // namespace forms
