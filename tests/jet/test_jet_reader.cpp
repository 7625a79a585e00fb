// The reader on files written by our own writer, in both formats, checked against the independent
// readers (mdb-reader, libmdb) where a check needs a second opinion:
// typed values at their limits, NULL against empty text, display under Italian and English
// settings, caseless names, read-only access, the row cache following file changes, deleted and
// moved rows, and damaged files.
#include <QCryptographicHash>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>

#include "jet/jet.h"
#include "jet/jettest.h"
#include "jetwriter/jetwriter.h"
#include "tools/mdbcheck.h"

using jetwriter::Column;
using jetwriter::ColumnType;
using jetwriter::Row;
using jetwriter::Version;

namespace {

QString longText(int n) {
    QString s;
    s.reserve(n);
    for (int i = 0; i < n; ++i) {
        s += QChar(u"abcdefghijklmnopqrstuvwxyzàèìòù"[i % 31]);
    }
    return s;
}

QByteArray someBytes(int n) {
    QByteArray b(n, '\0');
    for (int i = 0; i < n; ++i) {
        b[i] = char((i * 37 + 11) & 0xFF);
    }
    return b;
}

const QList<Column> kTypes{
    {"Sì", ColumnType::Boolean},    {"Piccolo", ColumnType::Byte},    {"Intero", ColumnType::Integer},
    {"Lungo", ColumnType::Long},    {"Valuta", ColumnType::Currency}, {"Singola", ColumnType::Single},
    {"Doppia", ColumnType::Double}, {"Data", ColumnType::DateTime},   {"Testo", ColumnType::Text, 60},
    {"Note", ColumnType::Memo},     {"Oggetto", ColumnType::OLE}};

QList<Row> typeRows() {
    return {
        Row{true, 255, -32768, std::numeric_limits<qint32>::min(), -1.2345, 96.6, 96.6, -1.25,
            QStringLiteral("Forlì € Œ «x»"), longText(70000), someBytes(5000)},
        Row{false, 0, 32767, std::numeric_limits<qint32>::max(), 12345.5, -0.5, 1e16, 45444.75, QString(""),
            QString(""), QByteArray()},
        Row{false, QVariant(), QVariant(), QVariant(), QVariant(), QVariant(), QVariant(), QVariant(),
            QVariant(), QVariant(), QVariant()},
        Row{true, 4, 4, 4, 4.0, 4.5, 4.5, QDate(1995, 3, 1), QStringLiteral("quattro"),
            QStringLiteral("breve"), someBytes(3)},
        Row{false, 1, -1, -1, 0.0001, 1.0, 0.1 + 0.2, 0.5, QStringLiteral("VELOCITÀ"), longText(20000),
            someBytes(70000)},
    };
}

bool writeFile(const QString& path, Version version, const QList<Row>& extraBytes = {}) {
    jetwriter::Database db(version);
    db.addTable(QStringLiteral("Tipi"), kTypes, typeRows());
    db.addTable(QStringLiteral("Velocità"),
                {{"VELOCITÀ media", ColumnType::Double}, {"nome", ColumnType::Text}},
                QList<Row>{Row{12.5, QStringLiteral("a")}, Row{3.0, QStringLiteral("b")}});
    db.addTable(QStringLiteral("vuota"), {{"n", ColumnType::Long}}, QList<Row>{});
    // Rows of four bytes in both formats (a moved row's place holds just its 4-byte pointer).
    db.addTable(QStringLiteral("piccoli"),
                {{"b", version == Version::Jet4 ? ColumnType::Byte : ColumnType::Integer}}, extraBytes);
    QString error;
    const bool ok = db.write(path, &error);
    if (!ok) {
        qWarning() << error;
    }
    return ok;
}

QList<Row> byteRows(int n) {
    QList<Row> rows;
    for (int i = 0; i < n; ++i) {
        rows << Row{i};
    }
    return rows;
}

// A statement and the same test written over a table's rows (columns of Tipi: 0 Sì, 1 Piccolo,
// 2 Intero, 3 Lungo, 7 Data, 8 Testo, 9 Note); `fields` projects (empty: every field).
struct Shape {
    const char* statement;
    const char* table;
    bool (*keep)(const QList<QVariant>& row);
    QList<int> fields;
};
const Shape kShapes[] = {
    {"select * from Tipi", "Tipi", [](const QList<QVariant>&) { return true; }, {}},
    {"select * from tipi where lungo = 4 or intero < 0",
     "Tipi",
     [](const QList<QVariant>& r) {
         return (r[3].isValid() && r[3].toInt() == 4) || (r[2].isValid() && r[2].toInt() < 0);
     },
     {}},
    {"select Testo, Note from Tipi where Testo is not null and Piccolo >= 1",
     "Tipi",
     [](const QList<QVariant>& r) { return r[8].isValid() && r[1].isValid() && r[1].toInt() >= 1; },
     {8, 9}},
    {"select * from Tipi where Sì = True",
     "Tipi",
     [](const QList<QVariant>& r) { return r[0].toBool(); },
     {}},
    {"select * from piccoli where b > 4",
     "piccoli",
     [](const QList<QVariant>& r) { return r[0].isValid() && r[0].toInt() > 4; },
     {}},
    {"select * from Tipi where Data < #1/1/1900#",
     "Tipi",
     [](const QList<QVariant>& r) { return r[7].isValid() && r[7].toDouble() < 2.0; },
     {}},
};

std::unique_ptr<jet::RecordSet> query(const QString& path, const QString& statement,
                                      jet::Error* error = nullptr) {
    jet::Error local;
    std::shared_ptr<jet::Database> db = jet::Database::open(path, error ? error : &local);
    if (!db) {
        return nullptr;
    }
    return db->openRecordSet(statement, error ? error : &local);
}

// Little-endian access to a copy of a file, for the tests that damage or edit one.
struct Bytes {
    QByteArray b;
    int pageSize = 4096;
    bool load(const QString& path) {
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly)) {
            return false;
        }
        b = f.readAll();
        pageSize = b.at(0x14) == 0 ? 2048 : 4096;
        return true;
    }
    bool save(const QString& path) const {
        QFile f(path);
        return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(b) == b.size();
    }
    quint16 u16(qint64 at) const { return quint16(quint8(b[at]) | (quint8(b[at + 1]) << 8)); }
    quint32 u32(qint64 at) const { return quint32(u16(at)) | (quint32(u16(at + 2)) << 16); }
    void put16(qint64 at, quint16 v) {
        b[at] = char(v & 0xFF);
        b[at + 1] = char(v >> 8);
    }
    void put32(qint64 at, quint32 v) {
        put16(at, quint16(v & 0xFFFF));
        put16(at + 2, quint16(v >> 16));
    }
    // The first data page of the table whose definition is on `tdef`.
    qint64 dataPage(quint32 tdef) const {
        for (qint64 p = 1; p < b.size() / pageSize; ++p) {
            if (quint8(b[p * pageSize]) == 1 && u32(p * pageSize + 4) == tdef) {
                return p;
            }
        }
        return -1;
    }
};

}  // namespace

