// Damaged files end with the damaged-file error, never with a crash, a hang, a runaway memory
// use, a message on the console or rows silently left out; where the damage lies in a part the
// viewer never reads, the rows equal those mdb-reader reads.
#include <QDir>
#include <QtTest>

#include "jet/jet.h"
#include "jet/jettest.h"
#include "tools/mdbcheck.h"

namespace {

QStringList gMessages;
void recordMessage(QtMsgType, const QMessageLogContext&, const QString& message) {
    gMessages << message;
}

QString damagedDir() {
    return qEnvironmentVariable("ALTORRA_SOURCE_DIR") + QStringLiteral("/tests/jet/damaged");
}

}  // namespace

class TestJetDamaged : public QObject {
    Q_OBJECT

  private slots:
    void init() {
        gMessages.clear();
        qInstallMessageHandler(recordMessage);
    }
    void cleanup() { qInstallMessageHandler(nullptr); }

    void everySource_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("openError");        // the error opening it, 0 when it opens
        QTest::addColumn<QStringList>("failing");  // sources that end with 3049
        // Objects whose catalog row is damaged: not listed, and 3049 naming them when asked for.
        QTest::addColumn<QStringList>("unlisted");
        const QStringList none;
        QTest::newRow("catalogo") << "catalog_nullmap_j4.mdb" << 3049 << none << none;
        QTest::newRow("proprietà") << "kkd_runaway_j3.mdb" << 0 << none << none;
        // Table4's catalog row names properties past the end of the cut file.
        QTest::newRow("proprietà, file tronco")
            << "properties_leak_j3.mdb" << 0 << QStringList{"Table1", "Table2", "Table3"}
            << QStringList{"Table4"};
        QTest::newRow("offset di testo") << "varoff_text_j4.mdb" << 0 << QStringList{"database1"} << none;
        QTest::newRow("offset binario") << "varoff_binary_c000.mdb" << 0 << QStringList{"database1"} << none;
        QTest::newRow("memo in cerchio") << "lval_selfloop_j4.mdb" << 0 << QStringList{"help"} << none;
        QTest::newRow("memo in cerchio, lungo")
            << "lval_cycle_big_j4.mdb" << 0 << QStringList{"help"} << none;
        QTest::newRow("NaN") << "nan_5k.mdb" << 0 << none << none;
        // A row's offsets moved: the rows the key arrays would answer from are refused too.
        QTest::newRow("offset di riga")
            << "keypath_rowoffset_ace14.accdb" << 0 << QStringList{"Table1"} << none;
        QTest::newRow("offset di riga, testo lungo")
            << "keypath_longtext_ace16.accdb" << 0 << QStringList{"Table1"} << none;
    }
    void everySource() {
        QFETCH(QString, file);
        QFETCH(int, openError);
        QFETCH(QStringList, failing);
        QFETCH(QStringList, unlisted);
        const QString path = damagedDir() + QLatin1Char('/') + file;
        QVERIFY(QFileInfo::exists(path));
        jet::Error error;
        std::shared_ptr<jet::Database> db = jet::Database::open(path, &error);
        QCOMPARE(error.number, openError);
        if (!db) {
            QVERIFY(error.message.contains(path));
            QVERIFY(gMessages.isEmpty());
            return;
        }
        const mdbcheck::Dump oracle = mdbcheck::readWithMdbReader(path);
        QStringList failed;
        for (const QString& name : db->tableNames() + db->queryNames()) {
            jet::Error e;
            auto rs = db->openRecordSet(QLatin1Char('[') + name + QLatin1Char(']'), &e);
            if (!rs) {
                QCOMPARE(e.number, 3049);
                failed << name;
                continue;
            }
            if (oracle.tables.contains(name)) {
                QCOMPARE(rs->recordCount(), oracle.tables[name].rows.size());
            }
            // mdb-reader's dump has no form for NaN: nan_5k.mdb is checked by count only.
            if (oracle.error.isEmpty() && oracle.tables.contains(name) &&
                !file.startsWith(QLatin1String("nan"))) {
                const QString diff = jettest::firstDifference(jettest::cells(*rs), oracle.tables[name].rows);
                QVERIFY2(diff.isEmpty(), qPrintable(name + QStringLiteral(": ") + diff));
            }
        }
        QCOMPARE(failed.join(QStringLiteral(", ")), failing.join(QStringLiteral(", ")));
        // Statements the key arrays answer (integer fields alone, an integer criterion) end the same
        // (the keypath files' tables have an integer ID).
        for (const QString& name : file.startsWith(QLatin1String("keypath")) ? failing : QStringList()) {
            for (const char* statement : {"select ID from [%1]", "select ID from [%1] where ID = 1",
                                          "select distinct ID from [%1]"}) {
                jet::clearRowCache();
                jet::Error e;
                const QString text = QString::fromLatin1(statement).arg(name);
                QVERIFY2(!db->openRecordSet(text, &e) && e.number == 3049, qPrintable(text));
            }
        }
        for (const QString& name : unlisted) {
            QVERIFY(!db->tableNames().contains(name));
            jet::Error e;
            QVERIFY(!db->openRecordSet(QStringLiteral("select * from ") + name, &e));
            QCOMPARE(e.number, 3049);
            QVERIFY2(e.message.contains(QLatin1Char('\'') + name + QLatin1Char('\'')), qPrintable(e.message));
        }
        QVERIFY2(gMessages.isEmpty(), qPrintable(gMessages.join(QLatin1Char('\n'))));
    }
};

QTEST_GUILESS_MAIN(TestJetDamaged)
#include "test_jet_damaged.moc"
