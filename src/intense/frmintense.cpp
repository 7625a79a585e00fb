#include "intense/frmintense.h"

frmIntense::frmIntense()
    : forms::ResultWindow({forms::Search::Intense, "Visualizzazione piogge intense", false, "dpioggia",
                           "DBpioggia", "PIOGGE INTENSE (mm)", 120, 240, "CmdChiudi", 50,
                           "gestione errori in dpioggia:"}),
      dpioggia(source()),
      DBpioggia(grid()),
      CmdChiudi(closeButton()) {
    setObjectName(QStringLiteral("frmIntense"));
    wire(&frmIntense::CmdChiudi_Click, &frmIntense::dpioggia_Error);
}

void frmIntense::CmdChiudi_Click() {
    Unload();
}

void frmIntense::dpioggia_Error(int DataErr, int& Response) {
    sourceError(DataErr, Response);
}
