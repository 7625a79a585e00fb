// Round trips of the Jet writer: files written in both formats are read back through libmdb and
// through mdb-reader and compared value by value, at the format's limits.
#include "jetwriter/jetwriter.h"
#include "tools/mdbcheck.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QTemporaryDir>
#include <QUuid>
#include <QtTest>

using jetwriter::Column;
using jetwriter::ColumnType;
using jetwriter::Database;
using jetwriter::Row;
using jetwriter::Version;

namespace {

struct TableSpec {
    QString name;
    QList<Column> columns;
    QList<Row> rows;
};

QString pattern(int n, int seed = 0) {
    QString s;
    s.reserve(n);
    for (int i = 0; i < n; ++i)
        s += QChar('a' + (i * 7 + seed) % 26);
    return s;
}

QByteArray bytes(int n) {
    QByteArray b(n, '\0');
    for (int i = 0; i < n; ++i)
        b[i] = char((i * 31 + 7) & 0xFF);
    return b;
}

TableSpec allTypes(Version v) {
    const bool j4 = v == Version::Jet4;
    TableSpec t{QStringLiteral("tipi di dati"),
                {{"Numero", ColumnType::Long},
                 {"Nome città", ColumnType::Text, 255},
                 {"Sì/No", ColumnType::Boolean},
                 {"Byte", ColumnType::Byte},
                 {"Intero", ColumnType::Integer},
                 {"Valuta", ColumnType::Currency},
                 {"Singola", ColumnType::Single},
                 {"Doppia", ColumnType::Double},
                 {"Data validità", ColumnType::DateTime},
                 {"Note", ColumnType::Memo},
                 {"Oggetto", ColumnType::OLE},
                 {"Sigla", ColumnType::Text, 2}},
                {}};
    const QStringList texts{QStringLiteral("Forlì"),
                            QStringLiteral("Ca' dei Merli"),
                            QStringLiteral("°C (Km/h) – «Œ» € ÀÈÉÌÒÙ àèéìòù"),
                            j4 ? QStringLiteral("Ω greco e Ā (byte basso zero)") : QStringLiteral("Ÿ ž š"),
                            j4 ? QStringLiteral("BOM \uFEFF nel mezzo") : QStringLiteral("þ ÿ ß"),
                            j4 ? QStringLiteral("ascii e poi ΩΩΩ e di nuovo ascii") : QStringLiteral("plain"),
                            pattern(255)};
    int n = 0;
    for (const QString& s : texts)
        t.rows << Row{++n,
                      s,
                      n % 2 == 0,
                      n * 30,
                      -n * 1000,
                      n * 1.2345,
                      n / 4.0,
                      n * 96.6,
                      QDateTime(QDate(1990 + n, n, n * 2), QTime(n, n * 5, n)),
                      s + s,
                      bytes(n * 3),
                      "AB"};
    // Limits, empty text against NULL, dates around the 1899-12-30 origin.
    t.rows << Row{std::numeric_limits<qint32>::max(),
                  QString(""),
                  true,
                  255,
                  32767,
                  922337203685.4775,
                  3.4e38,
                  1.7976931348623157e308,
                  QDateTime(QDate(1899, 12, 29), QTime(6, 0)),
                  QString(""),
                  QByteArray(),
                  ""};
    t.rows << Row{std::numeric_limits<qint32>::min(),
                  QVariant(),
                  false,
                  0,
                  -32768,
                  -922337203685.4775,
                  -1.5e-38,
                  -4.9e-324,
                  QDate(1900, 1, 1),
                  QVariant(),
                  QVariant(),
                  QVariant()};
    t.rows << Row{0,
                  QStringLiteral("x"),
                  false,
                  1,
                  0,
                  0.0001,
                  0.0,
                  -0.0,
                  45444.75,
                  QStringLiteral("m"),
                  QByteArray("\0", 1),
                  "Z"};
    t.rows << Row{QVariant(), QVariant(), false};  // all NULL (the missing cells too)
    t.rows << Row{QVariant(), QVariant(),        true,       QVariant(), QVariant(), QVariant(), QVariant(),
                  QVariant(), QDate(1753, 1, 1), QVariant(), QVariant(), QVariant()};
    return t;
}

// Long values around the inline, one-row and page limits of both formats.
TableSpec longValues(Version v) {
    TableSpec t{QStringLiteral("memo e ole"),
                {{"n", ColumnType::Long}, {"Testo lungo", ColumnType::Memo}, {"Dati", ColumnType::OLE}},
                {}};
    const QList<int> chars{0,    1,    2,    61,   62,   63,   64,   65,   500,  1022, 1023, 1024,  1025,
                           1026, 2015, 2016, 2017, 2030, 2031, 2032, 2033, 2037, 2038, 2039, 4062,  4063,
                           4064, 4065, 4072, 4073, 4074, 4076, 4077, 8143, 8144, 8145, 8146, 20000, 35000};
    const QList<int> sizes{0,    1,    63,   64,   65,   2031, 2032, 2033,  2036,
                           4064, 4065, 4072, 4076, 4077, 8144, 8145, 16352, 70000};
    int n = 0;
    for (int i = 0; i < std::max(chars.size(), sizes.size()); ++i) {
        QVariant memo = i < chars.size() ? QVariant(pattern(chars[i], i)) : QVariant();
        QVariant ole = i < sizes.size() ? QVariant(bytes(sizes[i])) : QVariant();
        t.rows << Row{n++, memo, ole};
    }
    if (v == Version::Jet4) {
        // Compressed text that switches between one- and two-byte characters, and plain text.
        QString mixed;
        for (int i = 0; i < 300; ++i)
            mixed += i % 3 ? QStringLiteral("à%1 ").arg(i) : QStringLiteral("ΩΨ%1").arg(i);
        t.rows << Row{n++, mixed, QVariant()} << Row{n++, QString(3000, QChar(0x3A9)), QVariant()}
               << Row{n++, mixed.left(1024), QVariant()} << Row{n++, QString(1030, QChar('e')), QVariant()};
    } else {
        t.rows << Row{n++, QString(3000, QChar(0xE8)), QVariant()};
    }
    return t;
}

// Rows longer than 256 bytes with variable columns on both sides of the 256-byte marks (Jet 3
// keeps one-byte offsets there and needs its jump table).
TableSpec longRows() {
    TableSpec t{QStringLiteral("righe lunghe"),
                {{"k", ColumnType::Long},
                 {"a", ColumnType::Text},
                 {"b", ColumnType::Text},
                 {"c", ColumnType::Text},
                 {"d", ColumnType::Memo},
                 {"e", ColumnType::Double}},
                {}};
    const QList<int> lens{-1, 0, 1, 100, 242, 243, 244, 255};
    int k = 0;
    for (int a : lens)
        for (int b : lens)
            for (int c : lens) {
                auto cell = [](int n, int seed) { return n < 0 ? QVariant() : QVariant(pattern(n, seed)); };
                t.rows << Row{k, cell(a, 1), cell(b, 2), cell(c, 3), cell((k % 5) * 20 - 1, 4), k * 0.5};
                ++k;
            }
    // Variable data ending just below or at 256 bytes while the row itself passes 256.
    for (int a = 225; a <= 255; ++a)
        t.rows << Row{k++, pattern(a), QVariant(), QVariant(), QVariant(), 1.0};
    return t;
}

// So many columns that the definition continues on further pages.
TableSpec manyColumns() {
    TableSpec t{QStringLiteral("molte colonne"), {}, {}};
    const ColumnType cycle[] = {ColumnType::Long,     ColumnType::Text,    ColumnType::Double,
                                ColumnType::Boolean,  ColumnType::Integer, ColumnType::DateTime,
                                ColumnType::Currency, ColumnType::Byte,    ColumnType::Single};
    for (int c = 0; c < 120; ++c)
        t.columns << Column{
            c == 0 ? QStringLiteral("Nome di colonna lunga sessantaquattro caratteri, con à e spazi!!")
                   : QStringLiteral("Colonna n° %1 – prova").arg(c),
            cycle[c % 9], 40};
    for (int r = 0; r < 4; ++r) {
        Row row;
        for (int c = 0; c < 120; ++c) {
            switch (t.columns[c].type) {
                case ColumnType::Text:
                    row << (r == 3 ? QVariant() : QVariant(pattern((r * 13 + c) % 41, c)));
                    break;
                case ColumnType::Boolean:
                    row << ((r + c) % 2 == 0);
                    break;
                case ColumnType::DateTime:
                    row << QVariant(QDateTime(QDate(2000 + r, 1 + c % 12, 1 + c % 28), QTime(c % 24, 0)));
                    break;
                case ColumnType::Byte:
                    row << (r * 60 + c) % 256;
                    break;
                default:
                    row << (r == 3 ? QVariant() : QVariant(r * 1000 + c));
            }
        }
        t.rows << row;
    }
    return t;
}

// 250 variable columns: a Jet 3 row's jump table then has two more entries than its data needs.
TableSpec manyTextColumns() {
    TableSpec t{QStringLiteral("250 testi"), {}, {}};
    for (int c = 0; c < 250; ++c)
        t.columns << Column{QStringLiteral("t%1").arg(c), ColumnType::Text, 10};
    Row empty, one, mixed;
    for (int c = 0; c < 250; ++c) {
        empty << QString("");
        one << QStringLiteral("x");
        mixed << (c % 3 == 0 ? QVariant() : QVariant(pattern(c % 11, c)));
    }
    t.rows << empty << one << mixed;
    return t;
}

// Every type added with the later formats, at their limits, and text that only a reader keeping
// embedded NULs and surrogate pairs gets right.
TableSpec newTypes(Version v) {
    const bool j3 = v == Version::Jet3;
    TableSpec t{QStringLiteral("tipi recenti"),
                {{"id", ColumnType::Long},
                 {"grande", ColumnType::BigInt},
                 {"guid", ColumnType::Guid},
                 {"decimale", ColumnType::Decimal, 0, 28, 4},
                 {"intero decimale", ColumnType::Decimal, 0, 10, 0},
                 {"binario", ColumnType::Binary, 20},
                 {"con NUL", ColumnType::Text, 20},
                 {"memo", ColumnType::Memo}},
                {}};
    const QString nul = QStringLiteral("a") + QChar(0) + QStringLiteral("b");
    const QString emoji = j3 ? QStringLiteral("pioggia") : QStringLiteral("\U0001F600 pioggia \U0001F327");
    t.rows << Row{1,
                  std::numeric_limits<qint64>::max(),
                  QUuid(QStringLiteral("{12345678-9abc-def0-0123-456789abcdef}")),
                  "999999999999999999999999.9999",
                  "-9999999999",
                  bytes(20),
                  nul,
                  emoji};
    t.rows << Row{2,
                  std::numeric_limits<qint64>::min(),
                  "{00000000-0000-0000-0000-000000000001}",
                  "-0.0001",
                  "0",
                  QByteArray(),
                  QString(QChar(0)),
                  j3 ? pattern(3000) : emoji.repeated(300)};
    t.rows << Row{3, 0, QVariant(), QVariant(), QVariant(), QVariant(), QVariant(), QVariant()};
    t.rows << Row{4, 42,       "{891E4991-1D84-38DD-8000-FFFFFFFFFFFF}", "1234567890123456789012.3",
                  7, bytes(1), QStringLiteral("x") + QChar(0),           emoji.left(2)};
    return t;
}

// A table read back without some columns (a reader that cannot decode them).
mdbcheck::Table without(mdbcheck::Table t, const QStringList& names) {
    for (const QString& n : names) {
        const int c = int(t.columns.indexOf(n));
        if (c < 0)
            continue;
        t.columns.removeAt(c);
        t.types.removeAt(c);
        t.sizes.removeAt(c);
        for (auto& r : t.rows)
            r.removeAt(c);
    }
    return t;
}

TableSpec without(TableSpec t, const QStringList& names) {
    for (const QString& n : names) {
        int c = 0;
        while (c < t.columns.size() && t.columns[c].name != n)
            ++c;
        if (c == t.columns.size())
            continue;
        t.columns.removeAt(c);
        for (auto& r : t.rows)
            if (c < r.size())
                r.removeAt(c);
    }
    return t;
}

// The rows stored on a table's data pages, in page and slot order, with their offset flags.
struct Slot {
    quint16 flags = 0;
    QByteArray bytes;
};

Slot slotAt(const mdbcheck::RawFile& raw, quint32 page, int row) {
    const qint64 base = qint64(page) * raw.pageSize;
    const int countAt = raw.pageSize == 4096 ? 12 : 8;
    const quint16 word = raw.u16(base + countAt + 2 + 2 * row);
    const int start = word & 0x1FFF;
    const int end = row == 0 ? raw.pageSize : raw.u16(base + countAt + 2 * row) & 0x1FFF;
    return {quint16(word & 0xC000), raw.bytes.mid(base + start, end - start)};
}

QList<Slot> slotsOf(const mdbcheck::RawFile& raw, quint32 tdefPage) {
    QList<Slot> out;
    const int countAt = raw.pageSize == 4096 ? 12 : 8;
    for (int p = 1; p < raw.pages(); ++p) {
        const qint64 base = qint64(p) * raw.pageSize;
        if (raw.u8(base) != 0x01 || raw.u32(base + 4) != tdefPage)
            continue;
        for (int r = 0; r < raw.u16(base + countAt); ++r)
            out << slotAt(raw, quint32(p), r);
    }
    return out;
}

bool write(Version v, const QList<TableSpec>& tables, const QString& path, QString* error,
           const QList<std::pair<QString, QString>>& queries = {}) {
    Database db(v);
    for (const TableSpec& t : tables)
        db.addTable(t.name, t.columns, t.rows);
    for (const auto& q : queries)
        db.addQuery(q.first, q.second);
    return db.write(path, error);
}

QByteArray fileHash(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256);
}

}  // namespace

