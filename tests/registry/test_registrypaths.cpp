// The texts the registry builds from a station code: the monthly statement and picture paths.
#include "db/global.h"
#include "db/location.h"
#include "registry/registrypaths.h"

#include <QtTest>

class RegistryPathsTest : public QObject {
    Q_OBJECT
  private slots:
    void cleanup() {
        db::setProgramFolder(QString());
        Global::reset();
    }

    void monthlyStatementIsTheArchiveText() {
        // Character for character: blank after "parametro,", none after "gennaio,", nothing after the code.
        QCOMPARE(registry::monthlyStatement(QStringLiteral("123")),
                 QStringLiteral("select parametro, gennaio,febbraio, marzo, aprile, maggio, giugno, luglio, "
                                "agosto, settembre, ottobre, novembre, dicembre, anno from mensili where "
                                "codstaz = 123"));
        QVERIFY(registry::monthlyStatement(QString()).endsWith(QStringLiteral("where codstaz = ")));
    }

    // The pictures' folder is the program folder + "/cartograf", so a root folder doubles the
    // separator as the archive's tools did; the database path gets one separator only.
    void picturesAndArchiveFollowTheProgramFolder_data() {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("pictures");
        QTest::addColumn<QString>("database");
        QTest::newRow("a normal folder")
            << QStringLiteral("/opt/meteo") << QStringLiteral("/opt/meteo/cartograf")
            << QStringLiteral("/opt/meteo/orbeni.mdb");
        QTest::newRow("the root folder")
            << QStringLiteral("/") << QStringLiteral("//cartograf") << QStringLiteral("/orbeni.mdb");
    }
    void picturesAndArchiveFollowTheProgramFolder() {
        QFETCH(QString, folder);
        QFETCH(QString, pictures);
        QFETCH(QString, database);
        db::setProgramFolder(folder);
        QCOMPARE(db::pictureFolder(), pictures);
        QCOMPARE(registry::thumbnailPath(db::pictureFolder(), QStringLiteral("123")),
                 pictures + QStringLiteral("/r_123.jpg"));
        QCOMPARE(registry::largePicturePath(db::pictureFolder(), QStringLiteral("123")),
                 pictures + QStringLiteral("/s_123.jpg"));
        QCOMPARE(db::databaseLocation(), database);
    }

    void aDriveRootKeepsItsSeparators() {
        // A drive root as the archive's home system wrote it.
        QCOMPARE(registry::thumbnailPath(QStringLiteral("C:\\/cartograf"), QStringLiteral("123")),
                 QStringLiteral("C:\\/cartograf/r_123.jpg"));
    }
};

QTEST_GUILESS_MAIN(RegistryPathsTest)
#include "test_registrypaths.moc"
