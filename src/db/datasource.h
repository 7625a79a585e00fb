// Data sources and their record sets. Windows reach the archive only through these: a data
// source has a database path and a record source (a table or stored-query name, or a select
// statement), opens by itself after its window's load handler, and closes with its window.
#pragma once

#include <QObject>
#include <QString>

#include <functional>
#include <memory>

#include "jet/jet.h"

namespace db {

class DataSource;

using Bookmark = int;  // a row of a record set; -1 designates none

// The current record set of a data source: a snapshot with a current row.
class Recordset {
  public:
    explicit Recordset(std::shared_ptr<const jet::RecordSet> rows);

    int RecordCount() const;
    int fieldCount() const;
    QString fieldName(int field) const;         // caption: alias or name
    int fieldIndex(const QString& name) const;  // without regard to case; -1 when absent

    // Every move that changes the current row makes the source emit repositioned.
    void MoveFirst();  // to the first row (EOF when there is none)
    void MoveNext();   // past the last row sets EOF
    bool isEOF() const;
    Bookmark bookmark() const;
    void setBookmark(Bookmark bookmark);  // -1 or out of range: ignored

    // Values of the current row (or of any row), as text the way the grid shows them;
    // NULL gives empty text, and so does an unknown field name.
    bool isNull(int field) const;
    QString text(int field) const;
    QString text(const QString& fieldName) const;
    QString text(int row, int field) const;
    bool isNull(int row, int field) const;
    jet::Value value(int row, int field) const;
    // The typed value of a field of the current row (a NULL value when there is none).
    jet::Value value(const QString& fieldName) const;

    // The rows themselves, shared with views that show them (grids keep them while they draw).
    std::shared_ptr<const jet::RecordSet> rows() const { return rows_; }

  private:
    friend class DataSource;
    void moveTo(int row);  // makes `row` current; its source reports the move

    std::shared_ptr<const jet::RecordSet> rows_;
    // The regional settings read once, again only when the program's locale changes.
    mutable std::unique_ptr<jet::DisplayFormat> format_;
    int current_ = 0;
    DataSource* source_ = nullptr;  // set while the record set is its source's current one
};

// Tells the user what a data source could not read. The source's owner (its window) gives it one;
// a source without one tells no one.
class ErrorReporter {
  public:
    // Returns whether the user was told.
    virtual bool report(const DataSource& source, bool fileError) = 0;

  protected:
    ~ErrorReporter() = default;
};

class DataSource : public QObject {
    Q_OBJECT
  public:
    // The owner (`parent`) opens it, closes it and gives it its error reporter.
    explicit DataSource(const QString& name, QObject* parent = nullptr);
    ~DataSource() override;

    void setDatabaseName(const QString& path);
    QString databaseName() const { return databaseName_; }
    void setRecordSource(const QString& source);
    QString recordSource() const { return recordSource_; }

    // Opens the record source; on failure raises the error event. Forms call it after their load
    // handler; windows call Refresh() to reopen on the current record source.
    void open();
    void Refresh();
    void close();

    // The current record set, or nullptr when the source is closed or failed to open.
    Recordset* recordset() const { return recordset_.get(); }
    // The last error number (0 when the last open succeeded) and the engine's message for it.
    int lastError() const { return lastError_; }
    QString lastErrorMessage() const { return lastErrorMessage_; }

    // The error event: receives the error number and a response the handler may change.
    // Response 0 suppresses the source's own report; otherwise the source shows a message box
    // with the engine's message.
    using ErrorHandler = std::function<void(int dataErr, int& response)>;
    void setErrorHandler(ErrorHandler handler) { errorHandler_ = std::move(handler); }
    // Where a report the error event leaves to the source goes.
    void setErrorReporter(ErrorReporter* reporter) { reporter_ = reporter; }
    // Whether the last open's report, shown to the user, was of the database file itself.
    bool fileErrorReported() const { return fileReported_; }

    // The current row moved (bound boxes show the new row). The record set's moves call it
    // already; calling it again only repaints.
    void notifyRepositioned() { emit repositioned(); }

  signals:
    void opened();        // a new record set is in place (or none after a failure)
    void repositioned();  // the current row changed
    void closed();

  private:
    // `fileError`: the database file itself could not be read.
    void raiseError(int number, const QString& message, bool fileError = false);

    QString databaseName_;
    QString recordSource_;
    std::shared_ptr<jet::Database> database_;  // kept open while the record set is
    std::unique_ptr<Recordset> recordset_;
    int lastError_ = 0;
    QString lastErrorMessage_;
    bool fileReported_ = false;  // this source showed the report of an unreadable file
    ErrorHandler errorHandler_;
    ErrorReporter* reporter_ = nullptr;
};

}  // namespace db
