#include "intense/frmpioggia.h"

#include "daily/dailystatement.h"
#include "daily/formkit.h"
#include "db/boundcontrols.h"
#include "db/datasource.h"
#include "db/global.h"
#include "db/location.h"
#include "db/seams.h"
#include "intense/frmintense.h"
#include "intense/intensestatement.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>

frmPioggia::frmPioggia() {
    setObjectName(QStringLiteral("frmPioggia"));
    setWindowTitle(QStringLiteral("ALTORRA - Piogge intense"));
    formkit::setFixedFrame(this);
    formkit::paint(this, Qt::white, Qt::black);
    setClientTwips(8055, 3495, false);

    Shape1 = new QFrame(this);
    Shape1->setObjectName(QStringLiteral("Shape1"));
    Shape1->setFrameShape(QFrame::Box);
    Shape1->setGeometry(db::twipsRect(120, 120, 7840, 1095));

    lblStazione = new QLabel(QStringLiteral("Stazione"), this);
    lblStazione->setObjectName(QStringLiteral("lblStazione"));
    lblStazione->setGeometry(db::twipsRect(240, 240, 900, 285));
    DBCmbStazione = new db::DBCombo(QStringLiteral("DBCmbStazione"), this);
    DBCmbStazione->setObjectName(QStringLiteral("DBCmbStazione"));
    DBCmbStazione->setGeometry(db::twipsRect(1200, 240, 6735, 315));
    lblAnno = new QLabel(QStringLiteral("Anno"), this);
    lblAnno->setObjectName(QStringLiteral("lblAnno"));
    lblAnno->setGeometry(db::twipsRect(6420, 720, 520, 285));
    DBcmbAnno = new db::DBCombo(QStringLiteral("DBcmbAnno"), this);
    DBcmbAnno->setObjectName(QStringLiteral("DBcmbAnno"));
    DBcmbAnno->setGeometry(db::twipsRect(6960, 720, 975, 315));

    Chkgiorni = new formkit::WrapCheckBox(
        QStringLiteral("Chkgiorni"),
        QStringLiteral("Precipitazioni di massima intensità per  giorni consecutivi (da 1 a 5 giorni)"),
        this);
    Chkgiorni->setGeometry(db::twipsRect(120, 1320, 7840, 800));
    formkit::paint(Chkgiorni, formkit::kLightGrey, Qt::blue);
    Chkgiorni->setCheckState(Qt::Checked);
    chkore = new formkit::WrapCheckBox(
        QStringLiteral("chkore"),
        QStringLiteral("Precipitazioni di massima intensità per unità temporali di 1 -3 - 6 - 12 - 24 ore"),
        this);
    chkore->setGeometry(db::twipsRect(120, 2100, 7840, 800));
    formkit::paint(chkore, formkit::kBlueViolet, Qt::white);
    chkore->setCheckState(Qt::Checked);

    cmdSeleziona = formkit::makeButton(QStringLiteral("cmdSeleziona"), QStringLiteral("&Seleziona"), this,
                                       120, 3000, 1215, 375);
    cmdAnnulla = formkit::makeButton(QStringLiteral("cmdAnnulla"), QStringLiteral("&Cancella"), this, 1380,
                                     3000, 1215, 375);
    CmdChiudi = formkit::makeButton(QStringLiteral("CmdChiudi"), QStringLiteral("Chiudi"), this, 6780, 3000,
                                    1215, 375);

    DStaz = new db::DataSource(QStringLiteral("DStaz"), this);
    DAnno = new db::DataSource(QStringLiteral("DAnno"), this);
    DBCmbStazione->bind(DStaz, QStringLiteral("NomeStaz"));
    DBcmbAnno->bind(DAnno, QStringLiteral("Anno"));

    connect(cmdSeleziona, &QPushButton::clicked, this, &frmPioggia::cmdSeleziona_Click);
    connect(cmdAnnulla, &QPushButton::clicked, this, &frmPioggia::cmdAnnulla_Click);
    connect(CmdChiudi, &QPushButton::clicked, this, &frmPioggia::CmdChiudi_Click);
}

void frmPioggia::Form_Load() {
    const QString path = db::databaseLocation();
    DStaz->setDatabaseName(path);
    DStaz->setRecordSource(QStringLiteral("anagraficaa"));
    DAnno->setDatabaseName(path);
    DAnno->setRecordSource(QStringLiteral("Anno"));
}

void frmPioggia::Form_Activate() {
    seams::setMousePointer(seams::kDefaultPointer);
}

void frmPioggia::cmdSeleziona_Click() {
    const formkit::ListChoice station = formkit::readChoice(DBCmbStazione, DStaz, QStringLiteral("codstaz"));
    const formkit::ListChoice year = formkit::readChoice(DBcmbAnno, DAnno, QStringLiteral("anno"));
    // A typed text that matches no entry has no row to take a key from: say so rather than search.
    if (station.unmatched) {
        seams::msgBox(formkit::unmatchedMessage(lblStazione->text(), station.text), this);
        return;
    }
    if (year.unmatched) {
        seams::msgBox(formkit::unmatchedMessage(lblAnno->text(), year.text), this);
        return;
    }

    intense::IntenseChoice choice;
    choice.stationText = station.text;
    choice.yearText = year.text;
    choice.stationKey = station.key;
    choice.yearKey = year.key;
    choice.hoursBox = formkit::boxValue(chkore);
    choice.daysBox = formkit::boxValue(Chkgiorni);
    if (!intense::buildIntenseStatement(choice)) {
        seams::msgBox(QString::fromUtf8(daily::kNoCriterionMessage), this);
        return;
    }
    seams::setMousePointer(seams::kHourglass);
    Global::IntenseQueryOk = Global::kTrue;
    db::Forms::show<frmIntense>(db::Modality::Modal);
}

void frmPioggia::cmdAnnulla_Click() {
    DBCmbStazione->setText(QString());
    DBcmbAnno->setText(QString());
}

void frmPioggia::CmdChiudi_Click() {
    Unload();
}