class TestJetWriter : public QObject {
    Q_OBJECT

  private slots:
    void roundTrip_data();
    void roundTrip();
    void largeTables_data();
    void largeTables();
    void storedQueries_data();
    void storedQueries();
    void refusesWhatTheFormatCannotHold_data();
    void refusesWhatTheFormatCannotHold();
    void leadingByteOrderMark();
    void sameInputSameFile();
    void newTypesAndVersions_data();
    void newTypesAndVersions();
    void deletedRowsAndShortRows_data();
    void deletedRowsAndShortRows();
    void movedRows_data();
    void movedRows();
    void passwordAndEncryption_data();
    void passwordAndEncryption();
    void calculatedAndComplexColumns();
    void extendedDates();

  private:
    void checkBothReaders(const QString& path, const QList<TableSpec>& tables);
    QTemporaryDir dir_;
};

void TestJetWriter::checkBothReaders(const QString& path, const QList<TableSpec>& tables) {
    QStringList names;
    for (const TableSpec& t : tables)
        names << t.name;
    names.sort();
    const mdbcheck::Dump viaLibmdb = mdbcheck::readWithLibmdb(path);
    QVERIFY2(viaLibmdb.error.isEmpty(), qPrintable(viaLibmdb.error));
    const mdbcheck::Dump viaReader = mdbcheck::readWithMdbReader(path);
    QVERIFY2(viaReader.error.isEmpty(), qPrintable(viaReader.error));
    QStringList fromLibmdb = viaLibmdb.tables.keys();
    fromLibmdb.sort();
    QCOMPARE(fromLibmdb, names);
    for (const TableSpec& t : tables) {
        const QString a = mdbcheck::compare(viaLibmdb.tables.value(t.name), t.columns, t.rows);
        QVERIFY2(a.isEmpty(), qPrintable(QStringLiteral("libmdb: ") + a));
        QVERIFY2(viaReader.tables.contains(t.name), qPrintable(t.name));
        const QString b = mdbcheck::compare(viaReader.tables.value(t.name), t.columns, t.rows);
        QVERIFY2(b.isEmpty(), qPrintable(QStringLiteral("mdb-reader: ") + b));
    }
}

