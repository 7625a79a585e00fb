#include "runtime/seams.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QMessageBox>
#include <QPointer>
#include <QPrintDialog>
#include <QPrinter>
#include <QSettings>
#include <QWidget>

#include <cstdio>
#include <cstdlib>

namespace seams {

namespace {
MessageBox* g_messageBox = nullptr;
SaveDialog* g_saveDialog = nullptr;
PrintDialog* g_printDialog = nullptr;
ModalRunner* g_modalRunner = nullptr;
ProgramEnd* g_programEnd = nullptr;
int g_pointer = kDefaultPointer;
}  // namespace

void setMessageBox(MessageBox* box) {
    g_messageBox = box;
}

void msgBox(const QString& text, QWidget* parent) {
    if (g_messageBox) {
        g_messageBox->show(parent, text);
        return;
    }
    QMessageBox box(QMessageBox::NoIcon, QCoreApplication::applicationName(), text, QMessageBox::Ok, parent);
    // A message that waits for OK shows the arrow, even while a window loads under the hourglass.
    const bool busy = QApplication::overrideCursor() != nullptr;
    if (busy) {
        QApplication::setOverrideCursor(Qt::ArrowCursor);
    }
    box.exec();
    if (busy) {
        QApplication::restoreOverrideCursor();
    }
}

void setMousePointer(int code) {
    const int wanted = code == kHourglass ? kHourglass : kDefaultPointer;
    if (wanted == g_pointer) {
        return;
    }
    g_pointer = wanted;
    // Qt's override cursor stacks; this pointer is one state, so there is at most one override.
    if (qobject_cast<QApplication*>(QCoreApplication::instance())) {
        if (wanted == kHourglass) {
            QApplication::setOverrideCursor(Qt::WaitCursor);
        } else {
            while (QApplication::overrideCursor()) {
                QApplication::restoreOverrideCursor();
            }
        }
    }
}

int mousePointer() {
    return g_pointer;
}

void keepNoSettings() {
    // Below a device, which no one can make a folder of: reads find nothing, writes fail quietly.
    const QString nowhere = QStringLiteral("/dev/null/altorra");
    for (const QSettings::Format format : {QSettings::NativeFormat, QSettings::IniFormat}) {
        for (const QSettings::Scope scope : {QSettings::UserScope, QSettings::SystemScope}) {
            QSettings::setPath(format, scope, nowhere);
        }
    }
}
Q_COREAPP_STARTUP_FUNCTION(keepNoSettings)

void setSaveDialog(SaveDialog* dialog) {
    g_saveDialog = dialog;
}

bool runSaveDialog(QWidget* parent, SaveRequest& request) {
    if (g_saveDialog) {
        return g_saveDialog->exec(parent, request);
    }
    return runRealSaveDialog(parent, request);
}

void setPrintDialog(PrintDialog* dialog) {
    g_printDialog = dialog;
}

bool runPrintDialog(QWidget* parent, QPrinter& printer) {
    if (g_printDialog) {
        return g_printDialog->exec(parent, printer);
    }
    keepNoSettings();
    QPrintDialog dialog(&printer, parent);
    return dialog.exec() == QDialog::Accepted;
}

void setModalRunner(ModalRunner* runner) {
    g_modalRunner = runner;
}

void runModal(QWidget* window) {
    if (g_modalRunner) {
        g_modalRunner->run(window);
        return;
    }
    QPointer<QWidget> guard(window);
    window->setWindowModality(Qt::ApplicationModal);
    window->show();
    window->raise();
    window->activateWindow();
    QEventLoop loop;
    QObject::connect(window, &QObject::destroyed, &loop, &QEventLoop::quit);
    // A window that is closed or hidden also ends the wait; Form hides itself when it unloads.
    while (guard && guard->isVisible()) {
        loop.processEvents(QEventLoop::WaitForMoreEvents);
    }
}

void setProgramEnd(ProgramEnd* end) {
    g_programEnd = end;
}

void endProgram() {
    if (g_programEnd) {
        g_programEnd->end();
        return;
    }
    std::fflush(nullptr);
    std::_Exit(0);
}

}  // namespace seams
