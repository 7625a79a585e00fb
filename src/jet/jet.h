// Reading Jet (Access) database files: the catalog, typed values, and the small SQL dialect
// the viewer's statements are written in. No widgets here: QtCore only.
#pragma once

#include <QByteArray>
#include <QLocale>
#include <QSharedData>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <limits>
#include <memory>

namespace jet {

// An engine error, numbered and worded as the Jet engine words it
// (3024 missing file, 3078 missing table or query, 3075 syntax, 3061 too few parameters, ...).
struct Error {
    int number = 0;
    QString message;
    bool isError() const { return number != 0; }
};

// Jet's errors, numbered as the engine numbers them and worded as its Italian edition does: the one
// place an error's number and text are written, for the engine and for whoever reports its errors.
namespace errors {
Error fileNotFound(const QString& path);      // 3024
Error invalidPath(const QString& path);       // 3044
Error cannotOpen(const QString& path);        // 3051
Error noReadPermission(const QString& path);  // 3051, worded as a permission problem
Error damagedArchive(const QString& path);    // 3049, not an archive or a damaged one
// 3049 for a name the catalog may have held in a row it could not read.
Error damagedCatalogEntry(const QString& path, const QString& name);
Error invalidPassword();                           // 3031
Error unrecognizedFormat(const QString& path);     // 3343
Error missingSource(const QString& name);          // 3078
Error missingOperator(const QString& expression);  // 3075
Error badString(const QString& expression);        // 3075
Error badDate(const QString& expression);          // 3075
Error badBracketing(const QString& name);          // 3126
Error selectSyntax();                              // 3141
Error fromSyntax();                                // 3131
Error orderBySyntax();                             // 3138
Error afterEnd();                                  // 3142
Error tooFewParameters(int expected);              // 3061
Error typeMismatch();                              // 3464
Error tooComplex();                                // 3360
Error invalidOperation();                          // 3219
Error notSupported();                              // 3251
Error unknown(const QString& detail);              // 3000
Error unsupportedColumn(const QString& column);    // 3251
// The line that says a field of a type the program cannot show was left out of "*".
QString fieldLeftOut(const QString& column);
}  // namespace errors

// One typed value of a row. NULL is distinct from empty text.
class Value {
  public:
    // Decimal holds the exact digits of a Decimal (Numeric) column as text ("-12.3400").
    enum class Kind : quint8 { Null, Boolean, Integer, Real, Currency, DateTime, Text, Binary, Decimal };

    Value() = default;
    static Value fromBool(bool b);
    static Value fromInt(qint64 v);
    static Value fromReal(double v, bool single = false);
    static Value fromCurrency(qint64 tenThousandths);
    static Value fromDateSerial(double serial);  // days since 1899-12-30, Jet's encoding
    // A Date/Time Extended value: the serial of its whole seconds and the seven digits of its
    // fraction of a second (100 ns), which a serial cannot hold exactly.
    static Value fromExtendedDate(double wholeSeconds, const QString& fraction);
    static Value fromText(const QString& s);
    static Value fromBytes(const QByteArray& b);
    static Value fromDecimal(const QString& digits);

    Kind kind() const { return kind_; }
    bool isNull() const { return kind_ == Kind::Null; }
    bool isSingle() const { return single_; }

    bool toBool() const { return real() ? d_ != 0 : i_ != 0; }
    // Doubles lose their fraction and are held within qint64 (NaN gives 0): a damaged file may
    // store any bits where a whole number is expected.
    qint64 toInt() const { return kind_ == Kind::Decimal ? wholeOf(toDouble()) : real() ? wholeOf(d_) : i_; }
    double toDouble() const;  // numbers of every kind; currency as units
    qint64 currencyUnits() const { return real() ? 0 : i_; }
    double dateSerial() const { return real() ? d_ : double(i_); }
    const QString& text() const { return s_; }
    bool isExtendedDate() const { return kind_ == Kind::DateTime && !s_.isEmpty(); }
    const QString& secondFraction() const { return s_; }  // of an extended date
    const QByteArray& bytes() const;

    // The value as the original platform shows it under the given regional settings:
    // the locale's decimal separator and short date, a time of day shown when present,
    // doubles in their shortest form up to 15 significant digits, NULL as empty text.
    // (DisplayFormat does the same with the settings read once, for many values.)
    QString display(const QLocale& locale = QLocale()) const;

  private:
    bool real() const { return kind_ == Kind::Real || kind_ == Kind::DateTime; }
    static qint64 wholeOf(double d) {
        constexpr double kLimit = 9223372036854775808.0;  // 2^63
        return d != d        ? 0
               : d >= kLimit ? std::numeric_limits<qint64>::max()
               : d < -kLimit ? std::numeric_limits<qint64>::min()
                             : qint64(d);
    }
    struct Bytes : QSharedData {
        QByteArray data;
    };

    // Kept small (48 bytes): a snapshot of a hundred thousand rows holds millions of values.
    Kind kind_ = Kind::Null;
    bool single_ = false;
    union {
        qint64 i_ = 0;
        double d_;
    };
    QString s_;
    QExplicitlySharedDataPointer<Bytes> b_;
};

}  // namespace jet

// Values move in memory as plain bytes (their strings are relocatable): snapshots grow cheaply.
Q_DECLARE_TYPEINFO(jet::Value, Q_RELOCATABLE_TYPE);

