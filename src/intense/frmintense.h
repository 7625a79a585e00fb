// The intense-rainfall maxima found by the selection form's statement, in a grid that can be exported.
#pragma once

#include "forms/resultwindow.h"

class frmIntense : public forms::ResultWindow {
    Q_OBJECT
  public:
    frmIntense();

    db::DataSource* const dpioggia;
    controls::DBGrid* const DBpioggia;
    QPushButton* const CmdChiudi;

    void CmdChiudi_Click();
    void dpioggia_Error(int DataErr, int& Response);

  protected:
    void Form_Load() override;

  private:
    QString stationCode_;
};
