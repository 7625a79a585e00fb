// The summary window reached from the daily result grid's menu, on the sample archive: one per
// result window, the station of the current row, stations keyed by code, the grid's filter, its
// tables equal to altorra-query --riepilogo, copying, export and printing.
#include "chart/chartwindow.h"
#include "controls/dbgrid.h"
#include "daily/dailystatement.h"
#include "daily/frmriepilogo.h"
#include "daily/frmtabella.h"
#include "db/global.h"
#include "db/location.h"
#include "db/rowview.h"
#include "export/exporttarget.h"
#include "forms/gridactions.h"
#include "samplegen/samplegen.h"
#include "support/scriptedseams.h"

#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QProcess>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>

using daily::frmRiepilogo;

namespace {

// The statement the daily form builds for these criteria with every quantity ticked.
QString dailySql(const QString& station, const QString& year) {
    daily::DailyChoice choice;
    choice.stationText = choice.stationKey = station;
    choice.yearText = choice.yearKey = year;
    choice.boxes.fill(forms::kTicked);
    return daily::buildDailyStatement(choice).sql;
}

// The cells of a table as the window shows them, one line per row, cells joined by tabs.
QStringList shownLines(const QTableView* view) {
    QStringList lines;
    const QAbstractItemModel* model = view->model();
    QStringList header;
    for (int c = 0; c < model->columnCount(); ++c) {
        header << model->headerData(c, Qt::Horizontal).toString();
    }
    lines << header.join(QLatin1Char('\t'));
    for (int r = 0; r < model->rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < model->columnCount(); ++c) {
            cells << model->index(r, c).data().toString();
        }
        lines << cells.join(QLatin1Char('\t'));
    }
    return lines;
}

}  // namespace

class TestRiepilogo : public QObject {
    Q_OBJECT
  private:
    QTemporaryDir dir_;
    std::unique_ptr<testsupport::ScriptedSeams> seams_;
    QList<samplegen::StationInfo> stations_;

    // The result window for the criteria, shown as the selection form shows it.
    frmTabella* search(const QString& station, const QString& year) {
        Global::DailySql = dailySql(station, year);
        Global::DailyQueryOk = Global::kTrue;
        runtime::Forms::show<frmTabella>(runtime::Modality::Modal);
        return runtime::Forms::find<frmTabella>();
    }
    // "&Riepilogo…" from the grid's menu, with the cell of `row` current, once its rows are read.
    frmRiepilogo* summaryOf(frmTabella* table, int row) {
        QTableView* view = table->DB->view();
        view->setCurrentIndex(view->model()->index(row, 0));
        QAction* entry = view->findChild<QAction*>(QStringLiteral("mnuRiepilogo"));
        if (!entry) {
            return nullptr;
        }
        entry->trigger();
        frmRiepilogo* window = frmRiepilogo::of(table);
        return window && QTest::qWaitFor([window] { return !window->reading(); }, 30000) ? window : nullptr;
    }

  private slots:
    void initTestCase() {
        QLocale::setDefault(QLocale::c());  // the window shows numbers with a point, as the query prints them
        QVERIFY(dir_.isValid());
        samplegen::Options options;
        options.pictures = false;
        QString error;
        QVERIFY2(samplegen::writeSample(dir_.path(), options, &error), qPrintable(error));
        stations_ = samplegen::stations(options);
        seams_ = std::make_unique<testsupport::ScriptedSeams>();
        seams_->onModal = [](QWidget*) {};
        seams_->closeAfterModal = false;
        db::setProgramFolder(dir_.path());
    }
    void cleanupTestCase() { testsupport::endScriptedTest(seams_); }
    void cleanup() {
        runtime::Forms::unloadAll();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void onePerResultWindowClosingWithIt() {
        const samplegen::StationInfo& s = stations_[0];
        frmTabella* table = search(QString::number(s.code), QString());
        QVERIFY(table);
        QCOMPARE(table->DTabella->recordset()->RecordCount(), 3652);
        QTableView* view = table->DB->view();
        QAction* entry = view->findChild<QAction*>(QStringLiteral("mnuRiepilogo"));
        QVERIFY(entry);
        QCOMPARE(entry->text(), QStringLiteral("&Riepilogo…"));
        QVERIFY(entry->isVisible());
        frmRiepilogo* window = summaryOf(table, 0);
        QVERIFY(window);
        QVERIFY(window->isVisible());
        QVERIFY(!window->isModal());
        QCOMPARE(window->windowTitle(),
                 QStringLiteral("Riepilogo - %1 - dal 01/01/1990 al 31/12/1999").arg(s.name));
        QVERIFY(!window->cmbStazione->isVisibleTo(window));  // one station: no list
        QCOMPARE(window->table(frmRiepilogo::Mensile)->recordCount(), 120);
        QCOMPARE(window->table(frmRiepilogo::Annuale)->recordCount(), 10);
        QCOMPARE(window->table(frmRiepilogo::Normale)->recordCount(), 12);
        QCOMPARE(window->table(frmRiepilogo::Indici)->recordCount(), 10);
        // Asked again: the same window.
        QCOMPARE(summaryOf(table, 100), window);
        QCOMPARE(table->findChildren<frmRiepilogo*>().size(), 1);
        QPointer<frmRiepilogo> guard(window);
        table->Unload();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!guard);
    }

