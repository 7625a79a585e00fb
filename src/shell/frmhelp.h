// The information window: the five texts kept in the archive's "help" record source, the credits
// and the publisher's addresses, on eight tabs in two rows.
#pragma once

#include "db/form.h"

#include <QList>

class QLabel;

namespace db {
class BoundTextBox;
class DataSource;
class TabControl;
}  // namespace db

class frmHelp : public db::Form {
    Q_OBJECT
  public:
    explicit frmHelp(QWidget* parent = nullptr);

    db::DataSource* Data1 = nullptr;
    db::TabControl* SSTab1 = nullptr;
    db::BoundTextBox* Text2[1] = {};  // control array, element 0: "Configurazione"
    db::BoundTextBox* Text1 = nullptr;
    db::BoundTextBox* Text3 = nullptr;
    db::BoundTextBox* Text4[2] = {};  // control array: 0 "Piogge intense", 1 "Anagrafica"
    QLabel* imgLogo = nullptr;
    QList<QLabel*> creditLabels;   // on "Autori"
    QList<QLabel*> addressLabels;  // on "Indirizzi"

  protected:
    void Form_Load() override;
    void showEvent(QShowEvent* event) override;

  private:
    // Places the tabs' controls at their distance from the top of the tab control, whatever
    // height the rows of tabs take.
    void placeControls();
    db::BoundTextBox* addTextBox(int tab, const QString& name, int arrayIndex, const QString& field);

    QList<QPair<QWidget*, QRect>> placements_;  // control and its rectangle in twips, from SSTab1's top
    bool placed_ = false;
};