void TestJetWriter::roundTrip_data() {
    QTest::addColumn<Version>("version");
    QTest::newRow("jet3") << Version::Jet3;
    QTest::newRow("jet4") << Version::Jet4;
}

void TestJetWriter::roundTrip() {
    QFETCH(Version, version);
    const QList<TableSpec> tables{
        allTypes(version),
        longValues(version),
        longRows(),
        manyColumns(),
        manyTextColumns(),
        {QStringLiteral("vuota"),
         {{"Codice", ColumnType::Long}, {"Descrizione", ColumnType::Text, 50}, {"Testo", ColumnType::Memo}},
         {}},
        {QStringLiteral("solo Sì/No"),
         {{"flag", ColumnType::Boolean}},
         {Row{true}, Row{false}, Row{QVariant()}}}};
    const QString path = dir_.filePath(QStringLiteral("tipi%1.mdb").arg(int(version)));
    QString error;
    QVERIFY2(write(version, tables, path, &error), qPrintable(error));
    checkBothReaders(path, tables);
    mdbcheck::RawFile raw;
    QVERIFY(raw.load(path));
    QCOMPARE(raw.pageSize, version == Version::Jet4 ? 4096 : 2048);
    QCOMPARE(raw.bytes.size() % raw.pageSize, 0);
}

