// The base of the two selection forms: a framed band of labelled data-bound lists, the buttons
// "&Seleziona", "&Cancella" and a close button, and the search that reads the lists, refuses a
// text that matches no entry or a search with no criterion, and opens the result window.
#pragma once

#include "forms/choice.h"
#include "forms/formkit.h"
#include "runtime/form.h"

#include <QList>

class QFrame;
class QLabel;
class QPushButton;

namespace db {
class DataSource;
}

namespace forms {

// One criterion: its label, its list and the data source the list shows.
struct CriterionSpec {
    Place label;
    Place list;
    const char* sourceName;
    const char* recordSource;  // what the source reads at load
    const char* shownField;    // what the list shows
    const char* keyField;      // what the statement takes from the designated row
};

// The station and year criteria both forms have, at the same places; the station list reads
// `recordSource`.
CriterionSpec stationCriterion(const char* recordSource);
CriterionSpec yearCriterion();

struct SelectionLayout {
    Search search;
    const char* caption;
    int clientWidth, clientHeight;
    bool centred;
};

class SelectionForm : public runtime::Form {
    Q_OBJECT
  public:
    QFrame* Shape1 = nullptr;
    QPushButton* cmdSeleziona = nullptr;
    QPushButton* cmdAnnulla = nullptr;
    QPushButton* CmdChiudi = nullptr;

    // Reads every list, refuses a text that matches no entry and a search with no criterion,
    // then opens the result window.
    void cmdSeleziona_Click();
    // Empties the text of every list, in the order of the criteria.
    void cmdAnnulla_Click();
    void CmdChiudi_Click();

  protected:
    SelectionForm(const SelectionLayout& layout, const QList<CriterionSpec>& criteria);

    QLabel* label(int criterion) const { return criteria_[criterion].label; }
    controls::DBCombo* list(int criterion) const { return criteria_[criterion].list; }
    db::DataSource* source(int criterion) const { return criteria_[criterion].source; }

    // Creates the three buttons (after the form's own boxes, so they follow them in the tab order).
    void addButtons(const Place& select, const Place& clear, const Place& close);

    // The statement for the lists' choices and the form's boxes.
    virtual Statement statementFor(const QList<ListChoice>& choices) const = 0;
    // Shows the result window.
    virtual void openResults() = 0;

    void Form_Load() override;
    void Form_Activate() override;

  private:
    struct Criterion {
        QLabel* label;
        controls::DBCombo* list;
        db::DataSource* source;
        QString recordSource;
        QString keyField;
    };
    Search search_;
    QList<Criterion> criteria_;
};

}  // namespace forms
