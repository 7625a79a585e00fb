#include "daily/frmtabella.h"

#include "chart/chartwindow.h"
#include "controls/dbgrid.h"
#include "daily/dailychart.h"
#include "daily/frmriepilogo.h"
#include "forms/gridactions.h"
#include "forms/gridtools.h"
#include "jet/jet.h"

frmTabella::frmTabella()
    : forms::ResultWindow({forms::Search::Daily, "Visualizzazione dati giornalieri", true, "DTabella", "DB",
                           "VALORI GIORNALIERI", 0, 0, "CmdPrecedente", 500, "gestione errori in dtabella:"}),
      DTabella(source()),
      DB(grid()),
      CmdPrecedente(closeButton()) {
    setObjectName(QStringLiteral("frmTabella"));
    wire(&frmTabella::CmdPrecedente_Click, &frmTabella::DTabella_Error);
    // Ctrl+C and the grid's context menu: copying, the chart of the days shown and their summary.
    forms::GridActions* actions =
        chart::attach(DB->view(), DTabella, this, [this](const forms::GridActions& grid) {
            return daily::dailyChart(DTabella->databaseName(), DTabella->recordSource(), &grid);
        });
    daily::offerSummary(actions, this, [this] {
        return daily::RowSource{DTabella->databaseName(), DTabella->recordSource()};
    });
    // The spreadsheet's properties name the stations and days shown.
    actions->tools()->setSubject([actions] {
        const auto rows = actions->rows();
        return rows ? forms::stationsAndPeriod(*rows, QStringLiteral("Denominazione"), QStringLiteral("Anno"),
                                               QStringLiteral("Mese"), QStringLiteral("Giorno"))
                    : QString();
    });
}

void frmTabella::CmdPrecedente_Click() {
    Unload();
}

void frmTabella::DTabella_Error(int DataErr, int& Response) {
    sourceError(DataErr, Response);
}
