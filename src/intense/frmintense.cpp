#include "intense/frmintense.h"

#include "chart/chartwindow.h"
#include "db/boundcontrols.h"
#include "forms/gridactions.h"
#include "forms/gridtools.h"
#include "jet/jet.h"

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
    forms::GridActions* actions = chart::attach(DBpioggia->view(), dpioggia, this, chart::Kind::Rainfall);
    // The spreadsheet's properties name the stations and years shown.
    actions->tools()->setSubject([actions] {
        const auto rows = actions->rows();
        return rows ? forms::stationsAndPeriod(*rows, QStringLiteral("Nomestaz"), QStringLiteral("Anno"))
                    : QString();
    });
}

void frmIntense::CmdChiudi_Click() {
    Unload();
}

void frmIntense::dpioggia_Error(int DataErr, int& Response) {
    sourceError(DataErr, Response);
}
