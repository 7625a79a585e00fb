// What the copy and grid-tools tests share: an archive of our own writer in a temporary folder whose
// "giorni" table starts with the columns the daily statement reads first, opened with our reader;
// values are shown as an Italian user sees them.
#pragma once

#include "jet/jet.h"
#include "jetwriter/jetwriter.h"

#include <QLocale>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace charttest {

class ChartArchive {
  public:
    ChartArchive() { QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy)); }

    // The "giorni" table: station name, day, month and year, then `quantities`.
    void addDaily(const QList<jetwriter::Column>& quantities, const QList<jetwriter::Row>& rows) {
        using jetwriter::Column;
        using jetwriter::ColumnType;
        QList<Column> columns = {Column{QStringLiteral("nomestaz"), ColumnType::Text, 50},
                                 Column{QStringLiteral("Giorno"), ColumnType::Integer},
                                 Column{QStringLiteral("Mese"), ColumnType::Integer},
                                 Column{QStringLiteral("Anno"), ColumnType::Integer}};
        columns.append(quantities);
        writer_.addTable(QStringLiteral("giorni"), columns, rows);
    }
    // For the tables a test adds beside "giorni".
    jetwriter::Database& writer() { return writer_; }

    // Writes orbeni.mdb and opens it; a failure fails the running test.
    void writeAndOpen() {
        QVERIFY(dir_.isValid());
        QString error;
        QVERIFY2(writer_.write(path(), &error), qPrintable(error));
        jet::Error failure;
        db_ = jet::Database::open(path(), &failure);
        QVERIFY(db_);
    }

    QString path() const { return dir_.filePath(QStringLiteral("orbeni.mdb")); }
    QString filePath(const QString& name) const { return dir_.filePath(name); }
    const std::shared_ptr<jet::Database>& database() const { return db_; }

  private:
    QTemporaryDir dir_;
    jetwriter::Database writer_{jetwriter::Version::Jet4};
    std::shared_ptr<jet::Database> db_;
};

}  // namespace charttest
