// Spreadsheet files read back by independent readers (Python's openpyxl for .xlsx, odfpy for
// .ods, both from Debian): every cell's type and value against the values the test wrote into the
// archive, for a daily result (NULL, "", 96.6 stored as Single and Double, -0.5), a rainfall result
// (times of day, a midnight, seconds) and the monthly figures; header bold and frozen, widths,
// sheet name and properties; the file written whole or not at all.
#include "export/spreadsheet.h"
#include "jet/jet.h"
#include "jetwriter/jetwriter.h"
#include "runtime/seams.h"

#include <QDateTime>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>

namespace {

using jetwriter::Column;
using jetwriter::ColumnType;

// What a cell must hold: its type as the readers name it and its value ("n": a number, compared
// as a double; "d": ISO date and time; "t": time of day; "s": text; "e": empty).
struct Expected {
    QString type;
    QVariant value;
};
using ExpectedRow = QList<Expected>;

Expected n(double v) {
    return {QStringLiteral("n"), v};
}
Expected s(const QString& v) {
    return {QStringLiteral("s"), v};
}
Expected d(const char* iso) {
    return {QStringLiteral("d"), QString::fromLatin1(iso)};
}
Expected e() {
    return {QStringLiteral("e"), QVariant()};
}

QJsonObject readBack(const QString& path) {
    QProcess reader;
    reader.start(
        QStringLiteral("/usr/bin/python3"),
        {qEnvironmentVariable("ALTORRA_SOURCE_DIR") + QStringLiteral("/tests/export/readsheet.py"), path});
    if (!reader.waitForFinished(120000) || reader.exitCode() != 0) {
        qWarning() << reader.readAllStandardError();
        return {};
    }
    return QJsonDocument::fromJson(reader.readAllStandardOutput()).object();
}

}  // namespace

Q_DECLARE_METATYPE(QList<ExpectedRow>)

class TestSpreadsheet : public QObject {
    Q_OBJECT

  private:
    QTemporaryDir dir_;
    std::shared_ptr<jet::Database> db_;

    std::shared_ptr<const jet::RecordSet> query(const QString& statement) {
        jet::Error failure;
        auto rows = db_->openRecordSet(statement, &failure);
        return rows;
    }

    static QStringList captionsOf(const jet::RecordSet& rows) {
        QStringList captions;
        for (int c = 0; c < rows.fieldCount(); ++c) {
            captions << rows.fieldName(c);
        }
        return captions;
    }

    // Every cell of `file` against `header` and `rows`.
    static void compareCells(const QJsonObject& file, const QStringList& header,
                             const QList<ExpectedRow>& rows, bool odsKeepsEmptyText) {
        const QJsonArray cells = file.value(QStringLiteral("rows")).toArray();
        QCOMPARE(cells.size(), rows.size() + 1);
        const QJsonArray first = cells[0].toArray();
        QCOMPARE(first.size(), header.size());
        for (int c = 0; c < header.size(); ++c) {
            QCOMPARE(first[c].toArray()[0].toString(), QStringLiteral("s"));
            QCOMPARE(first[c].toArray()[1].toString(), header[c]);
        }
        for (int r = 0; r < rows.size(); ++r) {
            const QJsonArray line = cells[r + 1].toArray();
            QVERIFY2(line.size() <= rows[r].size(), qPrintable(QStringLiteral("row %1").arg(r)));
            for (int c = 0; c < rows[r].size(); ++c) {
                Expected want = rows[r][c];
                // "" has no constant of its own in .xlsx (libxlsxwriter leaves it out, as a
                // spreadsheet program does); .ods keeps it as an empty text.
                if (want.type == QLatin1String("s") && want.value.toString().isEmpty() &&
                    !odsKeepsEmptyText) {
                    want = e();
                }
                const QJsonArray got = c < line.size() ? line[c].toArray() : QJsonArray{"e", QJsonValue()};
                const QString where =
                    QStringLiteral("row %1 column %2: %3")
                        .arg(r + 1)
                        .arg(c)
                        .arg(QString::fromUtf8(QJsonDocument(got).toJson(QJsonDocument::Compact)));
                QVERIFY2(got[0].toString() == want.type, qPrintable(where));
                if (want.type == QLatin1String("n")) {
                    // Exactly the stored value: 96.6 is 96.6, never 96.59999847.
                    QVERIFY2(got[1].toString().toDouble() == want.value.toDouble(), qPrintable(where));
                } else if (want.type != QLatin1String("e")) {
                    QVERIFY2(got[1].toString() == want.value.toString(), qPrintable(where));
                }
            }
        }
    }

