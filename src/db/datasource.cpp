#include "db/datasource.h"

#include <cstdio>

#include "db/location.h"

#include "jet/jet.h"

#include <QFileInfo>
#include <QLocale>
#include <QPointer>

#include <map>

namespace db {

namespace {

// The response the error event starts with: show the source's own report.
constexpr int kDisplayResponse = 1;

// One open database per file, shared by the sources that read it at the same time. A file that
// changed on disk since it was opened (the reader's own test, so both agree) is opened afresh.
std::shared_ptr<jet::Database> openDatabase(const QString& path, jet::Error* error) {
    static std::map<QString, std::weak_ptr<jet::Database>> cache;
    const QFileInfo info(path);
    const QString key = info.exists() ? info.absoluteFilePath() : path;
    auto it = cache.find(key);
    if (it != cache.end()) {
        std::shared_ptr<jet::Database> database = it->second.lock();
        if (database && !database->changedOnDisk()) {
            return database;
        }
        cache.erase(it);
    }
    std::shared_ptr<jet::Database> database = jet::Database::open(path, error);
    if (database) {
        cache[key] = database;
    }
    return database;
}

}  // namespace

// ---------------------------------------------------------------- Recordset

Recordset::Recordset(std::shared_ptr<const jet::RecordSet> rows) : rows_(std::move(rows)) {}

int Recordset::RecordCount() const {
    return rows_ ? rows_->recordCount() : 0;
}

int Recordset::fieldCount() const {
    return rows_ ? rows_->fieldCount() : 0;
}

QString Recordset::fieldName(int field) const {
    if (!rows_ || field < 0 || field >= rows_->fieldCount()) {
        return QString();
    }
    return rows_->fieldName(field);
}

int Recordset::fieldIndex(const QString& name) const {
    return rows_ ? rows_->fieldIndex(name) : -1;
}

void Recordset::MoveFirst() {
    moveTo(0);
}

void Recordset::MoveNext() {
    if (current_ < RecordCount()) {
        moveTo(current_ + 1);
    }
}

bool Recordset::isEOF() const {
    return current_ >= RecordCount();
}

Bookmark Recordset::bookmark() const {
    return isEOF() ? -1 : current_;
}

void Recordset::setBookmark(Bookmark bookmark) {
    if (bookmark < 0 || bookmark >= RecordCount()) {
        return;
    }
    moveTo(bookmark);
}

void Recordset::moveTo(int row) {
    const bool moved = row != current_;
    current_ = row;
    if (moved && source_) {
        source_->notifyRepositioned();
    }
}

bool Recordset::isNull(int field) const {
    return isNull(current_, field);
}

QString Recordset::text(int field) const {
    return text(current_, field);
}

QString Recordset::text(const QString& fieldName) const {
    return text(current_, fieldIndex(fieldName));
}

QString Recordset::text(int row, int field) const {
    if (!rows_ || row < 0 || row >= rows_->recordCount() || field < 0 || field >= rows_->fieldCount()) {
        return QString();
    }
    const QLocale locale;
    if (!format_ || format_->locale() != locale) {
        format_ = std::make_unique<jet::DisplayFormat>(locale);
    }
    return rows_->text(row, field, *format_);
}

bool Recordset::isNull(int row, int field) const {
    return value(row, field).isNull();
}

jet::Value Recordset::value(int row, int field) const {
    if (!rows_ || row < 0 || row >= rows_->recordCount() || field < 0 || field >= rows_->fieldCount()) {
        return jet::Value();
    }
    return rows_->value(row, field);
}

jet::Value Recordset::value(const QString& fieldName) const {
    return value(current_, fieldIndex(fieldName));
}

// ---------------------------------------------------------------- DataSource

DataSource::DataSource(const QString& name, QObject* parent) : QObject(parent) {
    setObjectName(name);
}

DataSource::~DataSource() = default;

void DataSource::setDatabaseName(const QString& path) {
    databaseName_ = path;
}

void DataSource::setRecordSource(const QString& source) {
    recordSource_ = source;
}

void DataSource::open() {
    recordset_.reset();
    database_.reset();
    lastError_ = 0;
    lastErrorMessage_.clear();
    fileReported_ = false;
    // A source with nothing to show yet (the registry's monthly statement before the first
    // choice) opens nothing and has nothing to report.
    if (recordSource_.trimmed().isEmpty()) {
        emit opened();
        return;
    }

    const QString path = resolveCaseInsensitive(databaseName_);
    jet::Error error;
    std::shared_ptr<jet::Database> database = openDatabase(path, &error);
    if (!database) {
        // The user must learn which file could not be read.
        if (!error.message.contains(databaseName_) && !error.message.contains(path)) {
            const jet::Error notFound = jet::errors::fileNotFound(databaseName_);
            error.message = error.number == notFound.number || error.message.isEmpty()
                                ? notFound.message
                                : QStringLiteral("%1 ('%2')").arg(error.message, databaseName_);
        }
        raiseError(error.number, error.message, true);
        return;
    }
    std::unique_ptr<jet::RecordSet> rows = database->openRecordSet(recordSource_, &error);
    if (!rows) {
        raiseError(error.number, error.message);
        return;
    }
    for (const QString& field : rows->leftOutFields()) {
        std::fprintf(stderr, "%s\n", jet::errors::fieldLeftOut(field).toUtf8().constData());
    }
    database_ = std::move(database);
    recordset_ = std::make_unique<Recordset>(std::shared_ptr<const jet::RecordSet>(std::move(rows)));
    recordset_->source_ = this;
    emit opened();
}

void DataSource::Refresh() {
    close();
    open();
}

void DataSource::close() {
    const bool wasOpen = recordset_ != nullptr;
    if (recordset_) {
        recordset_->source_ = nullptr;
    }
    recordset_.reset();
    database_.reset();
    if (wasOpen) {
        emit closed();
    }
}

void DataSource::raiseError(int number, const QString& message, bool fileError) {
    // A failure that did not say what it was is the engine's unknown error.
    lastError_ = number != 0 ? number : jet::errors::unknown(QString()).number;
    lastErrorMessage_ = message.isEmpty()
                            ? QStringLiteral("Errore %1 durante l'apertura dei dati.").arg(lastError_)
                            : message;
    QPointer<DataSource> guard(this);
    int response = kDisplayResponse;
    if (errorHandler_) {
        errorHandler_(lastError_, response);
    }
    if (!guard) {
        return;
    }
    if (response != 0 && reporter_ && reporter_->report(*this, fileError)) {
        fileReported_ = fileError;
    }
    if (guard) {
        emit opened();
    }
}

}  // namespace db
