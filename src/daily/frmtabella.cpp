#include "daily/frmtabella.h"

#include "db/datasource.h"
#include "db/global.h"

#include <QPushButton>
#include <QTimer>

namespace {
formkit::ResultLayout tabellaLayout() {
    formkit::ResultLayout layout;
    layout.caption = QStringLiteral("Visualizzazione dati giornalieri");
    layout.centred = true;
    layout.sourceName = QStringLiteral("DTabella");
    layout.gridName = QStringLiteral("DB");
    layout.gridCaption = QStringLiteral("VALORI GIORNALIERI");
    layout.gridLeft = 0;
    layout.gridTop = 0;
    layout.closeName = QStringLiteral("CmdPrecedente");
    layout.tickMs = 500;
    layout.errorPrefix = QStringLiteral("gestione errori in dtabella:");
    layout.statement = &Global::DailySql;
    layout.queryOk = &Global::DailyQueryOk;
    return layout;
}
}  // namespace

frmTabella::frmTabella()
    : formkit::ResultForm(tabellaLayout()),
      DTabella(source()),
      DB(grid()),
      Command1(exportButton()),
      CmdPrecedente(closeButton()),
      Timer1(timer()) {
    setObjectName(QStringLiteral("frmTabella"));
    wire(&frmTabella::Command1_Click, &frmTabella::CmdPrecedente_Click, &frmTabella::Timer1_Timer,
         &frmTabella::DTabella_Error);
}

void frmTabella::Command1_Click() {
    exportRows();
}

void frmTabella::CmdPrecedente_Click() {
    Unload();
}

void frmTabella::Timer1_Timer() {
    closeCheck();
}

void frmTabella::DTabella_Error(int DataErr, int& Response) {
    sourceError(DataErr, Response);
}
