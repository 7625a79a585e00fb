// Attachment and multi-value columns. Their cell holds a key; the items are rows of a hidden flat
// table (f_<GUID>_<column>) whose owner column holds that key. MSysComplexColumns links the column
// (by the ComplexID in its definition) to the flat table and to a type table, whose columns tell
// the kind: one plain value (multi-value) or the attachment's six. A link that is missing or
// ambiguous leaves the column out, as before; a table on the way that cannot be read is damage.
#include <QLocale>

#include <algorithm>

#include "jet/internal/jetfile.h"
#include "jet/internal/types.h"
#include "jet/internal/values.h"

namespace jet {

namespace {

// The separator between items: the list separator of the regional settings Access is used under
// here, and never part of a number shown with a decimal comma.
const QLatin1String kItemSeparator("; ");

// The column named `key`: -1 when none, -2 when more than one.
int columnIndex(const TableDef& def, const QString& key) {
    int found = -1;
    for (int i = 0; i < def.columns.size(); ++i) {
        if (def.columns[i].key == key) {
            if (found >= 0) {
                return -2;
            }
            found = i;
        }
    }
    return found;
}

bool hasComplexColumn(const TableDef& def) {
    return std::any_of(def.columns.cbegin(), def.columns.cend(),
                       [](const ColumnDef& c) { return c.type == TypeComplex; });
}

// The type table's column whose values are shown, as a folded name; empty when the kind is not
// one the program shows (a memo's version history, a kind it does not know).
QString shownColumn(const TableDef& type) {
    if (type.columns.size() == 1) {
        const ColumnDef& v = type.columns[0];
        switch (v.calculated ? 0 : v.type) {
            case TypeByte:
            case TypeInteger:
            case TypeLong:
            case TypeSingle:
            case TypeDouble:
            case TypeGuid:
            case TypeNumeric:
            case TypeText:
                return v.key;  // a multi-value field's one value
            default:
                return QString();
        }
    }
    // An attachment: FileURL (Memo), FileName and FileType (Text), FileData (OLE), FileTimeStamp
    // (Date/Time), FileFlags (Long).
    int memo = 0, text = 0, ole = 0, date = 0, whole = 0;
    for (const ColumnDef& c : type.columns) {
        memo += c.type == TypeMemo;
        text += c.type == TypeText;
        ole += c.type == TypeOle;
        date += c.type == TypeDateTime;
        whole += c.type == TypeLong;
    }
    const QString name = QStringLiteral("filename");
    const int at = columnIndex(type, name);
    const bool attachment = type.columns.size() == 6 && memo == 1 && text == 2 && ole == 1 && date == 1 &&
                            whole == 1 && at >= 0 && type.columns[at].type == TypeText;
    return attachment ? name : QString();
}

}  // namespace

const CatalogObject* JetFile::tableById(quint32 id) const {
    const CatalogObject* found = nullptr;
    for (const QList<CatalogObject>* list : {&tables_, &systemTables_}) {
        for (const CatalogObject& o : *list) {
            if (o.id == id) {
                if (found) {
                    return nullptr;  // two objects with one id: no link can be trusted
                }
                found = &o;
            }
        }
    }
    return found;
}

// The definition of a table a link names; nullptr when the catalog names none (throws when the
// catalog had damaged rows, which may have held it, or when the definition is damaged).
const TableDef* JetFile::linkedTable(quint32 id) {
    const CatalogObject* o = tableById(id);
    if (!o) {
        if (damagedCatalogRows_ > 0) {
            pages_.damaged();
        }
        return nullptr;
    }
    Error error;
    const TableDef* def = tableDef(*o, &error);
    if (!def) {
        throw ReadFailure{error};
    }
    return def;
}

const QVector<JetFile::ComplexColumnRow>& JetFile::complexColumnRows() {
    if (complexRows_) {
        return *complexRows_;
    }
    auto rows = std::make_shared<QVector<ComplexColumnRow>>();
    const CatalogObject* o = findAnyTable(QStringLiteral("MSysComplexColumns"));
    Error error;
    const TableDef* def = o ? tableDef(*o, &error) : nullptr;
    if (o && !def) {
        throw ReadFailure{error};
    }
    QVector<int> at;
    for (const char* name :
         {"ColumnName", "ComplexID", "ComplexTypeObjectID", "ConceptualTableID", "FlatTableID"}) {
        const int c = def ? columnIndex(*def, foldKey(QLatin1String(name))) : -1;
        const int wanted = at.isEmpty() ? TypeText : TypeLong;
        at << (c >= 0 && def->columns[c].type == wanted ? c : -1);
    }
    if (!at.contains(-1)) {
        scan(*def, [&](RowValues& row) {
            auto id = [&](int i) { return quint32(row.value(at[i]).toInt()); };
            rows->append({row.value(at[0]).text(), id(1), id(2) & 0x00FFFFFFu, id(3) & 0x00FFFFFFu,
                          id(4) & 0x00FFFFFFu});
        });
    }
    complexRows_ = rows;
    return *complexRows_;
}

// True with *link filled when every link holds: one row for the column's ComplexID, naming this
// table and column; a type table of a kind shown; a flat table with the type's columns, one
// AutoNumber key and one Long owner column, and nothing else.
bool JetFile::linkComplex(const TableDef& def, const ColumnDef& c, ComplexLink* link) {
    const ComplexColumnRow* found = nullptr;
    for (const ComplexColumnRow& r : complexColumnRows()) {
        if (r.complexId == c.complexId) {
            if (found) {
                return false;
            }
            found = &r;
        }
    }
    if (!found || found->table != def.tdefPage || foldKey(found->column) != c.key) {
        return false;
    }
    const TableDef* type = linkedTable(found->typeTable);
    const QString shown = type ? shownColumn(*type) : QString();
    const TableDef* flat = shown.isEmpty() ? nullptr : linkedTable(found->flatTable);
    if (!flat || flat == &def || hasComplexColumn(*flat)) {
        return false;
    }
    int key = -1, owner = -1;
    for (int i = 0; i < flat->columns.size(); ++i) {
        const ColumnDef& f = flat->columns[i];
        const int inType = columnIndex(*type, f.key);
        if (inType >= 0 ? type->columns[inType].type != f.type
                        : (f.type != TypeLong || f.calculated || (f.autoNumber ? key : owner) >= 0)) {
            return false;
        }
        if (inType < 0) {
            (f.autoNumber ? key : owner) = i;
        }
    }
    if (key < 0 || owner < 0 || columnIndex(*flat, shown) < 0) {
        return false;
    }
    link->flatTable = found->flatTable;
    link->ownerKey = flat->columns[owner].key;
    link->itemKey = shown;
    return true;
}

void JetFile::linkComplexColumns(TableDef& def) {
    if (linking_ || !hasComplexColumn(def)) {
        return;  // the tables a link leads to show no complex column themselves
    }
    linking_ = true;
    struct Linking {
        bool& on;
        ~Linking() { on = false; }
    } linking{linking_};
    for (ColumnDef& c : def.columns) {
        if (c.type != TypeComplex) {
            continue;
        }
        ComplexLink link;
        try {
            if (!linkComplex(def, c, &link)) {
                continue;
            }
        } catch (const ReadFailure&) {
            link = ComplexLink();
            link.damaged = true;  // only this column is unreadable
        }
        c.complexLink = int(def.complexLinks.size());
        def.complexLinks.append(link);
    }
}

// Every owner's items shown and joined, read once per column.
std::shared_ptr<const QHash<quint32, QString>> JetFile::complexItems(const ComplexLink& link) {
    const TableDef* flat = link.damaged ? nullptr : linkedTable(link.flatTable);
    const int owner = flat ? columnIndex(*flat, link.ownerKey) : -1;
    const int item = flat ? columnIndex(*flat, link.itemKey) : -1;
    if (owner < 0 || item < 0) {
        pages_.damaged();  // it was there when the column was linked
    }
    QHash<quint32, QStringList> lists;
    const DisplayFormat format{QLocale()};
    scan(*flat, [&](RowValues& row) {
        const Value key = row.value(owner);
        if (key.isNull()) {
            pages_.damaged();  // an item of no row
        }
        lists[quint32(key.toInt())] << format.text(row.value(item));
    });
    auto items = std::make_shared<QHash<quint32, QString>>();
    for (auto it = lists.cbegin(); it != lists.cend(); ++it) {
        items->insert(it.key(), it.value().join(kItemSeparator));
    }
    return items;
}

Value JetFile::complexValue(const TableDef& table, int column, quint32 id) {
    const ColumnDef& c = table.columns[column];
    if (c.complexLink < 0 || c.complexLink >= table.complexLinks.size()) {
        throw ReadFailure{errors::unsupportedColumn(c.name)};
    }
    std::shared_ptr<const QHash<quint32, QString>>& items = complexItems_[qMakePair(table.tdefPage, column)];
    if (!items) {
        items = complexItems(table.complexLinks[c.complexLink]);
    }
    const auto it = items->constFind(id);
    return it == items->constEnd() ? Value() : Value::fromText(*it);
}

}  // namespace jet
