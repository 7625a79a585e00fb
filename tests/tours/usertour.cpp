// The daily and intense windows reached from the main window's menu as a user reaches them, with
// the real modal showing and real message boxes; a poller stands in for the hand on the mouse and
// takes a screenshot at each step. Only the save dialog is scripted (it answers with a file name).
// usertour PROGRAM_FOLDER OUTPUT_FOLDER
#include "controls/dbcombo.h"
#include "controls/dbgrid.h"
#include "daily/frmaltorra.h"
#include "daily/frmtabella.h"
#include "intense/frmintense.h"
#include "intense/frmpioggia.h"
#include "shell/frmapertura.h"
#include "support/queryarchive.h"
#include "support/tour.h"

#include <QAbstractItemModel>
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTableView>
#include <QTimer>

#include <cstdio>
#include <functional>

using testsupport::screenshot;

namespace {

QString g_output;

void say(const QString& text) {
    std::printf("%s\n", qPrintable(text));
    std::fflush(stdout);
}

// Clicks later, so the poller returns before a modal window starts waiting.
void clickLater(QPushButton* button) {
    QTimer::singleShot(0, button, [button] { button->click(); });
}

template <class T>
T* visible() {
    T* form = runtime::Forms::find<T>();
    return form && form->isVisible() ? form : nullptr;
}

QMessageBox* messageBox() {
    return qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (!testsupport::startTour(args, "usertour CARTELLA_PROGRAMMA CARTELLA_USCITA", &g_output)) {
        return 2;
    }
    // Only the save dialog is scripted: messages and modal windows are the real ones.
    testsupport::ScriptedSeams saveDialog(testsupport::ScriptedSeams::SaveDialogs);
    saveDialog.saveTo = QDir(g_output).filePath("esportazione.txt");

    // Each step runs once its condition holds; the poller keeps ticking inside modal windows.
    struct Step {
        std::function<bool()> ready;
        std::function<void()> act;
    };
    QList<Step> steps;
    steps.append({[] { return visible<frmAltorra>() != nullptr; },
                  [] {
                      frmAltorra* form = visible<frmAltorra>();
                      querytest::choose(form->DBCmbStazione, form->DBCmbStazione->itemText(0));
                      querytest::choose(form->DBcmbAnno, form->DBcmbAnno->itemText(1));
                      say("daily: " + form->DBCmbStazione->text() + ", " + form->DBcmbAnno->text());
                      screenshot(g_output, "u1-dati-giornalieri");
                      clickLater(form->cmdSeleziona);
                  }});
    // Ready once the window has come to the front and its activation put the default pointer back.
    steps.append({[] { return visible<frmTabella>() && seams::mousePointer() == seams::kDefaultPointer; },
                  [&saveDialog] {
                      frmTabella* table = visible<frmTabella>();
                      say(QStringLiteral("grid: %1 rows, %2 columns, pointer %3")
                              .arg(table->DB->view()->model()->rowCount())
                              .arg(table->DB->columnCount())
                              .arg(seams::mousePointer()));
                      screenshot(g_output, "u2-valori-giornalieri");
                      table->Command1->click();
                      QFile file(*saveDialog.saveTo);
                      if (file.open(QIODevice::ReadOnly)) {
                          say(QStringLiteral("exported %1 bytes; first line: ").arg(file.size()) +
                              QString::fromLatin1(file.readLine()).trimmed());
                      }
                      clickLater(table->CmdPrecedente);
                  }});
    steps.append({[] { return !runtime::Forms::find<frmTabella>() && visible<frmAltorra>(); },
                  [] {
                      frmAltorra* form = visible<frmAltorra>();
                      say(QStringLiteral("back in the form: %1, %2, pointer %3")
                              .arg(form->DBCmbStazione->text(), form->DBcmbAnno->text())
                              .arg(seams::mousePointer()));
                      form->cmdAnnulla->click();
                      clickLater(form->cmdSeleziona);
                  }});
    // Ready a few polls after the box appeared, so the screenshot shows it painted.
    int polls = 0;
    steps.append({[&polls] { return messageBox() != nullptr && ++polls >= 4; },
                  [] {
                      say("message: " + messageBox()->text());
                      screenshot(g_output, "u3-messaggio");
                      messageBox()->accept();
                  }});
    // A day that no month of that length has: the result window closes itself at its first tick.
    steps.append({[] { return !messageBox() && visible<frmAltorra>(); },
                  [] {
                      frmAltorra* form = visible<frmAltorra>();
                      querytest::choose(form->DBCmbMese, QStringLiteral("Febbraio"));
                      querytest::choose(form->DBcmbGiorno, QStringLiteral("31"));
                      say("daily: 31 Febbraio");
                      clickLater(form->cmdSeleziona);
                  }});
    int emptyPolls = 0;
    steps.append({[&emptyPolls] { return messageBox() != nullptr && ++emptyPolls >= 4; },
                  [] {
                      say(QStringLiteral("message: %1 (result window %2)")
                              .arg(messageBox()->text(), runtime::Forms::find<frmTabella>()
                                                             ? QStringLiteral("still open")
                                                             : QStringLiteral("closed")));
                      screenshot(g_output, "u3b-nessun-record");
                      messageBox()->accept();
                  }});
    steps.append({[] { return !messageBox() && visible<frmAltorra>(); },
                  [] { clickLater(visible<frmAltorra>()->CmdChiudi); }});
    steps.append({[] { return !runtime::Forms::find<frmAltorra>(); },
                  [] {
                      frmApertura* main = runtime::Forms::find<frmApertura>();
                      QTimer::singleShot(0, main, [main] { main->mnuPiogge_intense->trigger(); });
                  }});
    steps.append({[] { return visible<frmPioggia>() != nullptr; },
                  [] {
                      frmPioggia* form = visible<frmPioggia>();
                      querytest::choose(form->DBCmbStazione, form->DBCmbStazione->itemText(0));
                      say("intense: " + form->DBCmbStazione->text());
                      screenshot(g_output, "u4-piogge-intense");
                      clickLater(form->cmdSeleziona);
                  }});
    steps.append({[] { return visible<frmIntense>() != nullptr; },
                  [] {
                      frmIntense* table = visible<frmIntense>();
                      say(QStringLiteral("grid: %1 rows, %2 columns")
                              .arg(table->DBpioggia->view()->model()->rowCount())
                              .arg(table->DBpioggia->columnCount()));
                      screenshot(g_output, "u5-piogge-tabella");
                      clickLater(table->CmdChiudi);
                  }});
    steps.append({[] { return !runtime::Forms::find<frmIntense>() && visible<frmPioggia>(); },
                  [] { clickLater(visible<frmPioggia>()->CmdChiudi); }});
    steps.append({[] { return !runtime::Forms::find<frmPioggia>(); },
                  [] {
                      // Leaves the loop without closing the main window from its frame.
                      QCoreApplication::exit(0);
                  }});

    int next = 0;
    int waited = 0;
    QTimer poller;
    QObject::connect(&poller, &QTimer::timeout, [&] {
        if (next >= steps.size()) {
            return;
        }
        if (++waited > 300) {  // 30 s on one step: something is not as expected
            say(QStringLiteral("step %1 never became ready").arg(next + 1));
            std::fflush(nullptr);
            std::_Exit(1);
        }
        if (steps[next].ready()) {
            waited = 0;
            steps[next++].act();
        }
    });
    poller.start(100);

    frmApertura* main = runtime::Forms::show<frmApertura>(runtime::Modality::Modeless);
    QTimer::singleShot(300, main, [main] { main->mnuDati_giornalieri->trigger(); });
    return app.exec();
}
