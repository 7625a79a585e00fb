#include "intense/frmpioggia.h"

#include "db/form.h"
#include "intense/frmintense.h"
#include "intense/intensestatement.h"

#include <QCheckBox>

namespace {

enum { kStation, kYear };

const QList<forms::CriterionSpec>& criteria() {
    static const QList<forms::CriterionSpec> list = {
        {{"lblStazione", "Stazione", 240, 240, 900, 285},
         {"DBCmbStazione", "", 1200, 240, 6735, 315},
         "DStaz",
         "anagraficaa",
         "NomeStaz",
         "codstaz"},
        {{"lblAnno", "Anno", 6420, 720, 520, 285},
         {"DBcmbAnno", "", 6960, 720, 975, 315},
         "DAnno",
         "Anno",
         "Anno",
         "anno"},
    };
    return list;
}

}  // namespace

frmPioggia::frmPioggia()
    : forms::SelectionForm({"ALTORRA - Piogge intense", 8055, 3495, false}, criteria()),
      lblStazione(label(kStation)),
      DBCmbStazione(list(kStation)),
      lblAnno(label(kYear)),
      DBcmbAnno(list(kYear)),
      DStaz(source(kStation)),
      DAnno(source(kYear)) {
    setObjectName(QStringLiteral("frmPioggia"));
    Chkgiorni = forms::makeBox(
        {"Chkgiorni", "Precipitazioni di massima intensità per  giorni consecutivi (da 1 a 5 giorni)", 120,
         1320, 7840, 800},
        this, forms::kLightGrey, Qt::blue);
    chkore = forms::makeBox(
        {"chkore", "Precipitazioni di massima intensità per unità temporali di 1 -3 - 6 - 12 - 24 ore", 120,
         2100, 7840, 800},
        this, forms::kBlueViolet, Qt::white);
    addButtons({"cmdSeleziona", "&Seleziona", 120, 3000, 1215, 375},
               {"cmdAnnulla", "&Cancella", 1380, 3000, 1215, 375},
               {"CmdChiudi", "Chiudi", 6780, 3000, 1215, 375});
}

bool frmPioggia::publishStatement(const QList<forms::ListChoice>& choices) {
    intense::IntenseChoice choice;
    choice.stationText = choices[kStation].text;
    choice.yearText = choices[kYear].text;
    choice.stationKey = choices[kStation].key;
    choice.yearKey = choices[kYear].key;
    choice.hoursBox = forms::boxValue(chkore);
    choice.daysBox = forms::boxValue(Chkgiorni);
    const intense::IntenseStatement statement = intense::buildIntenseStatement(choice);
    intense::publish(statement);
    return statement.hasCriterion;
}

void frmPioggia::openResults() {
    db::Forms::show<frmIntense>(db::Modality::Modal);
}
