// Rows as the file stores them, on files written by our writer and damaged by hand: rows moved by
// an edit read at their slot through every path, one damaged row refused by every path, row
// counts that the pages cannot hold, a damaged catalog row, and every path agreeing on mutated
// files (the property the fuzz target fuzz_paths checks on any input).
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <functional>

#include "fuzz/fuzzpaths.h"
#include "jet/jet.h"
#include "jetwriter/jetwriter.h"
#include "samplegen/samplegen.h"

using jetwriter::ColumnType;
using jetwriter::Row;
using jetwriter::RowState;
using jetwriter::Version;

namespace {

// A file's bytes, patched in place.
struct Bytes {
    QByteArray b;
    int pageSize = 4096;
    bool load(const QString& path) {
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly))
            return false;
        b = f.readAll();
        pageSize = b.at(0x14) == 0 ? 2048 : 4096;
        return true;
    }
    bool save(const QString& path) const {
        QFile f(path);
        return f.open(QIODevice::WriteOnly) && f.write(b) == b.size();
    }
    int countAt() const { return pageSize == 4096 ? 12 : 8; }
    quint32 u8(qint64 at) const { return quint8(b[at]); }
    quint32 u16(qint64 at) const { return u8(at) | u8(at + 1) << 8; }
    quint32 u32(qint64 at) const { return u16(at) | u16(at + 2) << 16; }
    void put16(qint64 at, quint32 v) {
        b[at] = char(v);
        b[at + 1] = char(v >> 8);
    }
    void put32(qint64 at, quint32 v) {
        put16(at, v);
        put16(at + 2, v >> 16);
    }
    qint64 pages() const { return b.size() / pageSize; }
    // The definition page of the table whose definition counts `rows` rows and has `columns` columns.
    qint64 definition(quint32 rows, int columns) const {
        const int rowsAt = pageSize == 4096 ? 16 : 12, colsAt = pageSize == 4096 ? 45 : 25;
        for (qint64 p = 2; p < pages(); ++p)
            if (u8(p * pageSize) == 2 && u32(p * pageSize + rowsAt) == rows &&
                int(u16(p * pageSize + colsAt)) == columns)
                return p;
        return -1;
    }
    // The data pages owned by the table defined on `tdef`, in file order.
    QList<qint64> dataPages(qint64 tdef) const {
        QList<qint64> out;
        for (qint64 p = 1; p < pages(); ++p)
            if (u8(p * pageSize) == 1 && u32(p * pageSize + 4) == quint32(tdef))
                out << p;
        return out;
    }
    qint64 slot(qint64 page, int row) const { return page * pageSize + countAt() + 2 + 2 * row; }
};

QString values(jet::RecordSet& rs, int field) {
    QStringList out;
    for (int r = 0; r < rs.recordCount(); ++r)
        out << (rs.value(r, field).isNull() ? QStringLiteral("NULL")
                                            : rs.value(r, field).display(QLocale::c()));
    return out.join(QLatin1Char(' '));
}

// The answer of a record source: its first field's values, or its error number.
QString answer(const QString& path, const QString& source, jet::Error* error = nullptr) {
    jet::Error e;
    auto db = jet::Database::open(path, &e);
    auto rs = db ? db->openRecordSet(source, &e) : nullptr;
    if (error)
        *error = e;
    return rs ? values(*rs, 0) : QString::number(e.number);
}

