// What the selection forms and the result windows of daily data and intense rainfall share:
// window frame and colours, check boxes whose captions wrap, reading a list's chosen key.
#pragma once

#include <QCheckBox>
#include <QColor>
#include <QString>

class QWidget;
class QPushButton;

namespace db {
class DBCombo;
class DataSource;
class Form;
}  // namespace db

namespace formkit {

// Colours of the archive's forms, given as red, green, blue.
inline const QColor kLightGrey(224, 224, 224);
inline const QColor kBlueViolet(128, 128, 255);

// A title bar with the close box only: no minimize or maximize button.
void setFixedFrame(db::Form* form);
// Fills the widget's background with `background` and draws its text in `text`.
void paint(QWidget* widget, const QColor& background, const QColor& text);
// A bold push button named `name` at the given twips.
QPushButton* makeButton(const QString& name, const QString& caption, QWidget* parent, int left, int top,
                        int width, int height);

// A check box whose caption wraps within its width, as the archive's boxes did.
class WrapCheckBox : public QCheckBox {
    Q_OBJECT
  public:
    WrapCheckBox(const QString& name, const QString& caption, QWidget* parent);
    QSize sizeHint() const override;

  protected:
    void paintEvent(QPaintEvent* event) override;
    bool hitButton(const QPoint& pos) const override;
};

// The box's value as the archive's forms saw it: 0 clear, 1 ticked, 2 greyed.
int boxValue(const QCheckBox* box);

// One list of a selection form at the moment of a search.
struct ListChoice {
    QString text;            // the list's edit text as it stands
    QString key;             // the key field of the row the selected entry designates ("" when none)
    bool unmatched = false;  // a non-blank text that designates no row of the list's source
};

// Reads `list`: makes the row its selected entry designates the current row of `source` and
// takes `keyField` from it. A blank text reads no key.
ListChoice readChoice(const db::DBCombo* list, db::DataSource* source, const QString& keyField);

// The message for a list whose text matches none of its entries; `listName` as its label shows it.
QString unmatchedMessage(const QString& listName, const QString& text);

}  // namespace formkit
