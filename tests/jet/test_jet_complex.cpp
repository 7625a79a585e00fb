// Attachment and multi-value columns shown as Access's datasheet shows them: the file names, the
// values with their own display format, in the order the flat table stores them, joined by "; ";
// an empty set as NULL. A link that does not hold leaves the column out of "*" as before.
#include <QTemporaryDir>
#include <QtTest>

#include "jet/jet.h"
#include "jetwriter/jetwriter.h"

using jetwriter::Column;
using jetwriter::ColumnType;
using jetwriter::ComplexData;
using jetwriter::ComplexItem;
using jetwriter::ComplexKind;
using jetwriter::Row;
using jetwriter::Version;

Q_DECLARE_METATYPE(jetwriter::ComplexData)

namespace {

// How a case's link is damaged.
enum class Link { Sound, FlatNowhere, FlatOther, NoRow };

ComplexData data(ComplexKind kind, ColumnType type, const QList<ComplexItem>& items) {
    ComplexData d;
    d.kind = kind;
    d.valueType = type;
    d.items = items;
    return d;
}

}  // namespace

Q_DECLARE_METATYPE(Link)

class TestJetComplex : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    const jet::DisplayFormat italian_{QLocale(QLocale::Italian, QLocale::Italy)};

    // A table "t" (n, the complex column c, dopo) whose row i holds the key keys[i] (0: NULL).
    QString write(const QString& name, Version version, const QList<int>& keys, ComplexData d, Link link) {
        jetwriter::Database db(version);
        Column c{"c", ColumnType::Complex};
        c.complexTypeId = 5;
        QList<Row> rows;
        for (int i = 0; i < keys.size(); ++i) {
            rows << Row{i + 1, keys[i] ? QVariant(keys[i]) : QVariant(), QStringLiteral("r%1").arg(i + 1)};
        }
        db.addTable(QStringLiteral("t"), {{"n", ColumnType::Long}, c, {"dopo", ColumnType::Text}}, rows);
        db.addTable(QStringLiteral("altra"), {{"x", ColumnType::Long}}, QList<Row>{Row{1}});
        db.addQuery(QStringLiteral("tutto"), QStringLiteral("SELECT * FROM t"));
        d.linked = link != Link::NoRow;
        d.flatTableId = link == Link::FlatNowhere ? 4000 : link == Link::FlatOther ? 2 : 0;
        db.setComplexData(QStringLiteral("t"), QStringLiteral("c"), d);
        const QString path = dir_.filePath(name + QStringLiteral(".accdb"));
        QString why;
        return db.write(path, &why) ? path : why;
    }

  private slots:
    void initTestCase() {
        QVERIFY(dir_.isValid());
        QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));  // items are shown as read
    }

    void items_data() {
        QTest::addColumn<Version>("version");
        QTest::addColumn<QList<int>>("keys");
        QTest::addColumn<ComplexData>("complex");
        QTest::addColumn<QStringList>("shown");  // per row; "NULL" for NULL
        const auto att = ComplexKind::Attachment;
        const auto mv = ComplexKind::MultiValue;
        QTest::newRow("attachments: 0, 1, 2 files, stored order")
            << Version::Ace12 << QList<int>{1, 2, 3}
            << data(att, ColumnType::Text, {{3, "zeta.pdf"}, {2, "pioggia.csv"}, {3, "alfa.jpg"}})
            << QStringList{"NULL", "pioggia.csv", "zeta.pdf; alfa.jpg"};
        QTest::newRow("attachment, NULL cell, key of another row")
            << Version::Ace17 << QList<int>{0, 7, 9} << data(att, ColumnType::Text, {{9, "a.txt"}})
            << QStringList{"NULL", "NULL", "a.txt"};
        QTest::newRow("multi-value text")
            << Version::Ace14 << QList<int>{4, 5, 6}
            << data(mv, ColumnType::Text, {{4, "rosso"}, {6, "blu"}, {4, "verde"}})
            << QStringList{"rosso; verde", "NULL", "blu"};
        QTest::newRow("multi-value long")
            << Version::Ace16 << QList<int>{1, 2} << data(mv, ColumnType::Long, {{2, 1500}, {2, -3}, {1, 0}})
            << QStringList{"0", "1500; -3"};
        QTest::newRow("multi-value double, decimal comma")
            << Version::Ace12 << QList<int>{1, 2} << data(mv, ColumnType::Double, {{1, 2.5}, {1, 10.0}})
            << QStringList{"2,5; 10", "NULL"};
    }
    void items() {
        QFETCH(Version, version);
        QFETCH(QList<int>, keys);
        QFETCH(ComplexData, complex);
        QFETCH(QStringList, shown);
        const QString path =
            write(QString::fromLatin1(QTest::currentDataTag()).left(20), version, keys, complex, Link::Sound);
        jet::Error error;
        std::shared_ptr<jet::Database> db = jet::Database::open(path, &error);
        QVERIFY2(db, qPrintable(path + error.message));
        // Through a snapshot, the key arrays, a stored query and the named field alike.
        for (const char* source : {"t", "select * from t where n > 0", "tutto", "select c, n from t"}) {
            auto rs = db->openRecordSet(QLatin1String(source), &error);
            QVERIFY2(rs, qPrintable(QLatin1String(source) + QLatin1Char(' ') + error.message));
            QVERIFY(rs->leftOutFields().isEmpty());
            const int c = rs->fieldIndex(QStringLiteral("c"));
            QVERIFY(c >= 0);
            QCOMPARE(rs->recordCount(), int(shown.size()));
            QStringList got;
            for (int r = 0; r < rs->recordCount(); ++r) {
                got << (rs->isNull(r, c) ? QStringLiteral("NULL") : rs->text(r, c, italian_));
            }
            QCOMPARE(got, shown);
        }
    }

    // Rows handed over one by one read the same items.
    void streamed() {
        const QString path =
            write(QStringLiteral("flusso"), Version::Ace12, {1, 2},
                  data(ComplexKind::Attachment, ColumnType::Text, {{2, "b"}, {2, "a"}}), Link::Sound);
        jet::Error error;
        std::shared_ptr<jet::Database> db = jet::Database::open(path, &error);
        QVERIFY2(db, qPrintable(error.message));
        struct Collect : jet::RowStream {
            QStringList lines, left;
            bool start(const QStringList& captions) override {
                lines << captions.join(QLatin1Char('|'));
                return true;
            }
            void leftOut(const QStringList& fields) override { left << fields; }
            bool row(const jet::RowCells& cells) override {
                QStringList line;
                QString buffer;
                for (int f = 0; f < cells.fieldCount(); ++f) {
                    line << cells.textView(f, jet::DisplayFormat(), &buffer).toString();
                }
                lines << line.join(QLatin1Char('|'));
                return true;
            }
        } out;
        QVERIFY2(db->readRows(QStringLiteral("t"), out, &error), qPrintable(error.message));
        QCOMPARE(out.left, QStringList());
        QCOMPARE(out.lines, (QStringList{"n|c|dopo", "1||r1", "2|b; a|r2"}));
    }

    // Criteria, sort keys and DISTINCT on the items would compare what Access compares otherwise.
    void notCompared() {
        const QString path = write(QStringLiteral("criteri"), Version::Ace12, {1},
                                   data(ComplexKind::MultiValue, ColumnType::Text, {{1, "x"}}), Link::Sound);
        jet::Error error;
        std::shared_ptr<jet::Database> db = jet::Database::open(path, &error);
        QVERIFY2(db, qPrintable(error.message));
        for (const char* statement : {"select n from t where c = 'x'", "select n from t order by c",
                                      "select distinct c from t", "select n from tutto where c = 'x'"}) {
            QVERIFY2(!db->openRecordSet(QLatin1String(statement), &error), statement);
            QCOMPARE(error.number, 3251);
            QVERIFY2(error.message.contains(QStringLiteral("'c'")), qPrintable(error.message));
        }
    }

    // A link that does not hold: the column is left out of "*" (the other fields read) and refused
    // by name, as a column the program cannot show.
    void brokenLinks_data() {
        QTest::addColumn<Link>("link");
        QTest::newRow("flat table id naming no table") << Link::FlatNowhere;
        QTest::newRow("flat table id naming the catalog") << Link::FlatOther;
        QTest::newRow("no row in MSysComplexColumns") << Link::NoRow;
    }
    void brokenLinks() {
        QFETCH(Link, link);
        const QString path =
            write(QStringLiteral("rotto%1").arg(int(link)), Version::Ace12, {1, 2},
                  data(ComplexKind::Attachment, ColumnType::Text, {{1, "a.txt"}, {2, "b.txt"}}), link);
        jet::Error error;
        std::shared_ptr<jet::Database> db = jet::Database::open(path, &error);
        QVERIFY2(db, qPrintable(path + error.message));
        auto rs = db->openRecordSet(QStringLiteral("t"), &error);
        QVERIFY2(rs, qPrintable(error.message));
        QCOMPARE(rs->leftOutFields(), QStringList{QStringLiteral("c")});
        QCOMPARE(rs->fieldCount(), 2);
        QCOMPARE(rs->text(1, 1, italian_), QStringLiteral("r2"));
        QVERIFY(!db->openRecordSet(QStringLiteral("select c from t"), &error));
        QCOMPARE(error.number, 3251);
        QVERIFY(error.message.contains(QStringLiteral("'c'")));
    }

    // The flat table's definition damaged: the column gives the damaged-file error, in "*" and by
    // name; the other fields still read.
    void damagedFlatTable() {
        const QString path =
            write(QStringLiteral("piatta"), Version::Ace12, {1},
                  data(ComplexKind::Attachment, ColumnType::Text, {{1, "a.txt"}}), Link::Sound);
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadWrite));
        QByteArray bytes = file.readAll();
        // The flat table's definition: the one that names its key column "t_c".
        const QByteArray key("t\0_\0c\0", 6);
        int page = -1;
        for (int p = 0; p * 4096 < bytes.size(); ++p) {
            const QByteArray one = bytes.mid(p * 4096, 4096);
            if (one.at(0) == 0x02 && one.contains(key)) {
                QCOMPARE(page, -1);
                page = p;
            }
        }
        QVERIFY(page > 0);
        bytes[page * 4096] = 0x01;  // a data page where a definition should be
        QVERIFY(file.seek(0));
        QCOMPARE(file.write(bytes), bytes.size());
        file.close();
        jet::Error error;
        std::shared_ptr<jet::Database> db = jet::Database::open(path, &error);
        QVERIFY2(db, qPrintable(error.message));
        for (const char* source : {"t", "select c from t"}) {
            QVERIFY2(!db->openRecordSet(QLatin1String(source), &error), source);
            QCOMPARE(error.number, 3049);
        }
        auto rs = db->openRecordSet(QStringLiteral("select n, dopo from t"), &error);
        QVERIFY2(rs, qPrintable(error.message));
        QCOMPARE(rs->text(0, 1, italian_), QStringLiteral("r1"));
    }
};

QTEST_GUILESS_MAIN(TestJetComplex)
#include "test_jet_complex.moc"
