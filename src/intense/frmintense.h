// The intense-rainfall maxima found by the selection form's statement, in a grid that can be exported.
#pragma once

#include "daily/resultform.h"

class frmIntense : public formkit::ResultForm {
    Q_OBJECT
  public:
    frmIntense();

    db::DataSource* const dpioggia;
    db::DBGrid* const DBpioggia;
    QPushButton* const Command1;
    QPushButton* const CmdChiudi;
    QTimer* const Timer1;

    void Command1_Click();
    void CmdChiudi_Click();
    void Timer1_Timer();
    void dpioggia_Error(int DataErr, int& Response);
};