  private slots:
    void initTestCase() {
        QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
        QVERIFY(QFile::exists(QStringLiteral("/usr/bin/python3")));
        jetwriter::Database writer(jetwriter::Version::Jet4);
        writer.addTable(QStringLiteral("giorni"),
                        {Column{QStringLiteral("nomestaz"), ColumnType::Text, 50},
                         Column{QStringLiteral("Giorno"), ColumnType::Integer},
                         Column{QStringLiteral("Mese"), ColumnType::Integer},
                         Column{QStringLiteral("Anno"), ColumnType::Integer},
                         Column{QStringLiteral("Pioggia"), ColumnType::Double},
                         Column{QStringLiteral("TempMax"), ColumnType::Single},
                         Column{QStringLiteral("DirVento"), ColumnType::Text, 3}},
                        {{QStringLiteral("Castèl d'Ùrbe"), 1, 7, 1995, 96.6, -0.5, QStringLiteral("NE")},
                         {QStringLiteral("Bologna <&> \"x\""), 2, 7, 1995, QVariant(), 96.6, QString("")},
                         {QStringLiteral("  due  blank  "), 3, 7, 1995, 0.0, QVariant(), QVariant()},
                         {QStringLiteral("Riga\tcon\ntab"), 4, 7, 1995, -0.5, 1e-7, QStringLiteral("S")}});
        writer.addTable(
            QStringLiteral("piogge"),
            {Column{QStringLiteral("codstaz"), ColumnType::Long},
             Column{QStringLiteral("Nomestaz"), ColumnType::Text, 50},
             Column{QStringLiteral("Anno"), ColumnType::Integer},
             Column{QStringLiteral("1 ora"), ColumnType::Double},
             Column{QStringLiteral("Data"), ColumnType::DateTime}},
            {{1203, QStringLiteral("Imola"), 1995, 31.2, QDateTime(QDate(1995, 7, 3), QTime(14, 30))},
             {1204, QStringLiteral("Faenza"), 1995, 12.0, QDateTime(QDate(1995, 7, 4), QTime(0, 0))},
             {1205, QStringLiteral("Lugo"), 1996, QVariant(), QVariant()},
             {1206, QStringLiteral("Bagnara"), 1996, 8.4, QDateTime(QDate(1996, 8, 5), QTime(6, 15, 20))},
             {1207, QStringLiteral("Ca' dei Merli"), 1995, 26.3,
              QDateTime(QDate(1995, 9, 16), QTime(19, 0))}});
        QList<Column> monthly{Column{QStringLiteral("codstaz"), ColumnType::Long},
                              Column{QStringLiteral("anno"), ColumnType::Integer},
                              Column{QStringLiteral("parametro"), ColumnType::Text, 60},
                              Column{QStringLiteral("gennaio"), ColumnType::Double},
                              Column{QStringLiteral("febbraio"), ColumnType::Double}};
        writer.addTable(QStringLiteral("mensili"), monthly,
                        {{1203, 1995, QStringLiteral("Temperatura media (°C)"), 2.4, QVariant()},
                         {1203, 1995, QStringLiteral("Pioggia totale (mm)"), 96.6, 0.1}});
        QVERIFY(dir_.isValid());
        QString error;
        QVERIFY2(writer.write(dir_.filePath(QStringLiteral("orbeni.mdb")), &error), qPrintable(error));
        jet::Error failure;
        db_ = jet::Database::open(dir_.filePath(QStringLiteral("orbeni.mdb")), &failure);
        QVERIFY(db_);
    }

