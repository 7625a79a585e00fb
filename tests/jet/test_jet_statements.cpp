// The statements the windows build, run on the sample archive: columns, captions and rows for
// the daily, intense-rainfall and monthly statements with their edge cases, the record sources
// the lists read (as tables and as stored queries), and the engine's numbered errors.
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include "jet/jet.h"
#include "jet/jettest.h"
#include "samplegen/samplegen.h"
#include "tools/mdbcheck.h"

namespace {

const char* const kDailyFragments[] = {
    ", Pioggia as [pioggia mm]",
    ", TempMax as [Temperatura massima °C]",
    ", TempMin as [Temperatura minima °C]",
    ", TempMed as [Temperatura media °C]",
    ", AltNeve as [Altezza della neve cm]",
    ", VelMedia as [Velocità media del vento (Km/h)]",
    ", VelMax as [Velocità massima del vento (Km/h)]",
    ", DirVento as [Direzione prevalente del vento], OreDir as [Ore di permanenza della direzione "
    "prevalente]",
    ", Umidità as [Umidità dell'aria]",
    ", Radiazione as [Radiazione solare globale (MJ/MQ)]",
    ", Umidmax as [Umidità massima]",
    ", Umidmin as [Umidità minima]",
    ", calme as [Calme di vento]",
};

QString dailyStatement(bool allBoxes, const QString& where) {
    QString s = QStringLiteral("select  nomestaz as [Denominazione], Giorno, Mese, Anno ");
    if (allBoxes) {
        for (const char* f : kDailyFragments) {
            s += QString::fromUtf8(f);
        }
    }
    return s + QStringLiteral(" from  database1 ") + QStringLiteral("where ") + where;
}

const QString kHours = QStringLiteral(
    ", unhh as [1 ora], Data, trehh as [3 ore], Data1, seihh as [6 ore], Data2, dodhh as [12 ore], Data3, "
    "venhh as "
    "[24 ore], Data4");
const QString kDays = QStringLiteral(
    ", ungg as [1 giorno], Data5, duegg as [2 giorni], Data6, tregg as [3 giorni], Data7, quagg as [4 "
    "giorni], "
    "Data8, cingg as [5 giorni], Data9");

QStringList captions(const jet::RecordSet& rs) {
    QStringList out;
    for (int f = 0; f < rs.fieldCount(); ++f) {
        out << rs.fieldName(f);
    }
    return out;
}

}  // namespace

class TestJetStatements : public QObject {
    Q_OBJECT

  private:
    QTemporaryDir dir_;
    QString tables_;   // lists stored as tables (Jet 4)
    QString queries_;  // lists stored as queries (Jet 3)
    std::shared_ptr<jet::Database> db_;
    QList<QList<QVariant>> daily_;  // all of database1, read through libmdb
    int station_ = 0;

    std::unique_ptr<jet::RecordSet> run(const QString& statement, jet::Error* error = nullptr) {
        jet::Error local;
        return db_->openRecordSet(statement, error ? error : &local);
    }
    jet::Error failure(const QString& statement) {
        jet::Error error;
        auto rs = run(statement, &error);
        if (rs) {
            error.number = -1;
        }
        return error;
    }
    // Rows of database1 that meet a test, in stored order, projected on the given fields.
    QList<QList<QVariant>> expected(const std::function<bool(const QList<QVariant>&)>& keep,
                                    const QList<int>& fields) {
        QList<QList<QVariant>> out;
        for (const auto& row : daily_) {
            if (keep(row)) {
                QList<QVariant> r;
                for (int f : fields) {
                    r << row[f];
                }
                out << r;
            }
        }
        return out;
    }

