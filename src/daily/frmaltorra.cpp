#include "daily/frmaltorra.h"

#include "daily/dailystatement.h"
#include "daily/formkit.h"
#include "daily/frmtabella.h"
#include "db/boundcontrols.h"
#include "db/datasource.h"
#include "db/global.h"
#include "db/location.h"
#include "db/seams.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>

namespace {

QLabel* makeLabel(const QString& name, const QString& caption, QWidget* parent, int left, int top,
                  int width) {
    auto* label = new QLabel(caption, parent);
    label->setObjectName(name);
    label->setGeometry(db::twipsRect(left, top, width, 285));
    return label;
}

db::DBCombo* makeList(const QString& name, QWidget* parent, int left, int top, int width) {
    auto* list = new db::DBCombo(name, parent);
    list->setObjectName(name);
    list->setGeometry(db::twipsRect(left, top, width, 315));
    return list;
}

// Where each quantity box stands: its row top and column left, in the order of quantities().
struct Place {
    int left;
    int top;
};
constexpr int kRow1 = 1320, kRow2 = 2100, kRow3 = 2890;
constexpr int kCol1 = 120, kCol2 = 1680, kCol3 = 3240, kCol4 = 4800, kCol5 = 6360;
constexpr std::array<Place, daily::kQuantityCount> kPlaces = {{
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

frmAltorra::frmAltorra() {
    setObjectName(QStringLiteral("frmAltorra"));
    setWindowTitle(QStringLiteral("ALTORRA - Dati giornalieri"));
    formkit::setFixedFrame(this);
    formkit::paint(this, Qt::white, Qt::black);
    setClientTwips(8055, 3795, true);

    Shape1 = new QFrame(this);
    Shape1->setObjectName(QStringLiteral("Shape1"));
    Shape1->setFrameShape(QFrame::Box);
    Shape1->setGeometry(db::twipsRect(120, 120, 7840, 1095));

    lblStazione = makeLabel(QStringLiteral("lblStazione"), QStringLiteral("Stazione"), this, 240, 240, 900);
    DBCmbStazione = makeList(QStringLiteral("DBCmbStazione"), this, 1200, 240, 6735);
    lblGiorno = makeLabel(QStringLiteral("lblGiorno"), QStringLiteral("Giorno"), this, 240, 720, 700);
    DBcmbGiorno = makeList(QStringLiteral("DBcmbGiorno"), this, 960, 720, 615);
    lblMese = makeLabel(QStringLiteral("lblMese"), QStringLiteral("Mese"), this, 3120, 720, 640);
    DBCmbMese = makeList(QStringLiteral("DBCmbMese"), this, 3780, 720, 1335);
    lblAnno = makeLabel(QStringLiteral("lblAnno"), QStringLiteral("Anno"), this, 6420, 720, 520);
    DBcmbAnno = makeList(QStringLiteral("DBcmbAnno"), this, 6960, 720, 975);

    for (int i = 0; i < daily::kQuantityCount; ++i) {
        const daily::Quantity& quantity = daily::quantities()[i];
        auto* checkBox = new formkit::WrapCheckBox(QString::fromUtf8(quantity.box),
                                                   QString::fromUtf8(quantity.caption), this);
        checkBox->setGeometry(db::twipsRect(kPlaces[i].left, kPlaces[i].top, 1600, 800));
        if (kPlaces[i].top == kRow2) {
            formkit::paint(checkBox, formkit::kBlueViolet, Qt::white);
        } else {
            formkit::paint(checkBox, formkit::kLightGrey, Qt::blue);
        }
        checkBox->setCheckState(Qt::Checked);
        quantityBoxes[i] = checkBox;
    }

    cmdSeleziona = formkit::makeButton(QStringLiteral("cmdSeleziona"), QStringLiteral("&Seleziona"), this,
                                       4920, 3000, 1095, 615);
    cmdAnnulla = formkit::makeButton(QStringLiteral("cmdAnnulla"), QStringLiteral("&Cancella"), this, 6000,
                                     3000, 975, 615);
    CmdChiudi = formkit::makeButton(QStringLiteral("CmdChiudi"), QStringLiteral("C&hiudi"), this, 7080, 3000,
                                    855, 615);

    DStaz = new db::DataSource(QStringLiteral("DStaz"), this);
    DAnno = new db::DataSource(QStringLiteral("DAnno"), this);
    DMese = new db::DataSource(QStringLiteral("DMese"), this);
    DGiorno = new db::DataSource(QStringLiteral("DGiorno"), this);
    DBCmbStazione->bind(DStaz, QStringLiteral("NomeStaz"));
    DBcmbAnno->bind(DAnno, QStringLiteral("Anno"));
    DBCmbMese->bind(DMese, QStringLiteral("TESTO"));
    DBcmbGiorno->bind(DGiorno, QStringLiteral("Giorno"));

    const QList<QWidget*> tabOrder = {box(QStringLiteral("chkPioggia")),
                                      box(QStringLiteral("chkTempMax")),
                                      box(QStringLiteral("chkTempMin")),
                                      box(QStringLiteral("chkTempMed")),
                                      box(QStringLiteral("chkDirVento")),
                                      box(QStringLiteral("chkVelMedia")),
                                      box(QStringLiteral("chkAltneve")),
                                      cmdSeleziona,
                                      cmdAnnulla,
                                      DBCmbStazione,
                                      DBcmbAnno,
                                      DBCmbMese,
                                      DBcmbGiorno,
                                      box(QStringLiteral("chkRadiazione")),
                                      box(QStringLiteral("chkUmidità")),
                                      box(QStringLiteral("chkVelMax")),
                                      CmdChiudi,
                                      box(QStringLiteral("Chkumidmax")),
                                      box(QStringLiteral("ChkUmidmin")),
                                      box(QStringLiteral("ChkCalme"))};
    for (int i = 1; i < tabOrder.size(); ++i) {
        setTabOrder(tabOrder[i - 1], tabOrder[i]);
    }

    connect(cmdSeleziona, &QPushButton::clicked, this, &frmAltorra::cmdSeleziona_Click);
    connect(cmdAnnulla, &QPushButton::clicked, this, &frmAltorra::cmdAnnulla_Click);
    connect(CmdChiudi, &QPushButton::clicked, this, &frmAltorra::CmdChiudi_Click);
}

QCheckBox* frmAltorra::box(const QString& name) const {
    for (QCheckBox* checkBox : quantityBoxes) {
        if (checkBox->objectName() == name) {
            return checkBox;
        }
    }
    return nullptr;
}

void frmAltorra::Form_Load() {
    const QString path = db::databaseLocation();
    DStaz->setDatabaseName(path);
    DStaz->setRecordSource(QStringLiteral("Anagraficab"));
    DAnno->setDatabaseName(path);
    DAnno->setRecordSource(QStringLiteral("Anno"));
    DMese->setDatabaseName(path);
    DMese->setRecordSource(QStringLiteral("Mese"));
    DGiorno->setDatabaseName(path);
    DGiorno->setRecordSource(QStringLiteral("Giorno"));
}

void frmAltorra::Form_Activate() {
    seams::setMousePointer(seams::kDefaultPointer);
}

void frmAltorra::cmdSeleziona_Click() {
    const formkit::ListChoice station = formkit::readChoice(DBCmbStazione, DStaz, QStringLiteral("codstaz"));
    const formkit::ListChoice year = formkit::readChoice(DBcmbAnno, DAnno, QStringLiteral("anno"));
    const formkit::ListChoice month = formkit::readChoice(DBCmbMese, DMese, QStringLiteral("mese"));
    const formkit::ListChoice day = formkit::readChoice(DBcmbGiorno, DGiorno, QStringLiteral("giorno"));

    // A typed text that matches no entry has no row to take a key from: say so rather than search.
    const std::array<std::pair<const formkit::ListChoice*, QLabel*>, 4> lists = {
        {{&station, lblStazione}, {&year, lblAnno}, {&month, lblMese}, {&day, lblGiorno}}};
    for (const auto& [choice, label] : lists) {
        if (choice->unmatched) {
            seams::msgBox(formkit::unmatchedMessage(label->text(), choice->text), this);
            return;
        }
    }

    daily::DailyChoice choice;
    choice.stationText = station.text;
    choice.yearText = year.text;
    choice.monthText = month.text;
    choice.dayText = day.text;
    choice.stationKey = station.key;
    choice.yearKey = year.key;
    choice.monthKey = month.key;
    choice.dayKey = day.key;
    for (int i = 0; i < daily::kQuantityCount; ++i) {
        choice.boxes[i] = formkit::boxValue(quantityBoxes[i]);
    }
    if (!daily::buildDailyStatement(choice)) {
        seams::msgBox(QString::fromUtf8(daily::kNoCriterionMessage), this);
        return;
    }
    seams::setMousePointer(seams::kHourglass);
    Global::DailyQueryOk = Global::kTrue;
    db::Forms::show<frmTabella>(db::Modality::Modal);
}

void frmAltorra::cmdAnnulla_Click() {
    DBCmbStazione->setText(QString());
    DBcmbAnno->setText(QString());
    DBCmbMese->setText(QString());
    DBcmbGiorno->setText(QString());
}

void frmAltorra::CmdChiudi_Click() {
    Unload();
}
