// Writes new Jet 3 (2048-byte pages) or Jet 4 (4096-byte pages) database files from table
// definitions and rows, with stored select queries. Used to make test archives and the sample
// archive; the viewer itself never writes.
#pragma once

#include <QList>
#include <QString>
#include <QVariant>

#include <functional>
#include <memory>

namespace jetwriter {

enum class Version { Jet3, Jet4 };

enum class ColumnType { Boolean, Byte, Integer, Long, Currency, Single, Double, DateTime, Text, Memo, OLE };

struct Column {
    QString name;
    ColumnType type = ColumnType::Text;
    int size = 0;  // Text: maximum characters (0 = 255); ignored for other types
};

// Cells are QVariants: an invalid QVariant is NULL (distinct from an empty QString).
// Boolean: bool. Byte/Integer/Long: any integer. Currency, Single, Double: double (Currency is
// stored as round(value * 10000)). DateTime: QDateTime, QDate, or a double date serial (days since
// 1899-12-30, Jet's own encoding, which also reaches dates before 1899). Text/Memo: QString.
// OLE: QByteArray.
using Row = QList<QVariant>;
// A generator fills `row` and returns true, or returns false when there are no more rows.
// `row` is empty on each call; fewer cells than columns leave the rest NULL. write() runs each
// generator once (a table given as a list of rows can be written again).
using RowSource = std::function<bool(Row& row)>;

class Database {
  public:
    explicit Database(Version version);
    ~Database();

    void addTable(const QString& name, const QList<Column>& columns, const QList<Row>& rows);
    void addTable(const QString& name, const QList<Column>& columns, RowSource rows);
    // A stored select query: SELECT [DISTINCT] columns FROM one table [WHERE ...] [ORDER BY ...].
    // Column items may carry "AS alias" or "AS [alias]".
    void addQuery(const QString& name, const QString& selectStatement);

    // Writes the file (replacing any file at `path`). Returns false and fills *error on failure,
    // leaving any earlier file at `path` untouched: an unknown or invalid value, text longer than its
    // column or (Jet 3) outside code page 1252, a row over the format's limit, repeated names.
    bool write(const QString& path, QString* error = nullptr);

  private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

}  // namespace jetwriter
