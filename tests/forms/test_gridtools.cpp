// The grid tools as a user reaches them through a grid's context menu and keys: the menu's
// entries and access keys, sorting (the header shows it; a header click still chooses the
// column), filters by the current cell and by the dialog, the shown-rows tooltip, find with its
// wrapping message, the selection's figures, frozen columns, and copying and the spreadsheet file
// following the view while "Esporta Dati" keeps the record set's order.
#include "controls/dbgrid.h"
#include "db/datasource.h"
#include "db/rowview.h"
#include "export/esporta.h"
#include "forms/filterdialog.h"
#include "forms/frozencolumns.h"
#include "forms/gridactions.h"
#include "forms/gridarchive.h"
#include "forms/gridfind.h"
#include "forms/gridtools.h"
#include "runtime/form.h"
#include "runtime/seams.h"

#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QHeaderView>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProcess>
#include <QScrollBar>
#include <QTableView>
#include <QtTest>

#include <cmath>

namespace {

const QString kStatement = QStringLiteral(
    "select nomestaz as [Denominazione], Giorno, Mese, Anno, Pioggia as [pioggia mm], TempMax as "
    "[Temperatura massima °C] from giorni");

struct Messages : seams::MessageBox {
    QStringList texts;
    void show(QWidget*, const QString& text) override { texts << text; }
};

struct Save : seams::SaveDialog {
    QString fileName;
    int filterIndex = 1;
    bool exec(QWidget*, seams::SaveRequest& request) override {
        request.fileName = fileName;
        request.filterIndex = filterIndex;
        return true;
    }
};

QStringList column(const QTableView* view, int c) {
    QStringList texts;
    for (int r = 0; r < view->model()->rowCount(); ++r) {
        texts << view->model()->index(r, c).data().toString();
    }
    return texts;
}

}  // namespace

class TestGridTools : public QObject {
    Q_OBJECT

    charttest::ChartArchive archive_;
    Messages messages_;
    Save save_;

    // A daily grid as the result window has it, with its chart and a window entry offered.
    struct Grid {
        runtime::Form form;
        db::DataSource source{QStringLiteral("DTabella"), &form};
        controls::DBGrid grid{QStringLiteral("DB"), &form};
        forms::GridActions* actions = nullptr;
        forms::GridTools* tools = nullptr;
        QTableView* view = nullptr;

        explicit Grid(const QString& database) {
            source.setDatabaseName(database);
            source.setRecordSource(kStatement);
            grid.bind(&source);
            source.open();
            actions = forms::GridActions::attach(grid.view(), &source);
            actions->setChartHandler([] {});
            actions->addWindowEntry(QStringLiteral("&Riepilogo…"));
            tools = actions->tools();
            view = grid.view();
            form.setWindowTitle(QStringLiteral("Visualizzazione dati giornalieri"));
            form.resize(500, 300);
            grid.resize(480, 280);
            form.show();
        }
        void at(int row, int c) { view->setCurrentIndex(view->model()->index(row, c)); }
        void run(const char* name) { tools->action(name)->trigger(); }
    };

  private slots:
    void initTestCase() {
        using jetwriter::Column;
        using jetwriter::ColumnType;
        archive_.addDaily({Column{QStringLiteral("Pioggia"), ColumnType::Double},
                           Column{QStringLiteral("TempMax"), ColumnType::Single}},
                          QList<jetwriter::Row>{
                              {QStringLiteral("Zola"), 1, 3, 1995, 12.5, 8.3},
                              {QStringLiteral("Èrba"), 2, 3, 1995, QVariant(), -1.5},
                              {QStringLiteral("bologna"), 3, 3, 1995, 0.0, 96.6},
                              {QStringLiteral("Abete"), 4, 3, 1995, 3.0, QVariant()},
                              {QVariant(), 5, 3, 1995, 0.0, 2.0},
                              {QStringLiteral("Bologna"), 6, 3, 1995, 3.0, 4.5},
                          });
        archive_.writeAndOpen();
    }

