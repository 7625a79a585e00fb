#include "daily/frmtabella.h"

#include "chart/chartwindow.h"
#include "daily/frmriepilogo.h"
#include "db/boundcontrols.h"

frmTabella::frmTabella()
    : forms::ResultWindow({forms::Search::Daily, "Visualizzazione dati giornalieri", true, "DTabella", "DB",
                           "VALORI GIORNALIERI", 0, 0, "CmdPrecedente", 500, "gestione errori in dtabella:"}),
      DTabella(source()),
      DB(grid()),
      CmdPrecedente(closeButton()) {
    setObjectName(QStringLiteral("frmTabella"));
    wire(&frmTabella::CmdPrecedente_Click, &frmTabella::DTabella_Error);
    // Ctrl+C and the grid's context menu: copying, the chart of the days shown and their summary.
    daily::offerSummary(chart::attach(DB->view(), DTabella, this, chart::Kind::Daily), this);
}

void frmTabella::CmdPrecedente_Click() {
    Unload();
}

void frmTabella::DTabella_Error(int DataErr, int& Response) {
    sourceError(DataErr, Response);
}
