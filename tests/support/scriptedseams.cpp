#include "scriptedseams.h"

#include "form.h"

#include <QCoreApplication>
#include <QEvent>
#include <QPrinter>
#include <QTest>

namespace testsupport {

ScriptedSeams::ScriptedSeams(int services) : services_(services) {
    if (services_ & Messages) {
        seams::setMessageBox(this);
    }
    if (services_ & Modals) {
        seams::setModalRunner(this);
    }
    if (services_ & ProgramEnds) {
        seams::setProgramEnd(this);
    }
    if (services_ & SaveDialogs) {
        seams::setSaveDialog(this);
    }
    if (services_ & PrintDialogs) {
        seams::setPrintDialog(this);
    }
}

ScriptedSeams::~ScriptedSeams() {
    if (services_ & Messages) {
        seams::setMessageBox(nullptr);
    }
    if (services_ & Modals) {
        seams::setModalRunner(nullptr);
    }
    if (services_ & ProgramEnds) {
        seams::setProgramEnd(nullptr);
    }
    if (services_ & SaveDialogs) {
        seams::setSaveDialog(nullptr);
    }
    if (services_ & PrintDialogs) {
        seams::setPrintDialog(nullptr);
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
        if (auto* form = qobject_cast<db::Form*>(guard.data())) {
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
    return true;
}

bool ScriptedSeams::exec(QWidget*, QPrinter& printer) {
    ++printDialogs;
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
    db::Forms::unloadAll();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    const QStringList unexpected = seams->unexpected;
    seams.reset();
    QVERIFY2(unexpected.isEmpty(), qPrintable(unexpected.join(QStringLiteral("; "))));
}

}  // namespace testsupport