  private slots:
    void initTestCase() {
        QVERIFY(dir_.isValid());
        samplegen::Options options;
        options.pictures = false;
        QString error;
        QVERIFY2(samplegen::writeSample(dir_.filePath("tabelle"), options, &error), qPrintable(error));
        options.lookupsAsQueries = true;
        options.version = jetwriter::Version::Jet3;
        QVERIFY2(samplegen::writeSample(dir_.filePath("query"), options, &error), qPrintable(error));
        tables_ = dir_.filePath("tabelle/orbeni.mdb");
        queries_ = dir_.filePath("query/orbeni.mdb");
        jet::Error e;
        db_ = jet::Database::open(tables_, &e);
        QVERIFY2(db_, qPrintable(e.message));
        // The expected rows come from an independent reader.
        const mdbcheck::Dump libmdb = mdbcheck::readWithLibmdb(tables_);
        QVERIFY2(libmdb.error.isEmpty(), qPrintable(libmdb.error));
        daily_ = libmdb.tables.value(QStringLiteral("database1")).rows;
        QVERIFY(daily_.size() > 10000);
        station_ = int(daily_[daily_.size() / 2][0].toLongLong());
    }

    // The daily statement with every box: 4 + 14 columns headed by the aliases, the rows of one
    // station, year and month.
    void dailyAllQuantities() {
        jet::Error error;
        auto rs = run(
            dailyStatement(true, QStringLiteral("codStaz = %1 and anno = 1995 and mese = 3").arg(station_)),
            &error);
        QVERIFY2(rs, qPrintable(error.message));
        QCOMPARE(
            captions(*rs),
            (QStringList{"Denominazione", "Giorno", "Mese", "Anno", "pioggia mm", "Temperatura massima °C",
                         "Temperatura minima °C", "Temperatura media °C", "Altezza della neve cm",
                         "Velocità media del vento (Km/h)", "Velocità massima del vento (Km/h)",
                         "Direzione prevalente del vento", "Ore di permanenza della direzione prevalente",
                         "Umidità dell'aria", "Radiazione solare globale (MJ/MQ)", "Umidità massima",
                         "Umidità minima", "Calme di vento"}));
        const auto want = expected(
            [&](const QList<QVariant>& r) {
                return r[0].toInt() == station_ && r[4].toInt() == 1995 && r[3].toInt() == 3;
            },
            {1, 2, 3, 4, 5, 6, 7, 8, 10, 11, 12, 13, 14, 9, 15, 16, 17, 18});
        QCOMPARE(want.size(), 31);
        const QString diff = jettest::firstDifference(jettest::cells(*rs), want);
        QVERIFY2(diff.isEmpty(), qPrintable(diff));
    }

    // The criteria combinations the form can build, no box ticked (two blanks before "from").
    void dailyCriteria_data() {
        QTest::addColumn<QString>("where");
        QTest::addColumn<int>("station");
        QTest::addColumn<int>("year");
        QTest::addColumn<int>("month");
        QTest::addColumn<int>("day");
        QTest::newRow("solo giorno") << "giorno = 5" << 0 << 0 << 0 << 5;
        QTest::newRow("stazione e giorno") << "codStaz = %1 and giorno = 31" << 1 << 0 << 0 << 31;
        QTest::newRow("stazione, anno, mese")
            << "codStaz = %1 and anno = 1992 and mese = 2" << 1 << 1992 << 2 << 0;
        QTest::newRow("anno e mese") << "anno = 1996 and mese = 2" << 0 << 1996 << 2 << 0;
        QTest::newRow("giorno inesistente") << "mese = 2 and giorno = 30" << 0 << 0 << 2 << 30;
    }
    void dailyCriteria() {
        QFETCH(QString, where);
        QFETCH(int, station);
        QFETCH(int, year);
        QFETCH(int, month);
        QFETCH(int, day);
        const QString criteria = station ? where.arg(station_) : where;
        const QString statement = dailyStatement(false, criteria);
        QVERIFY(statement.contains(QStringLiteral("Anno  from  database1 where ")));
        {
            jet::Error error;
            auto rs = run(statement, &error);
            QVERIFY2(rs, qPrintable(error.message));
            QCOMPARE(captions(*rs), (QStringList{"Denominazione", "Giorno", "Mese", "Anno"}));
            const auto want = expected(
                [&](const QList<QVariant>& r) {
                    return (!station || r[0].toInt() == station_) && (!year || r[4].toInt() == year) &&
                           (!month || r[3].toInt() == month) && (!day || r[2].toInt() == day);
                },
                {1, 2, 3, 4});
            const QString diff = jettest::firstDifference(jettest::cells(*rs), want);
            QVERIFY2(diff.isEmpty(), qPrintable(diff));
        }
    }

