// The summary window as a user reaches it, from the daily grid's menu, with screenshots: one
// station over every year (each table, the climograph of the normals and of a year, the cumulative
// rain), a table copied and pasted into a text editor, then a year of every station, where the two
// stations sharing a name are chosen one after the other.
// summarytour PROGRAM_FOLDER OUTPUT_FOLDER [YEAR]
// Modal showing and the save and print dialogs are the scripted ones of the window tests.
#include "chart/chartwindow.h"
#include "controls/dbcombo.h"
#include "controls/dbgrid.h"
#include "daily/frmaltorra.h"
#include "daily/frmriepilogo.h"
#include "daily/frmtabella.h"
#include "support/queryarchive.h"
#include "support/tour.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QTest>

#include <cstdio>

using daily::frmRiepilogo;
using testsupport::screenshot;

namespace {

QString g_output;

void say(const QString& text) {
    std::printf("%s\n", qPrintable(text));
    std::fflush(stdout);
}

frmTabella* dailySearch(frmAltorra* form, const QString& station, const QString& year) {
    form->cmdAnnulla->click();
    if (!station.isEmpty()) {
        querytest::choose(form->DBCmbStazione, station);
    }
    if (!year.isEmpty()) {
        querytest::choose(form->DBcmbAnno, year);
    }
    for (QCheckBox* box : form->findChildren<QCheckBox*>()) {
        box->setChecked(true);
    }
    form->cmdSeleziona->click();
    return runtime::Forms::find<frmTabella>();
}

// "Riepilogo…" from the grid's menu with `row` current; the time until its rows are read and the
// first station shown, and how often the window painted meanwhile.
frmRiepilogo* openSummary(frmTabella* table, int row) {
    QTableView* view = table->DB->view();
    view->setCurrentIndex(view->model()->index(row, 0));
    QAction* entry = view->findChild<QAction*>(QStringLiteral("mnuRiepilogo"));
    if (!entry) {
        say("no Riepilogo entry");
        return nullptr;
    }
    QElapsedTimer timer;
    timer.start();
    entry->trigger();
    frmRiepilogo* window = frmRiepilogo::of(table);
    if (!window) {
        return nullptr;
    }
    const double opened = timer.nsecsElapsed() / 1e6;
    int turns = 0;
    while (window->reading() && timer.elapsed() < 30000) {
        QApplication::processEvents(QEventLoop::AllEvents, 5);
        ++turns;
    }
    say(QStringLiteral("summary window shown after %1 ms, rows read and first station shown after %2 ms "
                       "(%3 event-loop turns meanwhile); %4 stations listed; title: %5")
            .arg(opened, 0, 'f', 1)
            .arg(timer.nsecsElapsed() / 1e6, 0, 'f', 1)
            .arg(turns)
            .arg(window->stationCount())
            .arg(window->windowTitle()));
    if (!QTest::qWaitForWindowExposed(window)) {
        say("summary window not exposed");
    }
    window->activateWindow();
    QTest::qWait(300);
    return window;
}

void tab(frmRiepilogo* window, int index, const char* shot) {
    window->tabRiepilogo->setCurrentIndex(index);
    QTest::qWait(250);
    screenshot(g_output, QString::fromLatin1(shot));
}

void oneStation(frmAltorra* form) {
    const QString station = form->DBCmbStazione->itemText(1);
    frmTabella* table = dailySearch(form, station, QString());
    frmRiepilogo* window = table ? openSummary(table, 0) : nullptr;
    if (!window) {
        say("no summary window");
        return;
    }
    tab(window, frmRiepilogo::Mensile, "1-mensile");
    tab(window, frmRiepilogo::Annuale, "2-annuale");
    tab(window, frmRiepilogo::Indici, "3-indici");
    tab(window, frmRiepilogo::Completezza, "4-completezza");
    tab(window, frmRiepilogo::Climogramma, "5-climogramma-normale");
    const int year = window->cmbAnno->count() > 6 ? 6 : window->cmbAnno->count() - 1;
    window->cmbAnno->setCurrentIndex(year);
    emit window->cmbAnno->activated(year);
    QTest::qWait(250);
    screenshot(g_output, QStringLiteral("6-climogramma-%1").arg(window->cmbAnno->currentText()));
    tab(window, frmRiepilogo::Cumulata, "7-pioggia-cumulata");

    // The first rows of the monthly table, copied with Ctrl+C and pasted into an editor.
    window->tabRiepilogo->setCurrentIndex(frmRiepilogo::Mensile);
    QTableView* grid = window->grid(frmRiepilogo::Mensile);
    grid->setFocus();
    grid->selectionModel()->select(QItemSelection(grid->model()->index(0, 0), grid->model()->index(3, 8)),
                                   QItemSelectionModel::ClearAndSelect);
    QTest::keyClick(grid, Qt::Key_C, Qt::ControlModifier);
    auto* editor = new QPlainTextEdit;
    editor->setWindowTitle(QStringLiteral("Editor di testo"));
    editor->resize(900, 240);
    editor->move(40, 700);
    editor->show();
    if (!QTest::qWaitForWindowExposed(editor)) {
        say("editor not exposed");
    }
    editor->activateWindow();
    QTest::qWait(200);
    QTest::keyClick(editor, Qt::Key_V, Qt::ControlModifier);
    QTest::qWait(250);
    say("pasted into the editor:\n" + editor->toPlainText());
    screenshot(g_output, "8-copiato-in-un-editor");
    delete editor;
    table->CmdPrecedente->click();
}

void everyStation(frmAltorra* form, const QString& year) {
    frmTabella* table = dailySearch(form, QString(), year);
    frmRiepilogo* window = table ? openSummary(table, 0) : nullptr;
    if (!window) {
        say("no summary window");
        return;
    }
    tab(window, frmRiepilogo::Mensile, "9-anno-tutte-le-stazioni");
    int shot = 0;
    for (int i = 0; i < window->cmbStazione->count(); ++i) {
        if (window->cmbStazione->itemText(i).startsWith(QStringLiteral("San Michele"))) {
            window->cmbStazione->setCurrentIndex(i);
            QElapsedTimer timer;
            timer.start();
            emit window->cmbStazione->activated(i);
            window->repaint();
            say(QStringLiteral("%1 (code %2) shown in %3 ms")
                    .arg(window->cmbStazione->itemText(i), window->stationCode(i))
                    .arg(timer.nsecsElapsed() / 1e6, 0, 'f', 1));
            QTest::qWait(250);
            screenshot(g_output, QStringLiteral("10-omonima-%1").arg(++shot));
        }
    }
    window->cmbStazione->showPopup();
    QTest::qWait(300);
    screenshot(g_output, "11-elenco-stazioni");
    window->cmbStazione->hidePopup();
    table->CmdPrecedente->click();
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
    const QStringList args = app.arguments();
    if (!testsupport::startTour(args, "summarytour CARTELLA_PROGRAMMA CARTELLA_USCITA [ANNO]", &g_output)) {
        return 2;
    }
    testsupport::ScriptedSeams seams;
    seams.onMessage = [](const QString& text) { say("message: " + text); };
    seams.onModal = [](QWidget*) {};
    seams.closeAfterModal = false;
    runtime::Forms::show<frmAltorra>(runtime::Modality::Modal);
    frmAltorra* form = runtime::Forms::find<frmAltorra>();
    oneStation(form);
    everyStation(form, args.value(3, QStringLiteral("1995")));
    runtime::Forms::unloadAll();
    return 0;
}
