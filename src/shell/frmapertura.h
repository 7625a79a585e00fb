// The start-up window: the title picture and the menu that leads to every other window.
#pragma once

#include "forms/picturebox.h"
#include "runtime/form.h"

class QAction;
class QMenu;
class QMenuBar;

class frmApertura : public runtime::Form {
    Q_OBJECT
  public:
    explicit frmApertura(QWidget* parent = nullptr);

    QMenuBar* menuBar = nullptr;
    QMenu* mnuFile = nullptr;
    QAction* mnuEsci = nullptr;
    QMenu* mnuVisualizza = nullptr;
    QAction* mnuAnagrafica = nullptr;
    QAction* mnuDati_giornalieri = nullptr;
    QAction* mnuPiogge_intense = nullptr;
    QAction* mnuInformazioni = nullptr;
    forms::PictureBox* Picture1 = nullptr;

  public slots:
    void mnuAnagrafica_Click();
    void mnuDati_giornalieri_Click();
    void mnuPiogge_intense_Click();
    void mnuInformazioni_Click();
    void mnuEsci_Click();

  protected:
    void Form_Unload() override;
    void showEvent(QShowEvent* event) override;

  private:
    bool placed_ = false;
};