void TestJetWriter::largeTables_data() {
    roundTrip_data();
}

// A table spread over more pages than an inline usage map covers, and pages full at the
// 255-rows-per-page limit.
void TestJetWriter::largeTables() {
    QFETCH(Version, version);
    TableSpec big{
        QStringLiteral("grande"),
        {{"id", ColumnType::Long}, {"testo", ColumnType::Text, 200}, {"valore", ColumnType::Double}},
        {}};
    for (int i = 0; i < 15000; ++i)
        big.rows << Row{i, pattern(180, i), i * 0.25};
    TableSpec tiny{QStringLiteral("righe minime"), {{"b", ColumnType::Byte}}, {}};
    for (int i = 0; i < 1000; ++i)
        tiny.rows << Row{i % 256};
    const QString path = dir_.filePath(QStringLiteral("grande%1.mdb").arg(int(version)));
    QString error;
    QVERIFY2(write(version, {big, tiny}, path, &error), qPrintable(error));
    checkBothReaders(path, {big, tiny});

    mdbcheck::RawFile raw;
    QVERIFY(raw.load(path));
    const int mapAt = version == Version::Jet4 ? 55 : 35;
    const quint32 bigDef = raw.tdefPageOf(big.name);
    const quint32 tinyDef = raw.tdefPageOf(tiny.name);
    QVERIFY(bigDef > 0 && tinyDef > 0);
    const QList<int> bigPages = raw.dataPageRowCounts(bigDef);
    QVERIFY2(bigPages.size() > (version == Version::Jet4 ? 512 : 1024),
             qPrintable(QString::number(bigPages.size())));
    QCOMPARE(raw.mapType(raw.u32(qint64(bigDef) * raw.pageSize + mapAt)), 1);
    QCOMPARE(raw.mapType(raw.u32(qint64(tinyDef) * raw.pageSize + mapAt)), 0);
    const QList<int> tinyPages = raw.dataPageRowCounts(tinyDef);
    QCOMPARE(tinyPages, (QList<int>{255, 255, 255, 235}));
}

void TestJetWriter::storedQueries_data() {
    roundTrip_data();
}

void TestJetWriter::storedQueries() {
    QFETCH(Version, version);
    TableSpec t{QStringLiteral("anagrafica compl"),
                {{"Codstaz", ColumnType::Long}, {"Denominazione", ColumnType::Text, 50}},
                {Row{1, "Alfa"}, Row{2, "Beta"}}};
    const QList<std::pair<QString, QString>> queries{
        {QStringLiteral("Anni distinti"),
         QStringLiteral("SELECT DISTINCT [anagrafica compl].Codstaz FROM [anagrafica compl] ORDER BY "
                        "[anagrafica compl].Codstaz")},
        {QStringLiteral("elenco stazioni"),
         QStringLiteral(
             "select Denominazione AS [Nome stazione], Codstaz as codice, 'a, b' AS [virgola, dentro] "
             "from [anagrafica compl] where Codstaz > 1 and Denominazione <> 'x' "
             "order by Denominazione desc, Codstaz")}};
    const QString path = dir_.filePath(QStringLiteral("query%1.mdb").arg(int(version)));
    QString error;
    QVERIFY2(write(version, {t}, path, &error, queries), qPrintable(error));
    checkBothReaders(path, {t});

    const mdbcheck::Dump lib = mdbcheck::readWithLibmdb(path, true);
    QVERIFY2(lib.error.isEmpty(), qPrintable(lib.error));
    QCOMPARE(lib.queries, (QStringList{"Anni distinti", "elenco stazioni"}));
    const mdbcheck::Dump js = mdbcheck::readWithMdbReader(path);
    QVERIFY2(js.error.isEmpty(), qPrintable(js.error));
    // ObjectId, Attribute, Name1, Expression, Flag of each catalogue row, as both readers see them.
    auto rowsOf = [](const mdbcheck::Table& q) {
        QStringList out;
        const int id = q.columns.indexOf("ObjectId"), at = q.columns.indexOf("Attribute"),
                  n1 = q.columns.indexOf("Name1"), ex = q.columns.indexOf("Expression"),
                  fl = q.columns.indexOf("Flag");
        for (const auto& r : q.rows)
            out << QStringLiteral("%1|%2|%3|%4|%5")
                       .arg(r[id].toLongLong() & 0xFF)
                       .arg(r[at].toLongLong())
                       .arg(r[n1].toString(), r[ex].toString(), r[fl].isValid() ? r[fl].toString() : "-");
        return out;
    };
    const QStringList expected{
        "1|0|||0",
        "1|1|||1",
        "1|3|||2",
        "1|5|anagrafica compl||-",
        "1|6||[anagrafica compl].Codstaz|0",
        "1|11||[anagrafica compl].Codstaz|-",
        "1|255|||-",
        "2|0|||0",
        "2|1|||1",
        "2|3|||0",
        "2|5|anagrafica compl||-",
        "2|6|Nome stazione|Denominazione|0",
        "2|6|codice|Codstaz|0",
        "2|6|virgola, dentro|'a, b'|0",
        "2|8||Codstaz > 1 and Denominazione <> 'x'|-",
        "2|11|D|Denominazione|-",
        "2|11||Codstaz|-",
        "2|255|||-",
    };
    QCOMPARE(rowsOf(lib.tables.value("MSysQueries")), expected);
    QCOMPARE(rowsOf(js.tables.value("MSysQueries")), expected);
}

