#include "intense/frmintense.h"

#include "chart/chartwindow.h"
#include "db/boundcontrols.h"

frmIntense::frmIntense()
    : forms::ResultWindow({forms::Search::Intense, "Visualizzazione piogge intense", false, "dpioggia",
                           "DBpioggia", "PIOGGE INTENSE (mm)", 120, 240, "CmdChiudi", 50,
                           "gestione errori in dpioggia:"}),
      dpioggia(source()),
      DBpioggia(grid()),
      CmdChiudi(closeButton()) {
    setObjectName(QStringLiteral("frmIntense"));
    wire(&frmIntense::CmdChiudi_Click, &frmIntense::dpioggia_Error);
    // Ctrl+C and the grid's context menu: copying, and the chart of the maxima by duration.
    chart::attach(DBpioggia->view(), dpioggia, this, chart::Kind::Rainfall);
}

void frmIntense::CmdChiudi_Click() {
    Unload();
}

void frmIntense::dpioggia_Error(int DataErr, int& Response) {
    sourceError(DataErr, Response);
}
