// The data-bound combo list, and the form in which it compares list texts.
#pragma once

#include <QComboBox>
#include <QPointer>

#include "db/datasource.h"

class QFocusEvent;
class QKeyEvent;
class QWheelEvent;

namespace controls {

// The data-bound combo list: its drop-down lists one field of every row of its row source, in
// the engine's order; its edit text can be read, set and typed; SelectedItem() is the bookmark
// of the row the selected entry designates, -1 when none.
// One rule whatever set the text (a choice, typing, setText): a text that equals an entry's text,
// blanks at both ends and letter case ignored, designates that entry; among equal entries the one
// already designated stays, else the first; any other text designates none.
// With its text bound to a row (bindText), a typed text is committed on Enter or when the list
// loses the focus: one that designates an entry is a choice (Click), any other goes back to the
// bound row's text.
// The drop-down opens on the designated entry, else on the first whose text begins with the text
// typed; only highlighted there, it is chosen by Enter or a click as usual.
class DBCombo : public QComboBox {
    Q_OBJECT
  public:
    DBCombo(const QString& name, QWidget* parent);
    void bind(db::DataSource* rowSource, const QString& listField);
    // The edit text shows `dataField` of the current row of `source` (refilled when it reopens).
    void bindText(db::DataSource* source, const QString& dataField);
    QString text() const;
    void setText(const QString& text);
    db::Bookmark SelectedItem() const;
    void showPopup() override;

  signals:
    // The user chose an entry from the list (area 0 as the original control reports it).
    void Click(int area);

  protected:
    void focusOutEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

  private:
    void fill();
    void showBoundText();
    void entryActivated(int index);
    void textTyped();
    void designate(const QString& text);  // applies the rule above to the text now shown
    void commitTypedText();
    int entryToShow() const;

    QPointer<db::DataSource> source_;
    QString listField_;
    QPointer<db::DataSource> textSource_;
    QString textField_;
    db::Bookmark selected_ = -1;
    db::Bookmark lastDesignated_ = -1;  // the last entry designated, kept while the text names none
    bool committingTypedText_ = false;  // an activation now comes from typing, not from the list
    bool typed_ = false;                // the user typed since the text was last chosen or bound
};

// The form in which list texts are compared: blanks at both ends dropped, full Unicode case folding.
QString matchKey(const QString& text);

}  // namespace controls