void TestJetWriter::refusesWhatTheFormatCannotHold_data() {
    QTest::addColumn<Version>("version");
    QTest::addColumn<QString>("table");
    QTest::addColumn<QList<Column>>("columns");
    QTest::addColumn<Row>("row");
    QTest::addColumn<QString>("query");
    const QList<Column> text5{{"t", ColumnType::Text, 5}};
    QTest::newRow("text longer than its size") << Version::Jet4 << "a" << text5 << Row{"123456"} << "";
    QTest::newRow("integer out of range")
        << Version::Jet4 << "a" << QList<Column>{{"i", ColumnType::Integer}} << Row{40000} << "";
    QTest::newRow("byte negative") << Version::Jet3 << "a" << QList<Column>{{"b", ColumnType::Byte}}
                                   << Row{-1} << "";
    QTest::newRow("number that is no number")
        << Version::Jet4 << "a" << QList<Column>{{"d", ColumnType::Double}} << Row{"dodici"} << "";
    QTest::newRow("more values than columns") << Version::Jet4 << "a" << text5 << Row{"a", "b"} << "";
    QTest::newRow("jet3 text outside code page") << Version::Jet3 << "a" << text5 << Row{"Ω"} << "";
    QTest::newRow("jet3 name outside code page") << Version::Jet3 << "Ωmega" << text5 << Row{"a"} << "";
    QTest::newRow("repeated column") << Version::Jet4 << "a"
                                     << QList<Column>{{"Nome", ColumnType::Long}, {"nome", ColumnType::Long}}
                                     << Row{1, 2} << "";
    QTest::newRow("name too long") << Version::Jet4 << QString(65, 'n') << text5 << Row{"a"} << "";
    QList<Column> wide;
    Row full;
    for (int i = 0; i < 9; ++i) {
        wide << Column{QStringLiteral("c%1").arg(i), ColumnType::Text, 255};
        full << QString(255, 'x');
    }
    QTest::newRow("jet3 row over 2012 bytes") << Version::Jet3 << "a" << wide << full << "";
    QTest::newRow("not a select") << Version::Jet4 << "a" << text5 << Row{"a"} << "DELETE FROM a";
    QTest::newRow("query without from") << Version::Jet4 << "a" << text5 << Row{"a"} << "SELECT t";
    QTest::newRow("decimal with more decimals than its scale")
        << Version::Jet4 << "a" << QList<Column>{{"d", ColumnType::Decimal, 0, 10, 2}} << Row{"1.234"} << "";
    QTest::newRow("decimal with more digits than its precision")
        << Version::Jet4 << "a" << QList<Column>{{"d", ColumnType::Decimal, 0, 4, 2}} << Row{"123.4"} << "";
    QTest::newRow("decimal given as a double")
        << Version::Jet4 << "a" << QList<Column>{{"d", ColumnType::Decimal, 0, 10, 2}} << Row{1.5} << "";
    QTest::newRow("guid that is no guid")
        << Version::Jet4 << "a" << QList<Column>{{"g", ColumnType::Guid}} << Row{"{1234}"} << "";
    QTest::newRow("extended date before access 2019")
        << Version::Ace16 << "a" << QList<Column>{{"d", ColumnType::DateTimeExtended}}
        << Row{QDate(2020, 1, 1)} << "";
    QTest::newRow("extended date that is no date")
        << Version::Ace17 << "a" << QList<Column>{{"d", ColumnType::DateTimeExtended}} << Row{"2021-02-30"}
        << "";
    QTest::newRow("complex before access 2007")
        << Version::Jet4 << "a" << QList<Column>{{"c", ColumnType::Complex}} << Row{1} << "";
    Column calc{"c", ColumnType::Long};
    calc.calculated = true;
    QTest::newRow("calculated before access 2010")
        << Version::Ace12 << "a" << QList<Column>{calc} << Row{1} << "";
    QTest::newRow("query named like a table")
        << Version::Jet4 << "q" << text5 << Row{"a"} << "SELECT t FROM q";
}