    // The window's monthly and index tables, cell by cell, are what altorra-query prints.
    void tablesEqualTheQueryTool() {
        const QString program =
            qEnvironmentVariable("ALTORRA_BINARY_DIR") + QStringLiteral("/program/altorra-query");
        QVERIFY2(QFileInfo::exists(program), qPrintable(program));
        for (int i : {0, 5, 17}) {
            const samplegen::StationInfo& s = stations_[i];
            QProcess p;
            p.start(program, {QStringLiteral("--riepilogo"), QString::number(s.code),
                              dir_.filePath(QStringLiteral("orbeni.mdb"))});
            QVERIFY(p.waitForFinished(60000));
            QCOMPARE(p.exitCode(), 0);
            QStringList printed = QString::fromUtf8(p.readAllStandardOutput()).split(QStringLiteral("\r\n"));
            QCOMPARE(printed.takeLast(), QString());
            for (QString& line : printed) {
                QVERIFY(line.endsWith(QLatin1Char('\t')));  // every value followed by a tab
                line.chop(1);
            }
            frmTabella* table = search(QString::number(s.code), QString());
            QVERIFY(table);
            frmRiepilogo* window = summaryOf(table, 0);
            QVERIFY(window);
            const QStringList shown = shownLines(window->grid(frmRiepilogo::Mensile)) +
                                      shownLines(window->grid(frmRiepilogo::Indici));
            QCOMPARE(printed.size(), shown.size());
            for (int l = 0; l < shown.size(); ++l) {
                QCOMPARE(printed[l], shown[l]);
            }
            QVERIFY(
                printed[0].startsWith(QStringLiteral("Anno\tMese\tPioggia totale (mm)\tGiorni piovosi\t")));
            QVERIFY(printed[1].startsWith(QStringLiteral("1990\t1\t")));
            QVERIFY(
                printed[121].startsWith(QStringLiteral("Anno\tGiorni con dati: pioggia\tPRCPTOT\tRx1day\t")));
            table->Unload();
        }
        QProcess bad;
        bad.start(program,
                  {QStringLiteral("--riepilogo"), QStringLiteral("abc"), dir_.filePath("orbeni.mdb")});
        QVERIFY(bad.waitForFinished(60000));
        QCOMPARE(bad.exitCode(), 2);
        bad.start(program,
                  {QStringLiteral("--riepilogo"), QStringLiteral("999999"), dir_.filePath("orbeni.mdb")});
        QVERIFY(bad.waitForFinished(60000));
        QCOMPARE(bad.exitCode(), 1);
        QVERIFY(bad.readAllStandardOutput().isEmpty());
    }

