// A walk through the daily and intense windows as a user takes it, on a real archive, with
// screenshots of the screen at each step; also times "&Seleziona" to a filled grid.
// querytour PROGRAM_FOLDER OUTPUT_FOLDER [STATION YEAR]
// Modal showing, messages and the save dialog are the scripted ones of the window tests, so the
// walk never waits for a hand on the keyboard.
#include "controls/dbcombo.h"
#include "controls/dbgrid.h"
#include "daily/frmaltorra.h"
#include "daily/frmtabella.h"
#include "db/datasource.h"
#include "db/global.h"
#include "intense/frmintense.h"
#include "intense/frmpioggia.h"
#include "support/queryarchive.h"
#include "support/tour.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QPushButton>
#include <QScreen>
#include <QTableView>
#include <QTest>

#include <cstdio>

using testsupport::screenshot;

namespace {

QString g_output;

void say(const QString& text) {
    std::printf("%s\n", qPrintable(text));
}

int gridRows(const controls::DBGrid* grid) {
    return grid->view()->model() ? grid->view()->model()->rowCount() : -1;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
    const QStringList args = app.arguments();
    if (!testsupport::startTour(args, "querytour CARTELLA_PROGRAMMA CARTELLA_USCITA [STAZIONE ANNO]",
                                &g_output)) {
        return 2;
    }
    testsupport::ScriptedSeams seams;
    seams.onMessage = [](const QString& text) { say("message: " + text); };
    seams.onModal = [](QWidget*) {};  // modal windows stay open: the walk drives them
    seams.closeAfterModal = false;
    seams.saveTo = QString();

    QElapsedTimer clock;
    clock.start();
    runtime::Forms::show<frmAltorra>(runtime::Modality::Modal);
    frmAltorra* form = runtime::Forms::find<frmAltorra>();
    say(QStringLiteral("selection form open in %1 ms; %2 stations, %3 years")
            .arg(clock.elapsed())
            .arg(form->DBCmbStazione->count())
            .arg(form->DBcmbAnno->count()));
    form->activateWindow();
    screenshot(g_output, "1-selezione");

    const QString station = args.size() > 3 ? args[3] : form->DBCmbStazione->itemText(0);
    const QString year = args.size() > 4 ? args[4] : form->DBcmbAnno->itemText(1);
    querytest::choose(form->DBCmbStazione, station);
    querytest::choose(form->DBcmbAnno, year);
    say("chosen: " + station + ", " + year);
    screenshot(g_output, "2-scelta");

    clock.restart();
    form->cmdSeleziona->click();
    frmTabella* table = runtime::Forms::find<frmTabella>();
    const qint64 elapsed = clock.elapsed();
    if (!table) {
        say("no result window");
        return 1;
    }
    say(QStringLiteral("\"&Seleziona\" to a filled grid: %1 ms, %2 rows, %3 columns")
            .arg(elapsed)
            .arg(gridRows(table->DB))
            .arg(table->DB->columnCount()));
    say("statement: " + Global::DailySql);
    table->activateWindow();
    screenshot(g_output, "3-valori-giornalieri");

    // A second search on the same open archive, another station and the next year.
    table->CmdPrecedente->click();
    querytest::choose(form->DBCmbStazione, form->DBCmbStazione->itemText(form->DBCmbStazione->count() / 2));
    querytest::choose(form->DBcmbAnno, form->DBcmbAnno->itemText(2));
    clock.restart();
    form->cmdSeleziona->click();
    table = runtime::Forms::find<frmTabella>();
    say(QStringLiteral("second search (%1, %2): %3 ms, %4 rows")
            .arg(form->DBCmbStazione->text(), form->DBcmbAnno->text())
            .arg(clock.elapsed())
            .arg(table ? gridRows(table->DB) : -1));
    if (!table) {
        return 1;
    }

    const QString exported = QDir(g_output).filePath("giornalieri.txt");
    seams.saveTo = exported;
    clock.restart();
    table->Command1->click();
    say(QStringLiteral("export: %1 ms, %2 bytes").arg(clock.elapsed()).arg(QFileInfo(exported).size()));
    table->CmdPrecedente->click();
    form->CmdChiudi->click();

    runtime::Forms::show<frmPioggia>(runtime::Modality::Modal);
    frmPioggia* rain = runtime::Forms::find<frmPioggia>();
    querytest::choose(rain->DBcmbAnno, year);
    screenshot(g_output, "4-piogge-scelta");
    clock.restart();
    rain->cmdSeleziona->click();
    frmIntense* maxima = runtime::Forms::find<frmIntense>();
    if (maxima) {
        say(QStringLiteral("intense: %1 ms, %2 rows, %3 columns")
                .arg(clock.elapsed())
                .arg(gridRows(maxima->DBpioggia))
                .arg(maxima->DBpioggia->columnCount()));
        maxima->activateWindow();
        screenshot(g_output, "5-piogge-intense");
        seams.saveTo = QDir(g_output).filePath("piogge.txt");
        maxima->Command1->click();
        maxima->CmdChiudi->click();
    }
    rain->CmdChiudi->click();
    runtime::Forms::unloadAll();
    return 0;
}