    void init() {
        messages_.texts.clear();
        seams::setMessageBox(&messages_);
        seams::setSaveDialog(&save_);
    }

    void cleanup() {
        seams::setMessageBox(nullptr);
        seams::setSaveDialog(nullptr);
    }

    // The whole menu, in order, with one access key per entry.
    void menuReadsInOrder() {
        Grid g(archive_.path());
        QStringList texts;
        QString keys;
        for (QAction* action : g.actions->menu()->actions()) {
            if (action->isSeparator() || !action->isVisible()) {
                continue;
            }
            texts << action->text();
            const int amp = action->text().indexOf(u'&');
            QVERIFY2(amp >= 0, qPrintable(action->text()));
            const QChar key = action->text().at(amp + 1).toLower();
            QVERIFY2(!keys.contains(key), qPrintable(action->text()));
            keys += key;
        }
        QCOMPARE(texts, (QStringList{"&Copia", "Copia con &intestazioni", "&Grafico…", "&Riepilogo…",
                                     "&Esporta in foglio di calcolo…", "Ordina cresce&nte",
                                     "Ordina &decrescente", "Ordine &originale", "&Filtra per selezione",
                                     "Escl&udi selezione", "Fi&ltro…", "Ri&muovi filtri", "&Trova…",
                                     "&Statistiche della selezione…", "&Blocca colonne fino a questa"}));
    }