class TestJetReader : public QObject {
    Q_OBJECT

  private:
    QTemporaryDir dir_;
    QString path(Version v) const {
        return dir_.filePath(v == Version::Jet3 ? "valori3.mdb" : "valori4.mdb");
    }

  private slots:
    void initTestCase() {
        QVERIFY(dir_.isValid());
        QVERIFY(writeFile(path(Version::Jet3), Version::Jet3, byteRows(10)));
        QVERIFY(writeFile(path(Version::Jet4), Version::Jet4, byteRows(10)));
    }

    void values_data() {
        QTest::addColumn<Version>("version");
        QTest::newRow("Jet 4") << Version::Jet4;
        QTest::newRow("Jet 3") << Version::Jet3;
    }

    // Every type at its limits, as written: signed integers, dates before 1899, memos and OLE
    // objects of any length, NULL apart from empty text.
    void values() {
        QFETCH(Version, version);
        jet::Error error;
        auto rs = query(path(version), QStringLiteral("Tipi"), &error);
        QVERIFY2(rs, qPrintable(error.message));
        QCOMPARE(rs->fieldCount(), kTypes.size());
        QCOMPARE(rs->recordCount(), 5);
        for (int f = 0; f < kTypes.size(); ++f) {
            QCOMPARE(rs->fieldName(f), kTypes[f].name);
        }
        const QList<Row> rows = typeRows();
        // Row 0: the limits.
        QCOMPARE(rs->value(0, 0).kind(), jet::Value::Kind::Boolean);
        QVERIFY(rs->value(0, 0).toBool());
        QCOMPARE(rs->value(0, 1).toInt(), 255);
        QCOMPARE(rs->value(0, 2).toInt(), -32768);
        QCOMPARE(rs->value(0, 3).toInt(), qint64(std::numeric_limits<qint32>::min()));
        QCOMPARE(rs->value(0, 4).kind(), jet::Value::Kind::Currency);
        QCOMPARE(rs->value(0, 4).currencyUnits(), -12345);
        QVERIFY(rs->value(0, 5).isSingle());
        QCOMPARE(rs->value(0, 5).toDouble(), double(96.6f));
        QCOMPARE(rs->value(0, 6).toDouble(), 96.6);
        QCOMPARE(rs->value(0, 7).kind(), jet::Value::Kind::DateTime);
        QCOMPARE(rs->value(0, 7).dateSerial(), -1.25);
        QCOMPARE(rs->value(0, 8).text(), QStringLiteral("Forlì € Œ «x»"));
        QCOMPARE(rs->value(0, 9).text().size(), 70000);
        QCOMPARE(rs->value(0, 9).text(), longText(70000));
        QCOMPARE(rs->value(0, 10).bytes(), someBytes(5000));
        QCOMPARE(rs->value(1, 3).toInt(), qint64(std::numeric_limits<qint32>::max()));
        QCOMPARE(rs->value(1, 6).toDouble(), 1e16);
        // Empty text is not NULL; a NULL row is NULL everywhere but in the Boolean.
        QCOMPARE(rs->value(1, 8).kind(), jet::Value::Kind::Text);
        QVERIFY(rs->value(1, 8).text().isEmpty());
        QCOMPARE(rs->value(1, 9).kind(), jet::Value::Kind::Text);
        for (int f = 1; f < kTypes.size(); ++f) {
            QVERIFY2(rs->value(2, f).isNull(), qPrintable(kTypes[f].name));
        }
        QCOMPARE(rs->value(2, 0).toBool(), false);
        QCOMPARE(rs->value(3, 7).dateSerial(), 34759.0);  // 1995-03-01
        QCOMPARE(rs->value(4, 9).text(), longText(20000));
        QCOMPARE(rs->value(4, 10).bytes(), someBytes(70000));
        QCOMPARE(rs->value(4, 6).toDouble(), 0.1 + 0.2);
    }