    void intense_data() {
        QTest::addColumn<QString>("fragments");
        QTest::addColumn<QStringList>("captions");
        const QStringList hours{"1 ora", "Data",   "3 ore", "Data1",  "6 ore",
                                "Data2", "12 ore", "Data3", "24 ore", "Data4"};
        const QStringList days{"1 giorno", "Data5",    "2 giorni", "Data6",    "3 giorni",
                               "Data7",    "4 giorni", "Data8",    "5 giorni", "Data9"};
        QTest::newRow("ore") << kHours << (QStringList{"Nomestaz", "Anno"} + hours);
        QTest::newRow("giorni") << kDays << (QStringList{"Nomestaz", "Anno"} + days);
        QTest::newRow("entrambi") << kHours + kDays << (QStringList{"Nomestaz", "Anno"} + hours + days);
        QTest::newRow("nessuno") << QString() << QStringList{"Nomestaz", "Anno"};
    }
    void intense() {
        QFETCH(QString, fragments);
        QFETCH(QStringList, captions);
        auto all = run(QStringLiteral("piog9099"));
        QVERIFY(all);
        const int code = int(all->value(0, 0).toInt());
        jet::Error error;
        auto rs = run(QStringLiteral("select Nomestaz , Anno ") + fragments +
                          QStringLiteral(" from piog9099 where codstaz = %1 and anno = 1995").arg(code),
                      &error);
        QVERIFY2(rs, qPrintable(error.message));
        QCOMPARE(::captions(*rs), captions);
        QCOMPARE(rs->recordCount(), 1);
        rs = run(QStringLiteral("select Nomestaz , Anno ") + fragments +
                 QStringLiteral(" from piog9099 where anno = 1995"));
        QVERIFY(rs);
        QVERIFY(rs->recordCount() > 1);
        rs = run(QStringLiteral("select Nomestaz , Anno ") + fragments +
                 QStringLiteral(" from piog9099 where codstaz = %1").arg(code));
        QVERIFY(rs);
        QCOMPARE(rs->recordCount(), 10);
        QCOMPARE(rs->value(0, 0).text(), all->value(0, 1).text());
    }

    // The registry's monthly statement: fields in the statement's order, headed by their names.
    void monthly() {
        auto registry = run(QStringLiteral("anagrafica compl"));
        QVERIFY(registry);
        const int codeField = registry->fieldIndex(QStringLiteral("codstaz"));
        QVERIFY(codeField >= 0);
        const QString code = registry->value(0, codeField).display(QLocale(QLocale::Italian, QLocale::Italy));
        jet::Error error;
        auto rs =
            run(QStringLiteral(
                    "select parametro, gennaio,febbraio, marzo, aprile, maggio, giugno, luglio, agosto, "
                    "settembre, ottobre, novembre, dicembre, anno from mensili where codstaz = ") +
                    code,
                &error);
        QVERIFY2(rs, qPrintable(error.message));
        QCOMPARE(captions(*rs),
                 (QStringList{"parametro", "gennaio", "febbraio", "marzo", "aprile", "maggio", "giugno",
                              "luglio", "agosto", "settembre", "ottobre", "novembre", "dicembre", "anno"}));
        QVERIFY(rs->recordCount() > 0);
        // A registry record without a code leaves the statement ending in "codstaz = ".
        QCOMPARE(failure(QStringLiteral("select parametro, gennaio from mensili where codstaz = ")).message,
                 QStringLiteral(
                     "Errore di sintassi (operatore mancante) nell'espressione della query 'codstaz ='."));
    }

