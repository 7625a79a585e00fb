// The intense-rainfall selection form: a station, a year or both, and the hours and days maxima;
// "&Seleziona" builds the statement and shows it in frmIntense.
#pragma once

#include "db/form.h"

class QCheckBox;
class QFrame;
class QLabel;
class QPushButton;

namespace db {
class DataSource;
class DBCombo;
}  // namespace db

class frmPioggia : public db::Form {
    Q_OBJECT
  public:
    frmPioggia();

    QLabel* lblStazione;
    db::DBCombo* DBCmbStazione;
    QLabel* lblAnno;
    db::DBCombo* DBcmbAnno;
    QFrame* Shape1;
    QCheckBox* Chkgiorni;
    QCheckBox* chkore;
    QPushButton* cmdSeleziona;
    QPushButton* cmdAnnulla;
    QPushButton* CmdChiudi;
    db::DataSource* DStaz;
    db::DataSource* DAnno;

    void cmdSeleziona_Click();
    void cmdAnnulla_Click();
    void CmdChiudi_Click();

  protected:
    void Form_Load() override;
    void Form_Activate() override;
};
