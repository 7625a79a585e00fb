// Sorting and filtering what a grid shows: the orders and the rows kept, written out by hand, for
// texts with accents and case (Italian collation), numbers with NULLs and ties (stable, NULL last
// both ways), dates; filters alone and combined; and the RowView between a model and its view.
#include "db/roworder.h"
#include "db/rowview.h"
#include "jet/jet.h"
#include "jetwriter/jetwriter.h"

#include <QAbstractTableModel>
#include <QDateTime>
#include <QLocale>
#include <QTemporaryDir>
#include <QtTest>

#include <numeric>

namespace {

using jetwriter::Column;
using jetwriter::ColumnType;

// Columns: 0 name, 1 year, 2 rain (Double), 3 temperature (Single), 4 date and time.
const QList<jetwriter::Row> kRows{
    {QStringLiteral("Zola"), 1995, 3.0, 96.6, QDateTime(QDate(1995, 7, 3), QTime(14, 30))},            // 0
    {QStringLiteral("àbaco"), 1996, QVariant(), -0.5, QDateTime(QDate(1995, 7, 3), QTime(0, 0))},      // 1
    {QStringLiteral("Abete"), 1995, -0.5, QVariant(), QVariant()},                                     // 2
    {QStringLiteral("Èrba"), 1996, 12.5, 96.6, QDateTime(QDate(1995, 7, 4), QTime(9, 0))},             // 3
    {QVariant(), 1995, 3.0, 0.0, QDateTime(QDate(1995, 7, 2), QTime(23, 59))},                         // 4
    {QStringLiteral("ente"), 1996, 0.0, 1.5, QDateTime(QDate(1990, 1, 1), QTime(0, 0))},               // 5
    {QStringLiteral("bologna"), 1995, QVariant(), 2.0, QDateTime(QDate(1999, 12, 31), QTime(12, 0))},  // 6
};

std::vector<int> identity(int count) {
    std::vector<int> order(size_t(count), 0);
    std::iota(order.begin(), order.end(), 0);
    return order;
}

// A model with the record set's texts, as a grid's model is.
class RowsModel : public QAbstractTableModel {
  public:
    explicit RowsModel(std::shared_ptr<const jet::RecordSet> rows) : rows_(std::move(rows)) {}
    int rowCount(const QModelIndex& = QModelIndex()) const override { return rows_->recordCount(); }
    int columnCount(const QModelIndex& = QModelIndex()) const override { return rows_->fieldCount(); }
    QVariant data(const QModelIndex& index, int role) const override {
        return role == Qt::DisplayRole
                   ? QVariant(rows_->text(index.row(), index.column(), jet::DisplayFormat()))
                   : QVariant();
    }
    QVariant headerData(int section, Qt::Orientation o, int role) const override {
        return o == Qt::Horizontal && role == Qt::DisplayRole ? QVariant(rows_->fieldName(section))
                                                              : QVariant();
    }
    void replace(std::shared_ptr<const jet::RecordSet> rows) {
        beginResetModel();
        rows_ = std::move(rows);
        endResetModel();
    }
    std::shared_ptr<const jet::RecordSet> rows_;
};

}  // namespace

