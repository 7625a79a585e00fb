// The daily-values selection form: a station, year, month and day in any combination and thirteen
// quantities; "&Seleziona" builds the daily statement and shows it in frmTabella.
#pragma once

#include "forms/selectionform.h"

#include <array>

class QCheckBox;

class frmAltorra : public forms::SelectionForm {
    Q_OBJECT
  public:
    frmAltorra();

    QLabel* const lblStazione;
    controls::DBCombo* const DBCmbStazione;
    QLabel* const lblAnno;
    controls::DBCombo* const DBcmbAnno;
    QLabel* const lblMese;
    controls::DBCombo* const DBCmbMese;
    QLabel* const lblGiorno;
    controls::DBCombo* const DBcmbGiorno;
    db::DataSource* const DStaz;
    db::DataSource* const DAnno;
    db::DataSource* const DMese;
    db::DataSource* const DGiorno;
    // The thirteen quantity boxes, in the order their columns are asked for.
    std::array<QCheckBox*, 13> quantityBoxes{};
    QCheckBox* box(const QString& name) const;

  protected:
    forms::Statement statementFor(const QList<forms::ListChoice>& choices) const override;
    void openResults() override;
};
