#include "intense/frmpioggia.h"

#include "intense/frmintense.h"
#include "intense/intensestatement.h"
#include "runtime/form.h"

#include <QCheckBox>

namespace {

enum { kStation, kYear };

const QList<forms::CriterionSpec>& criteria() {
    static const QList<forms::CriterionSpec> list = {forms::stationCriterion("anagraficaa"),
                                                     forms::yearCriterion()};
    return list;
}

}  // namespace

frmPioggia::frmPioggia()
    : forms::SelectionForm({forms::Search::Intense, "ALTORRA - Piogge intense", 8055, 3495, false},
                           criteria()),
      lblStazione(label(kStation)),
      DBCmbStazione(list(kStation)),
      lblAnno(label(kYear)),
      DBcmbAnno(list(kYear)),
      DStaz(source(kStation)),
      DAnno(source(kYear)) {
    setObjectName(QStringLiteral("frmPioggia"));
    const struct {
        QCheckBox* frmPioggia::*box;
        forms::Place place;
        QColor background, text;
    } boxes[] = {
        {&frmPioggia::Chkgiorni,
         {"Chkgiorni", "Precipitazioni di massima intensità per  giorni consecutivi (da 1 a 5 giorni)", 120,
          1320, 7840, 800},
         forms::kLightGrey,
         Qt::blue},
        {&frmPioggia::chkore,
         {"chkore", "Precipitazioni di massima intensità per unità temporali di 1 -3 - 6 - 12 - 24 ore", 120,
          2100, 7840, 800},
         forms::kBlueViolet,
         Qt::white},
    };
    for (const auto& box : boxes) {
        this->*box.box = forms::makeBox(box.place, this, box.background, box.text);
    }
    addButtons({"cmdSeleziona", "&Seleziona", 120, 3000, 1215, 375},
               {"cmdAnnulla", "&Cancella", 1380, 3000, 1215, 375},
               {"CmdChiudi", "Chiudi", 6780, 3000, 1215, 375});
}

forms::Statement frmPioggia::statementFor(const QList<forms::ListChoice>& choices) const {
    intense::IntenseChoice choice;
    choice.stationText = choices[kStation].text;
    choice.yearText = choices[kYear].text;
    choice.stationKey = choices[kStation].key;
    choice.yearKey = choices[kYear].key;
    choice.hoursBox = forms::boxValue(chkore);
    choice.daysBox = forms::boxValue(Chkgiorni);
    return intense::buildIntenseStatement(choice);
}

void frmPioggia::openResults() {
    runtime::Forms::show<frmIntense>(runtime::Modality::Modal);
}
