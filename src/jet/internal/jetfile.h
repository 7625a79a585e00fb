// One open Jet file: the catalog, table definitions, and reading rows by scanning data pages.
//
// The page scan reads runs of consecutive data pages with one pread each, cracks rows itself and
// keeps, per table, the location of every row and the values of its integer columns (the key
// arrays), cached per file until the file changes. Whatever does not match the layout the file
// claims throws ReadFailure with the damaged-file error: no row is ever skipped in silence.
#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QVector>

#include <functional>
#include <memory>

#include "jet/internal/pagefile.h"
#include "jet/internal/textcodec.h"
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
    int scale = 0;  // Decimal
    bool fixed = false;
    bool calculated = false;  // stores the result of an expression, wrapped
    int resultType = 0;       // of a calculated column, from its properties (0: unknown)
    bool autoNumber = false;
    quint32 complexId = 0;  // attachment, multi-value: its row in MSysComplexColumns (ComplexID)
    int complexLink = -1;   // of those: its entry in TableDef::complexLinks, when its items can be shown
};

// Where a complex column's items are: rows of a hidden flat table, each with the key the owning
// row's cell holds. Found through MSysComplexColumns when the definition is read.
struct ComplexLink {
    quint32 flatTable = 0;  // catalog id
    QString ownerKey;       // folded names of the flat table's owner key and of the item shown
    QString itemKey;
    bool damaged = false;  // a table on the way could not be read: reading the column gives 3049
};

struct TableDef {
    QString name;
    quint32 tdefPage = 0;
    int numVarCols = 0;
    QVector<ColumnDef> columns;
    QVector<quint32> pages;   // the data pages, from the owned-pages map
    qint64 rowCountHint = 0;  // the count the definition stores (not trusted, only for sizing)
    int maxColumns = 0;       // columns a row can store, deleted ones included
    // The catalog: a damaged row is set aside (TableIndex::damaged), so that one object's damage
    // leaves the others readable; any other table is unreadable with one damaged row.
    bool setDamagedRowsAside = false;
    QVector<ComplexLink> complexLinks;
};

struct CatalogObject {
    QString name;
    QString key;
    int type = 0;    // 1 table, 5 query
    quint32 id = 0;  // low 24 bits of the object id
    int flags = 0;
};

// Gives the typed value of a column of the row at hand.
class RowValues {
  public:
    virtual ~RowValues() = default;
    virtual Value value(int column) = 0;
    // The stored bytes of a plain fixed-width number or date (Byte, Integer, Long, BigInt,
    // Currency, Single, Double, DateTime; not calculated): true with *p at them, or nullptr when
    // the cell is NULL. False for other columns, whose cells only value() gives.
    virtual bool fixedCell(int column, const uchar** p) {
        (void)column;
        (void)p;
        return false;
    }
};

struct TableIndex;  // jet/internal/keyarrays.h

class JetFile {
  public:
    static std::unique_ptr<JetFile> open(const QString& path, Error* error);

    const QList<CatalogObject>& tables() const { return tables_; }
    const QList<CatalogObject>& queries() const { return queries_; }
    const CatalogObject* findTable(const QString& name) const;  // caseless, full Unicode folding
    const CatalogObject* findQuery(const QString& name) const;
    // System tables too (MSysQueries).
    const CatalogObject* findAnyTable(const QString& name) const;
    // The error for a table or query the catalog does not name: 3078, or, when some of the
    // catalog's rows are damaged (and so unread), the damaged-file error naming it.
    Error missingObject(const QString& name) const;

    // nullptr and *error set when the definition is damaged.
    const TableDef* tableDef(const CatalogObject& object, Error* error);

    // These throw ReadFailure.
    // The table's row locations, with key arrays for at least those of `keyColumns` that can
    // have one (built by a page scan the first time a column is asked for).
    std::shared_ptr<const TableIndex> index(const TableDef& table, const QVector<int>& keyColumns = {});
    void readRows(const TableDef& table, const QVector<quint32>& locations,
                  const std::function<void(RowValues&)>& onRow);
    // Every live row in page order.
    void scan(const TableDef& table, const std::function<void(RowValues&)>& onRow);

    // A complex column's cell (the key `id`) as its items shown, in the flat table's order, joined
    // by "; "; NULL for none. Throws ReadFailure.
    Value complexValue(const TableDef& table, int column, quint32 id);

    // Drops the in-process cache of row locations and key arrays (for measurements).
    static void clearIndexCache();
    static RowCacheSize indexCacheSize();

    QString path() const { return path_; }
    // See Database::changedOnDisk.
    bool changedOnDisk() const;
    int pageSize() const { return pages_.pageSize(); }
    bool jet3() const { return pages_.jet3(); }

  private:
    JetFile() = default;
    void readCatalog();
    QByteArray objectProperties(quint32 id);
    std::shared_ptr<TableIndex> buildIndex(const TableDef& table, const TableIndex* known,
                                           const QVector<int>& keyColumns);
    QString indexCacheKey(const TableDef& table) const;
    // complex.cpp
    struct ComplexColumnRow {
        QString column;
        quint32 complexId, typeTable, table, flatTable;
    };
    void linkComplexColumns(TableDef& def);
    bool linkComplex(const TableDef& def, const ColumnDef& c, ComplexLink* link);
    const QVector<ComplexColumnRow>& complexColumnRows();
    const CatalogObject* tableById(quint32 id) const;
    const TableDef* linkedTable(quint32 id);
    std::shared_ptr<const QHash<quint32, QString>> complexItems(const ComplexLink& link);

    QString path_;
    QString fileKey_;
    int version_ = 0;  // the header's version byte
    PageFile pages_;
    TextCodec text_;
    QList<CatalogObject> tables_;
    QList<CatalogObject> systemTables_;
    QList<CatalogObject> queries_;
    qsizetype damagedCatalogRows_ = 0;
    QHash<QString, std::shared_ptr<TableDef>> defs_;
    std::shared_ptr<TableDef> catalogDef_;                    // MSysObjects
    std::shared_ptr<QVector<ComplexColumnRow>> complexRows_;  // read once, when a complex column is met
    bool linking_ = false;                                    // tables read meanwhile link no column
    QHash<QPair<quint32, int>, std::shared_ptr<const QHash<quint32, QString>>> complexItems_;
};

}  // namespace jet