    // Record sources by name, lists stored as tables and as stored queries alike.
    void recordSources_data() {
        QTest::addColumn<bool>("storedQueries");
        QTest::newRow("tabelle, Jet 4") << false;
        QTest::newRow("query, Jet 3") << true;
    }
    void recordSources() {
        QFETCH(bool, storedQueries);
        jet::Error error;
        std::shared_ptr<jet::Database> db = jet::Database::open(storedQueries ? queries_ : tables_, &error);
        QVERIFY2(db, qPrintable(error.message));
        QCOMPARE(db->queryNames().contains(QStringLiteral("Anno")), storedQueries);
        auto rs = db->openRecordSet(QStringLiteral("Anno"), &error);
        QVERIFY2(rs, qPrintable(error.message));
        QCOMPARE(captions(*rs), QStringList{"Anno"});
        QCOMPARE(rs->recordCount(), 10);
        for (int r = 0; r < 10; ++r) {
            QCOMPARE(rs->value(r, 0).toInt(), 1990 + r);
        }
        rs = db->openRecordSet(QStringLiteral("Mese"), &error);
        QVERIFY2(rs, qPrintable(error.message));
        QCOMPARE(rs->recordCount(), 12);
        QCOMPARE(rs->value(2, rs->fieldIndex(QStringLiteral("mese"))).toInt(), 3);
        QCOMPARE(rs->value(2, rs->fieldIndex(QStringLiteral("TESTO"))).text(), QStringLiteral("Marzo"));
        rs = db->openRecordSet(QStringLiteral("Giorno"), &error);
        QVERIFY2(rs, qPrintable(error.message));
        QCOMPARE(rs->recordCount(), 31);
        QCOMPARE(rs->value(30, 0).toInt(), 31);
        for (const char* name : {"Anagraficab", "anagraficaa"}) {
            rs = db->openRecordSet(QString::fromLatin1(name), &error);
            QVERIFY2(rs, qPrintable(error.message));
            QVERIFY(rs->fieldIndex(QStringLiteral("NOMESTAZ")) >= 0);
            QVERIFY(rs->fieldIndex(QStringLiteral("CodStaz")) >= 0);
            QVERIFY(rs->recordCount() > 0);
        }
        rs = db->openRecordSet(QStringLiteral("  anagrafica compl "), &error);
        QVERIFY2(rs, qPrintable(error.message));
        QVERIFY(rs->fieldIndex(QStringLiteral("Data validità")) >= 0);
        QVERIFY(rs->fieldIndex(QStringLiteral("UTM X")) >= 0);
        rs = db->openRecordSet(QStringLiteral("help"), &error);
        QVERIFY2(rs, qPrintable(error.message));
        QCOMPARE(rs->recordCount(), 1);
        QVERIFY(rs->value(0, rs->fieldIndex(QStringLiteral("help0"))).text().size() > 100);
        // A statement over a stored query.
        rs = db->openRecordSet(QStringLiteral("select TESTO as Nome from Mese where mese >= 11"), &error);
        QVERIFY2(rs, qPrintable(error.message));
        QCOMPARE(rs->recordCount(), 2);
        QCOMPARE(rs->value(1, 0).text(), QStringLiteral("Dicembre"));
    }

    // A stored query of another kind than select is refused with the engine's error. The copy's
    // catalogue row of "Anno" is given the flags of a delete query, then of a union query.
    void otherQueryKinds() {
        const QString copy = dir_.filePath(QStringLiteral("query/altri.mdb"));
        QFile::remove(copy);
        QVERIFY(QFile::copy(queries_, copy));
        // Where the row's Flags field lies, found by an independent reader.
        const qint64 flagsAt =
            mdbcheck::catalogFieldOffset(copy, QStringLiteral("Anno"), QStringLiteral("Flags"));
        QVERIFY(flagsAt > 0);
        jet::clearRowCache();
        for (const auto& [flags, number] : {std::pair<int, int>{32, 3219}, std::pair<int, int>{128, 3251}}) {
            QFile f(copy);
            QVERIFY(f.open(QIODevice::ReadWrite));
            QVERIFY(f.seek(flagsAt));
            const char le[4] = {char(flags), 0, 0, 0};
            QCOMPARE(f.write(le, 4), qint64(4));
            f.close();
            jet::Error error;
            std::shared_ptr<jet::Database> db = jet::Database::open(copy, &error);
            QVERIFY2(db, qPrintable(error.message));
            QVERIFY(!db->openRecordSet(QStringLiteral("Anno"), &error));
            QCOMPARE(error.number, number);
            QVERIFY(db->openRecordSet(QStringLiteral("Mese"), &error));
        }
    }