// A refused input fails the write with a message and leaves an existing file as it was.
void TestJetWriter::refusesWhatTheFormatCannotHold() {
    QFETCH(Version, version);
    QFETCH(QString, table);
    QFETCH(QList<Column>, columns);
    QFETCH(Row, row);
    QFETCH(QString, query);
    const QString path = dir_.filePath(QStringLiteral("rifiuto.mdb"));
    {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write("contenuto precedente");
    }
    Database db(version);
    db.addTable(table, columns, QList<Row>{row});
    if (!query.isEmpty())
        db.addQuery(QStringLiteral("q"), query);
    QString error;
    QVERIFY(!db.write(path, &error));
    QVERIFY(!error.isEmpty());
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), QByteArray("contenuto precedente"));
}

// Text that starts with U+FEFF would be taken for compressed text if stored plain.
void TestJetWriter::leadingByteOrderMark() {
    const QString text = QStringLiteral("\uFEFFcomincia con BOM");
    const QString memo = QStringLiteral("\uFEFF") + QString(2000, QChar(0x3A9));
    TableSpec t{QStringLiteral("bom"), {{"t", ColumnType::Text}, {"m", ColumnType::Memo}}, {Row{text, memo}}};
    const QString path = dir_.filePath(QStringLiteral("bom.mdb"));
    QString error;
    QVERIFY2(write(Version::Jet4, {t}, path, &error), qPrintable(error));
    // Both readers drop a leading U+FEFF when they convert the text; the rest must be intact
    // (stored plain, the value would have been taken for compressed text and come out garbled).
    const QList<QVariant> expected{text.mid(1), memo.mid(1)};
    const mdbcheck::Dump js = mdbcheck::readWithMdbReader(path);
    QVERIFY2(js.error.isEmpty(), qPrintable(js.error));
    QCOMPARE(js.tables.value("bom").rows.value(0), expected);
    const mdbcheck::Dump lib = mdbcheck::readWithLibmdb(path);
    QVERIFY2(lib.error.isEmpty(), qPrintable(lib.error));
    QCOMPARE(lib.tables.value("bom").rows.value(0), expected);
}

void TestJetWriter::sameInputSameFile() {
    const QList<TableSpec> tables{allTypes(Version::Jet4), longValues(Version::Jet4)};
    const QString a = dir_.filePath(QStringLiteral("uno.mdb"));
    const QString b = dir_.filePath(QStringLiteral("due.mdb"));
    QString error;
    QVERIFY2(write(Version::Jet4, tables, a, &error), qPrintable(error));
    QVERIFY2(write(Version::Jet4, tables, b, &error), qPrintable(error));
    QCOMPARE(fileHash(a), fileHash(b));
}

void TestJetWriter::newTypesAndVersions_data() {
    QTest::addColumn<Version>("version");
    QTest::addColumn<int>("versionByte");
    QTest::newRow("jet3") << Version::Jet3 << 0;
    QTest::newRow("jet4") << Version::Jet4 << 1;
    QTest::newRow("access 2007") << Version::Ace12 << 2;
    QTest::newRow("access 2010") << Version::Ace14 << 3;
    QTest::newRow("access 2013") << Version::Ace15 << 4;
    QTest::newRow("access 2016") << Version::Ace16 << 5;
    QTest::newRow("access 2019") << Version::Ace17 << 6;
}

void TestJetWriter::newTypesAndVersions() {
    QFETCH(Version, version);
    QFETCH(int, versionByte);
    const TableSpec t = newTypes(version);
    const TableSpec old = allTypes(version == Version::Jet3 ? Version::Jet3 : Version::Jet4);
    const QString path = dir_.filePath(QStringLiteral("recenti%1.mdb").arg(versionByte));
    QString error;
    QVERIFY2(write(version, {t, old}, path, &error), qPrintable(error));
    mdbcheck::RawFile raw;
    QVERIFY(raw.load(path));
    QCOMPARE(int(raw.u8(0x14)), versionByte);
    const mdbcheck::Dump js = mdbcheck::readWithMdbReader(path);
    QVERIFY2(js.error.isEmpty(), qPrintable(js.error));
    for (const TableSpec& spec : {t, old}) {
        const QString e = mdbcheck::compare(js.tables.value(spec.name), spec.columns, spec.rows);
        QVERIFY2(e.isEmpty(), qPrintable(QStringLiteral("mdb-reader: ") + e));
    }
    // libmdb has no BigInt, reads Decimal's precision and scale the other way round, ends text at
    // a NUL and turns surrogate pairs into '?': the rest must agree with it too.
    const QStringList blind{"grande", "decimale", "intero decimale", "con NUL", "memo"};
    const mdbcheck::Dump lib = mdbcheck::readWithLibmdb(path);
    QVERIFY2(lib.error.isEmpty(), qPrintable(lib.error));
    const TableSpec seen = without(t, blind);
    const QString e = mdbcheck::compare(without(lib.tables.value(t.name), blind), seen.columns, seen.rows);
    QVERIFY2(e.isEmpty(), qPrintable(QStringLiteral("libmdb: ") + e));
}

void TestJetWriter::deletedRowsAndShortRows_data() {
    roundTrip_data();
}

