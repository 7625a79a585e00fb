// The viewer as a program: it starts on its main window without touching the archive (here there
// is none beside it, and no message comes), and its picture matches the main window.
#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

class TestViewer : public QObject {
    Q_OBJECT

  private slots:
    void startsWithoutAnArchive_data() {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QSize>("minimum");
        QTest::newRow("main window") << QString() << QSize(748, 554);
        QTest::newRow("closing screen") << "esci" << QSize(605, 438);
    }
    void startsWithoutAnArchive() {
        QFETCH(QString, window);
        QFETCH(QSize, minimum);
        QTemporaryDir folder;
        QVERIFY(folder.isValid());
        const QString viewer = folder.filePath("altorra");
        QVERIFY(QFile::copy(qEnvironmentVariable("ALTORRA_BINARY_DIR") + "/program/altorra", viewer));
        QFile::setPermissions(viewer, QFile::permissions(viewer) | QFile::ExeOwner);

        const QString shot = folder.filePath("shot.png");
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("ALTORRA_SCREENSHOT", shot);
        env.insert("ALTORRA_SCREENSHOT_OF", window);
        process.setProcessEnvironment(env);
        process.start(viewer, {});
        // A message box at start would hold the program: it would then be killed and fail here.
        if (!process.waitForFinished(60000)) {
            process.kill();
            process.waitForFinished();
            QFAIL("the viewer did not end after its screenshot");
        }
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(process.exitCode(), 0);
        const QImage image(shot);
        QVERIFY(!image.isNull());
        QVERIFY(image.width() >= minimum.width() && image.height() >= minimum.height());
        QVERIFY(!QFile::exists(folder.filePath("orbeni.mdb")));  // nothing was created
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files).size(), 2);
    }
};

QTEST_GUILESS_MAIN(TestViewer)
#include "test_viewer.moc"