    // The dialect's latitude: case, blank space, brackets, aliases, or, parentheses, order, distinct.
    void dialect() {
        jet::Error error;
        auto rs =
            run(QStringLiteral(
                    "SELECT\tDISTINCT  [Anno]  AS  anno_x\nFROM [database1]\r\nWHERE (Mese = 1 OR mese = 2) "
                    "And Giorno = 1 ORDER BY Anno DESC;"),
                &error);
        QVERIFY2(rs, qPrintable(error.message));
        QCOMPARE(captions(*rs), QStringList{"anno_x"});
        QCOMPARE(rs->recordCount(), 10);
        QCOMPARE(rs->value(0, 0).toInt(), 1999);
        rs = run(
            QStringLiteral("select d.nomestaz as [Nome d'una (stazione) / °C à], * from database1 as d where "
                           "d.codstaz = %1 and anno = 1990 and mese = 1 and giorno = 1")
                .arg(station_),
            &error);
        QVERIFY2(rs, qPrintable(error.message));
        QCOMPARE(rs->fieldName(0), QStringLiteral("Nome d'una (stazione) / °C à"));
        QCOMPARE(rs->fieldCount(), 20);
        QCOMPARE(rs->recordCount(), 1);
        // Numbers compare as numbers.
        QCOMPARE(
            run(QStringLiteral("select * from database1 where codStaz = %1.5").arg(station_))->recordCount(),
            0);
        QCOMPARE(
            run(QStringLiteral("select * from database1 where codStaz = %1.0 and anno = 1990").arg(station_))
                ->recordCount(),
            365);
        QCOMPARE(run(QStringLiteral(
                         "select * from database1 where codStaz = %1 and anno = 1990 and Pioggia > 0 and "
                         "DirVento <> 'N' and nomestaz is not null")
                         .arg(station_))
                     ->recordCount(),
                 int(expected(
                         [&](const QList<QVariant>& r) {
                             return r[0].toInt() == station_ && r[4].toInt() == 1990 && r[5].toDouble() > 0 &&
                                    r[13].isValid() && r[13].toString().toCaseFolded() != QStringLiteral("n");
                         },
                         {0})
                         .size()));
        QCOMPARE(
            run(QStringLiteral("select * from database1 where pioggia is null and anno = 1991"))
                ->recordCount(),
            int(expected([](const QList<QVariant>& r) { return !r[5].isValid() && r[4].toInt() == 1991; },
                         {0})
                    .size()));
        QCOMPARE(run(QStringLiteral("select * from database1 where codstaz = null"))->recordCount(), 0);
    }