    // Every statement shape (criteria answered from the key arrays, per row, or both) gives the
    // rows mdb-reader reads, filtered here by the same test.
    void sameAsOracle_data() {
        QTest::addColumn<Version>("version");
        QTest::addColumn<int>("shape");
        for (Version v : {Version::Jet4, Version::Jet3}) {
            for (int i = 0; i < int(std::size(kShapes)); ++i) {
                QTest::addRow("%s: %s", v == Version::Jet4 ? "Jet 4" : "Jet 3", kShapes[i].statement)
                    << v << i;
            }
        }
    }
    void sameAsOracle() {
        QFETCH(Version, version);
        QFETCH(int, shape);
        const Shape& s = kShapes[shape];
        const mdbcheck::Dump oracle = mdbcheck::readWithMdbReader(path(version));
        QVERIFY2(oracle.error.isEmpty(), qPrintable(oracle.error));
        const mdbcheck::Table& table = oracle.tables[QString::fromUtf8(s.table)];
        QList<QList<QVariant>> want;
        for (const QList<QVariant>& row : table.rows) {
            if (s.keep(row)) {
                QList<QVariant> r;
                for (int f : s.fields) {
                    r << row[f];
                }
                want << (s.fields.isEmpty() ? row : r);
            }
        }
        jet::Error error;
        auto rs = query(path(version), QString::fromUtf8(s.statement), &error);
        QVERIFY2(rs, qPrintable(error.message));
        QVERIFY(!want.isEmpty());
        const QString diff = jettest::firstDifference(jettest::cells(*rs), want);
        QVERIFY2(diff.isEmpty(), qPrintable(diff));
    }

    // How values read as text: the regional settings decide separator, dates and truth words.
    void display() {
        auto rs = query(path(Version::Jet4), QStringLiteral("Tipi"));
        QVERIFY(rs);
        const QLocale it(QLocale::Italian, QLocale::Italy);
        const QLocale en(QLocale::English, QLocale::UnitedStates);
        QCOMPARE(rs->value(0, 0).display(it), QStringLiteral("Vero"));
        QCOMPARE(rs->value(1, 0).display(it), QStringLiteral("Falso"));
        QCOMPARE(rs->value(0, 0).display(en), QStringLiteral("True"));
        QCOMPARE(rs->value(0, 3).display(it), QStringLiteral("-2147483648"));
        QCOMPARE(rs->value(0, 4).display(it), QStringLiteral("-1,2345"));
        QCOMPARE(rs->value(1, 4).display(it), QStringLiteral("12345,5"));
        QCOMPARE(rs->value(4, 4).display(en), QStringLiteral("0.0001"));
        QCOMPARE(rs->value(3, 4).display(it), QStringLiteral("4"));
        QCOMPARE(rs->value(0, 5).display(it), QStringLiteral("96,6"));  // a Single to 7 digits
        QCOMPARE(rs->value(0, 6).display(it), QStringLiteral("96,6"));
        QCOMPARE(rs->value(0, 6).display(en), QStringLiteral("96.6"));
        QCOMPARE(rs->value(4, 6).display(en), QStringLiteral("0.3"));
        QCOMPARE(rs->value(1, 6).display(en), QStringLiteral("1E+16"));
        QCOMPARE(rs->value(1, 5).display(it), QStringLiteral("-0,5"));
        QCOMPARE(rs->value(2, 6).display(it), QString());
        // Dates: date only, date and time, time only on day zero, and before 1899-12-30.
        // Years in full, as the desktop's regional settings show them.
        QCOMPARE(rs->value(3, 7).display(it), QStringLiteral("01/03/1995"));
        QCOMPARE(rs->value(3, 7).display(en), QStringLiteral("3/1/1995"));
        QCOMPARE(rs->value(3, 7).display(QLocale::c()), QStringLiteral("01/03/1995"));
        QCOMPARE(rs->value(1, 7).display(QLocale::c()), QStringLiteral("01/06/2024 18:00:00"));
        QCOMPARE(rs->value(1, 7).display(it), QStringLiteral("01/06/2024 18:00:00"));
        QCOMPARE(rs->value(4, 7).display(it), QStringLiteral("12:00:00"));
        QCOMPARE(rs->value(0, 7).display(it), QStringLiteral("29/12/1899 06:00:00"));
        QVERIFY(rs->value(0, 10).display(it).startsWith(QStringLiteral("0B30")));
    }

