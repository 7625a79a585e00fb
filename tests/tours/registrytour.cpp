// A walk through the registry window as a user takes it, on a real archive under a real X server,
// with screenshots at each step: several stations, the large picture, printing to a PDF file.
// registrytour PROGRAM_FOLDER OUTPUT_FOLDER
// It starts from the main window's menu.
// The large picture and the print dialog are the real ones; a watcher takes a screenshot of each
// and then closes it (the print dialog by accepting it, so the page goes to a PDF file).
#include "db/global.h"
#include "registry/frmanagrafica.h"
#include "registry/frmdettaglio.h"
#include "runtime/seams.h"
#include "shell/frmapertura.h"
#include "support/tour.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QScreen>
#include <QTest>
#include <QTimer>

#include <cstdio>

using testsupport::screenshot;

namespace {

QString g_output;

// Returns the milliseconds from the choice to the filled window.
qint64 choose(controls::DBCombo* combo, int index) {
    combo->showPopup();
    QTest::qWait(200);
    QAbstractItemView* view = combo->view();
    const QModelIndex entry = combo->model()->index(index, combo->modelColumn());
    view->scrollTo(entry);
    view->setCurrentIndex(entry);
    QElapsedTimer clock;
    clock.start();
    QTest::keyClick(view, Qt::Key_Return);
    return clock.elapsed();
}

void describe(frmAnagrafica* form) {
    std::printf("card: %s (code %s, %s %s), thumbnail %s, monthly rows %d\n",
                qPrintable(form->DBCombo1->text()), qPrintable(form->txtCod->text()),
                qPrintable(form->txtCom->text()), qPrintable(form->txtPro->text()),
                form->PctUbic->picture().isNull() ? "none" : "shown", form->MSFlexGrid1->rows() - 1);
}

// Acts on the next modal window when it shows up; gives up after ten seconds.
void whenModal(const std::function<void(QWidget*)>& act) {
    auto* timer = new QTimer;
    auto* elapsed = new int(0);
    QObject::connect(timer, &QTimer::timeout, [timer, elapsed, act] {
        QWidget* modal = QApplication::activeModalWidget();
        *elapsed += 50;
        if (modal && modal->isVisible()) {
            timer->stop();
            act(modal);
            timer->deleteLater();
            delete elapsed;
        } else if (*elapsed > 10000) {
            timer->stop();
            std::printf("no modal window appeared\n");
            timer->deleteLater();
            delete elapsed;
        }
    });
    timer->start(50);
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Altorra"));
    const QStringList args = app.arguments();
    if (!testsupport::startTour(args, "registrytour CARTELLA_PROGRAMMA CARTELLA_USCITA", &g_output)) {
        return 2;
    }

    // From the main window's menu, as the user opens it.
    auto* main = new frmApertura();
    main->load();
    main->show();
    QTest::qWait(300);
    main->mnuAnagrafica->trigger();
    QTest::qWait(300);
    frmAnagrafica* form = runtime::Forms::find<frmAnagrafica>();
    if (!form) {
        std::printf("the registry did not open\n");
        return 1;
    }
    form->move(0, 0);
    QTest::qWait(300);
    std::printf("pointer after opening: %s\n",
                seams::mousePointer() == seams::kDefaultPointer ? "default" : "hourglass");
    describe(form);
    screenshot(g_output, QStringLiteral("1-opening"));

    for (int index : {1, 3, 7, 18}) {
        const qint64 ms = choose(form->DBCombo1, index);
        std::printf("station change: %lld ms\n", static_cast<long long>(ms));
        describe(form);
        screenshot(g_output, QStringLiteral("2-station-%1").arg(index));
    }

    choose(form->DBCombo1, 4);
    describe(form);
    whenModal([](QWidget* window) {
        window->move(0, 0);
        screenshot(g_output, QStringLiteral("3-large-picture-") + window->objectName());
        window->close();
    });
    QTest::mouseClick(form->PctUbic, Qt::LeftButton, {}, QPoint(30, 30));
    std::printf("large picture closed; registry open: %s\n",
                runtime::Forms::find<frmAnagrafica>() ? "yes" : "no");

    const QString pdf = QDir(g_output).filePath(QStringLiteral("scheda.pdf"));
    whenModal([pdf](QWidget* window) {
        screenshot(g_output, QStringLiteral("4-print-dialog"));
        if (auto* dialog = qobject_cast<QPrintDialog*>(window)) {
            // The dialog takes the file from its own field when accepted.
            for (QLineEdit* field : dialog->findChildren<QLineEdit*>()) {
                if (field->isVisible() && field->text().endsWith(QStringLiteral(".pdf"))) {
                    field->setText(pdf);
                }
            }
            std::printf("print dialog: accepted, output file %s\n", qPrintable(pdf));
            dialog->accept();
        } else {
            std::printf("unexpected modal window %s\n", qPrintable(window->objectName()));
            window->close();
        }
    });
    form->mnuStampa->trigger();
    std::printf("printed: %s\n", QFile::exists(pdf) ? qPrintable(pdf) : "nothing");

    form->mnuChiudi->trigger();
    QTest::qWait(100);
    std::printf("closed; monthly statement kept: %s\n", qPrintable(Global::MonthlyQuery));
    return 0;
}