    // Rows handed over one at a time are those of the snapshot, in its order and as its text,
    // whether the read streams them (a table, with or without criteria) or runs a snapshot first
    // (DISTINCT, ORDER BY, stored queries); a stop after some rows ends the read without error.
    void readRows_data() {
        QTest::addColumn<bool>("storedQueries");
        QTest::addColumn<QString>("source");
        QTest::addColumn<int>("stopAfter");  // 0: never
        QTest::newRow("whole table") << false << "database1" << 0;
        QTest::newRow("fields reordered, aliases, criteria")
            << false
            << "select Pioggia as [p mm], nomestaz, DirVento, codStaz from database1 where anno = 1992 and "
               "pioggia > 3"
            << 0;
        QTest::newRow("key criteria only")
            << false << "select Giorno, Anno from database1 where mese = 2" << 0;
        QTest::newRow("sort key not shown")
            << false << "select nomestaz from database1 order by TempMax desc" << 0;
        QTest::newRow("distinct") << false << "select distinct DirVento from database1" << 0;
        QTest::newRow("dates, long texts") << false << "[anagrafica compl]" << 0;
        QTest::newRow("dates, Jet 3") << true << "select * from piog9099 where anno = 1995" << 0;
        QTest::newRow("table, Jet 3") << true << "select * from database1 where anno = 1991" << 0;
        QTest::newRow("stored query, Jet 3") << true << "select TESTO as Nome from Mese where mese >= 3" << 0;
        QTest::newRow("stopped") << false << "database1" << 7;
        QTest::newRow("stopped before any row") << false << "database1" << -1;
    }
    void readRows() {
        QFETCH(bool, storedQueries);
        QFETCH(QString, source);
        QFETCH(int, stopAfter);
        jet::Error error;
        std::shared_ptr<jet::Database> db = jet::Database::open(storedQueries ? queries_ : tables_, &error);
        QVERIFY2(db, qPrintable(error.message));
        auto rs = db->openRecordSet(source, &error);
        QVERIFY2(rs, qPrintable(error.message));
        const jet::DisplayFormat format(QLocale(QLocale::Italian, QLocale::Italy));
        QList<QStringList> want;
        for (int r = 0; r < rs->recordCount() && (stopAfter == 0 || r < stopAfter); ++r) {
            QStringList row;
            for (int f = 0; f < rs->fieldCount(); ++f) {
                row << format.text(rs->value(r, f));
            }
            want << row;
        }
        QVERIFY(!want.isEmpty() || stopAfter < 0);

        struct Collect : jet::RowStream {
            const jet::DisplayFormat& format;
            int stopAfter;
            QStringList captions;
            QList<QStringList> rows;
            bool started = false;
            Collect(const jet::DisplayFormat& f, int stop) : format(f), stopAfter(stop) {}
            bool start(const QStringList& c) override {
                started = true;
                captions = c;
                return stopAfter >= 0;
            }
            bool row(const jet::RowCells& cells) override {
                QStringList r;
                QString buffer;
                for (int f = 0; f < cells.fieldCount(); ++f) {
                    r << cells.textView(f, format, &buffer).toString();
                }
                rows << r;
                return stopAfter == 0 || rows.size() < stopAfter;
            }
        } collect(format, stopAfter);
        error = jet::Error{-1, QString()};
        QVERIFY2(db->readRows(source, collect, &error), qPrintable(error.message));
        QCOMPARE(error.number, 0);
        QVERIFY(collect.started);
        QCOMPARE(collect.captions, captions(*rs));
        QCOMPARE(collect.rows.size(), want.size());
        for (int r = 0; r < want.size(); ++r) {
            QCOMPARE(collect.rows[r], want[r]);
        }

        // A source that fails fails the same way, before any row.
        Collect none(format, 0);
        QVERIFY(!db->readRows(QStringLiteral("select * from database1 where codstaz = abc"), none, &error));
        QCOMPARE(error.number, 3061);
        QVERIFY(!none.started);
    }

