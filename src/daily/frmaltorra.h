// The daily-values selection form: a station, year, month and day in any combination and thirteen
// quantities; "&Seleziona" builds the daily statement and shows it in frmTabella.
#pragma once

#include "db/form.h"

#include <array>

class QCheckBox;
class QFrame;
class QLabel;
class QPushButton;

namespace db {
class DataSource;
class DBCombo;
}  // namespace db

class frmAltorra : public db::Form {
    Q_OBJECT
  public:
    frmAltorra();

    QLabel* lblStazione;
    db::DBCombo* DBCmbStazione;
    QLabel* lblGiorno;
    db::DBCombo* DBcmbGiorno;
    QLabel* lblMese;
    db::DBCombo* DBCmbMese;
    QLabel* lblAnno;
    db::DBCombo* DBcmbAnno;
    QFrame* Shape1;
    // The thirteen quantity boxes, in the order their columns are asked for.
    std::array<QCheckBox*, 13> quantityBoxes{};
    QCheckBox* box(const QString& name) const;
    QPushButton* cmdSeleziona;
    QPushButton* cmdAnnulla;
    QPushButton* CmdChiudi;
    db::DataSource* DStaz;
    db::DataSource* DAnno;
    db::DataSource* DMese;
    db::DataSource* DGiorno;

    void cmdSeleziona_Click();
    void cmdAnnulla_Click();
    void CmdChiudi_Click();

  protected:
    void Form_Load() override;
    void Form_Activate() override;
};
