// Scripted stand-ins for the platform seams, installed for the life of one object. A modal window,
// message, dialog or program end that a test did not script is recorded, never left waiting, so a
// wrong expectation fails the test instead of hanging it.
#pragma once

#include "form.h"
#include "seams.h"

#include <QPointer>
#include <QStringList>
#include <QWidget>

#include <functional>

class ScriptedSeams : public seams::MessageBox,
                      public seams::ModalRunner,
                      public seams::ProgramEnd,
                      public seams::SaveDialog,
                      public seams::PrintDialog {
  public:
    ScriptedSeams() {
        seams::setMessageBox(this);
        seams::setModalRunner(this);
        seams::setProgramEnd(this);
        seams::setSaveDialog(this);
        seams::setPrintDialog(this);
    }
    ~ScriptedSeams() override {
        seams::setMessageBox(nullptr);
        seams::setModalRunner(nullptr);
        seams::setProgramEnd(nullptr);
        seams::setSaveDialog(nullptr);
        seams::setPrintDialog(nullptr);
    }

    // What happens when a window is shown modal: the handler looks at the window (it is visible,
    // as in the real display) and returns; the window is then closed unless the handler keeps it.
    std::function<void(QWidget*)> onModal;
    bool closeAfterModal = true;

    QStringList messages;
    QStringList modalWindows;   // objectName of each window shown modal, in order
    QList<int> pointerAtModal;  // the mouse pointer when each modal display began
    int programEnds = 0;
    QStringList unexpected;  // seams used without a script

    void show(QWidget*, const QString& text) override { messages.append(text); }

    void run(QWidget* window) override {
        modalWindows.append(window->objectName());
        pointerAtModal.append(seams::mousePointer());
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

    void end() override { ++programEnds; }

    bool exec(QWidget*, seams::SaveRequest& request) override {
        unexpected.append(QStringLiteral("save dialog ") + request.title);
        return false;
    }
    bool exec(QWidget*, QPrinter&) override {
        unexpected.append(QStringLiteral("print dialog"));
        return false;
    }
};