    // A year of every station: the list, alphabetical, starts on the current row's station; the
    // two stations sharing a name are two entries, each with its own code and its own days.
    void yearOfEveryStation() {
        frmTabella* table = search(QString(), QStringLiteral("1995"));
        QVERIFY(table);
        const std::shared_ptr<const jet::RecordSet> rows = table->DTabella->recordset()->rows();
        const int row = 365 * 3 + 40;  // a row of the fourth station stored
        const QString name = rows->text(row, 0, jet::DisplayFormat(QLocale::c()));
        frmRiepilogo* window = summaryOf(table, row);
        QVERIFY(window);
        QVERIFY(window->cmbStazione->isVisibleTo(window));
        QCOMPARE(window->cmbStazione->currentText(), name);
        QStringList names;
        for (int i = 0; i < window->cmbStazione->count(); ++i) {
            names << window->cmbStazione->itemText(i);
        }
        QCOMPARE(window->stationCount(), 40);
        QCOMPARE(names.count(QStringLiteral("San Michele")), 0);
        QStringList shared, codes;
        for (const samplegen::StationInfo& s : stations_) {
            if (s.name == QStringLiteral("San Michele")) {
                shared << QStringLiteral("San Michele (%1)").arg(s.code);
                codes << QString::number(s.code);
            }
        }
        QCOMPARE(shared.size(), 2);
        // Next to each other, in the order of their codes (both have four digits here).
        QCOMPARE(names.indexOf(shared[1]) - names.indexOf(shared[0]), shared[0] < shared[1] ? 1 : -1);
        QCOMPARE(window->windowTitle(),
                 QStringLiteral("Riepilogo - %1 - dal 01/01/1995 al 31/12/1995").arg(name));
        QCOMPARE(window->table(frmRiepilogo::Mensile)->recordCount(), 12);
        QVERIFY(!window->lblAvvisi->isVisibleTo(window));

        std::vector<double> januaries;
        for (int k = 0; k < 2; ++k) {
            const int index = names.indexOf(shared[k]);
            window->cmbStazione->setCurrentIndex(index);
            emit window->cmbStazione->activated(index);
            QCOMPARE(window->stationCode(index), codes[k]);
            QCOMPARE(window->windowTitle(),
                     QStringLiteral("Riepilogo - %1 - dal 01/01/1995 al 31/12/1995").arg(shared[k]));
            // Its own 365 days, none of them given twice.
            QCOMPARE(window->summary().series.conflictingDays(), 0);
            QVERIFY(!window->lblAvvisi->isVisibleTo(window));
            const std::shared_ptr<const analysis::Table> months = window->table(frmRiepilogo::Mensile);
            QCOMPARE(months->recordCount(), 12);
            const int days = months->fieldIndex(QStringLiteral("Giorni con dati: temperatura massima"));
            QCOMPARE(months->value(0, days).toInt(), qint64(31));
            januaries.push_back(
                months->value(0, months->fieldIndex(QStringLiteral("Temperatura massima media (°C)")))
                    .toDouble());
        }
        QVERIFY(januaries[0] != januaries[1]);  // two stations, two climates
    }

    // One of the two stations sharing a name, searched by itself: the window, and so its exports'
    // and printouts, still say which one it is.
    void sharedNameSearchedAloneKeepsItsCode() {
        for (const samplegen::StationInfo& s : stations_) {
            if (s.name != QStringLiteral("San Michele")) {
                continue;
            }
            frmTabella* table = search(QString::number(s.code), QStringLiteral("1995"));
            QVERIFY(table);
            frmRiepilogo* window = summaryOf(table, 0);
            QVERIFY(window);
            QCOMPARE(window->stationCount(), 1);
            QCOMPARE(
                window->windowTitle(),
                QStringLiteral("Riepilogo - San Michele (%1) - dal 01/01/1995 al 31/12/1995").arg(s.code));
            window->close();
            table->Unload();
        }
    }

