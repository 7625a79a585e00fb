// The intense-rainfall selection form: a station, a year or both, and the hours and days maxima;
// "&Seleziona" builds the statement and shows it in frmIntense.
#pragma once

#include "forms/selectionform.h"

class QCheckBox;

class frmPioggia : public forms::SelectionForm {
    Q_OBJECT
  public:
    frmPioggia();

    QLabel* const lblStazione;
    controls::DBCombo* const DBCmbStazione;
    QLabel* const lblAnno;
    controls::DBCombo* const DBcmbAnno;
    db::DataSource* const DStaz;
    db::DataSource* const DAnno;
    QCheckBox* Chkgiorni = nullptr;
    QCheckBox* chkore = nullptr;

  protected:
    forms::Statement statementFor(const QList<forms::ListChoice>& choices) const override;
    void openResults() override;
};
