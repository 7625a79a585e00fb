// Shared by the data-source and bound-control tests: a small archive written by our own writer, one
// per file version, in a temporary folder.
#pragma once

#include "jetwriter/jetwriter.h"

#include <QDate>
#include <QDir>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>

namespace controlstest {

inline QString versionName(jetwriter::Version version) {
    return version == jetwriter::Version::Jet3 ? QStringLiteral("jet3") : QStringLiteral("jet4");
}

// The long help text: more lines than a box shows.
inline QString longText() {
    QStringList lines;
    for (int i = 1; i <= 60; ++i) {
        lines.append(QStringLiteral("Riga %1 del testo informativo sull'archivio.").arg(i));
    }
    return lines.join(QLatin1Char('\n'));
}

// stazioni: four stations, two of them named alike, with a NULL and a fractional altitude.
// help: one long memo. elenco: a stored query with an alias.
inline bool writeArchive(const QString& path, jetwriter::Version version, int extraStations = 0) {
    using jetwriter::Column;
    using jetwriter::ColumnType;
    jetwriter::Database db(version);
    QList<jetwriter::Row> rows = {
        {12, QStringLiteral("Aosta"), 583.5, QDate(1990, 3, 1)},
        {7, QStringLiteral("Bormio"), QVariant(), QDate(1985, 1, 15)},
        {31, QStringLiteral("Aosta"), 1225.0, QDate(2001, 7, 9)},
        {5, QStringLiteral("Città di Castello"), 288.0, QVariant()},
    };
    for (int i = 0; i < extraStations; ++i) {
        rows.append({100 + i, QStringLiteral("Nuova %1").arg(i), 10.0 + i, QVariant()});
    }
    db.addTable(QStringLiteral("stazioni"),
                {Column{QStringLiteral("Codstaz"), ColumnType::Long},
                 Column{QStringLiteral("NomeStaz"), ColumnType::Text, 50},
                 Column{QStringLiteral("Quota"), ColumnType::Double},
                 Column{QStringLiteral("Data validità"), ColumnType::DateTime}},
                rows);
    db.addTable(QStringLiteral("help"), {Column{QStringLiteral("help0"), ColumnType::Memo}}, {{longText()}});
    db.addQuery(QStringLiteral("elenco"), QStringLiteral("SELECT NomeStaz AS [Nome], Codstaz FROM stazioni"));
    QString error;
    const bool ok = db.write(path, &error);
    if (!ok) {
        qWarning("writer: %s", qPrintable(error));
    }
    return ok;
}

// The temporary folder holding one archive per version, and the version rows of data-driven tests.
class Archives {
  protected:
    QTemporaryDir dir_;

    QString archive(jetwriter::Version version) const {
        return dir_.filePath(versionName(version) + QStringLiteral("/orbeni.mdb"));
    }

    // Writes one archive per version; a failure fails the running test.
    void writeArchives() {
        QVERIFY(dir_.isValid());
        for (jetwriter::Version version : {jetwriter::Version::Jet3, jetwriter::Version::Jet4}) {
            QVERIFY(QDir(dir_.path()).mkpath(versionName(version)));
            QVERIFY(writeArchive(archive(version), version));
        }
    }

    static void addVersions() {
        QTest::addColumn<jetwriter::Version>("version");
        QTest::newRow("jet3") << jetwriter::Version::Jet3;
        QTest::newRow("jet4") << jetwriter::Version::Jet4;
    }
};

}  // namespace controlstest
