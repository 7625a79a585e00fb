// Bound controls over archives of both Jet versions: what the windows rely on when the user
// picks, types and reads.
#include "support/controlsarchive.h"
#include "support/scriptedseams.h"

#include "controls/boundtextbox.h"
#include "controls/dbcombo.h"
#include "controls/dbgrid.h"
#include "controls/flexgrid.h"
#include "controls/gridfit.h"
#include "controls/tabcontrol.h"
#include "runtime/form.h"

#include <QAbstractItemView>
#include <QAbstractScrollArea>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStyle>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using namespace controlstest;
using jetwriter::Version;

class TestBoundControls : public QObject, private Archives {
    Q_OBJECT

  private:
    std::unique_ptr<testsupport::ScriptedSeams> seams_;

    static void showAndFocus(QWidget* window, QWidget* target) {
        window->show();
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowExposed(window));
        target->setFocus();
        QCoreApplication::processEvents();
    }

    // Picks an entry from the open drop-down with the keyboard, as a user does.
    static void pickWithKeyboard(controls::DBCombo* combo, int entry) {
        combo->showPopup();
        QAbstractItemView* list = combo->view();
        QVERIFY(list->isVisible());
        list->setCurrentIndex(list->model()->index(entry, 0));
        QTest::keyClick(list, Qt::Key_Return);
        QVERIFY(!list->isVisible());
    }

    static void retype(controls::DBCombo* combo, const QString& text) {
        combo->lineEdit()->selectAll();
        QTest::keyClick(combo, Qt::Key_Backspace);
        for (const QChar c : text) {
            // QTest types ASCII only; other letters arrive as the keyboard sends them, as text.
            if (c.unicode() < 128) {
                QTest::keyClick(combo, char(c.unicode()));
            } else {
                QTest::sendKeyEvent(QTest::Click, combo, Qt::Key_unknown, QString(c), Qt::NoModifier);
            }
        }
    }

  private slots:
    void initTestCase() {
        writeArchives();
        seams_ = std::make_unique<testsupport::ScriptedSeams>();
    }

    void cleanupTestCase() { seams_.reset(); }

    void init() { seams_->messages.clear(); }

    void cleanup() {
        QVERIFY2(seams_->messages.isEmpty(), qPrintable(seams_->messages.join(QLatin1Char('|'))));
    }

    void gridShowsOneColumnPerField_data() { addVersions(); }
    void gridShowsOneColumnPerField() {
        QFETCH(Version, version);
        QWidget window;
        runtime::Form dataOwner;
        db::DataSource& data = *dataOwner.addDataSource(QStringLiteral("DTabella"));
        data.setDatabaseName(archive(version));
        data.setRecordSource(
            QStringLiteral("select Codstaz, NomeStaz as [Temperatura °C (media)], Quota as [Quota m/s "
                           "l'anno], [Data validità] "
                           "from stazioni"));
        auto* grid = new controls::DBGrid(QStringLiteral("DBGrid1"), &window);
        grid->bind(&data);
        QCOMPARE(grid->columnCount(), 0);
        data.open();
        QCOMPARE(grid->columnCount(), 4);
        QCOMPARE(grid->columnCaption(0), QStringLiteral("Codstaz"));
        QCOMPARE(grid->columnCaption(1), QStringLiteral("Temperatura °C (media)"));
        QCOMPARE(grid->columnCaption(2), QStringLiteral("Quota m/s l'anno"));
        QCOMPARE(grid->columnCaption(3), QStringLiteral("Data validità"));
        QAbstractItemModel* model = grid->view()->model();
        QCOMPARE(model->rowCount(), 4);
        QCOMPARE(model->index(3, 1).data().toString(), QStringLiteral("Città di Castello"));
        QCOMPARE(model->index(1, 2).data().toString(), QString());  // NULL

        // No numbers in the record selector; the current row is marked.
        for (int row = 1; row < 4; ++row) {
            QCOMPARE(model->headerData(row, Qt::Vertical).toString(), QString());
        }
        QVERIFY(!model->headerData(0, Qt::Vertical).toString().isEmpty());

        // Read-only: the user can neither edit a cell nor change the rows.
        grid->setCaption(QStringLiteral("PIOGGE INTENSE (mm)"));
        showAndFocus(&window, grid->view());
        const QModelIndex cell = model->index(0, 1);
        grid->view()->setCurrentIndex(cell);
        QTest::keyClick(grid->view(), Qt::Key_F2);
        QTest::keyClicks(grid->view(), "x");
        QTest::keyClick(grid->view(), Qt::Key_Delete);
        QCOMPARE(cell.data().toString(), QStringLiteral("Aosta"));
        QCOMPARE(model->rowCount(), 4);
        QVERIFY(grid->findChild<QLabel*>()->isVisible());

        // Moving in the grid moves the source's current row.
        grid->view()->setCurrentIndex(model->index(2, 0));
        QCOMPARE(data.recordset()->bookmark(), 2);

        // A new statement gives new columns; a failed one leaves an empty grid.
        data.setRecordSource(QStringLiteral("select NomeStaz, Codstaz from stazioni where codstaz = 5"));
        data.Refresh();
        QCOMPARE(grid->columnCount(), 2);
        QCOMPARE(model->rowCount(), 1);
        data.setErrorHandler([](int, int& response) { response = 0; });
        data.setRecordSource(QStringLiteral("select Codstaz from nonesiste"));
        data.Refresh();
        QCOMPARE(grid->columnCount(), 0);
        QCOMPARE(model->rowCount(), 0);
    }

    // Entries stand in the engine's order, equal texts stay distinct, and a picked entry's
    // bookmark brings its own row.
    void comboBookmarkDesignatesTheChosenRow_data() { addVersions(); }
    void comboBookmarkDesignatesTheChosenRow() {
        QFETCH(Version, version);
        QWidget window;
        runtime::Form dataOwner;
        db::DataSource& data = *dataOwner.addDataSource(QStringLiteral("DStaz"));
        data.setDatabaseName(archive(version));
        data.setRecordSource(QStringLiteral("stazioni"));
        auto* combo = new controls::DBCombo(QStringLiteral("DBCmbStazione"), &window);
        combo->bind(&data, QStringLiteral("nomestaz"));
        data.open();
        QCOMPARE(combo->count(), 4);
        QStringList entries;
        for (int i = 0; i < combo->count(); ++i) {
            entries.append(combo->itemText(i));
        }
        QCOMPARE(entries, QStringList({"Aosta", "Bormio", "Aosta", "Città di Castello"}));
        QCOMPARE(combo->text(), QString());
        QCOMPARE(combo->SelectedItem(), -1);

        QSignalSpy clicks(combo, &controls::DBCombo::Click);
        showAndFocus(&window, combo);
        pickWithKeyboard(combo, 2);
        QCOMPARE(clicks.count(), 1);
        QCOMPARE(clicks.first().first().toInt(), 0);
        QCOMPARE(combo->text(), QStringLiteral("Aosta"));
        QCOMPARE(combo->SelectedItem(), 2);
        data.recordset()->setBookmark(combo->SelectedItem());
        QCOMPARE(data.recordset()->text(QStringLiteral("codstaz")), QStringLiteral("31"));

        pickWithKeyboard(combo, 0);
        QCOMPARE(clicks.count(), 2);
        QCOMPARE(combo->SelectedItem(), 0);
        data.recordset()->setBookmark(combo->SelectedItem());
        QCOMPARE(data.recordset()->text(QStringLiteral("codstaz")), QStringLiteral("12"));

        // Choosing the entry already shown is still a choice.
        pickWithKeyboard(combo, 0);
        QCOMPARE(clicks.count(), 3);

        // With the list closed, the arrow keys choose the next entry.
        QTest::keyClick(combo, Qt::Key_Down);
        QCOMPARE(clicks.count(), 4);
        QCOMPARE(combo->SelectedItem(), 1);
        QCOMPARE(combo->text(), QStringLiteral("Bormio"));

        // The wheel over the closed list chooses nothing.
        QWheelEvent wheel(QPointF(5, 5), combo->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, -120),
                          Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(combo, &wheel);
        QCOMPARE(clicks.count(), 4);
        QCOMPARE(combo->SelectedItem(), 1);

        // A mouse pick in the open list.
        combo->showPopup();
        QAbstractItemView* list = combo->view();
        const QRect entry = list->visualRect(list->model()->index(3, 0));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, entry.center());
        QCOMPARE(clicks.count(), 5);
        QCOMPARE(combo->SelectedItem(), 3);
        QCOMPARE(combo->text(), QStringLiteral("Città di Castello"));
    }

    void comboTypingEditsOnlyTheText() {
        QWidget window;
        runtime::Form dataOwner;
        db::DataSource& data = *dataOwner.addDataSource(QStringLiteral("DStaz"));
        data.setDatabaseName(archive(Version::Jet4));
        data.setRecordSource(QStringLiteral("stazioni"));
        auto* combo = new controls::DBCombo(QStringLiteral("DBCmbStazione"), &window);
        auto* other = new QLineEdit(&window);
        other->move(0, 60);
        combo->bind(&data, QStringLiteral("NomeStaz"));
        data.open();
        QSignalSpy clicks(combo, &controls::DBCombo::Click);
        showAndFocus(&window, combo);

        // A text that names no entry designates no row, also once the edit ends.
        QTest::keyClicks(combo, "Nessuna");
        QCOMPARE(combo->text(), QStringLiteral("Nessuna"));
        QCOMPARE(combo->SelectedItem(), -1);
        QTest::keyClick(combo, Qt::Key_Return);
        other->setFocus();
        QCoreApplication::processEvents();
        QCOMPARE(combo->SelectedItem(), -1);
        QCOMPARE(combo->text(), QStringLiteral("Nessuna"));

        // Typing an entry's text (other case, blanks around) designates it.
        combo->setFocus();
        retype(combo, " bormio ");
        QCOMPARE(combo->SelectedItem(), 1);
        QCOMPARE(combo->text(), QStringLiteral(" bormio "));
        // Typing another entry's name designates that entry: what the list shows is what is searched.
        retype(combo, "aosta");
        QCOMPARE(combo->SelectedItem(), 0);
        QTest::keyClick(combo, Qt::Key_Return);
        other->setFocus();
        QCoreApplication::processEvents();
        QCOMPARE(combo->SelectedItem(), 0);
        QCOMPARE(clicks.count(), 0);

        // Setting the text designates by the same rule and reports no click; an empty text designates none.
        combo->setText(QString());
        QCOMPARE(combo->text(), QString());
        QCOMPARE(combo->SelectedItem(), -1);
        combo->setText(QStringLiteral("Città di Castello"));
        QCOMPARE(combo->SelectedItem(), 3);
        QCOMPARE(clicks.count(), 0);
    }

    // One rule for the text of every list, whatever designated an entry before: equal texts
    // (blanks at both ends and case ignored) designate; among equal ones the designated stays,
    // else the first; any other text designates none.
    void comboTextDesignatesByOneRule_data() {
        QTest::addColumn<int>("picked");  // the entry chosen from the list first; -1 none
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("designated");
        // The entry the drop-down opens on: the designated one, else the first that begins so.
        QTest::addColumn<int>("shown");
        QTest::newRow("fresh list, exact name") << -1 << "Bormio" << 1 << 1;
        QTest::newRow("fresh list, shared name: the first") << -1 << "Aosta" << 0 << 0;
        QTest::newRow("shared name: the picked one stays") << 2 << " AOSTA " << 2 << 2;
        QTest::newRow("shared name: other picked before") << 1 << "aosta" << 0 << 0;
        QTest::newRow("another name over a pick") << 0 << "bormio" << 1 << 1;
        QTest::newRow("accented capitals") << 1 << "CITTÀ DI CASTELLO" << 3 << 3;
        QTest::newRow("no such entry over a pick") << 1 << "Bormi" << -1 << 1;
        QTest::newRow("beginning, folded") << -1 << " citt" << -1 << 3;
        QTest::newRow("emptied over a pick") << 3 << "" << -1 << -1;
        QTest::newRow("blanks only") << -1 << "   " << -1 << -1;
        QTest::newRow("begins no entry") << -1 << "Zz" << -1 << -1;
    }
    void comboTextDesignatesByOneRule() {
        QFETCH(int, picked);
        QFETCH(QString, text);
        QFETCH(int, designated);
        QFETCH(int, shown);
        QWidget window;
        runtime::Form dataOwner;
        db::DataSource& data = *dataOwner.addDataSource(QStringLiteral("DStaz"));
        data.setDatabaseName(archive(Version::Jet4));
        data.setRecordSource(QStringLiteral("stazioni"));
        auto* combo = new controls::DBCombo(QStringLiteral("DBCmbStazione"), &window);
        combo->bind(&data, QStringLiteral("NomeStaz"));
        data.open();
        showAndFocus(&window, combo);
        if (picked >= 0) {
            pickWithKeyboard(combo, picked);
            QCOMPARE(combo->SelectedItem(), picked);
        }
        // Typed and set alike.
        retype(combo, text);
        QCOMPARE(combo->SelectedItem(), designated);
        combo->setText(QString());
        if (picked >= 0) {
            pickWithKeyboard(combo, picked);
        }
        combo->setText(text);
        QCOMPARE(combo->SelectedItem(), designated);
        combo->showPopup();
        QCOMPARE(combo->view()->currentIndex().row(), shown);
        combo->hidePopup();
        QCOMPARE(combo->SelectedItem(), designated);
        QCOMPARE(combo->text(), text);
    }

    void listTextsFoldFully() {
        QCOMPARE(controls::matchKey(QStringLiteral(" Straße ")),
                 controls::matchKey(QStringLiteral("STRASSE")));
        QCOMPARE(controls::matchKey(QStringLiteral("ﬁume")), controls::matchKey(QStringLiteral("FIUME")));
        QCOMPARE(controls::matchKey(QStringLiteral("Forl\u00ec")),
                 controls::matchKey(QStringLiteral("FORLI\u0300")));
        QVERIFY(controls::matchKey(QStringLiteral("Forlì")) != controls::matchKey(QStringLiteral("Forli")));
    }

    // A list whose text is bound to a row (the registry's): a typed name that designates an entry
    // is a choice on Enter or when the list loses the focus; any other text goes back.
    void comboBoundTextCommitsTypedText() {
        QWidget window;
        runtime::Form dataOwner;
        db::DataSource& data = *dataOwner.addDataSource(QStringLiteral("DAnagrafica"));
        data.setDatabaseName(archive(Version::Jet4));
        data.setRecordSource(QStringLiteral("stazioni"));
        auto* combo = new controls::DBCombo(QStringLiteral("DBCombo1"), &window);
        auto* other = new QLineEdit(&window);
        other->move(0, 60);
        combo->bind(&data, QStringLiteral("NomeStaz"));
        combo->bindText(&data, QStringLiteral("NomeStaz"));
        data.open();
        QSignalSpy clicks(combo, &controls::DBCombo::Click);
        showAndFocus(&window, combo);
        QCOMPARE(combo->text(), QStringLiteral("Aosta"));

        retype(combo, "bormio");
        QTest::keyClick(combo, Qt::Key_Return);
        QCOMPARE(clicks.count(), 1);
        QCOMPARE(combo->SelectedItem(), 1);

        retype(combo, "Nessuna");
        QTest::keyClick(combo, Qt::Key_Return);
        QCOMPARE(clicks.count(), 1);
        QCOMPARE(combo->text(), QStringLiteral("Aosta"));  // the row still shown
        QCOMPARE(combo->SelectedItem(), 0);

        combo->setFocus();
        retype(combo, "Città di castello");
        other->setFocus();
        QCoreApplication::processEvents();
        QCOMPARE(clicks.count(), 2);
        QCOMPARE(combo->SelectedItem(), 3);

        // Leaving without typing is no choice.
        combo->setFocus();
        other->setFocus();
        QCoreApplication::processEvents();
        QCOMPARE(clicks.count(), 2);
    }

    // The registry's station list shows the current station's name and follows the source.
    void comboTextFollowsItsSource() {
        runtime::Form dataOwner;
        db::DataSource& data = *dataOwner.addDataSource(QStringLiteral("DAnagrafica"));
        data.setDatabaseName(archive(Version::Jet3));
        data.setRecordSource(QStringLiteral("stazioni"));
        controls::DBCombo combo(QStringLiteral("DBCombo1"), nullptr);
        combo.bindText(&data, QStringLiteral("NomeStaz"));
        combo.bind(&data, QStringLiteral("NomeStaz"));
        QSignalSpy clicks(&combo, &controls::DBCombo::Click);
        data.open();
        QCOMPARE(combo.count(), 4);
        QCOMPARE(combo.text(), QStringLiteral("Aosta"));
        data.recordset()->setBookmark(3);
        QCOMPARE(combo.text(), QStringLiteral("Città di Castello"));
        QCOMPARE(combo.SelectedItem(), 3);
        // The row shown is designated, also among entries named alike.
        data.recordset()->setBookmark(2);
        QCOMPARE(combo.text(), QStringLiteral("Aosta"));
        QCOMPARE(combo.SelectedItem(), 2);
        data.Refresh();
        QCOMPARE(combo.count(), 4);
        QCOMPARE(combo.text(), QStringLiteral("Aosta"));
        QCOMPARE(clicks.count(), 0);
    }

    void textBoxesShowTheCurrentRow_data() { addVersions(); }
    void textBoxesShowTheCurrentRow() {
        QFETCH(Version, version);
        runtime::Form dataOwner;
        db::DataSource& data = *dataOwner.addDataSource(QStringLiteral("DAnagrafica"));
        data.setDatabaseName(archive(version));
        data.setRecordSource(QStringLiteral("stazioni"));
        controls::BoundTextBox code(QStringLiteral("txtCod"), nullptr);
        controls::BoundTextBox altitude(QStringLiteral("txtQuo"), nullptr);
        code.bind(&data, QStringLiteral("codstaz"));
        altitude.bind(&data, QStringLiteral("Quota"));
        data.open();
        QCOMPARE(code.text(), QStringLiteral("12"));
        data.recordset()->MoveNext();
        QCOMPARE(code.text(), QStringLiteral("7"));
        QCOMPARE(altitude.text(), QString());  // NULL
        data.recordset()->setBookmark(3);
        QCOMPARE(code.text(), QStringLiteral("5"));
        data.close();
        QCOMPARE(code.text(), QString());
    }

    // A locked multi-line box shows its whole field; the caret moves, the text stays.
    void lockedBoxKeepsItsTextAndMovesTheCaret_data() { addVersions(); }
    void lockedBoxKeepsItsTextAndMovesTheCaret() {
        QFETCH(Version, version);
        QWidget window;
        window.resize(400, 300);
        runtime::Form dataOwner;
        db::DataSource& data = *dataOwner.addDataSource(QStringLiteral("Data1"));
        data.setDatabaseName(archive(version));
        data.setRecordSource(QStringLiteral("help"));
        auto* box = new controls::BoundTextBox(QStringLiteral("Text2"), &window, true);
        box->setGeometry(0, 0, 300, 200);
        box->bind(&data, QStringLiteral("help0"));
        data.open();
        QPlainTextEdit* edit = box->textEdit();
        QVERIFY(edit && !box->lineEdit());
        QCOMPARE(box->text(), longText());

        showAndFocus(&window, box);
        QVERIFY(edit->hasFocus());
        QVERIFY(!edit->verticalScrollBar()->isVisible());
        QCOMPARE(edit->textCursor().position(), 0);
        QTest::keyClicks(edit, "abc");
        QTest::keyClick(edit, Qt::Key_Delete);
        QTest::keyClick(edit, Qt::Key_Return);
        QCOMPARE(box->text(), longText());
        QTest::keyClick(edit, Qt::Key_Down);
        QVERIFY(edit->textCursor().position() > 0);
        QTest::keyClick(edit, Qt::Key_End, Qt::ControlModifier);
        QCOMPARE(edit->textCursor().position(), longText().size());
        // The end of a text longer than the box is brought into view.
        QVERIFY(edit->verticalScrollBar()->value() > 0);
        QTest::keyClick(edit, Qt::Key_Backspace);
        QCOMPARE(box->text(), longText());
    }

    // A result's columns are as wide as its texts, also far down the result, and as its captions
    // drawn in bold (the current column's caption is bold): nothing of either is cut.
    void gridColumnsShowTextsAndCaptionsWhole_data() {
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("longRow");  // where the long name stands
        QTest::newRow("one row") << 1 << 0;
        QTest::newRow("first of many") << 1500 << 0;
        QTest::newRow("last of many") << 1500 << 1499;
        QTest::newRow("last of a few") << 60 << 59;
    }
    void gridColumnsShowTextsAndCaptionsWhole() {
        QFETCH(int, rows);
        QFETCH(int, longRow);
        using jetwriter::Column;
        using jetwriter::ColumnType;
        const QString longName = QStringLiteral("Santa Maria delle Grazie al Monte Sorvane");
        const QString longCaption = QStringLiteral("Temperatura massima media °C");
        QList<jetwriter::Row> content;
        for (int row = 0; row < rows; ++row) {
            content.append({row, row == longRow ? longName : QStringLiteral("Riva %1").arg(row), 1.5});
        }
        jetwriter::Database writer(Version::Jet4);
        writer.addTable(QStringLiteral("lunga"),
                        {Column{QStringLiteral("Codstaz"), ColumnType::Long},
                         Column{QStringLiteral("NomeStaz"), ColumnType::Text, 80},
                         Column{QStringLiteral("Tmax"), ColumnType::Double}},
                        content);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("orbeni.mdb"));
        QVERIFY(writer.write(path));

        QWidget window;
        window.resize(600, 400);
        runtime::Form dataOwner;
        db::DataSource& data = *dataOwner.addDataSource(QStringLiteral("DTabella"));
        data.setDatabaseName(path);
        data.setRecordSource(
            QStringLiteral("select Codstaz, NomeStaz, Tmax as [%1] from lunga").arg(longCaption));
        auto* grid = new controls::DBGrid(QStringLiteral("DB"), &window);
        grid->setGeometry(0, 0, 600, 400);
        grid->bind(&data);
        data.open();
        QTableView* view = grid->view();
        QCOMPARE(view->model()->rowCount(), rows);
        QCOMPARE(view->model()->index(longRow, 1).data().toString(), longName);

        // The caption of the current column is drawn in bold.
        showAndFocus(&window, view);
        view->setCurrentIndex(view->model()->index(0, 2));
        QVERIFY(view->horizontalHeader()->highlightSections());

        QStyle* style = view->style();
        const int cellMargin = 2 * (style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, view) + 1);
        const int headerMargin =
            2 * style->pixelMetric(QStyle::PM_HeaderMargin, nullptr, view->horizontalHeader());
        QFont bold = view->horizontalHeader()->font();
        bold.setBold(true);
        for (int column = 0; column < 3; ++column) {
            const QString caption = grid->columnCaption(column);
            QVERIFY2(
                QFontMetrics(bold).horizontalAdvance(caption) + headerMargin <= view->columnWidth(column),
                qPrintable(caption));
        }
        QVERIFY(view->fontMetrics().horizontalAdvance(longName) + cellMargin <= view->columnWidth(1));
    }

    // The rows a grid measures: all of a short result; of a long one the two ends and rows spread
    // between, in order, each once, never more than the budget.
    void measuredRowsSpanTheResult_data() {
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("budget");
        for (int rows : {0, 1, 2, 239, 240, 241, 1000, 1000003}) {
            QTest::addRow("%d rows", rows) << rows << 240;
        }
        QTest::newRow("budget of 3") << 50 << 3;
        QTest::newRow("budget of 1") << 50 << 1;
    }
    void measuredRowsSpanTheResult() {
        QFETCH(int, rows);
        QFETCH(int, budget);
        const QList<int> measured = controls::sampleRows(rows, budget);
        QCOMPARE(measured.size(), qMin(rows, budget));
        if (rows == 0) {
            return;
        }
        QCOMPARE(measured.first(), 0);
        if (budget > 1) {
            QCOMPARE(measured.last(), rows - 1);
        }
        for (int i = 1; i < measured.size(); ++i) {
            QVERIFY(measured[i - 1] < measured[i]);
        }
        // Spread: no gap much wider than an even share of the result.
        for (int i = 1; rows > budget && budget > 2 && i < measured.size(); ++i) {
            QVERIFY2(measured[i] - measured[i - 1] <= 2 * rows / budget + 1, qPrintable(QString::number(i)));
        }
    }

    void flexGridHasAHeaderRowAndWidthsInTwips_data() { addVersions(); }
    void flexGridHasAHeaderRowAndWidthsInTwips() {
        QFETCH(Version, version);
        runtime::Form dataOwner;
        db::DataSource& data = *dataOwner.addDataSource(QStringLiteral("DMensili"));
        data.setDatabaseName(archive(version));
        controls::FlexGrid grid(QStringLiteral("MSFlexGrid1"), nullptr);
        grid.setCols(3);
        grid.bind(&data);
        // Widths are set in the load handler, before the source opens.
        grid.setColWidth(0, 1800);
        grid.setColWidth(1, 690);
        grid.setColWidth(2, 600);
        data.open();  // an empty record source: the header row alone
        QCOMPARE(grid.rows(), 1);
        QCOMPARE(grid.cols(), 3);

        data.setRecordSource(QStringLiteral("select NomeStaz, codstaz, Quota from stazioni"));
        data.Refresh();
        QCOMPARE(grid.rows(), 5);
        QCOMPARE(grid.cols(), 3);
        QCOMPARE(grid.textMatrix(0, 0), QStringLiteral("NomeStaz"));
        QCOMPARE(grid.textMatrix(0, 1).toLower(), QStringLiteral("codstaz"));
        QCOMPARE(grid.textMatrix(1, 0), QStringLiteral("Aosta"));
        QCOMPARE(grid.textMatrix(3, 1), QStringLiteral("31"));
        QCOMPARE(grid.textMatrix(4, 0), QStringLiteral("Città di Castello"));
        QCOMPARE(grid.colWidth(2), 600);
        QCOMPARE(grid.view()->columnWidth(0), runtime::twipsToPixels(1800));
    }

    void tabsStandInRows() {
        QWidget window;
        auto* tabs = new controls::TabControl(QStringLiteral("SSTab1"), &window, 4);
        tabs->setGeometry(0, 0, 600, 400);
        const QStringList captions = {"Configurazione", "Generalità", " Dati giornalieri", "Piogge intense",
                                      "Autori",         "Indirizzi",  "Anagrafica",        "Tab 7"};
        QList<QWidget*> pages;
        for (const QString& caption : captions) {
            pages.append(tabs->addTab(caption));
        }
        QCOMPARE(tabs->count(), 8);
        QCOMPARE(tabs->tabCaption(2), QStringLiteral(" Dati giornalieri"));
        QCOMPARE(tabs->Tab(), 0);
        auto* label = new QLabel(QStringLiteral("Regione"), pages[4]);
        label->move(runtime::twipsToPixels(120), runtime::twipsToPixels(720));
        tabs->setTab(4);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCOMPARE(tabs->Tab(), 4);
        QCOMPARE(tabs->page(4), pages[4]);
        QVERIFY(label->isVisible());
        QVERIFY(!pages[0]->isVisible());

        // Two rows of four tabs above the page's controls.
        QList<QPushButton*> buttons;
        for (int i = 0; i < 8; ++i) {
            buttons.append(tabs->findChild<QPushButton*>(QStringLiteral("SSTab1_tab%1").arg(i)));
            QVERIFY(buttons[i]);
            QCOMPARE(buttons[i]->text(), captions[i]);
        }
        QCOMPARE(buttons[3]->y(), buttons[0]->y());
        QVERIFY(buttons[4]->y() > buttons[0]->y());
        QCOMPARE(buttons[4]->x(), buttons[0]->x());
        QVERIFY(buttons[4]->mapTo(tabs, QPoint(0, buttons[4]->height())).y() <=
                label->mapTo(tabs, QPoint()).y());
        QVERIFY(buttons[4]->isChecked());

        QTest::mouseClick(buttons[7], Qt::LeftButton);
        QCOMPARE(tabs->Tab(), 7);
        QVERIFY(!label->isVisible());
        tabs->setTab(8);  // no such tab
        QCOMPARE(tabs->Tab(), 7);

        // The keyboard steps through the tabs, round from the last to the first.
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        buttons[7]->setFocus();
        QTest::keyClick(buttons[7], Qt::Key_Tab, Qt::ControlModifier);
        QCOMPARE(tabs->Tab(), 0);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab,
                        Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(tabs->Tab(), 7);
    }
};

QTEST_MAIN(TestBoundControls)
#include "test_boundcontrols.moc"
