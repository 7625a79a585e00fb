#include "daily/frmtabella.h"

frmTabella::frmTabella()
    : forms::ResultWindow({forms::Search::Daily, "Visualizzazione dati giornalieri", true, "DTabella", "DB",
                           "VALORI GIORNALIERI", 0, 0, "CmdPrecedente", 500, "gestione errori in dtabella:"}),
      DTabella(source()),
      DB(grid()),
      CmdPrecedente(closeButton()) {
    setObjectName(QStringLiteral("frmTabella"));
    wire(&frmTabella::CmdPrecedente_Click, &frmTabella::DTabella_Error);
}

void frmTabella::CmdPrecedente_Click() {
    Unload();
}

void frmTabella::DTabella_Error(int DataErr, int& Response) {
    sourceError(DataErr, Response);
}
