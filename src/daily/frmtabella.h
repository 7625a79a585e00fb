// The daily values found by the selection form's statement, in a grid that can be exported.
#pragma once

#include "daily/resultform.h"

class frmTabella : public formkit::ResultForm {
    Q_OBJECT
  public:
    frmTabella();

    db::DataSource* const DTabella;
    db::DBGrid* const DB;
    QPushButton* const Command1;
    QPushButton* const CmdPrecedente;
    QTimer* const Timer1;

    void Command1_Click();
    void CmdPrecedente_Click();
    void Timer1_Timer();
    void DTabella_Error(int DataErr, int& Response);
};
