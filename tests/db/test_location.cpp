// Where the archive is looked for: the program folder, exactly one separator, then orbeni.mdb; and
// names written in another case (archives copied from Windows media) are still found.
#include "db/global.h"
#include "db/location.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

class TestLocation : public QObject {
    Q_OBJECT

  private slots:
    void cleanup() {
        db::setProgramFolder(QString());
        Global::reset();
    }

    void trailingSeparator_data() {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("separator");
        QTest::addColumn<QString>("expected");
        QTest::newRow("windows folder") << "C:\\Programmi\\Altorra"
                                        << "\\"
                                        << "C:\\Programmi\\Altorra\\";
        QTest::newRow("windows folder with separator") << "C:\\Altorra\\"
                                                       << "\\"
                                                       << "C:\\Altorra\\";
        QTest::newRow("windows drive root") << "C:\\"
                                            << "\\"
                                            << "C:\\";
        QTest::newRow("unc share") << "\\\\server\\archivio"
                                   << "\\"
                                   << "\\\\server\\archivio\\";
        QTest::newRow("other separator at the end") << "D:\\meteo/"
                                                    << "\\"
                                                    << "D:\\meteo/\\";
        QTest::newRow("unix folder") << "/opt/altorra"
                                     << "/"
                                     << "/opt/altorra/";
        QTest::newRow("unix folder with separator") << "/opt/altorra/"
                                                    << "/"
                                                    << "/opt/altorra/";
        QTest::newRow("unix root") << "/"
                                   << "/"
                                   << "/";
        QTest::newRow("folder with blanks and accents") << "/home/a/Città del meteo"
                                                        << "/"
                                                        << "/home/a/Città del meteo/";
    }
    void trailingSeparator() {
        QFETCH(QString, folder);
        QFETCH(QString, separator);
        QFETCH(QString, expected);
        QCOMPARE(db::withTrailingSeparator(folder, separator.at(0)), expected);
    }

    void databaseLocation_data() {
        QTest::addColumn<QString>("programFolder");
        QTest::addColumn<QString>("folder");
        QTest::newRow("plain folder") << "/opt/altorra"
                                      << "/opt/altorra/";
        QTest::newRow("folder ending in a separator") << "/opt/altorra/"
                                                      << "/opt/altorra/";
        QTest::newRow("root") << "/"
                              << "/";
    }
    void databaseLocation() {
        QFETCH(QString, programFolder);
        QFETCH(QString, folder);
        db::setProgramFolder(programFolder);
        QCOMPARE(db::databaseLocation(), folder + "orbeni.mdb");
        QCOMPARE(Global::DatabaseFolder, folder);
    }

    // Without a folder set, the archive is looked for beside the running program, and the folder
    // is taken again on every call.
    void databaseLocationFollowsTheProgramFolder() {
        QCOMPARE(db::databaseLocation(), QCoreApplication::applicationDirPath() + "/orbeni.mdb");
        db::setProgramFolder("/srv/meteo");
        QCOMPARE(db::databaseLocation(), QStringLiteral("/srv/meteo/orbeni.mdb"));
        db::setProgramFolder(QString());
        QCOMPARE(Global::DatabaseFolder, QStringLiteral("/srv/meteo/"));  // kept until the next call
        db::databaseLocation();
        QCOMPARE(Global::DatabaseFolder, QCoreApplication::applicationDirPath() + "/");
    }

    void pictureFolder() {
        db::setProgramFolder("/opt/altorra");
        QCOMPARE(db::pictureFolder(), QStringLiteral("/opt/altorra/cartograf"));
    }

    void resolveCaseInsensitive() {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString root = dir.path();
        QVERIFY(QDir(root).mkpath("CARTOGRAF"));
        QVERIFY(QDir(root).mkpath("cartograf2/Sub"));
        touch(root + "/ORBENI.MDB");
        touch(root + "/CARTOGRAF/R_12.JPG");
        touch(root + "/CARTOGRAF/s_12.jpg");
        touch(root + "/cartograf2/Sub/Pic.jpg");

        // Upper-case names are found, component by component.
        QCOMPARE(db::resolveCaseInsensitive(root + "/orbeni.mdb"), root + "/ORBENI.MDB");
        QCOMPARE(db::resolveCaseInsensitive(root + "/cartograf/r_12.jpg"), root + "/CARTOGRAF/R_12.JPG");
        QCOMPARE(db::resolveCaseInsensitive(root + "/cartograf/s_12.jpg"), root + "/CARTOGRAF/s_12.jpg");
        QCOMPARE(db::resolveCaseInsensitive(root + "/CARTOGRAF2/sub/PIC.JPG"),
                 root + "/cartograf2/Sub/Pic.jpg");
        // A doubled separator (a root program folder) does not hide the file.
        QCOMPARE(db::resolveCaseInsensitive(root + "//cartograf/r_12.jpg"), root + "/CARTOGRAF/R_12.JPG");
        // Nothing matches: the path comes back unchanged, for the caller's own error.
        QCOMPARE(db::resolveCaseInsensitive(root + "/cartograf/r_13.jpg"), root + "/cartograf/r_13.jpg");
        QCOMPARE(db::resolveCaseInsensitive(root + "/manca/orbeni.mdb"), root + "/manca/orbeni.mdb");
        QCOMPARE(db::resolveCaseInsensitive(QString()), QString());

        // The exact name is preferred when both spellings exist.
        touch(root + "/orbeni.mdb");
        QCOMPARE(db::resolveCaseInsensitive(root + "/orbeni.mdb"), root + "/orbeni.mdb");
        QCOMPARE(db::resolveCaseInsensitive(root + "/ORBENI.MDB"), root + "/ORBENI.MDB");
        QFile::remove(root + "/ORBENI.MDB");
        QCOMPARE(db::resolveCaseInsensitive(root + "/Orbeni.Mdb"), root + "/orbeni.mdb");
    }

    // Relative paths resolve against the current folder and stay relative.
    void resolveRelative() {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        touch(dir.path() + "/DATI.MDB");
        const QString previous = QDir::currentPath();
        QDir::setCurrent(dir.path());
        const QString resolved = db::resolveCaseInsensitive("dati.mdb");
        QDir::setCurrent(previous);
        QCOMPARE(resolved, QStringLiteral("DATI.MDB"));
    }

  private:
    static void touch(const QString& path) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
};

QTEST_GUILESS_MAIN(TestLocation)
#include "test_location.moc"
