// Data sources and record sets over archives of both Jet versions, read through the real reader.
#include "support/controlsarchive.h"
#include "support/scriptedseams.h"

#include "db/datasource.h"
#include "db/location.h"
#include "runtime/form.h"

#include "jet/jet.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

#include <memory>

using namespace controlstest;
using jetwriter::Version;

namespace {

// A window whose load handler points its source, as every window of the program does.
class SourceForm : public runtime::Form {
  public:
    QString path;
    QString source;
    db::DataSource* data = nullptr;
    bool openDuringLoad = true;

  protected:
    void Form_Load() override {
        data = addDataSource(QStringLiteral("Data1"));
        data->setDatabaseName(path);
        data->setRecordSource(source);
        openDuringLoad = data->recordset() != nullptr;
    }
};

// A selection form: four lists, each with its own source, on one file.
class ListsForm : public runtime::Form {
  public:
    QString path;
    QList<db::DataSource*> sources;
    int handled = 0;

  protected:
    void Form_Load() override {
        for (const char* name : {"DStaz", "DAnno", "DMese", "DGiorno"}) {
            auto* source = addDataSource(QString::fromLatin1(name));
            source->setDatabaseName(path);
            source->setRecordSource(QStringLiteral("stazioni"));
            sources.append(source);
        }
        sources.last()->setErrorHandler([this](int, int&) { ++handled; });
    }
};

}  // namespace

class TestDataSource : public QObject, private Archives {
    Q_OBJECT

  private:
    std::unique_ptr<testsupport::ScriptedSeams> seams_;

  private slots:
    void initTestCase() {
        writeArchives();
        seams_ = std::make_unique<testsupport::ScriptedSeams>();
    }

    void cleanupTestCase() {
        seams_.reset();
        QLocale::setDefault(QLocale::system());
    }

    void init() { seams_->messages.clear(); }

    void walksRowsAndFields_data() { addVersions(); }
    void walksRowsAndFields() {
        QFETCH(Version, version);
        QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
        runtime::Form dataOwner;
        db::DataSource& data = *dataOwner.addDataSource(QStringLiteral("DStaz"));
        data.setDatabaseName(archive(version));
        data.setRecordSource(QStringLiteral("stazioni"));
        data.open();
        db::Recordset* rs = data.recordset();
        QVERIFY(rs);
        QCOMPARE(data.lastError(), 0);
        QCOMPARE(rs->RecordCount(), 4);
        QCOMPARE(rs->fieldCount(), 4);
        QCOMPARE(rs->fieldName(3), QStringLiteral("Data validità"));
        // Field names match without regard to case, accented ones included.
        QCOMPARE(rs->fieldIndex(QStringLiteral("codStaz")), 0);
        QCOMPARE(rs->fieldIndex(QStringLiteral("DATA VALIDITÀ")), 3);
        QCOMPARE(rs->text(QStringLiteral("manca")), QString());

        QStringList names;
        for (rs->MoveFirst(); !rs->isEOF(); rs->MoveNext()) {
            names.append(rs->text(QStringLiteral("nomestaz")));
        }
        QCOMPARE(names, QStringList({"Aosta", "Bormio", "Aosta", "Città di Castello"}));
        QCOMPARE(rs->text(0), QString());

        // The shown text follows the regional settings; NULL shows as empty text.
        QCOMPARE(rs->text(0, 2), QStringLiteral("583,5"));
        QVERIFY(rs->isNull(1, 2));
        QCOMPARE(rs->text(1, 2), QString());

        // A bookmark makes its row current and the source says so; bad bookmarks change nothing.
        QSignalSpy moved(&data, &db::DataSource::repositioned);
        rs->setBookmark(2);
        QCOMPARE(moved.count(), 1);
        QCOMPARE(rs->bookmark(), 2);
        QCOMPARE(rs->value(QStringLiteral("codstaz")).toInt(), 31);
        rs->setBookmark(-1);
        rs->setBookmark(4);
        QCOMPARE(moved.count(), 1);
        QCOMPARE(rs->bookmark(), 2);
        QVERIFY(seams_->messages.isEmpty());
    }