namespace jet {

// Turns values into text as Value::display does, with the regional settings (decimal separator,
// date and time formats, the words for truth values) read once when it is made.
class DisplayFormat {
  public:
    explicit DisplayFormat(const QLocale& locale = QLocale());
    ~DisplayFormat();
    DisplayFormat(const DisplayFormat& other);
    DisplayFormat& operator=(const DisplayFormat& other);

    const QLocale& locale() const;
    QString text(const Value& v) const;
    // Appends the text to *out (which keeps its room between calls).
    void append(const Value& v, QString* out) const;
    void appendInteger(qint64 v, QString* out) const;
    void appendReal(double v, bool single, QString* out) const;
    void appendCurrency(qint64 tenThousandths, QString* out) const;
    void appendDate(double serial, QString* out) const;
    // An extended date as Access shows one: the date, then, unless it is midnight exactly, the
    // time with the seven digits of its fraction of a second.
    void appendExtendedDate(double wholeSeconds, const QString& fraction, QString* out) const;
    void appendBool(bool v, QString* out) const;
    void appendDecimal(const QString& digits, QString* out) const;

  private:
    struct Settings;
    std::unique_ptr<Settings> d;
};

// A snapshot of rows taken when it was opened. Row and field indexes are zero-based.
class RecordSet {
  public:
    virtual ~RecordSet() = default;

    virtual int fieldCount() const = 0;
    // The column caption: the alias the statement gives the field, or else the field's name.
    virtual QString fieldName(int field) const = 0;
    // Case-insensitive lookup (full Unicode case folding) of a caption; -1 when absent.
    virtual int fieldIndex(const QString& name) const = 0;

    virtual int recordCount() const = 0;
    // The typed value of a cell (a NULL value outside the snapshot).
    virtual Value value(int row, int field) const = 0;
    virtual bool isNull(int row, int field) const { return value(row, field).isNull(); }
    // The cell's text as format.text(value(row, field)) gives it, without making a Value.
    virtual QString text(int row, int field, const DisplayFormat& format) const {
        return format.text(value(row, field));
    }
    // The same text for writers: a view of text the snapshot holds, or of *buffer where the text
    // had to be made. Valid until the next call with the same buffer.
    virtual QStringView textView(int row, int field, const DisplayFormat& format, QString* buffer) const {
        *buffer = text(row, field, format);
        return *buffer;
    }
    // Fields that "*" left out because the program cannot show their type (an attachment, a
    // multi-value field), for whoever shows the rows to say so (errors::fieldLeftOut).
    virtual QStringList leftOutFields() const { return {}; }
};

// The cells of one row as text, for writers that take rows one at a time.
class RowCells {
  public:
    virtual ~RowCells() = default;
    virtual int fieldCount() const = 0;
    // As RecordSet::textView: a view valid until the next call with the same buffer.
    virtual QStringView textView(int field, const DisplayFormat& format, QString* buffer) const = 0;
};

// Takes the rows of a record source one by one, as Database::readRows hands them over.
class RowStream {
  public:
    virtual ~RowStream() = default;
    // Before the first row: the captions of the fields. False stops the read.
    virtual bool start(const QStringList& captions) = 0;
    // Before start(), when "*" left fields out (as RecordSet::leftOutFields).
    virtual void leftOut(const QStringList& fields) { Q_UNUSED(fields); }
    // One row; its cells are valid during the call only. False stops the read.
    virtual bool row(const RowCells& cells) = 0;
};

// An open database file. Opening never writes, locks or touches the file.
class Database {
  public:
    virtual ~Database() = default;

    // Opens the file read-only. On failure returns nullptr and fills *error (3024 for a missing file).
    static std::shared_ptr<Database> open(const QString& path, Error* error);

    virtual QStringList tableNames() const = 0;  // user tables, as stored
    virtual QStringList queryNames() const = 0;  // stored queries, as stored

    // Runs a record source: a table or stored-query name (blanks allowed, matched without regard
    // to case) or the text of a select statement. On failure returns nullptr and fills *error.
    virtual std::unique_ptr<RecordSet> openRecordSet(const QString& source, Error* error) = 0;

    // Runs a record source as openRecordSet does and hands its rows to `out`, in the same order.
    // A table read whole or under a criterion, without DISTINCT or ORDER BY, is handed over row by
    // row as the file is read, without keeping the rows; other sources go through a snapshot.
    // On failure returns false and fills *error (the rows handed over stay handed over); a stop
    // that `out` asks for is no failure.
    virtual bool readRows(const QString& source, RowStream& out, Error* error) = 0;

    // True when the file at the path it was opened from is no longer the file as it was opened
    // (written, replaced, renamed away and back, or gone): its reads would no longer be trusted,
    // so whoever keeps a database open opens the file afresh.
    virtual bool changedOnDisk() const = 0;
};

// Forgets the row locations and key arrays kept from earlier queries (a cold start).
void clearRowCache();
// With false, statements take no answer from the key arrays: every row is read and tested (for
// tests that check both ways agree). On by default.
void setKeyArrays(bool enabled);

// What the row locations and key arrays kept from earlier queries hold (for measurements).
struct RowCacheSize {
    qint64 rows = 0;   // table rows they cover
    qint64 bytes = 0;  // locations and key arrays together
};
RowCacheSize rowCacheSize();

}  // namespace jet