    // Numbers are shown as printf's %.15G (%.7G for a Single) shows them, over the whole range:
    // subnormals, values whose shortest form needs 16 or 17 digits, and every exponent.
    void numbersAsPrintf() {
        const jet::DisplayFormat format(QLocale::c());
        QRandomGenerator random(20240601);
        for (int i = 0; i < 200000; ++i) {
            double d = 0;
            const quint64 bits = random.generate64();
            std::memcpy(&d, &bits, sizeof d);
            if (i % 2) {
                d = std::round(random.generateDouble() * 1e6) / std::pow(10.0, int(random.bounded(8)));
            }
            const bool single = i % 3 == 0;
            if (single) {
                d = double(float(d));
            }
            if (!std::isfinite(d) || d == 0) {
                continue;
            }
            char expected[64];
            std::snprintf(expected, sizeof expected, "%.*G", single ? 7 : 15, d);
            QString shown;
            format.appendReal(d, single, &shown);
            QCOMPARE(shown, QString::fromLatin1(expected));
        }
    }

    // Names match whatever their case, with full Unicode case folding.
    void caselessNames() {
        jet::Error error;
        auto rs = query(path(Version::Jet4),
                        QStringLiteral("select [velocità MEDIA] as [V (Km/h)] from VELOCITÀ"), &error);
        QVERIFY2(rs, qPrintable(error.message));
        QCOMPARE(rs->fieldName(0), QStringLiteral("V (Km/h)"));
        QCOMPARE(rs->recordCount(), 2);
        QCOMPARE(rs->fieldIndex(QStringLiteral("v (km/H)")), 0);
        rs = query(path(Version::Jet3), QStringLiteral("[VELOCITÀ]"), &error);
        QVERIFY2(rs, qPrintable(error.message));
        QCOMPARE(rs->fieldName(0), QStringLiteral("VELOCITÀ media"));
        QVERIFY(query(path(Version::Jet4), QStringLiteral("select * from Tipi where testo = 'velocità'")));
        QCOMPARE(query(path(Version::Jet4), QStringLiteral("select * from Tipi where testo = 'velocità'"))
                     ->recordCount(),
                 1);
        // DISTINCT: text without regard to case, NULL as one value; rows come sorted.
        rs = query(path(Version::Jet4),
                   QStringLiteral("select distinct nome from Velocità where nome <> 'x' or nome = 'X'"),
                   &error);
        QVERIFY2(rs, qPrintable(error.message));
        QCOMPARE(rs->recordCount(), 2);
        rs = query(path(Version::Jet4), QStringLiteral("select distinct Sì, Testo from Tipi"), &error);
        QVERIFY2(rs, qPrintable(error.message));
        QCOMPARE(rs->recordCount(), 5);
        QVERIFY(rs->value(0, 0).toBool());  // True is -1: it sorts first
        QVERIFY(rs->value(2, 1).isNull());
        rs = query(path(Version::Jet4), QStringLiteral("vuota"), &error);
        QVERIFY2(rs, qPrintable(error.message));
        QCOMPARE(rs->recordCount(), 0);
        QCOMPARE(rs->fieldName(0), QStringLiteral("n"));
    }