    void cellsReadBack_data() {
        QTest::addColumn<QString>("statement");
        QTest::addColumn<QList<ExpectedRow>>("rows");
        QTest::addColumn<QString>("extension");
        const QString daily = QStringLiteral(
            "select nomestaz as [Denominazione], Giorno, Mese, Anno, Pioggia as [pioggia mm], TempMax as "
            "[Temperatura massima °C], DirVento as [Direzione prevalente del vento] from giorni");
        const QList<ExpectedRow> dailyRows{
            {s("Castèl d'Ùrbe"), n(1), n(7), n(1995), n(96.6), n(-0.5), s("NE")},
            {s("Bologna <&> \"x\""), n(2), n(7), n(1995), e(), n(96.6), s("")},
            {s("  due  blank  "), n(3), n(7), n(1995), n(0), e(), e()},
            {s("Riga\tcon\ntab"), n(4), n(7), n(1995), n(-0.5), n(1e-7), s("S")}};
        const QString rainfall = QStringLiteral("select Nomestaz, Anno, [1 ora], Data from piogge");
        // Times of day kept; midnight is the day alone.
        const QList<ExpectedRow> rainfallRows{
            {s("Imola"), n(1995), n(31.2), d("1995-07-03T14:30:00")},
            {s("Faenza"), n(1995), n(12), d("1995-07-04T00:00:00")},
            {s("Lugo"), n(1996), e(), e()},
            {s("Bagnara"), n(1996), n(8.4), d("1996-08-05T06:15:20")},
            {s("Ca' dei Merli"), n(1995), n(26.3), d("1995-09-16T19:00:00")}};
        const QString monthly =
            QStringLiteral("select parametro, gennaio,febbraio, anno from mensili where codstaz = 1203");
        const QList<ExpectedRow> monthlyRows{{s("Temperatura media (°C)"), n(2.4), e(), n(1995)},
                                             {s("Pioggia totale (mm)"), n(96.6), n(0.1), n(1995)}};
        for (const char* ext : {"xlsx", "ods"}) {
            QTest::addRow("daily %s", ext) << daily << dailyRows << QString::fromLatin1(ext);
            QTest::addRow("rainfall %s", ext) << rainfall << rainfallRows << QString::fromLatin1(ext);
            QTest::addRow("monthly %s", ext) << monthly << monthlyRows << QString::fromLatin1(ext);
        }
    }

