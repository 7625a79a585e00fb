#include "support/scriptedseams.h"

#include "runtime/form.h"

#include <QCoreApplication>
#include <QEvent>
#include <QPrinter>
#include <QTest>

namespace testsupport {

ScriptedSeams::ScriptedSeams(int services) : services_(services) {
    install(this);
}

ScriptedSeams::~ScriptedSeams() {
    install(nullptr);
}

// Installs `service` (nullptr: the real one) for each service this object replaces.
void ScriptedSeams::install(ScriptedSeams* service) {
    if (services_ & Messages) {
        seams::setMessageBox(service);
    }
    if (services_ & Modals) {
        seams::setModalRunner(service);
    }
    if (services_ & ProgramEnds) {
        seams::setProgramEnd(service);
    }
    if (services_ & SaveDialogs) {
        seams::setSaveDialog(service);
    }
    if (services_ & PrintDialogs) {
        seams::setPrintDialog(service);
    }
}

void ScriptedSeams::show(QWidget*, const QString& text) {
    messages.append(text);
    if (onMessage) {
        onMessage(text);
    }
}

void ScriptedSeams::run(QWidget* window) {
    modalWindows.append(window->objectName());
    pointerAtModal.append(seams::mousePointer());
    lastModal = window;
    QPointer<QWidget> guard(window);
    window->show();
    if (onModal) {
        onModal(window);
    } else {
        unexpected.append(QStringLiteral("modal ") + window->objectName());
    }
    if (guard && closeAfterModal) {
        if (auto* form = qobject_cast<runtime::Form*>(guard.data())) {
            form->Unload();
        } else {
            guard->hide();
        }
    }
}

void ScriptedSeams::end() {
    ++programEnds;
}

bool ScriptedSeams::exec(QWidget*, seams::SaveRequest& request) {
    saveRequests.append(request);
    if (!saveTo) {
        unexpected.append(QStringLiteral("save dialog ") + request.title);
        return false;
    }
    if (saveTo->isEmpty()) {
        return false;
    }
    request.fileName = *saveTo;
    if (saveType) {
        request.filterIndex = *saveType;
    }
    return true;
}

bool ScriptedSeams::exec(QWidget*, QPrinter& printer) {
    ++printDialogs;
    printDocuments.append(printer.docName());
    if (!printTo) {
        unexpected.append(QStringLiteral("print dialog"));
        return false;
    }
    if (printTo->isEmpty()) {
        return false;
    }
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(*printTo);
    return true;
}

void endScriptedTest(std::unique_ptr<ScriptedSeams>& seams) {
    runtime::Forms::unloadAll();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    const QStringList unexpected = seams->unexpected;
    seams.reset();
    QVERIFY2(unexpected.isEmpty(), qPrintable(unexpected.join(QStringLiteral("; "))));
}

}  // namespace testsupport
