// What the daily and intense window tests share: a small archive written by our own writer, with
// known stations, years and rows, and scripted message box, modal runner and save dialog.
#pragma once

#include "seams.h"

#include <QPointer>
#include <QString>
#include <QStringList>
#include <QWidget>

class QComboBox;

#include <functional>

namespace querytest {

// Station codes in the test archive.
constexpr int kVessa = 12;  // daily rows for 1995 March 1-3 and 1996 March 1; intense 1994 and 1995
constexpr int kRoda = 27;   // daily rows for 1995 March 1; intense 1995
constexpr int kBorgo = 31;  // in the daily list, no daily rows
constexpr int kColle = 40;  // in the intense list, no intense rows
// "Stazione senza codice": in both lists with a NULL code, so its criterion has no value.

// Writes folder/orbeni.mdb. Returns an empty text, or the writer's error.
QString writeArchive(const QString& folder);

// Records every message; `onShow` runs while a message is "open" (after it was recorded).
class Messages : public seams::MessageBox {
  public:
    void show(QWidget* parent, const QString& text) override;
    QStringList texts;
    std::function<void(const QString&)> onShow;
};

// Shows the window without waiting, so the test drives it; remembers the last one.
class Runner : public seams::ModalRunner {
  public:
    void run(QWidget* window) override;
    QPointer<QWidget> last;
    int runs = 0;
};

// Answers with `fileName`, or cancels when it is empty; records the requests.
class SaveDialog : public seams::SaveDialog {
  public:
    bool exec(QWidget* parent, seams::SaveRequest& request) override;
    QString fileName;
    QList<seams::SaveRequest> requests;
};

// Installs the three scripted services (the tests never meet a real modal).
struct Seams {
    Messages messages;
    Runner runner;
    SaveDialog saveDialog;
    Seams();
    ~Seams();
};

// Chooses the entry showing `text` as the user does with the mouse; false when there is none.
bool choose(QComboBox* list, const QString& text);
// Sends the activation the platform sends when a window comes to the front.
void activate(QWidget* window);

}  // namespace querytest