// Deleted rows are skipped by both readers; a row storing fewer columns than its table reads
// NULL in the others.
void TestJetWriter::deletedRowsAndShortRows() {
    QFETCH(Version, version);
    TableSpec t{QStringLiteral("stati"),
                {{"k", ColumnType::Long},
                 {"t", ColumnType::Text, 20},
                 {"n", ColumnType::Double},
                 {"m", ColumnType::Memo}},
                {}};
    for (int k = 0; k < 12; ++k)
        t.rows << Row{k, pattern(k + 1, k), k * 1.5, pattern(k * 10, k)};
    t.rows[8] = Row{8, pattern(9, 8)};
    t.rows[9] = Row{9};
    Database db(version);
    db.addTable(t.name, t.columns, t.rows);
    db.setRowOptions(t.name, 2, {jetwriter::RowState::Deleted, -1});
    db.setRowOptions(t.name, 11, {jetwriter::RowState::Deleted, -1});
    db.setRowOptions(t.name, 8, {jetwriter::RowState::Normal, 2});
    db.setRowOptions(t.name, 9, {jetwriter::RowState::Normal, 1});
    const QString path = dir_.filePath(QStringLiteral("stati%1.mdb").arg(int(version)));
    QString error;
    QVERIFY2(db.write(path, &error), qPrintable(error));
    t.rows.removeAt(11);
    t.rows.removeAt(2);
    checkBothReaders(path, {t});
}

void TestJetWriter::movedRows_data() {
    roundTrip_data();
    QTest::newRow("ace16") << Version::Ace16;
}

// A moved row leaves a pointer in its slot (flag 0x4000) to the row stored, flagged 0x8000, on a
// later page of the table (Moved), an earlier one (MovedEarlier), or through a second pointer
// (flagged 0xC000) on a later page to an earlier one (MovedTwice); the row itself is stored as it
// would be in place, and a deleted row carries both flags.
void TestJetWriter::movedRows() {
    QFETCH(Version, version);
    // Without long values kept on LVAL pages, whose addresses move with the pages.
    const TableSpec t = without(allTypes(version), {"Note"});
    QVERIFY(t.rows.size() >= 5);
    const QString plainPath = dir_.filePath(QStringLiteral("fermi%1.mdb").arg(int(version)));
    const QString movedPath = dir_.filePath(QStringLiteral("spostati%1.mdb").arg(int(version)));
    QString error;
    QVERIFY2(write(version, {t}, plainPath, &error), qPrintable(error));
    Database db(version);
    db.addTable(t.name, t.columns, t.rows);
    using jetwriter::RowState;
    const QHash<int, RowState> states{
        {0, RowState::Moved}, {2, RowState::MovedEarlier}, {3, RowState::MovedTwice}, {4, RowState::Moved}};
    for (auto it = states.cbegin(); it != states.cend(); ++it)
        db.setRowOptions(t.name, it.key(), {it.value(), -1});
    db.setRowOptions(t.name, 1, {RowState::Deleted, -1});
    QVERIFY2(db.write(movedPath, &error), qPrintable(error));

    mdbcheck::RawFile plain, moved;
    QVERIFY(plain.load(plainPath) && moved.load(movedPath));
    QList<QByteArray> expected;
    for (const Slot& s : slotsOf(plain, plain.tdefPageOf(t.name))) {
        QCOMPARE(s.flags, quint16(0));
        expected << s.bytes;
    }
    expected.removeAt(1);
    auto target = [](const QByteArray& b) {
        return std::pair<quint32, int>(
            quint32(quint8(b[1])) | quint32(quint8(b[2])) << 8 | quint32(quint8(b[3])) << 16, quint8(b[0]));
    };
    // The slots in page order, as a scan meets them.
    QList<QByteArray> got;
    int index = 0, passed = 0;
    const quint32 tdef = moved.tdefPageOf(t.name);
    for (int p = 1; p < moved.pages(); ++p) {
        const qint64 base = qint64(p) * moved.pageSize;
        if (moved.u8(base) != 0x01 || moved.u32(base + 4) != tdef)
            continue;
        for (int r = 0; r < moved.u16(base + (moved.pageSize == 4096 ? 12 : 8)); ++r) {
            const Slot s = slotAt(moved, quint32(p), r);
            if (s.flags & 0x8000) {
                ++passed;  // deleted, or met through a pointer
                continue;
            }
            const int scanned = index++;
            const int row = scanned == 0 ? 0 : scanned + 1;  // row 1 is deleted
            if (!states.contains(row)) {
                QCOMPARE(s.flags, quint16(0));
                got << s.bytes;
                continue;
            }
            QCOMPARE(s.flags, quint16(0x4000));
            QCOMPARE(s.bytes.size(), 4);
            auto [page, slot] = target(s.bytes);
            Slot at = slotAt(moved, page, slot);
            if (states[row] == RowState::MovedTwice) {
                QCOMPARE(at.flags, quint16(0xC000));
                QVERIFY(int(page) > p);
                std::tie(page, slot) = target(at.bytes);
                at = slotAt(moved, page, slot);
            }
            QCOMPARE(at.flags, quint16(0x8000));
            QCOMPARE(int(page) > p, states[row] == RowState::Moved);
            got << at.bytes;
        }
    }
    QCOMPARE(passed, 1 + 4 + 1);  // the deleted row, the moved rows and the chain's link
    QCOMPARE(got, expected);
}

void TestJetWriter::passwordAndEncryption_data() {
    QTest::addColumn<Version>("version");
    QTest::addColumn<QString>("password");
    QTest::addColumn<quint32>("key");
    QTest::newRow("jet3 password") << Version::Jet3 << "segreto" << 0u;
    QTest::newRow("jet3 encrypted") << Version::Jet3 << "" << 0x1A2B3C4Du;
    QTest::newRow("jet4 password") << Version::Jet4 << QStringLiteral("Password€Ω di 20 car") << 0u;
    QTest::newRow("jet4 encrypted with password") << Version::Jet4 << "x" << 0x89ABCDEFu;
}

