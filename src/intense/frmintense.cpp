#include "intense/frmintense.h"

#include "chart/chartwindow.h"
#include "controls/dbgrid.h"
#include "db/global.h"
#include "forms/gridactions.h"
#include "forms/gridtools.h"
#include "intense/frmcurva.h"
#include "intense/intensechart.h"
#include "jet/jet.h"

#include <QAction>
#include <QMenu>

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
    forms::GridActions* actions =
        chart::attach(DBpioggia->view(), dpioggia, this, [this](const forms::GridActions& grid) {
            return intense::maximaChart(dpioggia->databaseName(), dpioggia->recordSource(), &grid);
        });
    // The spreadsheet's properties name the stations and years shown.
    actions->tools()->setSubject([actions] {
        const auto rows = actions->rows();
        return rows ? forms::stationsAndPeriod(*rows, QStringLiteral("Nomestaz"), QStringLiteral("Anno"))
                    : QString();
    });
    // The depth-duration-frequency curve of the current row's station, from the same rows.
    QAction* curve = actions->addWindowEntry(QStringLiteral("Curva di &possibilità pluviometrica…"));
    curve->setObjectName(QStringLiteral("mnuCurva"));
    connect(curve, &QAction::triggered, this, [this, actions] {
        const std::shared_ptr<const jet::RecordSet> rows = actions->rows();
        if (rows && rows->recordCount() > 0) {
            frmCurva::open(this, actions, stationCode_);
        }
    });
    connect(actions->menu(), &QMenu::aboutToShow, curve, [curve, actions] {
        const std::shared_ptr<const jet::RecordSet> rows = actions->rows();
        curve->setEnabled(rows && rows->recordCount() > 0);
    });
}

void frmIntense::Form_Load() {
    forms::ResultWindow::Form_Load();
    // The code of the station searched for, when the search named one: the rows hold its name only.
    const QString filter = Global::IntenseStationFilter;
    stationCode_ = filter.startsWith(QLatin1String("codstaz = ")) ? filter.mid(10).trimmed() : QString();
}

void frmIntense::CmdChiudi_Click() {
    Unload();
}

void frmIntense::dpioggia_Error(int DataErr, int& Response) {
    sourceError(DataErr, Response);
}
