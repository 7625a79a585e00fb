// What the daily and intense window tests share: a small archive written by our own writer, with
// known stations, years and rows, and the frame every query-window test sets up around it.
#pragma once

#include "support/scriptedseams.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <functional>
#include <memory>

class QAbstractButton;
class QComboBox;
class QWidget;
namespace controls {
class DBGrid;
}

namespace querytest {

// Station codes in the test archive.
constexpr int kVessa = 12;  // daily rows for 1995 March 1-3 and 1996 March 1; intense 1994 and 1995
constexpr int kRoda = 27;   // daily rows for 1995 March 1; intense 1995
constexpr int kBorgo = 31;  // in the daily list, no daily rows
constexpr int kColle = 40;  // in the intense list, no intense rows
// "Stazione senza codice": in both lists with a NULL code, so its criterion has no value.

// Writes folder/orbeni.mdb. Returns an empty text, or the writer's error.
QString writeArchive(const QString& folder);

struct ListRuleForm;

// The frame of a query-window test case: the archive written once into a temporary program
// folder, scripted seams whose modal windows stay open so the test drives them (the tests never
// meet a real modal), fresh globals and recordings before each test, every window unloaded after.
class WindowTest : public QObject {
    Q_OBJECT

  protected:
    QString folder() const { return dir_.path(); }
    testsupport::ScriptedSeams* seams_ = nullptr;
    // Runs the current row of listRuleRows() on `form`: its steps, "&Seleziona", then what the
    // search must have used, or its refusal naming the station list with no result window.
    void checkListRule(const ListRuleForm& form);

  private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();

  private:
    QTemporaryDir dir_;
    std::unique_ptr<testsupport::ScriptedSeams> scripted_;
};

// Chooses the entry showing `text` as the user does with the mouse; false when there is none.
bool choose(QComboBox* list, const QString& text);
// The list rule as a user meets it, the same in both selection forms. Each row holds steps on the
// station and year lists ("station pick NAME" chooses from the list, "year type TEXT" types over
// the list's text, "cancel" presses "&Cancella"), then the station code and year the search must
// use (0 for none), or refused when "&Seleziona" must stop with the no-entry message.
void listRuleRows();

// A selection form as the list rule's cases drive it, and where its search leaves its outcome.
struct ListRuleForm {
    QComboBox* station;
    QComboBox* year;
    QAbstractButton* cancel;  // "&Cancella"
    QAbstractButton* select;  // "&Seleziona"
    QString codeColumn;       // the station code's column as the form's statement names it
    const QString* where;     // the criteria the search publishes
    const qint16* queryOk;    // the search's flag
    std::function<bool()> resultsShown;
};

// Sends the activation the platform sends when a window comes to the front.
void activate(QWidget* window);
// The column captions of a result grid, in order.
QStringList captions(const controls::DBGrid* grid);

}  // namespace querytest