    // altorra-query prints what the export writes: captions, then rows, each item followed by a
    // tab, CRLF line ends; an error goes to stderr with its number, and the exit status is 1.
    void probe() {
        const QString program =
            qEnvironmentVariable("ALTORRA_BINARY_DIR") + QStringLiteral("/program/altorra-query");
        if (!QFileInfo::exists(program)) {
            QSKIP("altorra-query non compilato");
        }
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("LANG"), QStringLiteral("it_IT.UTF-8"));
        env.insert(QStringLiteral("LC_ALL"), QStringLiteral("it_IT.UTF-8"));
        p.setProcessEnvironment(env);
        p.start(program,
                {tables_, QStringLiteral("select TESTO, mese as [Mese n°] from Mese where mese <= 2")});
        QVERIFY(p.waitForFinished(60000));
        QCOMPARE(p.exitCode(), 0);
        QCOMPARE(p.readAllStandardOutput(),
                 QByteArray("TESTO\tMese n\xc2\xb0\t\r\nGennaio\t1\t\r\nFebbraio\t2\t\r\n"));
        p.start(program, {tables_, QStringLiteral("select * from database1 where codstaz = abc")});
        QVERIFY(p.waitForFinished(60000));
        QCOMPARE(p.exitCode(), 1);
        QVERIFY(p.readAllStandardOutput().isEmpty());
        QCOMPARE(p.readAllStandardError(), QByteArray("3061 Parametri insufficienti. Previsto 1.\n"));
    }

    // Errors carry the engine's numbers and its Italian edition's words.
    void errors() {
        jet::Error error;
        QVERIFY(!jet::Database::open(dir_.filePath("tabelle/nessuno.mdb"), &error));
        QCOMPARE(error.number, 3024);
        QCOMPARE(
            error.message,
            QStringLiteral("Impossibile trovare il file '%1'.").arg(dir_.filePath("tabelle/nessuno.mdb")));
        QVERIFY(!jet::Database::open(dir_.filePath("manca/orbeni.mdb"), &error));
        QCOMPARE(error.number, 3044);

        QCOMPARE(failure(QStringLiteral("anagrafica")).number, 3078);
        QCOMPARE(failure(QStringLiteral("anagrafica")).message,
                 QStringLiteral(
                     "Il motore di database non è in grado di trovare la tabella o la query di input "
                     "'anagrafica'. Verificare che esista e che il nome sia stato digitato correttamente."));
        QCOMPARE(failure(QStringLiteral("select * from database2 where codStaz = 1")).number, 3078);
        // The station list's code missing from the statement.
        const jet::Error missing = failure(dailyStatement(true, QStringLiteral("codStaz = ")));
        QCOMPARE(missing.number, 3075);
        QCOMPARE(missing.message,
                 QStringLiteral(
                     "Errore di sintassi (operatore mancante) nell'espressione della query 'codStaz ='."));
        QCOMPARE(failure(dailyStatement(false, QStringLiteral("codStaz =  and anno = 1995"))).number, 3075);
        QCOMPARE(failure(QStringLiteral("select Giorno Mese from database1")).number, 3075);
        // Unknown names are parameters the statement does not supply.
        QCOMPARE(failure(dailyStatement(false, QStringLiteral("codstaz = abc"))).message,
                 QStringLiteral("Parametri insufficienti. Previsto 1."));
        QCOMPARE(failure(QStringLiteral("select pippo, Anno from database1 where codstaz = abc and ABC = 1"))
                     .message,
                 QStringLiteral("Parametri insufficienti. Previsto 2."));
        // Text against numbers.
        QCOMPARE(failure(QStringLiteral("select * from database1 where nomestaz = 12")).number, 3464);
        QCOMPARE(failure(QStringLiteral("select * from database1 where codstaz = '12'")).number, 3464);
        QCOMPARE(failure(QStringLiteral("select * from database1 where codstaz = '12'")).message,
                 QStringLiteral("Tipo di dati non corrispondente nell'espressione criterio."));
        // Broken statements.
        QCOMPARE(failure(QStringLiteral("select * from database1 where nomestaz = 'abc")).number, 3075);
        QCOMPARE(failure(QStringLiteral("select [Anno from database1")).number, 3126);
        QCOMPARE(failure(QStringLiteral("select from database1")).number, 3141);
        QCOMPARE(failure(QStringLiteral("select Anno database1")).number, 3141);
        QCOMPARE(failure(QStringLiteral("select Anno from database1, mensili")).number, 3131);
        QCOMPARE(failure(QStringLiteral("select Anno from database1 order Anno")).number, 3138);
        QCOMPARE(failure(QStringLiteral("select Anno from database1; select")).number, 3142);
        QCOMPARE(failure(QStringLiteral("delete from database1")).number, 3219);
        QCOMPARE(failure(QString()).number, 3078);
        // Statements too large to evaluate are refused, not run into the ground.
        QString longCriteria = QStringLiteral("select Anno from database1 where anno = 1");
        for (int i = 0; i < 5000; ++i) {
            longCriteria += QStringLiteral(" or anno = %1").arg(i);
        }
        QCOMPARE(failure(longCriteria).number, 3360);
        QCOMPARE(
            failure(QStringLiteral("select Anno from database1 where ") + QString(20000, QLatin1Char('(')) +
                    QStringLiteral("anno = 1") + QString(20000, QLatin1Char(')')))
                .number,
            3360);
        QCOMPARE(
            failure(QStringLiteral("select Anno from database1 where ") + QString(500, QLatin1Char('(')) +
                    QStringLiteral("anno = 1995") + QString(500, QLatin1Char(')')))
                .number,
            -1);
    }
};

QTEST_GUILESS_MAIN(TestJetStatements)
#include "test_jet_statements.moc"