    void emptyRecordSourceOpensNothing() {
        runtime::Form dataOwner;
        db::DataSource& data = *dataOwner.addDataSource(QStringLiteral("DMensili"));
        QSignalSpy opened(&data, &db::DataSource::opened);
        int errors = 0;
        data.setErrorHandler([&errors](int, int&) { ++errors; });
        data.setDatabaseName(archive(Version::Jet4));
        data.setRecordSource(QStringLiteral("  "));
        data.open();
        QVERIFY(!data.recordset());
        QCOMPARE(data.lastError(), 0);
        QCOMPARE(errors, 0);
        QCOMPARE(opened.count(), 1);
        QVERIFY(seams_->messages.isEmpty());
    }

    // A missing file, or a folder that does not exist, as the engine numbers them.
    void missingFileIsReportedOnce_data() {
        QTest::addColumn<QString>("relative");
        QTest::addColumn<int>("number");
        QTest::newRow("file") << QStringLiteral("vuota/orbeni.mdb") << 3024;
        QTest::newRow("folder") << QStringLiteral("altrove/orbeni.mdb") << 3044;
    }
    void missingFileIsReportedOnce() {
        QFETCH(QString, relative);
        QFETCH(int, number);
        QVERIFY(QDir(dir_.path()).mkpath(QStringLiteral("vuota")));
        const QString path = dir_.filePath(relative);
        runtime::Form dataOwner;
        db::DataSource& data = *dataOwner.addDataSource(QStringLiteral("DStaz"));
        QSignalSpy opened(&data, &db::DataSource::opened);
        data.setDatabaseName(path);
        data.setRecordSource(QStringLiteral("stazioni"));
        data.open();
        QVERIFY(!data.recordset());
        QCOMPARE(data.lastError(), number);
        QCOMPARE(seams_->messages.size(), 1);
        QVERIFY2(seams_->messages.first().contains(path), qPrintable(seams_->messages.first()));
        QCOMPARE(seams_->messages.first(), data.lastErrorMessage());
        QCOMPARE(opened.count(), 1);  // bound controls empty themselves
        QVERIFY(!QFile::exists(path));
    }

    // A window whose sources all read a missing file says so once; each source still fails.
    void missingFileIsReportedOncePerWindow() {
        ListsForm form;
        form.path = dir_.filePath(QStringLiteral("vuota/orbeni.mdb"));
        QVERIFY(QDir(dir_.path()).mkpath(QStringLiteral("vuota")));
        form.load();
        QCOMPARE(seams_->messages.size(), 1);
        QVERIFY(seams_->messages.first().contains(form.path));
        QCOMPARE(form.handled, 1);
        for (db::DataSource* source : form.sources) {
            QVERIFY(!source->recordset());
            QCOMPARE(source->lastError(), 3024);
        }
        // Once the window is up, a refresh that fails again is reported again.
        form.show();
        form.sources.first()->Refresh();
        QCOMPARE(seams_->messages.size(), 2);
    }

    // The error event sees the engine's number and a nonzero response; 0 silences the source.
    void errorResponseDecidesTheReport_data() {
        QTest::addColumn<Version>("version");
        QTest::addColumn<int>("response");
        QTest::addColumn<int>("messages");
        for (Version version : {Version::Jet3, Version::Jet4}) {
            const QByteArray name = versionName(version).toLatin1();
            QTest::newRow(name + " response 0") << version << 0 << 0;
            QTest::newRow(name + " response kept") << version << -1 << 1;
            QTest::newRow(name + " response 2") << version << 2 << 1;
        }
    }
    void errorResponseDecidesTheReport() {
        QFETCH(Version, version);
        QFETCH(int, response);
        QFETCH(int, messages);
        runtime::Form dataOwner;
        db::DataSource& data = *dataOwner.addDataSource(QStringLiteral("DTabella"));
        int seenNumber = 0;
        int seenResponse = 0;
        data.setErrorHandler([&](int dataErr, int& reply) {
            seenNumber = dataErr;
            seenResponse = reply;
            if (response >= 0) {
                reply = response;
            }
        });
        data.setDatabaseName(archive(version));
        data.setRecordSource(QStringLiteral("select Codstaz from nonesiste where Codstaz = 1"));
        data.open();
        QVERIFY(!data.recordset());
        QVERIFY(seenNumber != 0);
        QCOMPARE(seenNumber, data.lastError());
        QVERIFY(seenResponse != 0);
        QCOMPARE(seams_->messages.size(), messages);
        if (messages > 0) {
            QCOMPARE(seams_->messages.first(), data.lastErrorMessage());
            QVERIFY(data.lastErrorMessage().contains(QStringLiteral("nonesiste")));
        }
    }

