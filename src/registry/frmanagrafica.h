// The station registry window: one station's card, its location thumbnail and its monthly
// figures; the station is chosen by name. Modeless; reads the archive only.
#pragma once

#include "controls/boundtextbox.h"
#include "controls/dbcombo.h"
#include "controls/dbgrid.h"
#include "controls/flexgrid.h"
#include "db/datasource.h"
#include "export/esporta.h"
#include "forms/formkit.h"
#include "forms/picturebox.h"
#include "runtime/form.h"

#include <QLabel>

class QAction;
class QMenu;
class QMenuBar;

class frmAnagrafica : public runtime::Form {
    Q_OBJECT
  public:
    explicit frmAnagrafica(QWidget* parent = nullptr);

    // The client area under the menu bar: what is printed.
    QWidget* clientArea() const { return client_; }

    // Data sources, created with the window so that they open after Form_Load (the monthly one
    // first, as the load handler points it first).
    db::DataSource* DMensili = nullptr;
    db::DataSource* DAnagrafica = nullptr;

    QLabel* Label1 = nullptr;
    controls::DBCombo* DBCombo1 = nullptr;
    QLabel* Label2 = nullptr;
    controls::BoundTextBox* txtCom = nullptr;
    QLabel* Label3 = nullptr;
    controls::BoundTextBox* txtPro = nullptr;
    QLabel* Label10 = nullptr;
    controls::BoundTextBox* txtBaII = nullptr;
    QLabel* Label5 = nullptr;
    controls::BoundTextBox* txtQuo = nullptr;
    QLabel* Label9 = nullptr;
    controls::BoundTextBox* txtBaI = nullptr;
    QLabel* Label4 = nullptr;
    controls::BoundTextBox* txtCod = nullptr;
    QLabel* Label12 = nullptr;
    controls::BoundTextBox* Text2 = nullptr;
    QLabel* Label13 = nullptr;
    controls::BoundTextBox* Text3 = nullptr;
    QLabel* Label7 = nullptr;
    controls::BoundTextBox* txtUtx = nullptr;
    QLabel* Label8 = nullptr;
    controls::BoundTextBox* TXTUty = nullptr;
    QLabel* Label6 = nullptr;
    controls::BoundTextBox* txtDat = nullptr;
    QLabel* Label11 = nullptr;
    controls::BoundTextBox* Text1 = nullptr;
    forms::PictureBox* PctUbic = nullptr;
    QLabel* Label14 = nullptr;
    controls::FlexGrid* MSFlexGrid1 = nullptr;
    controls::DBGrid* DBGrid1 = nullptr;
    forms::LineShape* Line1 = nullptr;
    forms::LineShape* Line2 = nullptr;
    forms::LineShape* Line3 = nullptr;
    forms::LineShape* Line4 = nullptr;

    QMenuBar* menuBar = nullptr;
    QMenu* mnuFile = nullptr;
    QAction* mnuEsporta = nullptr;
    QAction* mnuStampa = nullptr;
    QAction* mnuChiudi = nullptr;

    // The save dialog's memory for the export (the name chosen last time in this window).
    exporter::SaveDialogMemory CommonDialog1;

    // True once a station change has run for this opening; from then on every choice in the
    // list moves the card.
    bool SelectionSeen = false;

    // Handlers, public so that the main window's menu and tests reach them as the user would.
    void DBCombo1_Click(int area);
    void mnuEsporta_Click();
    void mnuStampa_Click();
    void mnuChiudi_Click();
    void PctUbic_Click();

  protected:
    void Form_Load() override;
    void Form_Activate() override;

  private:
    QMenuBar* buildMenu();
    void buildCard();
    void buildMonthly();
    QLabel* addLabel(const forms::Place& place);
    controls::BoundTextBox* addBox(const forms::Place& place);  // the place's caption is the field shown
    void registryOpened();
    void monthlyError(int dataErr, int& response);

    QWidget* client_ = nullptr;
    // Set while a station change re-runs the monthly statement, so that its failure is reported
    // once, by the station change, and not by the data source as well.
    bool changingStation_ = false;
};
