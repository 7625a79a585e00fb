// Scripted stand-ins for every platform seam, installed for the life of one object. Each service
// records what it was asked; a modal window or a dialog that the test did not script is recorded in
// `unexpected` and returns at once, so a wrong expectation fails the test instead of hanging it.
#pragma once

#include "runtime/seams.h"

#include <QList>
#include <QPointer>
#include <QStringList>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>

namespace testsupport {

class ScriptedSeams : public seams::MessageBox,
                      public seams::ModalRunner,
                      public seams::ProgramEnd,
                      public seams::SaveDialog,
                      public seams::PrintDialog {
  public:
    // Which services to replace; the others stay the real ones.
    enum Service { Messages = 1, Modals = 2, ProgramEnds = 4, SaveDialogs = 8, PrintDialogs = 16, All = 31 };
    explicit ScriptedSeams(int services = All);
    ~ScriptedSeams() override;
    ScriptedSeams(const ScriptedSeams&) = delete;
    ScriptedSeams& operator=(const ScriptedSeams&) = delete;

    // Message box: every text is recorded; `onMessage` runs while the message is "open".
    QStringList messages;
    std::function<void(const QString&)> onMessage;

    // Modal display: the window is shown, `onModal` looks at it and returns; the window is then
    // closed as the user would (unloaded when it is a form) unless `closeAfterModal` is false, in
    // which case it stays open for the test to drive.
    std::function<void(QWidget*)> onModal;
    bool closeAfterModal = true;
    QStringList modalWindows;   // objectName of each window shown modal, in order
    QList<int> pointerAtModal;  // the mouse pointer when each modal display began
    QPointer<QWidget> lastModal;

    int programEnds = 0;

    // Save dialog: answers with `saveTo`, or cancels when it is empty; unset, the dialog was not
    // expected. Every request is recorded.
    std::optional<QString> saveTo;
    std::optional<int> saveType;  // the pair the user chose (1-based); unset: the one offered
    QList<seams::SaveRequest> saveRequests;

    // Print dialog: with `printTo` a file, accepts and prints there as PDF; empty, cancels; unset,
    // the dialog was not expected.
    std::optional<QString> printTo;
    int printDialogs = 0;
    QStringList printDocuments;  // the document name each print dialog was given

    QStringList unexpected;  // services used without a script

    void show(QWidget* parent, const QString& text) override;
    void run(QWidget* window) override;
    void end() override;
    bool exec(QWidget* parent, seams::SaveRequest& request) override;
    bool exec(QWidget* parent, QPrinter& printer) override;

  private:
    void install(ScriptedSeams* service);
    int services_;
};

// Ends a test that ran with scripted seams: every window unloaded and deleted, the real services
// back, and the test failed when a seam was used without a script.
void endScriptedTest(std::unique_ptr<ScriptedSeams>& seams);

}  // namespace testsupport