    void cellsReadBack() {
        QFETCH(QString, statement);
        QFETCH(QList<ExpectedRow>, rows);
        QFETCH(QString, extension);
        const auto records = query(statement);
        QVERIFY(records);
        const QString path =
            dir_.filePath(QStringLiteral("%1.%2").arg(QTest::currentDataTag()).arg(extension));
        exporter::SheetProperties props;
        props.sheetName = QStringLiteral("Visualizzazione dati giornalieri: [prova]");
        props.title = QStringLiteral("Visualizzazione dati giornalieri");
        props.subject = QStringLiteral("Stazioni: Bologna, Castèl d'Ùrbe; dal 01/07/1995 al 04/07/1995");
        const bool ods = extension == QLatin1String("ods");
        const exporter::SheetResult result =
            exporter::writeSpreadsheet(*records, captionsOf(*records), props,
                                       ods ? exporter::SheetFormat::Ods : exporter::SheetFormat::Xlsx, path);
        QVERIFY2(result.written, qPrintable(result.reason));
        const QJsonObject file = readBack(path);
        QVERIFY(!file.isEmpty());
        compareCells(file, captionsOf(*records), rows, ods);
        if (QTest::currentTestFailed()) {
            return;
        }
        QCOMPARE(file.value(QStringLiteral("sheets")).toInt(), 1);
        // 31 characters at most, cut at a blank, none of []:*?/\ .
        QCOMPARE(file.value(QStringLiteral("sheet")).toString(), QStringLiteral("Visualizzazione dati"));
        QCOMPARE(file.value(QStringLiteral("title")).toString(), props.title);
        QCOMPARE(file.value(QStringLiteral("subject")).toString(), props.subject);
        // The header row frozen and bold.
        QCOMPARE(file.value(QStringLiteral("frozen")).toString(),
                 ods ? QStringLiteral("1") : QStringLiteral("A2"));
        for (const QJsonValue bold : file.value(QStringLiteral("bold")).toArray()) {
            QVERIFY(bold.toBool());
        }
        // Widths fitted: the long caption's column wider than the short one's.
        const QJsonArray widths = file.value(QStringLiteral("widths")).toArray();
        QCOMPARE(widths.size(), records->fieldCount());
        const auto width = [&](int c) {
            return ods ? widths[c].toString().chopped(2).toDouble() : widths[c].toDouble();
        };
        int longest = 0, shortest = 0;
        for (int c = 0; c < records->fieldCount(); ++c) {
            longest = records->fieldName(c).size() > records->fieldName(longest).size() ? c : longest;
            shortest = records->fieldName(c).size() < records->fieldName(shortest).size() ? c : shortest;
        }
        QVERIFY(width(longest) > width(shortest));
        if (ods) {
            QVERIFY(file.value(QStringLiteral("zip_ok")).toBool());
            QVERIFY(file.value(QStringLiteral("mimetype_first")).toBool());
        }
    }

    // Dates carry a date format, with the time where there is one.
    void dateFormats() {
        const auto records = query(QStringLiteral("select Nomestaz, Data from piogge"));
        QVERIFY(records);
        const QString path = dir_.filePath(QStringLiteral("formats.xlsx"));
        QVERIFY(
            exporter::writeSpreadsheet(*records, captionsOf(*records), {}, exporter::SheetFormat::Xlsx, path)
                .written);
        const QJsonArray formats = readBack(path).value(QStringLiteral("formats")).toArray();
        QCOMPARE(formats.size(), 6);
        QCOMPARE(formats[1].toArray()[1].toString(), QStringLiteral("dd/mm/yyyy hh:mm"));
        QCOMPARE(formats[2].toArray()[1].toString(), QStringLiteral("dd/mm/yyyy"));
        QCOMPARE(formats[4].toArray()[1].toString(), QStringLiteral("dd/mm/yyyy hh:mm:ss"));
    }

    // A time of day is stored at or just past its instant, never just before it: a program that
    // truncates to the minutes it shows (as LibreOffice does) would show 19:00 as 18:59.
    void timesNotBeforeTheirInstant() {
        const auto records = query(QStringLiteral("select Nomestaz, Data from piogge"));
        QVERIFY(records);
        const QString path = dir_.filePath(QStringLiteral("instants.xlsx"));
        QVERIFY(
            exporter::writeSpreadsheet(*records, captionsOf(*records), {}, exporter::SheetFormat::Xlsx, path)
                .written);
        const QJsonObject raw = readBack(path).value(QStringLiteral("raw")).toObject();
        const QDate epoch(1899, 12, 30);
        const QList<std::pair<QString, qint64>> instants{
            {"B2", epoch.daysTo(QDate(1995, 7, 3)) * 86400 + 14 * 3600 + 30 * 60},
            {"B3", epoch.daysTo(QDate(1995, 7, 4)) * 86400},
            {"B5", epoch.daysTo(QDate(1996, 8, 5)) * 86400 + 6 * 3600 + 15 * 60 + 20},
            {"B6", epoch.daysTo(QDate(1995, 9, 16)) * 86400 + 19 * 3600}};
        for (const auto& [cell, seconds] : instants) {
            const double serial = raw.value(cell).toString().toDouble();
            QVERIFY2(qint64(std::floor(serial * 86400.0)) == seconds,
                     qPrintable(cell + raw.value(cell).toString()));
        }
    }