    // DISTINCT and ORDER BY on values that compare strangely: NaN (one value, after every number),
    // -0 and 0 (one value), infinities, and runs of equal keys (kept in file order).
    void hostileKeys_data() {
        QTest::addColumn<Version>("version");
        QTest::newRow("Jet 3") << Version::Jet3;
        QTest::newRow("Jet 4") << Version::Jet4;
    }
    void hostileKeys() {
        QFETCH(Version, version);
        const double inf = std::numeric_limits<double>::infinity();
        const QList<double> pattern{qQNaN(), -0.0, 1.5, 0.0, qQNaN(), inf, -inf, 1.5};
        const QStringList words{QStringLiteral("neve"), QStringLiteral("NEVE"), QStringLiteral("Neve"),
                                QStringLiteral("pioggia")};
        QList<Row> rows;
        for (int k = 0; k < 4000; ++k) {
            rows << Row{k, pattern[k % pattern.size()], words[(k / pattern.size()) % words.size()]};
        }
        const QString file = dir_.filePath(QStringLiteral("ostili.mdb"));
        jetwriter::Database db(version);
        db.addTable(QStringLiteral("Ostili"),
                    {{"k", ColumnType::Long}, {"x", ColumnType::Double}, {"t", ColumnType::Text}}, rows);
        QVERIFY(db.write(file));

        jet::Error error;
        auto rs = query(file, QStringLiteral("select distinct x from Ostili"), &error);
        QVERIFY2(rs, qPrintable(error.message));
        QCOMPARE(rs->recordCount(), 5);
        QCOMPARE(rs->value(0, 0).toDouble(), -inf);
        QCOMPARE(rs->value(1, 0).toDouble(), 0.0);
        QCOMPARE(rs->value(3, 0).toDouble(), inf);
        QVERIFY(std::isnan(rs->value(4, 0).toDouble()));

        rs = query(file, QStringLiteral("select distinct t, x from Ostili"), &error);
        QVERIFY2(rs, qPrintable(error.message));
        QCOMPARE(rs->recordCount(), 10);  // 2 words (caseless) by 5 numbers

        // Descending: NaN first; equal keys keep the file's order (k ascending).
        rs = query(file, QStringLiteral("select x, k from Ostili order by x desc"), &error);
        QVERIFY2(rs, qPrintable(error.message));
        QCOMPARE(rs->recordCount(), rows.size());
        const QList<double> ranks{qQNaN(), inf, 1.5, 0.0, -inf};
        int rank = 0;
        for (int r = 0; r < rs->recordCount(); ++r) {
            const double x = rs->value(r, 0).toDouble();
            while (rank < ranks.size() && !(x == ranks[rank] || (std::isnan(x) && std::isnan(ranks[rank])))) {
                ++rank;
            }
            QVERIFY2(rank < ranks.size(), qPrintable(QStringLiteral("riga %1 fuori ordine").arg(r)));
            if (r > 0 && (x == rs->value(r - 1, 0).toDouble() ||
                          (std::isnan(x) && std::isnan(rs->value(r - 1, 0).toDouble())))) {
                QVERIFY(rs->value(r, 1).toInt() > rs->value(r - 1, 1).toInt());
            }
        }
    }

