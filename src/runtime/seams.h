// The platform services a test must drive, each behind one thin seam. The real service is used
// unless a test installs its own; passing nullptr puts the real one back.
#pragma once

#include <QString>

#include <functional>

class QPrinter;
class QWidget;

namespace seams {

// --- Message box: a plain box with one OK button, titled with the application's name. ---
class MessageBox {
  public:
    virtual ~MessageBox() = default;
    virtual void show(QWidget* parent, const QString& text) = 0;
};
void setMessageBox(MessageBox* box);
void msgBox(const QString& text, QWidget* parent = nullptr);

// --- Application-wide mouse pointer: one state, not a stack. ---
constexpr int kDefaultPointer = 0;
constexpr int kHourglass = 11;
void setMousePointer(int code);
int mousePointer();

// --- No settings store. ---
// Qt's own dialogs keep their state (folders visited, view, side bar) in a per-user settings
// file; this points every settings path where nothing can be read or created. Done once when the
// application starts, and again by the real dialogs in case they run first.
void keepNoSettings();

// --- Save dialog. ---
struct SaveRequest {
    QString title;
    int flags = 0;        // 2 ask before replacing, 4 hide the read-only box
    QString filter;       // "description|pattern|description|pattern..." exactly as given
    int filterIndex = 1;  // 1-based: in, the pair selected at opening; out, the pair chosen
    QString fileName;     // in: offered name (may be empty); out: the chosen one
    // A name chosen without one of the chosen pair's extensions gets the pair's first, before the
    // dialog asks whether to replace: the question is about the file that will be written.
    bool addExtension = false;
    // Why the file the name leads to may not be written, empty when it may. The dialog says so
    // and stays open, before it would ask whether to replace that file.
    std::function<QString(const QString& file)> refusal;
};
// `name` with the first "*.ext" pattern's extension of pair `filterIndex` (1-based) added, unless
// it already matches one of that pair's patterns.
QString completeExtension(const QString& name, const QString& filter, int filterIndex);
class SaveDialog {
  public:
    virtual ~SaveDialog() = default;
    // Returns false when the user cancels.
    virtual bool exec(QWidget* parent, SaveRequest& request) = 0;
};
void setSaveDialog(SaveDialog* dialog);
bool runSaveDialog(QWidget* parent, SaveRequest& request);
// The real dialog (savedialog.cpp).
bool runRealSaveDialog(QWidget* parent, SaveRequest& request);

// --- Print dialog: the user picks a printer (or a PDF file) for `printer`. ---
class PrintDialog {
  public:
    virtual ~PrintDialog() = default;
    virtual bool exec(QWidget* parent, QPrinter& printer) = 0;
};
void setPrintDialog(PrintDialog* dialog);
bool runPrintDialog(QWidget* parent, QPrinter& printer);

// --- Modal display of a window: shows it and waits until it is closed or destroyed. ---
class ModalRunner {
  public:
    virtual ~ModalRunner() = default;
    virtual void run(QWidget* window) = 0;
};
void setModalRunner(ModalRunner* runner);
void runModal(QWidget* window);

// --- Ending the program at once: every window goes, no further event handler runs. ---
class ProgramEnd {
  public:
    virtual ~ProgramEnd() = default;
    virtual void end() = 0;
};
void setProgramEnd(ProgramEnd* end);
void endProgram();

}  // namespace seams
