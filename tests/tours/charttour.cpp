// The charts as a user reaches them, from the grids' menus, on a real archive, with screenshots:
// a year of every station (one of two stations sharing a name chosen), March of two years, a July,
// the rainfall maxima of a year of every station; each daily chart saved as PNG, SVG and PDF with
// and without an extension typed and once onto an existing file, and printed to a PDF file.
// charttour PROGRAM_FOLDER OUTPUT_FOLDER [YEAR STATION MONTH_STATION JULY_YEAR]
// Modal showing and the save and print dialogs are the scripted ones of the window tests.
#include "chart/chartwindow.h"
#include "controls/dbcombo.h"
#include "controls/dbgrid.h"
#include "daily/frmaltorra.h"
#include "daily/frmtabella.h"
#include "forms/gridactions.h"
#include "intense/frmintense.h"
#include "intense/frmpioggia.h"
#include "support/queryarchive.h"
#include "support/tour.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPushButton>
#include <QTest>

#include <cstdio>

using testsupport::screenshot;

namespace {

QString g_output;

void say(const QString& text) {
    std::printf("%s\n", qPrintable(text));
    std::fflush(stdout);
}

// The chart of the owner's grid, from its menu.
chart::ChartWindow* openChart(QWidget* owner, QTableView* grid) {
    QList<forms::GridActions*> found = grid->findChildren<forms::GridActions*>();
    found += owner->findChildren<forms::GridActions*>();
    if (!found.isEmpty()) {
        found.constFirst()->chartAction()->trigger();
    }
    chart::ChartWindow* window = chart::chartWindowOf(owner);
    if (window) {
        if (!QTest::qWaitForWindowExposed(window)) {
            say("chart window not exposed");
        }
        window->activateWindow();
        QTest::qWait(300);
    }
    return window;
}

void saveEveryWay(chart::ChartWindow* window, testsupport::ScriptedSeams& seams, const QString& name) {
    const QString types[] = {QStringLiteral("png"), QStringLiteral("svg"), QStringLiteral("pdf")};
    for (int t = 0; t < 3; ++t) {
        seams.saveType = t + 1;
        seams.saveTo = QDir(g_output).filePath(name + QStringLiteral("-senza-") + types[t]);
        window->cmdSalva->click();
        seams.saveTo = QDir(g_output).filePath(name + QStringLiteral("-con.") + types[t]);
        window->cmdSalva->click();
    }
    // Onto an existing file, by its full name (the dialog's replace question is the window tests').
    seams.saveType = 1;
    const QString existing = QDir(g_output).filePath(name + QStringLiteral("-con.png"));
    const qint64 before = QFileInfo(existing).size();
    seams.saveTo = existing;
    window->cmdSalva->click();
    say(QStringLiteral("saved over %1: %2 bytes, then %3")
            .arg(existing)
            .arg(before)
            .arg(QFileInfo(existing).size()));
    seams.printTo = QDir(g_output).filePath(name + QStringLiteral("-stampa.pdf"));
    window->cmdStampa->click();
    say(QStringLiteral("printed as %1 (%2 bytes); document name: %3")
            .arg(*seams.printTo)
            .arg(QFileInfo(*seams.printTo).size())
            .arg(seams.printDocuments.value(seams.printDocuments.size() - 1)));
}

frmTabella* dailySearch(frmAltorra* form, const QString& station, const QString& year, const QString& month) {
    form->cmdAnnulla->click();
    if (!station.isEmpty()) {
        querytest::choose(form->DBCmbStazione, station);
    }
    if (!year.isEmpty()) {
        querytest::choose(form->DBcmbAnno, year);
    }
    if (!month.isEmpty()) {
        querytest::choose(form->DBCmbMese, month);
    }
    for (QCheckBox* box : form->findChildren<QCheckBox*>()) {
        box->setChecked(true);
    }
    form->cmdSeleziona->click();
    return runtime::Forms::find<frmTabella>();
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
    const QStringList args = app.arguments();
    if (!testsupport::startTour(
            args, "charttour CARTELLA_PROGRAMMA CARTELLA_USCITA [ANNO STAZIONE STAZIONE_MARZO]", &g_output)) {
        return 2;
    }
    testsupport::ScriptedSeams seams;
    seams.onMessage = [](const QString& text) { say("message: " + text); };
    seams.onModal = [](QWidget*) {};
    seams.closeAfterModal = false;
    const QString year = args.value(3, QStringLiteral("1994"));
    const QString shared = args.value(4, QStringLiteral("San Michele"));
    const QString marchStation = args.value(5);

    runtime::Forms::show<frmAltorra>(runtime::Modality::Modal);
    frmAltorra* form = runtime::Forms::find<frmAltorra>();
    frmTabella* table = dailySearch(form, QString(), year, QString());
    if (!table) {
        say("no result window");
        return 1;
    }
    chart::ChartWindow* window = openChart(table, table->DB->view());
    if (!window) {
        say("no chart window");
        return 1;
    }
    say(QStringLiteral("daily chart of %1: %2 stations listed, window %3x%4")
            .arg(year)
            .arg(window->cmbStazione->count())
            .arg(window->frameGeometry().width())
            .arg(window->frameGeometry().height()));
    screenshot(g_output, "1-giornaliero-tutte");
    QStringList listed;
    for (int i = 0; i < window->cmbStazione->count(); ++i) {
        listed << window->cmbStazione->itemText(i);
    }
    say("listed: " + listed.join(QStringLiteral(" | ")));
    for (int i = 0; i < window->cmbStazione->count(); ++i) {
        if (window->cmbStazione->itemText(i).startsWith(shared)) {
            window->cmbStazione->setCurrentIndex(i);
            emit window->cmbStazione->activated(i);
            break;
        }
    }
    QTest::qWait(200);
    screenshot(g_output, "2-giornaliero-stazione-omonima");
    saveEveryWay(window, seams, QStringLiteral("omonima"));
    window->close();
    table->CmdPrecedente->click();

    // March of every year for one station.
    const QString station = marchStation.isEmpty() ? form->DBCmbStazione->itemText(1) : marchStation;
    table = dailySearch(form, station, QString(), QStringLiteral("Marzo"));
    if (table && (window = openChart(table, table->DB->view()))) {
        screenshot(g_output, "3-marzo-di-ogni-anno");
        saveEveryWay(window, seams, QStringLiteral("marzo"));
        window->close();
        table->CmdPrecedente->click();
    }
    // A July of that station.
    table = dailySearch(form, station, year, QStringLiteral("Luglio"));
    if (table && (window = openChart(table, table->DB->view()))) {
        screenshot(g_output, "4-luglio");
        window->close();
        table->CmdPrecedente->click();
    }
    form->CmdChiudi->click();

    runtime::Forms::show<frmPioggia>(runtime::Modality::Modal);
    frmPioggia* rain = runtime::Forms::find<frmPioggia>();
    querytest::choose(rain->DBcmbAnno, year);
    rain->cmdSeleziona->click();
    if (frmIntense* maxima = runtime::Forms::find<frmIntense>()) {
        if ((window = openChart(maxima, maxima->DBpioggia->view()))) {
            screenshot(g_output, "5-piogge-intense");
            window->cmbStazione->setCurrentIndex(2);
            emit window->cmbStazione->activated(2);
            QTest::qWait(200);
            screenshot(g_output, "6-piogge-intense-una-stazione");
        }
    }
    runtime::Forms::unloadAll();
    return 0;
}