// The tables of the fuzzers' seeds, with rows moved in every way: what fuzzpaths::check reads.
bool writePathsArchive(const QString& path, Version version, QString* error) {
    jetwriter::Database db(version);
    QList<Row> rows;
    for (int i = 0; i < 40; ++i)
        rows << Row{i % 9 == 4 ? QVariant() : QVariant(i * 7), QStringLiteral("stazione %1").arg(i),
                    i % 5 == 0 ? QVariant() : QVariant(i * 37 - 400), i * 20 % 256};
    db.addTable(QStringLiteral("database1"),
                {{"Codstaz", ColumnType::Long},
                 {"Nome", ColumnType::Text, 40},
                 {"Quota", ColumnType::Integer},
                 {"Piccolo", ColumnType::Byte}},
                rows);
    db.addTable(QStringLiteral("anagrafica compl"),
                {{"Codstaz", ColumnType::Long}, {"NomeStaz", ColumnType::Text, 50}},
                QList<Row>{{7, "Alfa"}, {14, "Beta"}, {21, QVariant()}});
    db.addQuery(
        QStringLiteral("Anni"),
        QStringLiteral(
            "SELECT DISTINCT Codstaz AS [Codice] FROM database1 WHERE Quota > 0 ORDER BY Codstaz DESC"));
    db.addQuery(QStringLiteral("stazioni"),
                QStringLiteral("SELECT NomeStaz, Codstaz FROM [anagrafica compl]"));
    db.setRowOptions(QStringLiteral("database1"), 3, {RowState::Moved, -1});
    db.setRowOptions(QStringLiteral("database1"), 11, {RowState::MovedEarlier, -1});
    db.setRowOptions(QStringLiteral("database1"), 20, {RowState::MovedTwice, -1});
    db.setRowOptions(QStringLiteral("database1"), 30, {RowState::Deleted, -1});
    return db.write(path, error);
}

}  // namespace