    // The summary reads the rows the grid shows: a filter on the month leaves March alone.
    void followsTheGridsFilter() {
        const samplegen::StationInfo& s = stations_[0];
        frmTabella* table = search(QString::number(s.code), QString());
        QVERIFY(table);
        db::RowView* view = db::RowView::of(table->DB->view()->model());
        QVERIFY(view && view->allRows());
        const jet::RecordSet& all = *view->allRows();
        const int month = all.fieldIndex(QStringLiteral("Mese"));
        view->addFilter(db::filterByCell(all, 31 + 28 + 5, month, false));  // 6 March 1990
        QCOMPARE(view->shownCount(), 310);
        frmRiepilogo* window = summaryOf(table, 0);
        QVERIFY(window);
        const std::shared_ptr<const analysis::Table> months = window->table(frmRiepilogo::Mensile);
        QCOMPARE(months->recordCount(), 10);
        for (int r = 0; r < months->recordCount(); ++r) {
            QCOMPARE(months->value(r, 1).toInt(), qint64(3));
        }
        QCOMPARE(window->table(frmRiepilogo::Normale)->recordCount(), 1);
        // A year of March alone: no yearly figure, and no index (306 days missing of 365).
        const std::shared_ptr<const analysis::Table> indices = window->table(frmRiepilogo::Indici);
        QVERIFY(indices->value(0, indices->fieldIndex(QStringLiteral("PRCPTOT"))).isNull());
        // The filter taken away while the window is open: every month again.
        view->clearFilters();
        QVERIFY(window->reading());
        QTRY_VERIFY_WITH_TIMEOUT(!window->reading(), 30000);
        QCOMPARE(window->table(frmRiepilogo::Mensile)->recordCount(), 120);
        QCOMPARE(window->stationCode(window->cmbStazione->currentIndex()), QString::number(s.code));
    }

    // The chart tabs: the climograph of the normals, then of a chosen year, whose bars are the
    // monthly table's totals; the cumulative rain a line per year; the tables' buttons idle there.
    void chartTabs() {
        const samplegen::StationInfo& s = stations_[0];
        frmTabella* table = search(QString::number(s.code), QString());
        frmRiepilogo* window = summaryOf(table, 0);
        QVERIFY(window);
        window->tabRiepilogo->setCurrentIndex(frmRiepilogo::Climogramma);
        QVERIFY(!window->cmdEsporta->isEnabled());
        QCOMPARE(window->chartClimogramma->data().caption,
                 QStringLiteral("Climogramma - %1 - normale, anni 1990-1999").arg(s.name));
        QCOMPARE(window->cmbAnno->count(), 11);
        const int y1995 = window->cmbAnno->findText(QStringLiteral("1995"));
        window->cmbAnno->setCurrentIndex(y1995);
        emit window->cmbAnno->activated(y1995);
        const chart::Figure& f = window->chartClimogramma->data();
        QCOMPARE(f.caption, QStringLiteral("Climogramma - %1 - anno 1995").arg(s.name));
        const std::shared_ptr<const analysis::Table> months = window->table(frmRiepilogo::Mensile);
        const int total = months->fieldIndex(QStringLiteral("Pioggia totale (mm)"));
        const chart::Series& bars = f.panels[0].series[0];
        QCOMPARE(bars.name, QStringLiteral("Pioggia totale (mm)"));
        for (int m = 0; m < 12; ++m) {
            const analysis::Cell cell = months->value(5 * 12 + m, total);  // 1995's months
            QCOMPARE(std::isnan(bars.y[m]), cell.isNull());
            if (!cell.isNull()) {
                QCOMPARE(qRound(bars.y[m] * 10), qRound(cell.toDouble() * 10));
            }
        }
        window->tabRiepilogo->setCurrentIndex(frmRiepilogo::Cumulata);
        QCOMPARE(window->chartCumulata->data().panels[0].series.size(), 10);
        // Another station keeps the year chosen.
        window->showStation(window->stationOfRow(0));
        QCOMPARE(window->cmbAnno->currentText(), QStringLiteral("1995"));
        window->tabRiepilogo->setCurrentIndex(frmRiepilogo::Mensile);
        QVERIFY(window->cmdEsporta->isEnabled());
    }

    // The archive taken away between the search and the summary: the window says it cannot read
    // the rows, and shows no station rather than the grid's rows under names alone.
    void archiveGoneAfterTheSearch() {
        frmTabella* table = search(QString(), QStringLiteral("1995"));
        QVERIFY(table);
        const QString archive = dir_.filePath(QStringLiteral("orbeni.mdb"));
        const QString aside = dir_.filePath(QStringLiteral("altrove.mdb"));
        QVERIFY(QFile::rename(archive, aside));
        frmRiepilogo* window = summaryOf(table, 0);
        QVERIFY(QFile::rename(aside, archive));
        QVERIFY(window);
        QCOMPARE(window->stationCount(), 0);
        QVERIFY(window->lblAvvisi->isVisibleTo(window));
        QVERIFY(window->lblAvvisi->text().startsWith(QStringLiteral("Impossibile rileggere le righe")));
        QCOMPARE(window->table(frmRiepilogo::Mensile)->recordCount(), 0);
        QCOMPARE(window->windowTitle(), QStringLiteral("Riepilogo"));
    }

