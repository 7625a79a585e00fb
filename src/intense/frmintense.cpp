#include "intense/frmintense.h"

#include "db/datasource.h"
#include "db/global.h"

#include <QPushButton>
#include <QTimer>

namespace {
formkit::ResultLayout intenseLayout() {
    formkit::ResultLayout layout;
    layout.caption = QStringLiteral("Visualizzazione piogge intense");
    layout.centred = false;
    layout.sourceName = QStringLiteral("dpioggia");
    layout.gridName = QStringLiteral("DBpioggia");
    layout.gridCaption = QStringLiteral("PIOGGE INTENSE (mm)");
    layout.gridLeft = 120;
    layout.gridTop = 240;
    layout.closeName = QStringLiteral("CmdChiudi");
    layout.tickMs = 50;
    layout.errorPrefix = QStringLiteral("gestione errori in dpioggia:");
    layout.statement = &Global::IntenseSql;
    layout.queryOk = &Global::IntenseQueryOk;
    return layout;
}
}  // namespace

frmIntense::frmIntense()
    : formkit::ResultForm(intenseLayout()),
      dpioggia(source()),
      DBpioggia(grid()),
      Command1(exportButton()),
      CmdChiudi(closeButton()),
      Timer1(timer()) {
    setObjectName(QStringLiteral("frmIntense"));
    wire(&frmIntense::Command1_Click, &frmIntense::CmdChiudi_Click, &frmIntense::Timer1_Timer,
         &frmIntense::dpioggia_Error);
}

void frmIntense::Command1_Click() {
    exportRows();
}

void frmIntense::CmdChiudi_Click() {
    Unload();
}

void frmIntense::Timer1_Timer() {
    closeCheck();
}

void frmIntense::dpioggia_Error(int DataErr, int& Response) {
    sourceError(DataErr, Response);
}
