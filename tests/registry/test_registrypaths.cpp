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

    void picturesOfANormalFolder() {
        db::setProgramFolder(QStringLiteral("/opt/meteo"));
        const QString pictures = db::pictureFolder();
        QCOMPARE(pictures, QStringLiteral("/opt/meteo/cartograf"));
        QCOMPARE(registry::thumbnailPath(pictures, QStringLiteral("123")),
                 QStringLiteral("/opt/meteo/cartograf/r_123.jpg"));
        QCOMPARE(registry::largePicturePath(pictures, QStringLiteral("123")),
                 QStringLiteral("/opt/meteo/cartograf/s_123.jpg"));
        QCOMPARE(db::databaseLocation(), QStringLiteral("/opt/meteo/orbeni.mdb"));
    }

    void picturesOfARootFolderKeepTheDoubledSeparator() {
        db::setProgramFolder(QStringLiteral("/"));
        const QString pictures = db::pictureFolder();
        QCOMPARE(registry::thumbnailPath(pictures, QStringLiteral("123")),
                 QStringLiteral("//cartograf/r_123.jpg"));
        QCOMPARE(registry::largePicturePath(pictures, QStringLiteral("123")),
                 QStringLiteral("//cartograf/s_123.jpg"));
        // The database path gets one separator only.
        QCOMPARE(db::databaseLocation(), QStringLiteral("/orbeni.mdb"));

        // A drive root as the archive's home system wrote it.
        QCOMPARE(registry::thumbnailPath(QStringLiteral("C:\\/cartograf"), QStringLiteral("123")),
                 QStringLiteral("C:\\/cartograf/r_123.jpg"));
    }
};

QTEST_GUILESS_MAIN(RegistryPathsTest)
#include "test_registrypaths.moc"
