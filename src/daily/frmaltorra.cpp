#include "daily/frmaltorra.h"

#include "daily/dailystatement.h"
#include "daily/frmtabella.h"
#include "runtime/form.h"

#include <QCheckBox>

#include <iterator>

namespace {

enum { kStation, kYear, kMonth, kDay };

const QList<forms::CriterionSpec>& criteria() {
    static const QList<forms::CriterionSpec> list = {
        forms::stationCriterion("Anagraficab"),
        forms::yearCriterion(),
        {{"lblMese", "Mese", 3120, 720, 640, 285},
         {"DBCmbMese", "", 3780, 720, 1335, 315},
         "DMese",
         "Mese",
         "TESTO",
         "mese"},
        {{"lblGiorno", "Giorno", 240, 720, 700, 285},
         {"DBcmbGiorno", "", 960, 720, 615, 315},
         "DGiorno",
         "Giorno",
         "Giorno",
         "giorno"},
    };
    return list;
}

// Where each quantity box stands: its row top and column left, in the order of quantities().
struct Cell {
    int left;
    int top;
};
constexpr int kRow1 = 1320, kRow2 = 2100, kRow3 = 2890;
constexpr int kCol1 = 120, kCol2 = 1680, kCol3 = 3240, kCol4 = 4800, kCol5 = 6360;
constexpr std::array<Cell, daily::kQuantityCount> kCells = {{
    {kCol1, kRow1},  // chkPioggia
    {kCol1, kRow2},  // chkTempMax
    {kCol2, kRow1},  // chkTempMin
    {kCol2, kRow2},  // chkTempMed
    {kCol1, kRow3},  // chkAltneve
    {kCol4, kRow2},  // chkVelMedia
    {kCol5, kRow1},  // chkVelMax
    {kCol5, kRow2},  // chkDirVento
    {kCol3, kRow2},  // chkUmidità
    {kCol2, kRow3},  // chkRadiazione
    {kCol3, kRow1},  // Chkumidmax
    {kCol4, kRow1},  // ChkUmidmin
    {kCol3, kRow3},  // ChkCalme
}};

}  // namespace

frmAltorra::frmAltorra()
    : forms::SelectionForm({forms::Search::Daily, "ALTORRA - Dati giornalieri", 8055, 3795, true},
                           criteria()),
      lblStazione(label(kStation)),
      DBCmbStazione(list(kStation)),
      lblAnno(label(kYear)),
      DBcmbAnno(list(kYear)),
      lblMese(label(kMonth)),
      DBCmbMese(list(kMonth)),
      lblGiorno(label(kDay)),
      DBcmbGiorno(list(kDay)),
      DStaz(source(kStation)),
      DAnno(source(kYear)),
      DMese(source(kMonth)),
      DGiorno(source(kDay)) {
    setObjectName(QStringLiteral("frmAltorra"));
    for (int i = 0; i < daily::kQuantityCount; ++i) {
        const daily::Quantity& quantity = daily::quantities()[i];
        const forms::Place place = {quantity.box, quantity.caption, kCells[i].left, kCells[i].top, 1600, 800};
        quantityBoxes[i] = kCells[i].top == kRow2 ? forms::makeBox(place, this, forms::kBlueViolet, Qt::white)
                                                  : forms::makeBox(place, this, forms::kLightGrey, Qt::blue);
    }
    addButtons({"cmdSeleziona", "&Seleziona", 4920, 3000, 1095, 615},
               {"cmdAnnulla", "&Cancella", 6000, 3000, 975, 615},
               {"CmdChiudi", "C&hiudi", 7080, 3000, 855, 615});

    const char* const tabOrder[] = {"chkPioggia",  "chkTempMax",    "chkTempMin", "chkTempMed",
                                    "chkDirVento", "chkVelMedia",   "chkAltneve", "cmdSeleziona",
                                    "cmdAnnulla",  "DBCmbStazione", "DBcmbAnno",  "DBCmbMese",
                                    "DBcmbGiorno", "chkRadiazione", "chkUmidità", "chkVelMax",
                                    "CmdChiudi",   "Chkumidmax",    "ChkUmidmin", "ChkCalme"};
    for (size_t i = 1; i < std::size(tabOrder); ++i) {
        setTabOrder(findChild<QWidget*>(QString::fromUtf8(tabOrder[i - 1])),
                    findChild<QWidget*>(QString::fromUtf8(tabOrder[i])));
    }
}

QCheckBox* frmAltorra::box(const QString& name) const {
    for (QCheckBox* checkBox : quantityBoxes) {
        if (checkBox->objectName() == name) {
            return checkBox;
        }
    }
    return nullptr;
}

forms::Statement frmAltorra::statementFor(const QList<forms::ListChoice>& choices) const {
    daily::DailyChoice choice;
    choice.stationText = choices[kStation].text;
    choice.yearText = choices[kYear].text;
    choice.monthText = choices[kMonth].text;
    choice.dayText = choices[kDay].text;
    choice.stationKey = choices[kStation].key;
    choice.yearKey = choices[kYear].key;
    choice.monthKey = choices[kMonth].key;
    choice.dayKey = choices[kDay].key;
    for (int i = 0; i < daily::kQuantityCount; ++i) {
        choice.boxes[i] = forms::boxValue(quantityBoxes[i]);
    }
    return daily::buildDailyStatement(choice);
}

void frmAltorra::openResults() {
    runtime::Forms::show<frmTabella>(runtime::Modality::Modal);
}