class TestRowView : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    std::shared_ptr<jet::Database> db_;
    std::shared_ptr<const jet::RecordSet> rows_;

    db::RowFilter filter(int column, db::Condition condition, const QString& typed = QString(),
                         const QString& upper = QString()) {
        db::RowFilter f;
        f.column = column;
        f.condition = condition;
        bool whole = false, wholeUpper = true;
        const QLocale locale;
        if (condition == db::Condition::Contains) {
            f.text = typed;
        } else if (!typed.isEmpty()) {
            f.value = *db::readFilterValue(*rows_, column, typed, locale, &whole);
            if (!upper.isEmpty()) {
                f.upper = *db::readFilterValue(*rows_, column, upper, locale, &wholeUpper);
            }
        }
        f.wholeDays = whole && wholeUpper;
        return f;
    }

    QList<int> kept(const QVector<db::RowFilter>& filters) {
        QList<int> rows;
        const jet::DisplayFormat format{QLocale()};
        for (int row = 0; row < rows_->recordCount(); ++row) {
            if (db::passes(*rows_, row, filters, format)) {
                rows << row;
            }
        }
        return rows;
    }

  private slots:
    void initTestCase() {
        QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
        jetwriter::Database writer(jetwriter::Version::Jet4);
        writer.addTable(QStringLiteral("giorni"),
                        {Column{QStringLiteral("nomestaz"), ColumnType::Text, 50},
                         Column{QStringLiteral("Anno"), ColumnType::Integer},
                         Column{QStringLiteral("Pioggia"), ColumnType::Double},
                         Column{QStringLiteral("TempMax"), ColumnType::Single},
                         Column{QStringLiteral("Data"), ColumnType::DateTime}},
                        kRows);
        QVERIFY(dir_.isValid());
        QString error;
        QVERIFY2(writer.write(dir_.filePath(QStringLiteral("orbeni.mdb")), &error), qPrintable(error));
        jet::Error failure;
        db_ = jet::Database::open(dir_.filePath(QStringLiteral("orbeni.mdb")), &failure);
        QVERIFY(db_);
        rows_ = db_->openRecordSet(QStringLiteral("select * from giorni"), &failure);
        QVERIFY(rows_);
        QCOMPARE(rows_->recordCount(), int(kRows.size()));
    }

    void sorts_data() {
        QTest::addColumn<int>("column");
        QTest::addColumn<bool>("descending");
        QTest::addColumn<QList<int>>("order");
        // By the Italian collation: accents and case do not put a name after every plain one.
        QTest::newRow("names up") << 0 << false << QList<int>{1, 2, 6, 5, 3, 0, 4};
        QTest::newRow("names down") << 0 << true << QList<int>{0, 3, 5, 6, 2, 1, 4};
        // Ties (3.0 in rows 0 and 4) keep the record set's order both ways; NULL last both ways.
        QTest::newRow("rain up") << 2 << false << QList<int>{2, 5, 0, 4, 3, 1, 6};
        QTest::newRow("rain down") << 2 << true << QList<int>{3, 0, 4, 5, 2, 1, 6};
        // Singles as shown: 96.6 twice is a tie.
        QTest::newRow("temperature down") << 3 << true << QList<int>{0, 3, 6, 5, 4, 1, 2};
        QTest::newRow("dates up") << 4 << false << QList<int>{5, 4, 1, 0, 3, 6, 2};
    }

    void sorts() {
        QFETCH(int, column);
        QFETCH(bool, descending);
        QFETCH(QList<int>, order);
        std::vector<int> rows = identity(rows_->recordCount());
        db::sortRows(*rows_, column, descending ? Qt::DescendingOrder : Qt::AscendingOrder, rows);
        QCOMPARE(QList<int>(rows.begin(), rows.end()), order);
    }

    // Sorting by a second column keeps the first as the order within its ties.
    void sortsStablyByTwoColumns() {
        std::vector<int> rows = identity(rows_->recordCount());
        db::sortRows(*rows_, 2, Qt::AscendingOrder, rows);
        db::sortRows(*rows_, 1, Qt::AscendingOrder, rows);
        QCOMPARE(QList<int>(rows.begin(), rows.end()), (QList<int>{2, 0, 4, 6, 5, 3, 1}));
    }

    void filters_data() {
        QTest::addColumn<QVector<db::RowFilter>>("filters");
        QTest::addColumn<QList<int>>("rows");
        using C = db::Condition;
        QTest::newRow("text equal, case aside")
            << QVector<db::RowFilter>{filter(0, C::Equal, "BOLOGNA")} << QList<int>{6};
        QTest::newRow("differs keeps NULL")
            << QVector<db::RowFilter>{filter(2, C::Differs, "3")} << QList<int>{1, 2, 3, 5, 6};
        QTest::newRow("less, comma decimal")
            << QVector<db::RowFilter>{filter(2, C::Less, "0,5")} << QList<int>{2, 5};
        QTest::newRow("greater, point decimal")
            << QVector<db::RowFilter>{filter(3, C::Greater, "1.5")} << QList<int>{0, 3, 6};
        QTest::newRow("single equals its shown value")
            << QVector<db::RowFilter>{filter(3, C::Equal, "96,6")} << QList<int>{0, 3};
        QTest::newRow("between, bounds in")
            << QVector<db::RowFilter>{filter(2, C::Between, "0", "3")} << QList<int>{0, 4, 5};
        QTest::newRow("contains, as shown")
            << QVector<db::RowFilter>{filter(0, C::Contains, "OL")} << QList<int>{0, 6};
        QTest::newRow("contains a decimal comma")
            << QVector<db::RowFilter>{filter(3, C::Contains, ",5")} << QList<int>{1, 5};
        QTest::newRow("empty") << QVector<db::RowFilter>{filter(2, C::Empty)} << QList<int>{1, 6};
        QTest::newRow("text between, collated")
            << QVector<db::RowFilter>{filter(0, C::Between, "abete", "erbe")} << QList<int>{2, 3, 5, 6};
        QTest::newRow("a day without time: the whole day")
            << QVector<db::RowFilter>{filter(4, C::Equal, "03/07/1995")} << QList<int>{0, 1};
        QTest::newRow("a time of day exactly")
            << QVector<db::RowFilter>{filter(4, C::Equal, "03/07/1995 14:30")} << QList<int>{0};
        QTest::newRow("days between")
            << QVector<db::RowFilter>{filter(4, C::Between, "2/7/1995", "3/7/1995")} << QList<int>{0, 1, 4};
        QTest::newRow("combined") << QVector<db::RowFilter>{filter(1, C::Equal, "1995"),
                                                            filter(2, C::Greater, "0")}
                                  << QList<int>{0, 4};
    }

    void filters() {
        QFETCH(QVector<db::RowFilter>, filters);
        QFETCH(QList<int>, rows);
        QCOMPARE(kept(filters), rows);
    }

    // By the current cell: equal, or differing; an empty cell gives "is empty" and "is not empty".
    void filtersByCell() {
        QCOMPARE(kept({db::filterByCell(*rows_, 0, 2, false)}), (QList<int>{0, 4}));
        QCOMPARE(kept({db::filterByCell(*rows_, 0, 2, true)}), (QList<int>{1, 2, 3, 5, 6}));
        QCOMPARE(kept({db::filterByCell(*rows_, 4, 0, false)}), (QList<int>{4}));
        QCOMPARE(kept({db::filterByCell(*rows_, 4, 0, true)}), (QList<int>{0, 1, 2, 3, 5, 6}));
        QCOMPARE(db::filterByCell(*rows_, 0, 3, false).description, QStringLiteral("TempMax uguale a 96,6"));
    }

    void readsTypedValues() {
        const QLocale locale;
        bool whole = false;
        QVERIFY(!db::readFilterValue(*rows_, 2, QStringLiteral("tre"), locale));
        QVERIFY(!db::readFilterValue(*rows_, 4, QStringLiteral("31/02/1995"), locale));
        QCOMPARE(db::readFilterValue(*rows_, 2, QStringLiteral(" -0,5 "), locale)->toDouble(), -0.5);
        const double day = double(QDate(1899, 12, 30).daysTo(QDate(1995, 7, 3)));
        QCOMPARE(
            db::readFilterValue(*rows_, 4, QStringLiteral("3/7/1995 06:00"), locale, &whole)->dateSerial(),
            day + 0.25);
        QVERIFY(!whole);
        QCOMPARE(db::readFilterValue(*rows_, 0, QStringLiteral("Zola"), locale)->text(),
                 QStringLiteral("Zola"));
    }

    // The view over a model: the mapping both ways, the rows shown as a record set, the caption's
    // mark, the current cell kept on its row, and a new record set shown as it comes.
    void viewOverAModel() {
        RowsModel model(rows_);
        db::RowView view(
            &model, [&model] { return model.rows_; }, nullptr);
        QCOMPARE(view.shownRows(), rows_);  // unchanged: the record set itself
        QPersistentModelIndex current = view.index(3, 0);
        view.sortBy(2, Qt::DescendingOrder);
        QCOMPARE(view.recordRow(0), 3);
        QCOMPARE(view.viewRow(3), 0);
        QCOMPARE(current.row(), 0);
        QCOMPARE(view.headerData(2, Qt::Horizontal, Qt::DisplayRole).toString(),
                 QStringLiteral("Pioggia \u25BC"));
        QCOMPARE(view.data(view.index(0, 0), Qt::DisplayRole).toString(), QStringLiteral("Èrba"));
        view.addFilter(filter(1, db::Condition::Equal, "1995"));
        QCOMPARE(view.shownCount(), 4);
        QCOMPARE(view.totalCount(), 7);
        const auto shown = view.shownRows();
        QCOMPARE(shown->recordCount(), 4);
        QCOMPARE(shown->value(0, 0).text(), QStringLiteral("Zola"));
        QCOMPARE(shown->value(1, 0).isNull(), true);
        QCOMPARE(shown->value(3, 2).isNull(), true);
        QCOMPARE(view.viewRow(3), -1);
        view.originalOrder();
        QCOMPARE(view.headerData(2, Qt::Horizontal, Qt::DisplayRole).toString(), QStringLiteral("Pioggia"));
        QCOMPARE(view.recordRow(0), 0);
        QCOMPARE(view.recordRow(3), 6);
        view.clearFilters();
        QCOMPARE(view.rowCount(), 7);
        view.sortBy(0, Qt::AscendingOrder);
        model.replace(
            db_->openRecordSet(QStringLiteral("select nomestaz from giorni where Anno = 1996"), nullptr));
        QCOMPARE(view.sortColumn(), -1);
        QCOMPARE(view.rowCount(), 3);
        QCOMPARE(view.recordRow(2), 2);
    }
};

QTEST_GUILESS_MAIN(TestRowView)
#include "test_rowview.moc"
