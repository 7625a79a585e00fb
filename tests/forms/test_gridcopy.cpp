// Copying grid cells: the clipboard's text and HTML byte for byte for a cell, a rectangle, a
// column, all and scattered cells, with and without captions, over rows read from an archive
// written by our own writer; then the same through a grid, its keys and its context menu.
#include "controls/dbgrid.h"
#include "db/datasource.h"
#include "forms/gridactions.h"
#include "forms/gridarchive.h"
#include "forms/gridcopy.h"
#include "jet/jet.h"
#include "jetwriter/jetwriter.h"
#include "runtime/form.h"

#include <QAbstractButton>
#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QHeaderView>
#include <QMenu>
#include <QMimeData>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QString kStatement = QStringLiteral(
    "select nomestaz as [Denominazione], Giorno, Mese, Anno, Pioggia as [pioggia mm], TempMax as "
    "[Temperatura massima °C] from giorni");

QString html(const QStringList& rows) {
    return QStringLiteral("<html><head><meta charset=\"utf-8\"></head><body><table>\n") +
           rows.join(QString()) + QStringLiteral("</table></body></html>\n");
}

const QString kHead = QStringLiteral(
    "<tr><th>Denominazione</th><th>Giorno</th><th>Mese</th><th>Anno</th><th>pioggia mm</th>"
    "<th>Temperatura massima °C</th></tr>\n");

}  // namespace

