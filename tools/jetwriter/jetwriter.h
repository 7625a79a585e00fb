// Writes new Jet 3 (2048-byte pages), Jet 4 and Access 2007-2019 (4096-byte pages) database files
// from table definitions and rows, with stored select queries. Used to make test archives, fuzzing
// seeds and the sample archive; the viewer itself never writes.
#pragma once

#include <QList>
#include <QMetaType>
#include <QString>
#include <QVariant>

#include <functional>
#include <memory>

namespace jetwriter {

// The newer versions differ from Jet 4 only in the version byte of the header (0x14: 2 to 6).
enum class Version { Jet3, Jet4, Ace12, Ace14, Ace15, Ace16, Ace17 };

enum class ColumnType {
    Boolean,
    Byte,
    Integer,
    Long,
    Currency,
    Single,
    Double,
    DateTime,
    Text,
    Memo,
    OLE,
    Binary,   // up to 255 bytes, stored in the row
    Guid,     // replication id, 16 bytes
    Decimal,  // Numeric: precision and scale in the definition, 17 bytes in the row (Jet 4 and later)
    BigInt,   // 8-byte integer
    Complex,  // attachment or multi-value (Access 2007 and later): a 4-byte key into a hidden table
    // Date/Time Extended (Access 2019): 0001-01-01 to 9999-12-31 to 100 ns, 42 bytes of digits
    DateTimeExtended,
};

struct Column {
    QString name;
    ColumnType type = ColumnType::Text;
    int size = 0;        // Text: maximum characters (0 = 255); Binary: maximum bytes (0 = 255)
    int precision = 18;  // Decimal: 1..28 digits
    int scale = 0;       // Decimal: digits after the point, 0..precision
    // Access 2010 and later: a calculated column; the row keeps the last result in the
    // calculated-value wrapper and the definition carries the calculated flag. Not for Complex,
    // OLE or Decimal.
    bool calculated = false;
    int complexTypeId = 1;  // Complex: the id stored in the column definition
};

// How a row is stored, beyond its values. Flags as Access sets them on a row's offset: 0x4000
// and 0x8000 together on a deleted row; 0x4000 alone on a slot that holds a 4-byte pointer to the
// row's new place after an edit made it too long for its slot; 0x8000 alone on the row at that
// place, so that a page scan skips it there and meets it at its slot.
enum class RowState {
    Normal,
    Deleted,       // flagged deleted (0xC000): readers skip it
    Moved,         // on a page after every data page of the table, a pointer in its slot
    MovedEarlier,  // on a page before the table's data pages (while that page has room)
    MovedTwice,    // a chain: the slot points to a pointer (flagged 0xC000) on a later page,
                   // which points to the row on an earlier page
};

struct RowOptions {
    RowState state = RowState::Normal;
    // Columns stored in the row: the first n columns, as a row written before the others were
    // added; -1 = all.
    int storedColumns = -1;
};

// What an attachment or multi-value column holds, in the hidden tables Access keeps for it: a type
// table (MSysComplexType_...), a flat table f_<GUID>_<column> with one row per item (an AutoNumber
// key, the owning row's key, the item), and a row of MSysComplexColumns linking them to the column
// by its complexTypeId (its ComplexID) and to the table.
enum class ComplexKind { Attachment, MultiValue };

struct ComplexItem {
    qint32 owner = 0;  // the key in the owning row's cell
    QVariant value;    // an attachment's file name; a multi-value field's value
};

struct ComplexData {
    ComplexKind kind = ComplexKind::Attachment;
    ColumnType valueType = ColumnType::Text;  // of a multi-value field's values
    QList<ComplexItem> items;                 // stored in this order
    // Links as a damaged file may have them: FlatTableID replaced by this id (0: the flat table's
    // own); no row in MSysComplexColumns at all.
    qint32 flatTableId = 0;
    bool linked = true;
};

// Cells are QVariants: an invalid QVariant is NULL (distinct from an empty QString).
// Boolean: bool. Byte/Integer/Long: any integer. Currency, Single, Double: double (Currency is
// stored as round(value * 10000)). DateTime: QDateTime, QDate, or a double date serial (days since
// 1899-12-30, Jet's own encoding, which also reaches dates before 1899). Text/Memo: QString.
// OLE, Binary: QByteArray. BigInt: any integer. Guid: QUuid or its text form. Decimal: QString
// of digits ("-1234.5678", at most `scale` decimals) or an integer, kept exact. Complex: the key
// (a positive integer). DateTimeExtended: QDateTime, QDate, or the text "yyyy-MM-dd hh:mm:ss.fffffff"
// (fraction optional) for what a QDateTime cannot hold. Calculated columns take their result type's
// values.
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
    // Rows stored in a particular way, by position in the table (0 = first row written).
    void setRowOptions(const QString& table, int row, RowOptions options);
    // The items of a complex column of a table added before (Access 2007 and later).
    void setComplexData(const QString& table, const QString& column, const ComplexData& data);
    // A database password (Jet 3: 20 bytes of code page 1252; later: 20 UCS-2 characters masked
    // with the creation date), stored in the header. The pages stay readable.
    void setPassword(const QString& password);
    // A non-zero encryption key in the header. Jet 3 and Jet 4: the pages after the header are
    // RC4-encrypted with it as those formats do. Access 2007 and later: only the key is written
    // (their encryption is a different scheme), so the file is marked encrypted but unreadable.
    void setEncryptionKey(quint32 key);
    // A stored select query: SELECT [DISTINCT] columns FROM one table [WHERE ...] [ORDER BY ...].
    // Column items may carry "AS alias" or "AS [alias]".
    void addQuery(const QString& name, const QString& selectStatement);

    // Writes the file (replacing any file at `path`). Returns false and fills *error on failure,
    // leaving any earlier file at `path` untouched: an unknown or invalid value, text longer than its
    // column or (Jet 3) outside code page 1252, a row over the format's limit, repeated names, a
    // column type or option the version cannot hold.
    bool write(const QString& path, QString* error = nullptr);

  private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

}  // namespace jetwriter

// Versions as data of the tests' tables.
Q_DECLARE_METATYPE(jetwriter::Version)
