// Every value of every table of the generated archives (Jet 4, Jet 3, the stored-query variant),
// read through this layer, equals what the independent readers mdb-reader and libmdb read, table
// by table.
#include <QTemporaryDir>
#include <QtTest>

#include "jet/jet.h"
#include "jet/jettest.h"
#include "samplegen/samplegen.h"
#include "tools/mdbcheck.h"

class TestJetOracle : public QObject {
    Q_OBJECT

  private:
    QTemporaryDir dir_;

    QString archive(const QString& name, jetwriter::Version version, bool queries) {
        samplegen::Options options;
        options.pictures = false;
        options.version = version;
        options.lookupsAsQueries = queries;
        QString error;
        if (!samplegen::writeSample(dir_.filePath(name), options, &error)) {
            qWarning() << error;
            return QString();
        }
        return dir_.filePath(name + QStringLiteral("/orbeni.mdb"));
    }

  private slots:
    void initTestCase() { QVERIFY(dir_.isValid()); }

    void sameAsMdbReader_data() {
        QTest::addColumn<QString>("path");
        QTest::newRow("Jet 4") << archive(QStringLiteral("j4"), jetwriter::Version::Jet4, false);
        QTest::newRow("Jet 3") << archive(QStringLiteral("j3"), jetwriter::Version::Jet3, false);
        QTest::newRow("query, Jet 4") << archive(QStringLiteral("q4"), jetwriter::Version::Jet4, true);
    }
    void sameAsMdbReader() {
        QFETCH(QString, path);
        QVERIFY(!path.isEmpty());
        const mdbcheck::Dump oracle = mdbcheck::readWithMdbReader(path);
        QVERIFY2(oracle.error.isEmpty(), qPrintable(oracle.error));
        const mdbcheck::Dump libmdb = mdbcheck::readWithLibmdb(path);
        QVERIFY2(libmdb.error.isEmpty(), qPrintable(libmdb.error));
        jet::Error error;
        std::shared_ptr<jet::Database> db = jet::Database::open(path, &error);
        QVERIFY2(db, qPrintable(error.message));
        const QStringList tables = db->tableNames();
        QVERIFY(tables.contains(QStringLiteral("database1")));
        qint64 cellsCompared = 0;
        for (const QString& name : tables) {
            QVERIFY2(oracle.tables.contains(name), qPrintable(name));
            const mdbcheck::Table& expected = oracle.tables[name];
            auto rs = db->openRecordSet(QLatin1Char('[') + name + QLatin1Char(']'), &error);
            QVERIFY2(rs, qPrintable(error.message));
            QStringList columns;
            for (int f = 0; f < rs->fieldCount(); ++f) {
                columns << rs->fieldName(f);
            }
            QCOMPARE(columns, expected.columns);
            const QList<QList<QVariant>> ours = jettest::cells(*rs);
            const QString diff = jettest::firstDifference(ours, expected.rows);
            QVERIFY2(diff.isEmpty(), qPrintable(name + QStringLiteral(": ") + diff));
            cellsCompared += qint64(rs->recordCount()) * rs->fieldCount();

            // libmdb reads the same rows (it takes empty text for NULL: compared as such).
            QVERIFY2(libmdb.tables.contains(name), qPrintable(name));
            const QString diff2 = jettest::firstDifference(jettest::emptyAsNull(ours),
                                                           jettest::emptyAsNull(libmdb.tables[name].rows));
            QVERIFY2(diff2.isEmpty(), qPrintable(name + QStringLiteral(" (libmdb): ") + diff2));
        }
        qInfo() << "valori confrontati:" << cellsCompared;
    }
};

QTEST_GUILESS_MAIN(TestJetOracle)
#include "test_jet_oracle.moc"