class TestGridCopy : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() {
        using jetwriter::Column;
        using jetwriter::ColumnType;
        archive_.addDaily({Column{QStringLiteral("Pioggia"), ColumnType::Double},
                           Column{QStringLiteral("TempMax"), ColumnType::Single}},
                          QList<jetwriter::Row>{
                              {QStringLiteral("Monte Vessa"), 1, 3, 1995, 12.5, 8.3},
                              {QStringLiteral("Monte Vessa"), 2, 3, 1995, QVariant(), -1.5},
                              {QStringLiteral("Roda <alta> & \"bassa\""), 1, 3, 1995, 0.0, QVariant()},
                              {QStringLiteral("Riga\tcon\ntab"), 31, 2, 1995, 3.0, 4.0},
                          });
        archive_.writeAndOpen();
        if (QTest::currentTestFailed()) {
            return;
        }
        jet::Error failure;
        rows_ = archive_.database()->openRecordSet(kStatement, &failure);
        QVERIFY(rows_);
        QCOMPARE(rows_->recordCount(), 4);
    }

    void copiesExactly_data() {
        QTest::addColumn<QVector<forms::CellRange>>("ranges");
        QTest::addColumn<bool>("captions");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("html");

        using R = QVector<forms::CellRange>;
        QTest::newRow("cell") << R{{0, 5, 0, 5}} << false << QStringLiteral("8,3")
                              << html({QStringLiteral("<tr><td>8,3</td></tr>\n")});
        QTest::newRow("cell, captions") << R{{0, 4, 0, 4}} << true << QStringLiteral("pioggia mm\n12,5")
                                        << html({QStringLiteral("<tr><th>pioggia mm</th></tr>\n"),
                                                 QStringLiteral("<tr><td>12,5</td></tr>\n")});
        QTest::newRow("null cell") << R{{1, 4, 1, 4}} << false << QString()
                                   << html({QStringLiteral("<tr><td></td></tr>\n")});
        QTest::newRow("rectangle") << R{{1, 3, 2, 5}} << false << QStringLiteral("1995\t\t-1,5\n1995\t0\t")
                                   << html({QStringLiteral("<tr><td>1995</td><td></td><td>-1,5</td></tr>\n"),
                                            QStringLiteral("<tr><td>1995</td><td>0</td><td></td></tr>\n")});
        QTest::newRow("rectangle, captions")
            << R{{1, 3, 2, 5}} << true
            << QStringLiteral("Anno\tpioggia mm\tTemperatura massima °C\n1995\t\t-1,5\n1995\t0\t")
            << html({QStringLiteral(
                         "<tr><th>Anno</th><th>pioggia mm</th><th>Temperatura massima °C</th></tr>\n"),
                     QStringLiteral("<tr><td>1995</td><td></td><td>-1,5</td></tr>\n"),
                     QStringLiteral("<tr><td>1995</td><td>0</td><td></td></tr>\n")});
        QTest::newRow("column")
            << R{{0, 0, 3, 0}} << false
            << QStringLiteral("Monte Vessa\nMonte Vessa\nRoda <alta> & \"bassa\"\nRiga con tab")
            << html({QStringLiteral("<tr><td>Monte Vessa</td></tr>\n"),
                     QStringLiteral("<tr><td>Monte Vessa</td></tr>\n"),
                     QStringLiteral("<tr><td>Roda &lt;alta&gt; &amp; &quot;bassa&quot;</td></tr>\n"),
                     QStringLiteral("<tr><td>Riga\tcon<br>tab</td></tr>\n")});
        QTest::newRow("column, captions")
            << R{{0, 1, 3, 1}} << true << QStringLiteral("Giorno\n1\n2\n1\n31")
            << html({QStringLiteral("<tr><th>Giorno</th></tr>\n"), QStringLiteral("<tr><td>1</td></tr>\n"),
                     QStringLiteral("<tr><td>2</td></tr>\n"), QStringLiteral("<tr><td>1</td></tr>\n"),
                     QStringLiteral("<tr><td>31</td></tr>\n")});
        const QStringList all = {
            QStringLiteral(
                "<tr><td>Monte Vessa</td><td>1</td><td>3</td><td>1995</td><td>12,5</td><td>8,3</td></tr>\n"),
            QStringLiteral(
                "<tr><td>Monte Vessa</td><td>2</td><td>3</td><td>1995</td><td></td><td>-1,5</td></tr>\n"),
            QStringLiteral(
                "<tr><td>Roda &lt;alta&gt; &amp; &quot;bassa&quot;</td><td>1</td><td>3</td><td>1995</td>"
                "<td>0</td><td></td></tr>\n"),
            QStringLiteral("<tr><td>Riga\tcon<br>tab</td><td>31</td><td>2</td><td>1995</td><td>3</td><td>4</"
                           "td></tr>\n")};
        const QString allText = QStringLiteral(
            "Monte Vessa\t1\t3\t1995\t12,5\t8,3\n"
            "Monte Vessa\t2\t3\t1995\t\t-1,5\n"
            "Roda <alta> & \"bassa\"\t1\t3\t1995\t0\t\n"
            "Riga con tab\t31\t2\t1995\t3\t4");
        QTest::newRow("all") << R{{0, 0, 3, 5}} << false << allText << html(all);
        QTest::newRow("all, captions")
            << R{{0, 0, 3, 5}} << true
            << QStringLiteral("Denominazione\tGiorno\tMese\tAnno\tpioggia mm\tTemperatura massima °C\n") +
                   allText
            << html(QStringList{kHead} + all);
        QTest::newRow("beyond the rows is cut") << R{{-3, -1, 99, 99}} << false << allText << html(all);
        // Ctrl+click: the block of the rows and columns chosen; cells not chosen stay empty.
        QTest::newRow("scattered") << R{{0, 0, 0, 0}, {2, 4, 2, 4}} << true
                                   << QStringLiteral("Denominazione\tpioggia mm\nMonte Vessa\t\n\t0")
                                   << html({QStringLiteral(
                                                "<tr><th>Denominazione</th><th>pioggia mm</th></tr>\n"),
                                            QStringLiteral("<tr><td>Monte Vessa</td><td></td></tr>\n"),
                                            QStringLiteral("<tr><td></td><td>0</td></tr>\n")});
        QTest::newRow("nothing") << R{} << true << QString() << QString();
    }

    void copiesExactly() {
        QFETCH(QVector<forms::CellRange>, ranges);
        QFETCH(bool, captions);
        QFETCH(QString, text);
        QFETCH(QString, html);
        const forms::CopiedCells copied = forms::copyCells(*rows_, ranges, captions);
        QCOMPARE(copied.text, text);
        QCOMPARE(copied.html, html);
    }

    // The grid: Ctrl+C, the corner, the context menu on a right click, Shift+F10 and the Menu key.
    void throughTheGrid() {
        runtime::Form form;
        db::DataSource& source = *form.addDataSource(QStringLiteral("DTabella"));
        controls::DBGrid grid(QStringLiteral("DB"), &form);
        source.setDatabaseName(database());
        source.setRecordSource(kStatement);
        grid.bind(&source);
        source.open();
        forms::GridActions* actions = forms::GridActions::attach(grid.view(), &source);
        form.resize(800, 400);
        grid.resize(780, 380);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QTableView* view = grid.view();
        view->setFocus();

        // A rectangle chosen with click and Shift+click.
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {},
                          view->visualRect(view->model()->index(1, 3)).center());
        QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::ShiftModifier,
                          view->visualRect(view->model()->index(2, 5)).center());
        QGuiApplication::clipboard()->clear();
        QTest::keyClick(view, Qt::Key_C, Qt::ControlModifier);
        const QMimeData* mime = QGuiApplication::clipboard()->mimeData();
        QVERIFY(mime);
        QCOMPARE(mime->text(), QStringLiteral("1995\t\t-1,5\n1995\t0\t"));
        QCOMPARE(mime->html(), html({QStringLiteral("<tr><td>1995</td><td></td><td>-1,5</td></tr>\n"),
                                     QStringLiteral("<tr><td>1995</td><td>0</td><td></td></tr>\n")}));

        // The menu, by right click on a chosen cell: the choice stays.
        QMenu* menu = actions->menu();
        const QPoint at = view->visualRect(view->model()->index(2, 4)).center();
        QContextMenuEvent click(QContextMenuEvent::Mouse, at, view->viewport()->mapToGlobal(at));
        QCoreApplication::sendEvent(view->viewport(), &click);
        QTRY_VERIFY(menu->isVisible());
        QStringList texts;
        for (QAction* action : menu->actions()) {
            if (action->isVisible() && !action->isSeparator()) {
                texts << action->text();
            }
        }
        QCOMPARE(texts,
                 QStringList({"&Copia", "Copia con &intestazioni", "&Esporta in foglio di calcolo…",
                              "Ordina cresce&nte", "Ordina &decrescente", "Ordine &originale",
                              "&Filtra per selezione", "Escl&udi selezione", "Fi&ltro…", "Ri&muovi filtri",
                              "&Trova…", "&Statistiche della selezione…", "&Blocca colonne fino a questa"}));
        actions->copyWithCaptionsAction()->trigger();
        menu->hide();
        QCOMPARE(QGuiApplication::clipboard()->text(),
                 QStringLiteral("Anno\tpioggia mm\tTemperatura massima °C\n1995\t\t-1,5\n1995\t0\t"));

        // The menu from the keyboard, and "Grafico…" once a chart is offered.
        actions->setChartHandler([] {});
        QTest::keyClick(view, Qt::Key_F10, Qt::ShiftModifier);
        QTRY_VERIFY(menu->isVisible());
        QVERIFY(actions->chartAction()->isVisible());
        QCOMPARE(actions->chartAction()->text(), QStringLiteral("&Grafico…"));
        menu->hide();
        QTest::keyClick(view, Qt::Key_Menu);
        QTRY_VERIFY(menu->isVisible());
        menu->hide();

        // The corner chooses all; so does Ctrl+A.
        QAbstractButton* corner = view->findChild<QAbstractButton*>();
        QVERIFY(corner);
        corner->click();
        QTest::keyClick(view, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->text().count(u'\n'), 3);
        view->clearSelection();
        QTest::keyClick(view, Qt::Key_A, Qt::ControlModifier);
        actions->copy(true);
        QCOMPARE(QGuiApplication::clipboard()->text().section(u'\n', 0, 0),
                 QStringLiteral("Denominazione\tGiorno\tMese\tAnno\tpioggia mm\tTemperatura massima °C"));
        QCOMPARE(QGuiApplication::clipboard()->text().count(u'\n'), 4);

        // A column, as its header chooses it.
        view->clearSelection();
        view->selectColumn(1);
        QTest::keyClick(view, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("1\n2\n1\n31"));
    }

  private:
    QString database() const { return archive_.path(); }
    charttest::ChartArchive archive_;
    std::unique_ptr<jet::RecordSet> rows_;
};

QTEST_MAIN(TestGridCopy)
#include "test_gridcopy.moc"