// The password is stored where readers find it; encrypted pages decrypt to the same tables.
void TestJetWriter::passwordAndEncryption() {
    QFETCH(Version, version);
    QFETCH(QString, password);
    QFETCH(quint32, key);
    const QList<TableSpec> tables{allTypes(version), longValues(version)};
    Database db(version);
    for (const TableSpec& t : tables)
        db.addTable(t.name, t.columns, t.rows);
    db.setPassword(password);
    db.setEncryptionKey(key);
    const QString path = dir_.filePath(QStringLiteral("chiuso.mdb"));
    QString error;
    QVERIFY2(db.write(path, &error), qPrintable(error));
    checkBothReaders(path, tables);
    QCOMPARE(mdbcheck::readWithMdbReader(path).password, password);
    if (key != 0) {
        // Nothing of the tables is left in clear.
        mdbcheck::RawFile raw;
        QVERIFY(raw.load(path));
        QCOMPARE(raw.bytes.indexOf("Ca' dei Merli"), -1);
        QCOMPARE(int(raw.u8(raw.pageSize * 2)) == 0x02, false);
    }
}

// Access 2010 calculated columns and Access 2007 complex columns: a sound file whose other
// columns read back, with the types in the definition.
void TestJetWriter::calculatedAndComplexColumns() {
    Column calcText{"testo calcolato", ColumnType::Text, 30};
    calcText.calculated = true;
    Column calcLong{"numero calcolato", ColumnType::Long};
    calcLong.calculated = true;
    Column calcBool{"sì calcolato", ColumnType::Boolean};
    calcBool.calculated = true;
    Column calcMemo{"memo calcolato", ColumnType::Memo};
    calcMemo.calculated = true;
    Column attach{"allegati", ColumnType::Complex};
    attach.complexTypeId = 7;
    TableSpec t{QStringLiteral("calcoli"),
                {{"k", ColumnType::Long},
                 calcText,
                 calcLong,
                 calcBool,
                 calcMemo,
                 attach,
                 {"dopo", ColumnType::Text, 10}},
                {}};
    t.rows << Row{1, "uno", 10, true, pattern(5000), QVariant(), "a"};
    t.rows << Row{2, QVariant(), QVariant(), false, QVariant(), QVariant(), "b"};
    const QString path = dir_.filePath(QStringLiteral("calcoli.accdb"));
    QString error;
    QVERIFY2(write(Version::Ace14, {t}, path, &error), qPrintable(error));
    const mdbcheck::Dump js = mdbcheck::readWithMdbReader(path);
    QVERIFY2(js.error.isEmpty(), qPrintable(js.error));
    const mdbcheck::Table got = js.tables.value(t.name);
    QCOMPARE(got.types, (QList<int>{mdbcheck::Long, mdbcheck::Text, mdbcheck::Long, mdbcheck::Bool,
                                    mdbcheck::Memo, mdbcheck::Complex, mdbcheck::Text}));
    QCOMPARE(got.rows.size(), 2);
    QCOMPARE(got.rows[1].value(6).toString(), QStringLiteral("b"));
    // Only a complex key that points nowhere (mdb-reader would look it up) stays out of the file.
    TableSpec keyed{
        QStringLiteral("chiavi"), {{"k", ColumnType::Long}, attach}, {Row{1, 5}, Row{2, QVariant()}}};
    QVERIFY2(write(Version::Ace12, {keyed}, path, &error), qPrintable(error));
    const mdbcheck::Dump lib = mdbcheck::readWithLibmdb(path);
    QVERIFY2(lib.error.isEmpty(), qPrintable(lib.error));
    QCOMPARE(lib.tables.value(keyed.name).types, (QList<int>{mdbcheck::Long, mdbcheck::Complex}));
}

// Date/Time Extended as mdb-reader reads it back (days, seconds and 100 ns digits it decodes itself).
void TestJetWriter::extendedDates() {
    TableSpec t{QStringLiteral("estese"), {{"k", ColumnType::Long}, {"d", ColumnType::DateTimeExtended}}, {}};
    const QList<std::pair<QVariant, QString>> cases{
        {QDate(2020, 6, 17), "2020.06.17 00:00:00.000000000"},
        {QDateTime(QDate(1765, 6, 14), QTime(12, 45, 0, 250)), "1765.06.14 12:45:00.250000000"},
        {"2021-06-14 22:45:12.3456789", "2021.06.14 22:45:12.345678900"},
        {"0001-01-01", "0001.01.01 00:00:00.000000000"},
        {"9999-12-31 23:59:59.9999999", "9999.12.31 23:59:59.999999900"},
        {QVariant(), QString()}};
    for (int i = 0; i < cases.size(); ++i) {
        t.rows << Row{i, cases[i].first};
    }
    const QString path = dir_.filePath(QStringLiteral("estese.accdb"));
    QString error;
    QVERIFY2(write(Version::Ace17, {t}, path, &error), qPrintable(error));
    const mdbcheck::Dump js = mdbcheck::readWithMdbReader(path);
    QVERIFY2(js.error.isEmpty(), qPrintable(js.error));
    const mdbcheck::Table got = js.tables.value(t.name);
    QCOMPARE(got.rows.size(), cases.size());
    for (int i = 0; i < cases.size(); ++i) {
        QCOMPARE(got.rows[i].value(1).toString(), cases[i].second);
    }
}

QTEST_GUILESS_MAIN(TestJetWriter)
#include "test_jetwriter.moc"