    void copyExportPrint() {
        frmTabella* table = search(QString::number(stations_[0].code), QString());
        frmRiepilogo* window = summaryOf(table, 0);
        QVERIFY(window);
        // The completeness grid copies its counts.
        window->tabRiepilogo->setCurrentIndex(frmRiepilogo::Completezza);
        QTableView* grid = window->grid(frmRiepilogo::Completezza);
        grid->selectionModel()->select(QItemSelection(grid->model()->index(0, 0), grid->model()->index(0, 3)),
                                       QItemSelectionModel::Select);
        window->gridActions(frmRiepilogo::Completezza)->copy(true);
        QCOMPARE(QGuiApplication::clipboard()->text(),
                 QStringLiteral("Anno\tGrandezza\tgen\tfeb\n1990\tpioggia\t31/31\t28/28"));
        QCOMPARE(grid->model()->index(0, 2).data(Qt::ToolTipRole).toString(),
                 QStringLiteral("31 giorni con dati su 31"));

        // Export: the current tab's table as the export writes it; a name typed without an
        // extension gets the text type's.
        const QString file = dir_.filePath(QStringLiteral("completezza.txt"));
        seams_->saveTo = dir_.filePath(QStringLiteral("completezza"));
        window->cmdEsporta->click();
        QFile written(file);
        QVERIFY(written.open(QIODevice::ReadOnly));
        const QByteArray bytes = written.readAll();
        QVERIFY(bytes.startsWith("Anno\tGrandezza\tgen\tfeb\tmar\t"));
        QVERIFY(bytes.contains("\r\n1990\tpioggia\t31/31\t28/28\t31/31\t"));
        QCOMPARE(bytes.count("\r\n"), window->table(frmRiepilogo::Completezza)->recordCount() + 1);
        // Refused on the archive itself (named with "all files"), and said so; the dialog was
        // told to refuse it too.
        const auto refusal = seams_->saveRequests.constLast().refusal;
        QVERIFY(refusal);
        QVERIFY(refusal(dir_.filePath(QStringLiteral("nuovo.txt"))).isEmpty());
        QCOMPARE(refusal(dir_.filePath(QStringLiteral("ORBENI.MDB"))), exporter::archiveRefusal());
        seams_->saveTo = dir_.filePath(QStringLiteral("orbeni.mdb"));
        seams_->saveType = 2;
        const QByteArray archive = [&] {
            QFile f(dir_.filePath(QStringLiteral("orbeni.mdb")));
            return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
        }();
        seams_->messages.clear();
        window->cmdEsporta->click();
        QCOMPARE(seams_->messages.size(), 1);
        QFile again(dir_.filePath(QStringLiteral("orbeni.mdb")));
        QVERIFY(again.open(QIODevice::ReadOnly));
        QCOMPARE(again.readAll(), archive);
        seams_->saveType.reset();

        // Printing: the table with the station, the period and the rules, to the chosen PDF.
        window->tabRiepilogo->setCurrentIndex(frmRiepilogo::Indici);
        QVERIFY(window->printPage(frmRiepilogo::Indici).contains(QStringLiteral("Rx5day")));
        QVERIFY(window->printPage(frmRiepilogo::Indici).contains(window->windowTitle().toHtmlEscaped()));
        const QString pdf = dir_.filePath(QStringLiteral("indici.pdf"));
        seams_->printTo = pdf;
        window->cmdStampa->click();
        QFile printed(pdf);
        QVERIFY(printed.open(QIODevice::ReadOnly));
        QVERIFY(printed.read(5) == "%PDF-");
    }
};

QTEST_MAIN(TestRiepilogo)
#include "test_riepilogo.moc"