    // Reading leaves the file exactly as it was: same bytes, same modification time.
    void readOnly() {
        const QString file = path(Version::Jet4);
        QFile f(file);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray before = QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256);
        f.close();
        const QDateTime modified = QFileInfo(file).lastModified();
        {
            std::shared_ptr<jet::Database> db = jet::Database::open(file, nullptr);
            QVERIFY(db);
            for (const QString& t : db->tableNames()) {
                QVERIFY(db->openRecordSet(t, nullptr));
            }
            QVERIFY(db->openRecordSet(QStringLiteral("select * from tipi where lungo = 4"), nullptr));
            QVERIFY(!QFile::exists(dir_.filePath("valori4.ldb")));
        }
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256), before);
        QCOMPARE(QFileInfo(file).lastModified(), modified);
    }

    // The rows kept from a first query are not used once the file has changed.
    void cacheFollowsChanges() {
        const QString file = dir_.filePath("cambia.mdb");
        QVERIFY(writeFile(file, Version::Jet4, byteRows(3)));
        auto rs = query(file, QStringLiteral("select b from piccoli where b = 1"));
        QVERIFY(rs);
        QCOMPARE(rs->recordCount(), 1);
        QList<Row> more = byteRows(3);
        more << Row{1} << Row{1};
        QVERIFY(writeFile(file, Version::Jet4, more));
        rs = query(file, QStringLiteral("select b from piccoli where b = 1"));
        QVERIFY(rs);
        QCOMPARE(rs->recordCount(), 3);
    }

    // A deleted row is skipped; a row moved by an edit is read where its pointer leads; a row
    // with fewer stored columns than the table reads NULL in the missing ones.
    void deletedAndMovedRows_data() {
        QTest::addColumn<Version>("version");
        QTest::newRow("Jet 4") << Version::Jet4;
        QTest::newRow("Jet 3") << Version::Jet3;
    }
    void deletedAndMovedRows() {
        QFETCH(Version, version);
        const QString file = dir_.filePath(version == Version::Jet4 ? "modificato4.mdb" : "modificato3.mdb");
        QVERIFY(writeFile(file, version, byteRows(6)));
        Bytes bytes;
        QVERIFY(bytes.load(file));
        // The data page of "piccoli": the only table with six rows.
        quint32 tdef = 0;
        qint64 page = -1;
        for (quint32 t = 2; t < quint32(bytes.b.size() / bytes.pageSize) && page < 0; ++t) {
            if (quint8(bytes.b[qint64(t) * bytes.pageSize]) == 2) {
                const qint64 p = bytes.dataPage(t);
                const int rco = bytes.pageSize == 4096 ? 12 : 8;
                if (p > 0 && bytes.u16(p * bytes.pageSize + rco) == 6) {
                    page = p;
                    tdef = t;
                }
            }
        }
        QVERIFY2(page > 0, "pagina dei dati non trovata");
        const qint64 base = page * bytes.pageSize;
        const int rco = bytes.pageSize == 4096 ? 12 : 8;
        auto slot = [&](int r) { return base + rco + 2 + 2 * r; };
        // Row 1 deleted (both flags, as Access marks it); row 0 moved to where row 4 is: its slot
        // holds the pointer (0x4000), row 4's slot is passed over (0x8000).
        bytes.put16(slot(1), bytes.u16(slot(1)) | 0xC000);
        QCOMPARE(bytes.pageSize - (bytes.u16(slot(0)) & 0x1FFF), 4);
        bytes.put32(base + (bytes.u16(slot(0)) & 0x1FFF), quint32(page << 8) | 4u);
        bytes.put16(slot(0), bytes.u16(slot(0)) | 0x4000);
        bytes.put16(slot(4), bytes.u16(slot(4)) | 0x8000);
        // The definition counts the four rows left, as after the edits.
        const qint64 countAt = qint64(tdef) * bytes.pageSize + (bytes.pageSize == 4096 ? 16 : 12);
        QCOMPARE(bytes.u32(countAt), 6u);
        bytes.put32(countAt, 4);
        // Row 3 stored before its column existed: no columns stored, so its value is NULL.
        const qint64 row3 = base + (bytes.u16(slot(3)) & 0x1FFF);
        if (version == Version::Jet4) {
            bytes.put16(row3, 0);
        } else {
            bytes.b[row3] = 0;
        }
        QVERIFY(bytes.save(file));
        // Read from the key arrays, and from the rows themselves (a criterion no key array answers),
        // by a first scan and from the rows it kept.
        const std::pair<const char*, bool> statements[] = {
            {"piccoli", true},
            {"piccoli", false},
            {"select b from piccoli where b >= 0 or b is null", true},
            {"select b from piccoli where b >= 0 or b is null", false},
        };
        for (const auto& [statement, firstScan] : statements) {
            if (firstScan) {
                jet::clearRowCache();
            }
            jet::Error error;
            auto rs = query(file, QString::fromUtf8(statement), &error);
            QVERIFY2(rs, qPrintable(error.message));
            QStringList values;
            for (int r = 0; r < rs->recordCount(); ++r) {
                values << (rs->value(r, 0).isNull() ? QStringLiteral("NULL")
                                                    : QString::number(rs->value(r, 0).toInt()));
            }
            QCOMPARE(values, (QStringList{"4", "2", "NULL", "5"}));
        }
    }

    // A definition that stores too low a row count (as after a crash): every row is still read,
    // NULL keys first met late included.
    void understatedRowCount_data() { deletedAndMovedRows_data(); }
    void understatedRowCount() {
        QFETCH(Version, version);
        const QString file = dir_.filePath(version == Version::Jet4 ? "contati4.mdb" : "contati3.mdb");
        QList<Row> rows;
        for (int i = 0; i < 1500; ++i) {
            rows << (i > 700 && i % 97 == 0 ? Row{QVariant()} : Row{i % 200});
        }
        QVERIFY(writeFile(file, version, rows));
        Bytes bytes;
        QVERIFY(bytes.load(file));
        const int countAt = version == Version::Jet4 ? 16 : 12;
        int patched = 0;
        for (qint64 t = 2; t < bytes.b.size() / bytes.pageSize; ++t) {
            const qint64 at = t * bytes.pageSize;
            if (quint8(bytes.b[at]) == 2 && bytes.u32(at + countAt) == 1500) {
                bytes.put32(at + countAt, 3);
                ++patched;
            }
        }
        QCOMPARE(patched, 1);
        QVERIFY(bytes.save(file));
        // libmdb reads every row whatever the stored count.
        const mdbcheck::Dump libmdb = mdbcheck::readWithLibmdb(file);
        QVERIFY2(libmdb.error.isEmpty(), qPrintable(libmdb.error));
        const QList<QList<QVariant>> all = libmdb.tables.value(QStringLiteral("piccoli")).rows;
        QCOMPARE(all.size(), 1500);
        const std::pair<const char*, std::function<bool(const QVariant&)>> statements[] = {
            {"select * from piccoli", [](const QVariant&) { return true; }},
            {"select * from piccoli where b is null or b = 7",
             [](const QVariant& b) { return !b.isValid() || b.toInt() == 7; }},
            {"select * from piccoli where b > 190",
             [](const QVariant& b) { return b.isValid() && b.toInt() > 190; }},
        };
        for (const auto& [statement, keep] : statements) {
            QList<QList<QVariant>> want;
            for (const QList<QVariant>& row : all) {
                if (keep(row[0])) {
                    want << row;
                }
            }
            jet::Error error;
            auto rs = query(file, QString::fromUtf8(statement), &error);
            QVERIFY2(rs, qPrintable(error.message));
            const QString diff = jettest::firstDifference(jettest::cells(*rs), want);
            QVERIFY2(diff.isEmpty(), qPrintable(diff));
        }
        auto rs = query(file, QStringLiteral("select * from piccoli where b is null"));
        QVERIFY(rs);
        QCOMPARE(rs->recordCount(), 8);
    }

    // Integer criteria at the edges of every width a stored key may take (values first met late,
    // after many small ones), NULL among them, and criteria on a second column after a first.
    void keyWidths_data() { deletedAndMovedRows_data(); }
    void keyWidths() {
        QFETCH(Version, version);
        const qint32 lo = std::numeric_limits<qint32>::min(), hi = std::numeric_limits<qint32>::max();
        const QList<QVariant> edges{127,   128,    -128,   -129, 255, 32767,
                                    32768, -32768, -32769, hi,   lo,  QVariant()};
        const QList<int> narrow{127, 128, -128, -129, 255, 32767, -32768};
        QList<Row> rows;
        for (int r = 0; r < 3000; ++r) {
            const int e = (r - 1500) / 97;
            const bool edge = r >= 1500 && (r - 1500) % 97 == 0 && e < edges.size();
            const QVariant l = edge ? edges[e] : QVariant(r % 50);
            const QVariant i = edge && e < narrow.size() ? QVariant(narrow[e]) : QVariant(r % 7 - 3);
            rows << Row{l, i, r};
        }
        const QString file = dir_.filePath(version == Version::Jet4 ? "larghezze4.mdb" : "larghezze3.mdb");
        jetwriter::Database db(version);
        db.addTable(QStringLiteral("Chiavi"),
                    {{"l", ColumnType::Long}, {"i", ColumnType::Integer}, {"n", ColumnType::Long}}, rows);
        QVERIFY(db.write(file));
        jet::clearRowCache();
        using Keep = std::function<bool(const QVariant&, const QVariant&)>;
        QList<std::pair<QString, Keep>> statements;
        for (const QVariant& v : edges) {
            if (v.isValid()) {
                statements << std::pair{QStringLiteral("select * from Chiavi where l = %1").arg(v.toInt()),
                                        Keep([v](const QVariant& l, const QVariant&) {
                                            return l.isValid() && l.toInt() == v.toInt();
                                        })};
            }
        }
        statements << std::pair{
            QStringLiteral("select * from Chiavi where i = -129 or i = 32767"),
            Keep([](const QVariant&, const QVariant& i) { return i.toInt() == -129 || i.toInt() == 32767; })};
        statements << std::pair{QStringLiteral("select * from Chiavi where i = -32769"),
                                Keep([](const QVariant&, const QVariant&) { return false; })};
        statements << std::pair{QStringLiteral("select n from Chiavi where l < -128 and i <> 0"),
                                Keep([](const QVariant& l, const QVariant& i) {
                                    return l.isValid() && l.toInt() < -128 && i.toInt() != 0;
                                })};
        statements << std::pair{
            QStringLiteral("select * from Chiavi where l is null and i = -3"),
            Keep([](const QVariant& l, const QVariant& i) { return !l.isValid() && i.toInt() == -3; })};
        statements << std::pair{QStringLiteral("select l, i from Chiavi where i >= 128 and l >= 0"),
                                Keep([](const QVariant& l, const QVariant& i) {
                                    return i.toInt() >= 128 && l.isValid() && l.toInt() >= 0;
                                })};
        for (const auto& [statement, keep] : statements) {
            QList<QList<QVariant>> want;
            for (const Row& row : rows) {
                if (keep(row[0], row[1])) {
                    if (statement.startsWith(QLatin1String("select n "))) {
                        want << QList<QVariant>{row[2]};
                    } else if (statement.startsWith(QLatin1String("select l, i "))) {
                        want << QList<QVariant>{row[0], row[1]};
                    } else {
                        want << QList<QVariant>(row.begin(), row.end());
                    }
                }
            }
            jet::Error error;
            auto rs = query(file, statement, &error);
            QVERIFY2(rs, qPrintable(error.message));
            const QString diff = jettest::firstDifference(jettest::cells(*rs), want);
            QVERIFY2(diff.isEmpty(), qPrintable(statement + QStringLiteral(": ") + diff));
        }
    }

    // A table of some hundred pages, big enough to be read ahead by a second thread: every row in
    // order, and a page that is not the table's met early, midway or last gives the damage error.
    void bigTable_data() {
        QTest::addColumn<Version>("version");
        QTest::addColumn<double>("damagedAt");  // where among the table's pages; < 0 none
        for (const Version v : {Version::Jet4, Version::Jet3}) {
            const char* name = v == Version::Jet4 ? "Jet 4" : "Jet 3";
            QTest::addRow("%s", name) << v << -1.0;
            QTest::addRow("%s, first page", name) << v << 0.0;
            QTest::addRow("%s, middle page", name) << v << 0.5;
            QTest::addRow("%s, last page", name) << v << 1.0;
        }
    }
    void bigTable() {
        QFETCH(Version, version);
        QFETCH(double, damagedAt);
        constexpr int kRows = 10000;
        QList<Row> rows;
        for (int r = 0; r < kRows; ++r) {
            rows << Row{r % 37, r, longText(100 + r % 20)};
        }
        const QString file = dir_.filePath(version == Version::Jet4 ? "grande4.mdb" : "grande3.mdb");
        jetwriter::Database db(version);
        db.addTable(QStringLiteral("Grande"),
                    {{"k", ColumnType::Long}, {"n", ColumnType::Long}, {"t", ColumnType::Text, 200}}, rows);
        QVERIFY(db.write(file));
        Bytes bytes;
        QVERIFY(bytes.load(file));
        // The table's data pages: the most of any table's.
        QHash<quint32, QList<qint64>> owned;
        for (qint64 p = 1; p < bytes.b.size() / bytes.pageSize; ++p) {
            if (quint8(bytes.b[p * bytes.pageSize]) == 1) {
                owned[bytes.u32(p * bytes.pageSize + 4)] << p;
            }
        }
        QList<qint64> pages;
        for (const QList<qint64>& list : std::as_const(owned)) {
            pages = list.size() > pages.size() ? list : pages;
        }
        QVERIFY2(pages.size() >= 300, qPrintable(QString::number(pages.size())));
        if (damagedAt >= 0) {
            bytes.b[pages[qMin(int(damagedAt * pages.size()), int(pages.size()) - 1)] * bytes.pageSize] = 5;
            QVERIFY(bytes.save(file));
        }
        jet::clearRowCache();
        // Through the key arrays, then once they are built.
        for (const char* statement :
             {"select n, t from Grande where k >= 0", "select n, t from Grande where k = 5"}) {
            jet::Error error;
            auto rs = query(file, QString::fromUtf8(statement), &error);
            if (damagedAt >= 0) {
                QVERIFY(!rs);
                QCOMPARE(error.number, 3049);
                continue;
            }
            QVERIFY2(rs, qPrintable(error.message));
            const int step = QByteArray(statement).endsWith("= 5") ? 37 : 1;
            QCOMPARE(rs->recordCount(), (kRows - (step == 1 ? 0 : 5) + step - 1) / step);
            for (int r = 0; r < rs->recordCount(); ++r) {
                const int n = (step == 1 ? 0 : 5) + r * step;
                QCOMPARE(rs->value(r, 0).toInt(), n);
                QCOMPARE(rs->value(r, 1).text(), longText(100 + n % 20));
            }
        }
    }

    // Damaged files and strange statements give errors or rows, never a crash.
    void damagedFiles() {
        Bytes original;
        QVERIFY(original.load(path(Version::Jet4)));
        QRandomGenerator random(20260609);
        const QString file = dir_.filePath("danneggiato.mdb");
        int opened = 0;
        for (int round = 0; round < 400; ++round) {
            Bytes damaged = original;
            const int flips = 1 + int(random.bounded(40));
            for (int i = 0; i < flips; ++i) {
                // Mostly the catalogue and table pages, where damage hurts most.
                const qint64 limit = random.bounded(2) ? 12 * damaged.pageSize : damaged.b.size();
                damaged.b[qint64(random.bounded(quint64(limit)))] = char(random.bounded(256));
            }
            QVERIFY(damaged.save(file));
            jet::Error error;
            std::shared_ptr<jet::Database> db = jet::Database::open(file, &error);
            if (!db) {
                QVERIFY(error.isError());
                continue;
            }
            ++opened;
            for (const QString& t : db->tableNames()) {
                jet::Error e;
                auto rs = db->openRecordSet(QStringLiteral("select * from [%1] where 1 = 1").arg(t), &e);
                QVERIFY(rs || e.isError());
            }
        }
        QVERIFY(opened > 0);
        // A file that is no database at all.
        QFile junk(dir_.filePath("testo.mdb"));
        QVERIFY(junk.open(QIODevice::WriteOnly));
        junk.write(QByteArray(10000, 'x'));
        junk.close();
        jet::Error error;
        QVERIFY(!jet::Database::open(junk.fileName(), &error));
        QCOMPARE(error.number, 3343);
    }

    void strangeStatements() {
        std::shared_ptr<jet::Database> db = jet::Database::open(path(Version::Jet4), nullptr);
        QVERIFY(db);
        const QStringList pieces{
            "select", "from",  "where", "and", "or",    "not", "(",    ")", "[",       "]",   "'",
            "\"",     "#",     "=",     "<>",  "<",     "is",  "null", "*", ",",       ".",   "as",
            "Tipi",   "Lungo", "4",     "-",   "order", "by",  "desc", ";", "[Testo]", "'a'", "#1/1/2000#"};
        QRandomGenerator random(42);
        for (int i = 0; i < 3000; ++i) {
            QString s = QStringLiteral("select ");
            const int n = int(random.bounded(12));
            for (int k = 0; k < n; ++k) {
                s += pieces[int(random.bounded(pieces.size()))] + QLatin1Char(' ');
            }
            jet::Error error;
            auto rs = db->openRecordSet(s, &error);
            QVERIFY2(rs || error.isError(), qPrintable(s));
        }
    }
};

QTEST_GUILESS_MAIN(TestJetReader)
#include "test_jet_reader.moc"
