// The information window: the five texts kept in the archive's "help" record source, the credits
// and the publisher's addresses, on eight tabs in two rows.
#pragma once

#include "runtime/form.h"

#include <QList>

class QLabel;

namespace db {
class DataSource;
}
namespace controls {
class BoundTextBox;
class TabControl;
}  // namespace controls

class frmHelp : public runtime::Form {
    Q_OBJECT
  public:
    explicit frmHelp(QWidget* parent = nullptr);

    db::DataSource* Data1 = nullptr;
    controls::TabControl* SSTab1 = nullptr;
    controls::BoundTextBox* Text2[1] = {};  // control array, element 0: "Configurazione"
    controls::BoundTextBox* Text1 = nullptr;
    controls::BoundTextBox* Text3 = nullptr;
    controls::BoundTextBox* Text4[2] = {};  // control array: 0 "Piogge intense", 1 "Anagrafica"
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
    controls::BoundTextBox* addTextBox(int tab, const QString& name, int arrayIndex, const QString& field);

    QList<QPair<QWidget*, QRect>> placements_;  // control and its rectangle in twips, from SSTab1's top
    bool placed_ = false;
};
