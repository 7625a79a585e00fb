#include "forms/selectionform.h"

#include "controls/dbcombo.h"
#include "db/datasource.h"
#include "db/location.h"
#include "runtime/seams.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>

namespace forms {

CriterionSpec stationCriterion(const char* recordSource) {
    return {{"lblStazione", "Stazione", 240, 240, 900, 285},
            {"DBCmbStazione", "", 1200, 240, 6735, 315},
            "DStaz",
            recordSource,
            "NomeStaz",
            "codstaz"};
}

CriterionSpec yearCriterion() {
    return {{"lblAnno", "Anno", 6420, 720, 520, 285},
            {"DBcmbAnno", "", 6960, 720, 975, 315},
            "DAnno",
            "Anno",
            "Anno",
            "anno"};
}

SelectionForm::SelectionForm(const SelectionLayout& layout, const QList<CriterionSpec>& criteria)
    : search_(layout.search) {
    setWindowTitle(QString::fromUtf8(layout.caption));
    setFixedFrame(this);
    paint(this, Qt::white, Qt::black);
    setClientTwips(layout.clientWidth, layout.clientHeight, layout.centred);
    if (!layout.centred) {
        cascadeFromOpener();
    }
    setFixedSize(size());  // a fixed border: the window cannot be resized

    Shape1 = new QFrame(this);
    Shape1->setObjectName(QStringLiteral("Shape1"));
    Shape1->setFrameShape(QFrame::Box);
    Shape1->setGeometry(runtime::twipsRect(120, 120, 7840, 1095));

    for (const CriterionSpec& spec : criteria) {
        Criterion criterion;
        criterion.label = makeLabel(spec.label, this);
        criterion.list = makeList(spec.list, this);
        nameControl(criterion.list, QString::fromUtf8(spec.label.caption));  // the label beside it names it
        criterion.source = nullptr;
        criterion.recordSource = QString::fromUtf8(spec.recordSource);
        criterion.keyField = QString::fromUtf8(spec.keyField);
        criteria_.append(criterion);
    }
    // The sources after all the lists, in the order of the criteria: they open in that order.
    for (int i = 0; i < criteria.size(); ++i) {
        criteria_[i].source = addDataSource(QString::fromUtf8(criteria[i].sourceName));
        criteria_[i].list->bind(criteria_[i].source, QString::fromUtf8(criteria[i].shownField));
    }
}

void SelectionForm::addButtons(const Place& select, const Place& clear, const Place& close) {
    cmdSeleziona = makeButton(select, this);
    cmdAnnulla = makeButton(clear, this);
    CmdChiudi = makeButton(close, this);
    connect(cmdSeleziona, &QPushButton::clicked, this, &SelectionForm::cmdSeleziona_Click);
    connect(cmdAnnulla, &QPushButton::clicked, this, &SelectionForm::cmdAnnulla_Click);
    connect(CmdChiudi, &QPushButton::clicked, this, &SelectionForm::CmdChiudi_Click);
}

void SelectionForm::Form_Load() {
    const QString path = db::databaseLocation();
    for (const Criterion& criterion : criteria_) {
        criterion.source->setDatabaseName(path);
        criterion.source->setRecordSource(criterion.recordSource);
    }
}

void SelectionForm::Form_Activate() {
    seams::setMousePointer(seams::kDefaultPointer);
}

void SelectionForm::cmdSeleziona_Click() {
    QList<ListChoice> choices;
    for (const Criterion& criterion : criteria_) {
        choices.append(readChoice(criterion.list, criterion.source, criterion.keyField));
    }
    // A typed text that matches no entry has no row to take a key from: say so rather than search.
    for (int i = 0; i < choices.size(); ++i) {
        if (choices[i].unmatched) {
            seams::msgBox(unmatchedMessage(criteria_[i].label->text(), choices[i].text), this);
            return;
        }
    }
    const Statement statement = statementFor(choices);
    publish(search_, statement);
    if (!statement.hasCriterion) {
        seams::msgBox(QString::fromUtf8(kNoCriterionMessage), this);
        return;
    }
    seams::setMousePointer(seams::kHourglass);
    openResults();
}

void SelectionForm::cmdAnnulla_Click() {
    for (const Criterion& criterion : criteria_) {
        criterion.list->setText(QString());
    }
}

void SelectionForm::CmdChiudi_Click() {
    Unload();
}

}  // namespace forms
