// The file's layout: the header page, the global page map, table definitions over their pages,
// and the system tables of the catalogue with their rows.
#pragma once

#include "jetwriter/pages.h"

namespace jetwriter::detail {

struct QueryDef {
    QString name;
    QString sql;
};

struct SystemTables {
    TableDef objects;  // MSysObjects, whose definition readers expect on page 2
    TableDef aces;
    TableDef queries;
    TableDef relationships;
};

SystemTables systemTables(const Format& f);
// MSysObjects' rows: containers, the database, the system and user tables, the queries.
QList<Row> catalogueObjects(const SystemTables& sys, const QList<TableDef>& tables,
                            const QList<QueryDef>& queries);
// MSysQueries' rows for every stored query (the statements were checked when added).
QList<Row> queryCatalogue(const QList<QueryDef>& queries, int columns);

// A table definition's byte stream (its pages are laid out by writeDefinition).
QByteArray tdefStream(const TableDef& t, const Format& f, quint32 rows, quint32 ownedMap, quint32 freeMap,
                      const QHash<int, std::pair<quint32, quint32>>& lvalMaps);
// Writes the stream on `first` and continuation pages allocated as needed.
bool writeDefinition(PageWriter& w, quint32 first, const QByteArray& stream);

// Page 1: which of the first pages are not in use (readers ignore it; Access keeps it).
QByteArray globalMapPage(const PageWriter& w);
QByteArray headerPage(const Format& f, Version version, const QString& password, quint32 key);

}  // namespace jetwriter::detail
