// The daily values found by the selection form's statement, in a grid that can be exported.
#pragma once

#include "forms/resultwindow.h"

class frmTabella : public forms::ResultWindow {
    Q_OBJECT
  public:
    frmTabella();

    db::DataSource* const DTabella;
    controls::DBGrid* const DB;
    QPushButton* const CmdPrecedente;

    void CmdPrecedente_Click();
    void DTabella_Error(int DataErr, int& Response);
};