    // A file that cannot be written leaves the one already there as it was, and says why; the
    // archive itself is never written.
    void failuresKeepTheOldFile() {
        const auto records = query(QStringLiteral("select * from piogge"));
        QVERIFY(records);
        const QString existing = dir_.filePath(QStringLiteral("old.xlsx"));
        {
            QFile file(existing);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("old contents");
        }
        const QString folder = dir_.filePath(QStringLiteral("missing/x.xlsx"));
        exporter::SheetResult result = exporter::writeSpreadsheet(*records, captionsOf(*records), {},
                                                                  exporter::SheetFormat::Xlsx, folder);
        QVERIFY(!result.written);
        QCOMPARE(exporter::sheetFailureMessage(result),
                 QStringLiteral("Impossibile scrivere il file «%1»: la cartella indicata non esiste.")
                     .arg(folder));
        const QString archive = dir_.filePath(QStringLiteral("orbeni.mdb"));
        const qint64 size = QFileInfo(archive).size();
        result = exporter::writeSpreadsheet(*records, captionsOf(*records), {}, exporter::SheetFormat::Ods,
                                            archive, dir_.path(), archive);
        QVERIFY(!result.written);
        QCOMPARE(QFileInfo(archive).size(), size);
        // Replaced whole when it succeeds, and readable by others as a saved file is.
        QVERIFY(exporter::writeSpreadsheet(*records, captionsOf(*records), {}, exporter::SheetFormat::Xlsx,
                                           existing)
                    .written);
        QCOMPARE(readBack(existing).value(QStringLiteral("rows")).toArray().size(), 6);
        QVERIFY(QFileInfo(existing).permissions() & QFileDevice::ReadOther);
        QCOMPARE(
            QDir(dir_.path()).entryList({QStringLiteral(".altorra-*")}, QDir::Hidden | QDir::Files).size(),
            0);
    }

    // The chosen pair's extension is added to a name that has none of it, so the file written
    // is of the format chosen.
    void completesExtension_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("pair");
        QTest::addColumn<QString>("written");
        QTest::newRow("xlsx") << "/tmp/dati" << 1 << "/tmp/dati.xlsx";
        QTest::newRow("ods") << "/tmp/dati" << 2 << "/tmp/dati.ods";
        QTest::newRow("already, any case") << "/tmp/dati.XLSX" << 1 << "/tmp/dati.XLSX";
        QTest::newRow("the other format's") << "/tmp/dati.ods" << 1 << "/tmp/dati.ods.xlsx";
        QTest::newRow("a dot in the folder") << "/tmp/a.b/dati" << 2 << "/tmp/a.b/dati.ods";
    }

    void completesExtension() {
        QFETCH(QString, typed);
        QFETCH(int, pair);
        QFETCH(QString, written);
        QCOMPARE(seams::completeExtension(typed, exporter::spreadsheetFilter(), pair), written);
    }

    void sheetNames_data() {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("name");
        QTest::newRow("plain") << "Anagrafica"
                               << "Anagrafica";
        QTest::newRow("forbidden") << "a[b]c:d*e?f/g\\h"
                                   << "a b c d e f g h";
        QTest::newRow("apostrophes at the ends") << "'x'"
                                                 << "x";
        QTest::newRow("empty") << ""
                               << "Dati";
        QTest::newRow("long, cut at a blank") << "Visualizzazione piogge intense e altro"
                                              << "Visualizzazione piogge intense";
        QTest::newRow("long, one word") << QString(40, u'x') << QString(31, u'x');
    }

    void sheetNames() {
        QFETCH(QString, caption);
        QFETCH(QString, name);
        QCOMPARE(exporter::sheetNameFor(caption), name);
    }
};

QTEST_GUILESS_MAIN(TestSpreadsheet)
#include "test_spreadsheet.moc"