    // Sorting from the menu; the header shows it; a header click still chooses the column; the
    // current row of the record set follows the row chosen in the sorted grid.
    void sorts() {
        Grid g(archive_.path());
        QVERIFY(QTest::qWaitForWindowExposed(&g.form));
        g.at(0, 0);
        g.run("mnuOrdinaCrescente");
        QCOMPARE(column(g.view, 0), (QStringList{"Abete", "bologna", "Bologna", "Èrba", "Zola", ""}));
        QCOMPARE(g.view->model()->headerData(0, Qt::Horizontal).toString(),
                 QStringLiteral("Denominazione \u25B2"));
        QCOMPARE(g.view->currentIndex().row(), 4);  // the current cell stays on its row (Zola)
        g.at(0, 4);
        g.run("mnuOrdinaDecrescente");
        QCOMPARE(column(g.view, 4), (QStringList{"12,5", "3", "3", "0", "0", ""}));
        QCOMPARE(column(g.view, 0), (QStringList{"Zola", "Abete", "Bologna", "bologna", "", "Èrba"}));
        QCOMPARE(g.view->model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("Denominazione"));
        g.at(1, 2);
        QCOMPARE(g.source.recordset()->bookmark(), 3);  // Abete is the record set's fourth row
        const QHeaderView* header = g.view->horizontalHeader();
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionViewportPosition(5) + 5, header->height() / 2));
        QVERIFY(g.view->selectionModel()->isColumnSelected(5, QModelIndex()));
        QCOMPARE(column(g.view, 4).first(), QStringLiteral("12,5"));  // the click did not sort
        g.run("mnuOrdineOriginale");
        QCOMPARE(column(g.view, 0), (QStringList{"Zola", "Èrba", "bologna", "Abete", "", "Bologna"}));
    }

    // Filters by the current cell and by the dialog combine; the tooltip counts the rows shown.
    void filters() {
        Grid g(archive_.path());
        g.at(3, 4);  // 3
        g.run("mnuFiltraSelezione");
        QCOMPARE(column(g.view, 0), (QStringList{"Abete", "Bologna"}));
        QVERIFY(g.tools->toolTip().startsWith(
            QStringLiteral("Righe mostrate: 2 di 6\nFiltro: pioggia mm uguale a 3")));
        g.run("mnuRimuoviFiltri");
        QCOMPARE(g.view->model()->rowCount(), 6);
        QCOMPARE(g.tools->toolTip(), QString());
        g.at(1, 4);  // NULL: excluding it keeps every row with a value
        g.run("mnuEscludiSelezione");
        QCOMPARE(column(g.view, 0), (QStringList{"Zola", "bologna", "Abete", "", "Bologna"}));

        g.at(0, 5);
        g.run("mnuFiltro");
        auto* dialog = g.form.findChild<forms::FilterDialog*>();
        QVERIFY(dialog);
        QCOMPARE(dialog->columnBox()->currentIndex(), 5);
        dialog->conditionBox()->setCurrentIndex(
            int(forms::dialogConditions().indexOf(db::Condition::Between)));
        dialog->valueBox()->setText(QStringLiteral("2"));
        dialog->upperBox()->setText(QStringLiteral("96,6"));
        dialog->accept();
        QCOMPARE(column(g.view, 0), (QStringList{"Zola", "bologna", "", "Bologna"}));
        QCOMPARE(g.tools->toolTip().section(u'\n', 0, 0), QStringLiteral("Righe mostrate: 4 di 6"));

        // A value not of the column's kind keeps the dialog open and says so.
        g.run("mnuFiltro");
        dialog = g.form.findChildren<forms::FilterDialog*>().constLast();
        dialog->columnBox()->setCurrentIndex(5);
        dialog->valueBox()->setText(QStringLiteral("molto"));
        dialog->accept();
        QVERIFY(dialog->isVisible());
        QCOMPARE(dialog->findChild<QLabel*>(QStringLiteral("filterMessage"))->text(),
                 QStringLiteral("«molto» non è un valore della colonna «Temperatura massima °C»."));
        dialog->reject();
        g.run("mnuRimuoviFiltri");
        QCOMPARE(g.view->model()->rowCount(), 6);
    }

    // Ctrl+F, Enter, F3 and Shift+F3; past the last match the search starts again from the top
    // and says so.
    void finds() {
        Grid g(archive_.path());
        QVERIFY(QTest::qWaitForWindowExposed(&g.form));
        g.view->setFocus();
        g.at(0, 0);
        QTest::keyClick(g.view, Qt::Key_F, Qt::ControlModifier);
        forms::FindBar* bar = g.tools->findBar();
        QVERIFY(bar && bar->isVisible());
        QTest::keyClicks(bar->textBox(), QStringLiteral("bolo"));
        QTest::keyClick(bar->textBox(), Qt::Key_Return);
        QCOMPARE(g.view->currentIndex(), g.view->model()->index(2, 0));
        QTest::keyClick(g.view, Qt::Key_F3);
        QCOMPARE(g.view->currentIndex(), g.view->model()->index(5, 0));
        QVERIFY(bar->messageLabel()->isHidden());
        QTest::keyClick(g.view, Qt::Key_F3);
        QCOMPARE(g.view->currentIndex(), g.view->model()->index(2, 0));
        QCOMPARE(bar->messageLabel()->text(),
                 QStringLiteral("Raggiunta la fine della tabella: la ricerca è ripresa dall'inizio."));
        QTest::keyClick(g.view, Qt::Key_F3, Qt::ShiftModifier);
        QCOMPARE(g.view->currentIndex(), g.view->model()->index(5, 0));
        QCOMPARE(bar->messageLabel()->text(),
                 QStringLiteral("Raggiunto l'inizio della tabella: la ricerca è ripresa dalla fine."));
        // The whole cell, with case: only "Bologna".
        bar->wholeCellBox()->setChecked(true);
        bar->matchCaseBox()->setChecked(true);
        bar->textBox()->setText(QStringLiteral("Bologna"));
        g.at(0, 0);
        bar->find(true);
        QCOMPARE(g.view->currentIndex(), g.view->model()->index(5, 0));
        bar->textBox()->setText(QStringLiteral("bolo"));
        bar->find(true);
        QCOMPARE(bar->messageLabel()->text(), QStringLiteral("«bolo» non è stato trovato."));
        // In a sorted grid the next match is the next one shown.
        bar->wholeCellBox()->setChecked(false);
        bar->matchCaseBox()->setChecked(false);
        g.at(0, 0);
        g.run("mnuOrdinaDecrescente");  // Zola, Èrba, bologna, Bologna, Abete, NULL
        g.at(0, 0);
        bar->find(true);
        QCOMPARE(g.view->currentIndex(), g.view->model()->index(2, 0));
        QTest::keyClick(bar->textBox(), Qt::Key_Escape);
        QVERIFY(!bar->isVisible());
    }

    // Count, numbers, sum, mean, minimum, maximum and standard deviation, worked by hand.
    void selectionFigures() {
        Grid g(archive_.path());
        // Rain of the first four rows: 12.5, NULL, 0, 3 and their names.
        g.view->selectionModel()->select(
            QItemSelection(g.view->model()->index(0, 4), g.view->model()->index(3, 4)),
            QItemSelectionModel::Select);
        g.view->selectionModel()->select(
            QItemSelection(g.view->model()->index(0, 0), g.view->model()->index(1, 0)),
            QItemSelectionModel::Select);
        g.run("mnuStatistiche");
        QCOMPARE(messages_.texts.size(), 1);
        // Mean 15.5 / 3 = 31/6; deviations 22/3, -31/6, -13/6; their squares sum to 3066/36, so
        // the sample deviation is sqrt(3066 / 36 / 2) = sqrt(1533) / 6.
        const QLocale it(QLocale::Italian, QLocale::Italy);
        QCOMPARE(messages_.texts[0],
                 QStringLiteral("Celle: 6\nNumeri: 3\nSomma: 15,5\nMedia: %1\nMinimo: 0\n"
                                "Massimo: 12,5\nDeviazione standard: %2")
                     .arg(it.toString(31.0 / 6, 'g', 15), it.toString(std::sqrt(1533.0) / 6, 'g', 15)));
        QCOMPARE(g.tools->toolTip(), QString(messages_.texts[0]).replace(u'\n', QStringLiteral("   ")));
        // Singles as shown: 96.6 + 2 + 4.5 is 103.1.
        g.view->clearSelection();
        g.view->selectionModel()->select(
            QItemSelection(g.view->model()->index(2, 5), g.view->model()->index(5, 5)),
            QItemSelectionModel::Select);
        QVERIFY(g.tools->toolTip().startsWith(QStringLiteral("Celle: 4   Numeri: 3   Somma: 103,1   ")));
        g.view->clearSelection();
        g.at(0, 0);
        QCOMPARE(g.tools->toolTip(), QString());  // one cell: no figures
    }

    // The columns up to the current one stay in view while the grid scrolls sideways.
    void freezesColumns() {
        Grid g(archive_.path());
        QVERIFY(QTest::qWaitForWindowExposed(&g.form));
        g.grid.resize(260, 200);
        g.at(0, 1);
        g.run("mnuBloccaColonne");
        QTableView* frozen = g.tools->frozenColumns()->overlay();
        QVERIFY(frozen && frozen->isVisible());
        QVERIFY(!frozen->isColumnHidden(0) && !frozen->isColumnHidden(1) && frozen->isColumnHidden(2));
        QCOMPARE(frozen->x(), g.view->viewport()->x());
        QCOMPARE(frozen->width(),
                 qMin(g.view->columnWidth(0) + g.view->columnWidth(1) + 2, g.view->viewport()->width()));
        g.view->horizontalScrollBar()->setValue(g.view->horizontalScrollBar()->maximum());
        QCOMPARE(frozen->x(), g.view->viewport()->x());
        QCOMPARE(frozen->horizontalScrollBar()->value(), 0);
        emit g.actions->menu()->aboutToShow();
        QCOMPARE(g.tools->action("mnuBloccaColonne")->text(), QStringLiteral("S&blocca colonne"));
        g.run("mnuBloccaColonne");
        QVERIFY(!frozen->isVisible());
        emit g.actions->menu()->aboutToShow();
        QCOMPARE(g.tools->action("mnuBloccaColonne")->text(),
                 QStringLiteral("&Blocca colonne fino a questa"));
    }

    // The spreadsheet's subject: the stations and the days of the rows shown.
    void describesStationsAndPeriod() {
        Grid g(archive_.path());
        const QString station = QStringLiteral("Denominazione");
        QCOMPARE(
            forms::stationsAndPeriod(*g.actions->rows(), station, "Anno", "Mese", "Giorno"),
            QStringLiteral("Stazioni: Abete, Bologna, bologna, Èrba, Zola; dal 01/03/1995 al 06/03/1995"));
        g.at(3, 4);
        g.run("mnuFiltraSelezione");  // rain 3: Abete (4 March) and Bologna (6 March)
        QCOMPARE(forms::stationsAndPeriod(*g.actions->rows(), station, "Anno", "Mese", "Giorno"),
                 QStringLiteral("Stazioni: Abete, Bologna; dal 04/03/1995 al 06/03/1995"));
        QCOMPARE(
            forms::stationsAndPeriod(*g.actions->rows(), QString(), "Anno", QString(), QString(), "Zola"),
            QStringLiteral("Stazione: Zola; anno 1995"));
    }

    // Copying and the spreadsheet follow the view; "Esporta Dati" writes the record set's order.
    void copyAndFilesFollowTheView() {
        Grid g(archive_.path());
        g.at(0, 4);
        g.run("mnuOrdinaDecrescente");
        g.at(0, 3);
        g.run("mnuFiltraSelezione");  // 1995: all
        g.at(5, 4);
        g.run("mnuEscludiSelezione");  // the NULL rain goes
        g.view->selectAll();
        g.actions->copy(false);
        QCOMPARE(QGuiApplication::clipboard()->text().section(u'\n', 0, 0),
                 QStringLiteral("Zola\t1\t3\t1995\t12,5\t8,3"));
        QCOMPARE(QGuiApplication::clipboard()->text().count(u'\n'), 4);

        save_.fileName = archive_.filePath(QStringLiteral("vista"));
        save_.filterIndex = 1;
        g.run("mnuEsportaFoglio");
        QVERIFY2(messages_.texts.isEmpty(), qPrintable(messages_.texts.join(u'\n')));
        QProcess reader;
        reader.start(QStringLiteral("/usr/bin/python3"), {qEnvironmentVariable("ALTORRA_SOURCE_DIR") +
                                                              QStringLiteral("/tests/export/readsheet.py"),
                                                          archive_.filePath(QStringLiteral("vista.xlsx"))});
        QVERIFY(reader.waitForFinished(120000));
        const QJsonObject file = QJsonDocument::fromJson(reader.readAllStandardOutput()).object();
        const QJsonArray rows = file.value(QStringLiteral("rows")).toArray();
        QStringList names;
        for (const QJsonValue row : rows) {
            names << row.toArray()[0].toArray()[1].toString();
        }
        QCOMPARE(names, (QStringList{"Denominazione", "Zola", "Abete", "Bologna", "bologna", ""}));
        QCOMPARE(file.value(QStringLiteral("sheet")).toString(), QStringLiteral("Visualizzazione dati"));
        QCOMPARE(
            file.value(QStringLiteral("comments")).toString(),
            QStringLiteral("Righe: 5 di 6. Ordinate per «pioggia mm» (decrescente). Filtro: Anno uguale a "
                           "1995. Filtro: pioggia mm non è vuota."));

        save_.fileName = archive_.filePath(QStringLiteral("dati.txt"));
        exporter::SaveDialogMemory memory;
        exporter::Esporta(g.source.recordset(), &g.grid, memory, &g.form);
        QFile tab(archive_.filePath(QStringLiteral("dati.txt")));
        QVERIFY(tab.open(QIODevice::ReadOnly));
        const QList<QByteArray> lines = tab.readAll().split('\n');
        QCOMPARE(lines.size(), 8);
        QVERIFY(lines[1].startsWith("Zola\t1\t"));
        QVERIFY(lines[2].startsWith("\xC8rba\t2\t"));  // Windows-1252, the record set's second row
    }
};

QTEST_MAIN(TestGridTools)
#include "test_gridtools.moc"
