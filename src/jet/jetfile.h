// One open Jet file: the catalog, table definitions, and the two ways of reading rows.
//
// The libmdb way walks the table's pages with libmdb and cracks each row with mdb_crack_row.
// The page-scan way reads runs of consecutive data pages with one pread each, cracks rows
// itself and keeps, per table, the location of every row and the values of its integer columns
// (the key arrays), cached per file until the file changes. Both give the same values; the page
// scan throws Fallback on anything it does not handle and the engine then takes the libmdb way.
#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QVector>

#include <functional>
#include <memory>

#include "jet/jet.h"

namespace jet {

struct ColumnDef {
    QString name;
    QString key;  // case-folded name
    int type = 0;
    int colNum = 0;    // null-mask bit
    int varIndex = 0;  // position in the variable-offset table
    int fixedOffset = 0;
    int size = 0;
    bool fixed = false;
};

struct TableDef {
    QString name;
    quint32 tdefPage = 0;
    int numVarCols = 0;
    QVector<ColumnDef> columns;
    QByteArray usageMap;       // the owned-pages map as stored
    bool pageScanOk = false;   // every column is of a type the page scan decodes
    qint64 rowCountHint = 0;   // the count the definition stores (not trusted, only for sizing)
    void* mdbTable = nullptr;  // libmdb's definition, owned by the file
};

struct CatalogObject {
    QString name;
    QString key;
    int type = 0;    // 1 table, 5 query
    quint32 id = 0;  // low 24 bits of the object id
    int flags = 0;
};

// The page scan met something it does not handle.
struct Fallback {};

// Gives the typed value of a column of the row at hand.
class RowValues {
  public:
    virtual ~RowValues() = default;
    virtual Value value(int column) = 0;
};

// Per-table row locations and integer key arrays, built by the first page scan.
struct TableIndex {
    QVector<quint32> locations;  // (page << 8) | row of every live row, in scan order
    QVector<int> keyColumns;     // table columns with a key array
    QVector<QVector<qint32>> keys;
    QVector<QVector<quint8>> nulls;  // per key column; empty when the column holds no NULL
};

class JetFile {
  public:
    static std::unique_ptr<JetFile> open(const QString& path, Error* error);
    ~JetFile();

    const QList<CatalogObject>& tables() const { return tables_; }
    const QList<CatalogObject>& queries() const { return queries_; }
    const CatalogObject* findTable(const QString& name) const;  // caseless, full Unicode folding
    const CatalogObject* findQuery(const QString& name) const;
    // System tables too (MSysQueries).
    const CatalogObject* findAnyTable(const QString& name) const;

    const TableDef* tableDef(const CatalogObject& object, Error* error);

    bool pageScanAllowed() const { return pageScanAllowed_; }

    // libmdb way: calls onRow for every live row in page order.
    bool scanWithLibmdb(const TableDef& table, const std::function<void(RowValues&)>& onRow, Error* error);

    // Page-scan way. Both throw Fallback.
    std::shared_ptr<const TableIndex> index(const TableDef& table);
    void readRows(const TableDef& table, const QVector<quint32>& locations,
                  const std::function<void(RowValues&)>& onRow);

    // Drops the in-process cache of row locations and key arrays (for measurements).
    static void clearIndexCache();

    QString path() const { return path_; }
    int pageSize() const { return pageSize_; }
    bool jet3() const { return jet3_; }

  private:
    JetFile() = default;
    bool readPages(quint32 first, int count, uchar* buffer);
    QVector<quint32> ownedPages(const TableDef& table);
    QString indexCacheKey(const TableDef& table) const;

    friend class PageRowValues;
    friend class LibmdbRowValues;
    QString decodeText(const uchar* p, int len);
    QString libmdbText(const QByteArray& raw);
    QByteArray readLongValue(const uchar* header, int cellLength);

    QString path_;
    QString fileKey_;
    void* handle_ = nullptr;  // libmdb's MdbHandle
    int fd_ = -1;
    int pageSize_ = 4096;
    bool jet3_ = false;
    bool pageScanAllowed_ = false;
    bool ownCodePage_ = false;  // Jet 3 text decoded here (Windows-1252), else through libmdb
    qint64 fileSize_ = 0;
    QList<CatalogObject> tables_;
    QList<CatalogObject> systemTables_;
    QList<CatalogObject> queries_;
    QHash<QString, std::shared_ptr<TableDef>> defs_;
};

}  // namespace jet