    void refreshRunsTheNewStatement_data() { addVersions(); }
    void refreshRunsTheNewStatement() {
        QFETCH(Version, version);
        runtime::Form dataOwner;
        db::DataSource& data = *dataOwner.addDataSource(QStringLiteral("DMensili"));
        data.setDatabaseName(archive(version));
        data.setRecordSource(QStringLiteral("select NomeStaz, Codstaz from stazioni where codstaz = 12"));
        data.open();
        QVERIFY(data.recordset());
        QCOMPARE(data.recordset()->RecordCount(), 1);
        QCOMPARE(data.recordset()->text(0), QStringLiteral("Aosta"));

        QSignalSpy closed(&data, &db::DataSource::closed);
        QSignalSpy opened(&data, &db::DataSource::opened);
        data.setRecordSource(QStringLiteral("select NomeStaz, Codstaz from stazioni where codstaz = 7"));
        data.Refresh();
        QCOMPARE(closed.count(), 1);
        QCOMPARE(opened.count(), 1);
        QVERIFY(data.recordset());
        QCOMPARE(data.recordset()->RecordCount(), 1);
        QCOMPARE(data.recordset()->text(QStringLiteral("nomestaz")), QStringLiteral("Bormio"));
        QVERIFY(seams_->messages.isEmpty());
    }

    void opensAfterLoadAndClosesWithTheWindow() {
        auto* form = new SourceForm;
        form->path = archive(Version::Jet4);
        form->source = QStringLiteral("help");
        form->load();
        QVERIFY(!form->openDuringLoad);
        QVERIFY(form->data->recordset());
        QCOMPARE(form->data->recordset()->text(0), longText());
        QSignalSpy closed(form->data, &db::DataSource::closed);
        QPointer<db::DataSource> data = form->data;
        form->Unload();
        QCOMPARE(closed.count(), 1);
        QVERIFY(!data->recordset());
        delete form;
        QVERIFY(!data);
    }

    // Sources of one file share its reader, but a file changed on disk is read anew: written
    // again, or taken away and put back (an unplugged drive) while a list still holds the file.
    void replacedFileIsReadAgain_data() {
        QTest::addColumn<bool>("rewrite");
        QTest::addColumn<int>("rows");
        QTest::newRow("written anew") << true << 304;
        QTest::newRow("moved away and back") << false << 4;
    }
    void replacedFileIsReadAgain() {
        QFETCH(bool, rewrite);
        QFETCH(int, rows);
        QTemporaryDir own;
        const QString path = own.filePath(QStringLiteral("orbeni.mdb"));
        QVERIFY(writeArchive(path, Version::Jet4));
        runtime::Form firstOwner;
        db::DataSource& first = *firstOwner.addDataSource(QStringLiteral("D1"));
        first.setDatabaseName(path);
        first.setRecordSource(QStringLiteral("stazioni"));
        first.open();
        QVERIFY(first.recordset());
        QThread::msleep(20);  // past the file system's clock step, so the change shows in its times
        if (rewrite) {
            QVERIFY(writeArchive(path, Version::Jet4, 300));
        } else {
            const QString away = own.filePath(QStringLiteral("altrove.mdb"));
            QVERIFY(QFile::rename(path, away));
            QVERIFY(QFile::rename(away, path));
        }
        runtime::Form secondOwner;
        db::DataSource& second = *secondOwner.addDataSource(QStringLiteral("D2"));
        second.setDatabaseName(path);
        second.setRecordSource(QStringLiteral("stazioni"));
        second.open();
        QCOMPARE(seams_->messages, QStringList());
        QVERIFY(second.recordset());
        QCOMPARE(second.recordset()->RecordCount(), rows);
        QCOMPARE(first.recordset()->RecordCount(), 4);  // a snapshot keeps its rows
    }
};

QTEST_MAIN(TestDataSource)
#include "test_datasource.moc"