class TestJetRows : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() { QVERIFY(dir_.isValid()); }
    void cleanup() { jet::setKeyArrays(true); }

    // Rows moved to a later page, an earlier one, or through a chain of two pointers come out at
    // their slot through every path: a table read whole, the key arrays, a key criterion, a
    // criterion on a text, a stored query, first scan and later, with the key arrays and without.
    void movedRowsInStoredOrder_data() {
        QTest::addColumn<Version>("version");
        QTest::newRow("Jet 3") << Version::Jet3;
        QTest::newRow("Jet 4") << Version::Jet4;
        QTest::newRow("Access 2016") << Version::Ace16;
    }
    void movedRowsInStoredOrder() {
        QFETCH(Version, version);
        const QString path = dir_.filePath(QStringLiteral("spostati%1.mdb").arg(int(version)));
        jetwriter::Database db(version);
        QList<Row> rows;
        for (int k = 0; k < 12; ++k)
            rows << Row{k, k % 3, QStringLiteral("riga %1").arg(k), QStringLiteral("nota %1").arg(k)};
        db.addTable(QStringLiteral("giorni"),
                    {{"k", ColumnType::Long},
                     {"g", ColumnType::Integer},
                     {"nome", ColumnType::Text, 20},
                     {"nota", ColumnType::Memo}},
                    rows);
        db.addQuery(QStringLiteral("Elenco"), QStringLiteral("SELECT k, nome FROM giorni WHERE g >= 0"));
        db.setRowOptions(QStringLiteral("giorni"), 2, {RowState::MovedEarlier, -1});
        db.setRowOptions(QStringLiteral("giorni"), 5, {RowState::Moved, -1});
        db.setRowOptions(QStringLiteral("giorni"), 7, {RowState::MovedTwice, -1});
        db.setRowOptions(QStringLiteral("giorni"), 0, {RowState::Moved, -1});
        db.setRowOptions(QStringLiteral("giorni"), 9, {RowState::Deleted, -1});
        QString error;
        QVERIFY2(db.write(path, &error), qPrintable(error));
        // As written, row 9 deleted.
        const QString stored = QStringLiteral("0 1 2 3 4 5 6 7 8 10 11");
        const QStringList sources{QStringLiteral("giorni"),
                                  QStringLiteral("select k from giorni"),
                                  QStringLiteral("select k, nome from giorni where k >= 0"),
                                  QStringLiteral("select k from giorni where nome <> 'x'"),
                                  QStringLiteral("select k from giorni where g = 0 or g > 0"),
                                  QStringLiteral("Elenco")};
        for (bool keys : {true, false}) {
            jet::setKeyArrays(keys);
            for (bool cold : {true, false}) {
                for (const QString& source : sources) {
                    if (cold)
                        jet::clearRowCache();
                    QCOMPARE(answer(path, source), stored);
                }
            }
        }
        // The moved rows' other cells came along: row 7's text and its memo.
        jet::Error e;
        auto file = jet::Database::open(path, &e);
        auto rs = file->openRecordSet(QStringLiteral("select nome, nota from giorni where k = 7"), &e);
        QVERIFY(rs);
        QCOMPARE(rs->recordCount(), 1);
        QCOMPARE(rs->value(0, 0).text(), QStringLiteral("riga 7"));
        QCOMPARE(rs->value(0, 1).text(), QStringLiteral("nota 7"));
    }

    // One row's start offset moved by one byte in the daily table's first data page: every
    // statement on the table gives 3049, whatever path answers it.
    void shiftedRowOffset_data() {
        QTest::addColumn<Version>("version");
        QTest::newRow("Jet 3") << Version::Jet3;
        QTest::newRow("Jet 4") << Version::Jet4;
    }
    void shiftedRowOffset() {
        QFETCH(Version, version);
        const QString folder = dir_.filePath(QStringLiteral("archivio%1").arg(int(version)));
        QVERIFY(QDir().mkpath(folder));
        samplegen::Options options;
        options.version = version;
        options.stations = 2;
        options.lookupsAsQueries = true;
        options.pictures = false;
        QString error;
        QVERIFY2(samplegen::writeSample(folder, options, &error), qPrintable(error));
        const QString path = folder + QStringLiteral("/orbeni.mdb");
        jet::Error e;
        auto db = jet::Database::open(path, &e);
        QVERIFY(db);
        auto count = db->openRecordSet(QStringLiteral("select codStaz from database1"), &e);
        QVERIFY(count);
        const int rows = count->recordCount();
        const int station = int(count->value(0, 0).toInt());
        db.reset();
        count.reset();

        Bytes bytes;
        QVERIFY(bytes.load(path));
        const qint64 tdef = bytes.definition(quint32(rows), 19);
        QVERIFY(tdef > 0);
        const qint64 page = bytes.dataPages(tdef).value(0);
        QVERIFY(page > 0);
        bytes.put16(bytes.slot(page, 3), bytes.u16(bytes.slot(page, 3)) + 1);
        QVERIFY(bytes.save(path));
        const QStringList statements{
            QStringLiteral("select * from database1"),
            QStringLiteral("Anno"),
            QStringLiteral("select distinct codStaz from database1"),
            QStringLiteral("select distinct Anno, Mese from database1"),
            QStringLiteral("select * from database1 where codStaz = %1 and Anno = 1995").arg(station),
            QStringLiteral("select Giorno from database1 where codStaz = %1 and Anno = 1995 and Mese = 3 and "
                           "Giorno = 1")
                .arg(station),
            QStringLiteral("select nomestaz from database1 where Pioggia > 0"),
        };
        for (bool keys : {true, false}) {
            jet::setKeyArrays(keys);
            for (const QString& s : statements) {
                jet::clearRowCache();
                QCOMPARE(answer(path, s), QStringLiteral("3049"));
            }
        }
    }

    // A definition that counts rows its pages cannot hold: a cleared usage map (11 rows) or a
    // data page whose row count is zero (31 rows) give 3049, never an empty table.
    void countsCrossChecked_data() {
        QTest::addColumn<Version>("version");
        QTest::addColumn<int>("rows");
        QTest::addColumn<bool>("clearMap");
        QTest::newRow("Jet 4, mappa vuota") << Version::Jet4 << 11 << true;
        QTest::newRow("Jet 4, pagina senza righe") << Version::Jet4 << 31 << false;
        QTest::newRow("Jet 3, mappa vuota") << Version::Jet3 << 11 << true;
        QTest::newRow("Jet 3, pagina senza righe") << Version::Jet3 << 31 << false;
    }
    void countsCrossChecked() {
        QFETCH(Version, version);
        QFETCH(int, rows);
        QFETCH(bool, clearMap);
        const QString path = dir_.filePath(QStringLiteral("conti%1_%2.mdb").arg(int(version)).arg(rows));
        jetwriter::Database db(version);
        QList<Row> list;
        for (int k = 0; k < rows; ++k)
            list << Row{k, QStringLiteral("r%1").arg(k)};
        db.addTable(QStringLiteral("conti"), {{"k", ColumnType::Long}, {"t", ColumnType::Text, 10}}, list);
        db.addTable(QStringLiteral("altra"), {{"k", ColumnType::Long}}, QList<Row>{{1}, {2}});
        QString error;
        QVERIFY2(db.write(path, &error), qPrintable(error));
        jet::clearRowCache();
        QCOMPARE(answer(path, QStringLiteral("select k from conti")).count(QLatin1Char(' ')) + 1, rows);

        Bytes bytes;
        QVERIFY(bytes.load(path));
        const qint64 tdef = bytes.definition(quint32(rows), 2);
        QVERIFY(tdef > 0);
        if (clearMap) {
            // The owned-pages map: an inline map whose bitmap is cleared.
            const int mapAt = bytes.pageSize == 4096 ? 55 : 35;
            const quint32 map = bytes.u32(tdef * bytes.pageSize + mapAt);
            const qint64 mapPage = map >> 8;
            const int mapRow = int(map & 0xFF);
            const qint64 start = mapPage * bytes.pageSize + (bytes.u16(bytes.slot(mapPage, mapRow)) & 0x1FFF);
            const qint64 end = mapRow == 0 ? (mapPage + 1) * bytes.pageSize
                                           : mapPage * bytes.pageSize +
                                                 (bytes.u16(bytes.slot(mapPage, mapRow - 1)) & 0x1FFF);
            QCOMPARE(bytes.u8(start), 0u);
            for (qint64 at = start + 5; at < end; ++at)
                bytes.b[at] = 0;
        } else {
            const QList<qint64> pages = bytes.dataPages(tdef);
            QCOMPARE(pages.size(), 1);
            bytes.put16(pages[0] * bytes.pageSize + bytes.countAt(), 0);
        }
        QVERIFY(bytes.save(path));
        for (const QString& s : {QStringLiteral("conti"), QStringLiteral("select k from conti where k = 3"),
                                 QStringLiteral("select distinct k from conti")}) {
            jet::clearRowCache();
            QCOMPARE(answer(path, s), QStringLiteral("3049"));
        }
        QCOMPARE(answer(path, QStringLiteral("altra")), QStringLiteral("1 2"));
    }

    // One bit flipped in the variable-offset table of one table's catalog row: the file opens,
    // the other tables and the stored query read exactly, and asking for the damaged one gives
    // 3049 naming it.
    void damagedCatalogRow() {
        const QString path = dir_.filePath(QStringLiteral("catalogo.mdb"));
        jetwriter::Database db(Version::Jet4);
        db.addTable(QStringLiteral("prima"), {{"k", ColumnType::Long}}, QList<Row>{{1}, {2}});
        db.addTable(QStringLiteral("Danneggiata"), {{"k", ColumnType::Long}}, QList<Row>{{3}});
        db.addTable(QStringLiteral("terza"), {{"k", ColumnType::Long}, {"t", ColumnType::Text, 9}},
                    QList<Row>{{4, "quattro"}, {5, "cinque"}});
        db.addQuery(QStringLiteral("Lista"), QStringLiteral("SELECT t FROM terza WHERE k > 4"));
        QString error;
        QVERIFY2(db.write(path, &error), qPrintable(error));

        Bytes bytes;
        QVERIFY(bytes.load(path));
        // The catalog row holding the name "Danneggiata" (UCS-2, or compressed to one byte a
        // character after FF FE).
        const QString name = QStringLiteral("Danneggiata");
        const QByteArray wide(reinterpret_cast<const char*>(name.utf16()), name.size() * 2);
        qint64 rowStart = -1, rowEnd = -1;
        for (qint64 page : bytes.dataPages(2)) {
            int end = bytes.pageSize;
            for (int r = 0; r < int(bytes.u16(page * bytes.pageSize + bytes.countAt())); ++r) {
                const int start = int(bytes.u16(bytes.slot(page, r)) & 0x1FFF);
                const QByteArray row = bytes.b.mid(page * bytes.pageSize + start, end - start);
                if (row.contains(wide) || row.contains(name.toLatin1()))
                    std::tie(rowStart, rowEnd) =
                        std::pair(page * bytes.pageSize + start, page * bytes.pageSize + end);
                end = start;
            }
        }
        QVERIFY(rowStart > 0);
        const int columns = int(bytes.u16(rowStart));
        const qint64 firstOffset = rowEnd - (columns + 7) / 8 - 4;  // off[0], just before the count
        bytes.put16(firstOffset, bytes.u16(firstOffset) ^ 0x1000);
        QVERIFY(bytes.save(path));

        jet::clearRowCache();
        jet::Error e;
        auto damaged = jet::Database::open(path, &e);
        QVERIFY2(damaged, qPrintable(e.message));
        QCOMPARE(damaged->tableNames(), (QStringList{"prima", "terza"}));
        QCOMPARE(answer(path, QStringLiteral("prima")), QStringLiteral("1 2"));
        QCOMPARE(answer(path, QStringLiteral("select t from terza")), QStringLiteral("quattro cinque"));
        QCOMPARE(answer(path, QStringLiteral("Lista")), QStringLiteral("cinque"));
        QCOMPARE(answer(path, QStringLiteral("select * from Danneggiata"), &e), QStringLiteral("3049"));
        QVERIFY2(e.message.contains(QStringLiteral("'Danneggiata'")), qPrintable(e.message));
    }

    // The property of fuzz_paths on a fixed set of mutations: every byte of the first data
    // page's header and row-offset table, and of each row's end (null mask, offsets), changed
    // in three ways; the key arrays, the engine without them and the full read must agree.
    void everyPathAgrees_data() {
        QTest::addColumn<Version>("version");
        QTest::newRow("Jet 3") << Version::Jet3;
        QTest::newRow("Jet 4") << Version::Jet4;
    }
    void everyPathAgrees() {
        QFETCH(Version, version);
        const QString path = dir_.filePath(QStringLiteral("vie%1.mdb").arg(int(version)));
        QString error;
        QVERIFY2(writePathsArchive(path, version, &error), qPrintable(error));
        QCOMPARE(fuzzpaths::check(path), QString());
        Bytes plain;
        QVERIFY(plain.load(path));
        const qint64 tdef = plain.definition(39, 4);
        QVERIFY(tdef > 0);
        QList<qint64> targets;
        for (qint64 page : plain.dataPages(tdef)) {
            const qint64 base = page * plain.pageSize;
            const int count = int(plain.u16(base + plain.countAt()));
            for (qint64 at = base + plain.countAt(); at < base + plain.countAt() + 2 + 2 * count; ++at)
                targets << at;
            for (int r = 0; r < count; ++r) {
                const qint64 end =
                    r == 0 ? base + plain.pageSize : base + (plain.u16(plain.slot(page, r - 1)) & 0x1FFF);
                for (qint64 at = end - 6; at < end; ++at)
                    targets << at;
            }
        }
        int refused = 0, read = 0;
        const QString mutated = dir_.filePath(QStringLiteral("mutato%1.mdb").arg(int(version)));
        for (qint64 at : targets) {
            for (const std::function<char(char)>& change :
                 {std::function<char(char)>([](char c) { return char(c ^ 0x01); }),
                  std::function<char(char)>([](char c) { return char(c ^ 0x40); }),
                  std::function<char(char)>([](char) { return char(0xFF); })}) {
                Bytes bytes = plain;
                bytes.b[at] = change(bytes.b[at]);
                QVERIFY(bytes.save(mutated));
                const QString difference = fuzzpaths::check(mutated);
                QVERIFY2(difference.isEmpty(),
                         qPrintable(QStringLiteral("byte %1: %2").arg(at).arg(difference)));
                (answer(mutated, QStringLiteral("select * from database1")) == QLatin1String("3049")
                     ? refused
                     : read)++;
            }
        }
        // Both kinds of outcome were met: the check compared rows, and errors.
        QVERIFY(refused > 0);
        QVERIFY(read > 0);
    }

  private:
    QTemporaryDir dir_;
};

QTEST_GUILESS_MAIN(TestJetRows)
#include "test_jet_rows.moc"
