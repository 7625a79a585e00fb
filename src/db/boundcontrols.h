// Controls bound to data sources by field name: text boxes, the combo list, the grid, the
// flexible grid, and a tab control whose tabs can stand in several rows.
#pragma once

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QWidget>

#include "db/datasource.h"

class QLabel;
class QTableView;
class QFocusEvent;
class QKeyEvent;
class QResizeEvent;
class QWheelEvent;
class QStackedWidget;
class QButtonGroup;

namespace db {

class RecordsetModel;

// A text box that shows a field of its source's current row.
// Single-line by default; multi-line boxes are locked: the caret moves, the text cannot change.
class BoundTextBox : public QWidget {
    Q_OBJECT
  public:
    BoundTextBox(const QString& name, QWidget* parent, bool multiLine = false);
    void bind(DataSource* source, const QString& field);
    QString text() const;
    void setText(const QString& text);
    QLineEdit* lineEdit() const { return line_; }
    QPlainTextEdit* textEdit() const { return multi_; }

  private:
    void refresh();
    QPointer<DataSource> source_;
    QString field_;
    QLineEdit* line_ = nullptr;
    QPlainTextEdit* multi_ = nullptr;
};

// The data-bound combo list: its drop-down lists one field of every row of its row source, in
// the engine's order; its edit text can be read, set and typed; SelectedItem() is the bookmark
// of the row the selected entry designates, -1 when none.
// One rule whatever set the text (a choice, typing, setText): a text that equals an entry's text,
// blanks at both ends and letter case ignored, designates that entry; among equal entries the one
// already designated stays, else the first; any other text designates none.
// With its text bound to a row (bindText), a typed text is committed on Enter or when the list
// loses the focus: one that designates an entry is a choice (Click), any other goes back to the
// bound row's text.
class DBCombo : public QComboBox {
    Q_OBJECT
  public:
    DBCombo(const QString& name, QWidget* parent);
    void bind(DataSource* rowSource, const QString& listField);
    // The edit text shows `dataField` of the current row of `source` (refilled when it reopens).
    void bindText(DataSource* source, const QString& dataField);
    QString text() const;
    void setText(const QString& text);
    Bookmark SelectedItem() const;

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

    QPointer<DataSource> source_;
    QString listField_;
    QPointer<DataSource> textSource_;
    QString textField_;
    Bookmark selected_ = -1;
    Bookmark lastDesignated_ = -1;      // the last entry designated, kept while the text names none
    bool committingTypedText_ = false;  // an activation now comes from typing, not from the list
    bool typed_ = false;                // the user typed since the text was last chosen or bound
};

// The form in which list texts are compared: blanks at both ends dropped, full Unicode case folding.
QString matchKey(const QString& text);

// The data-bound grid: a caption bar, one column per field captioned with its name or alias,
// a record-selector column, scroll bars as needed; rows cannot be added, deleted or edited.
class DBGrid : public QWidget {
    Q_OBJECT
  public:
    DBGrid(const QString& name, QWidget* parent);
    void bind(DataSource* source);
    void setCaption(const QString& caption);
    QString caption() const;
    int columnCount() const;
    QString columnCaption(int index) const;  // zero-based
    QTableView* view() const { return view_; }

  private:
    void reload();
    void fitColumns();

    QPointer<DataSource> source_;
    QLabel* captionBar_ = nullptr;
    QTableView* view_ = nullptr;
    RecordsetModel* model_ = nullptr;
};

// The flexible grid: one fixed header row of field names, one row per record.
class FlexGrid : public QWidget {
    Q_OBJECT
  public:
    FlexGrid(const QString& name, QWidget* parent);
    void bind(DataSource* source);
    void setColWidth(int column, int twips);
    int colWidth(int column) const;  // twips
    int rows() const;                // header included
    int cols() const;
    QString textMatrix(int row, int column) const;  // row 0 is the header
    // The number of columns shown while no record set is bound (the design-time count).
    void setCols(int columns);
    // Texts wrap within their columns; the rows are as high as the longest wrapped text of the
    // rows measured needs, up to `maxLines` lines (beyond that a text ends in an ellipsis).
    void setWordWrap(bool wrap, int maxLines = 3);
    QTableView* view() const { return view_; }

  protected:
    void changeEvent(QEvent* event) override;

  private:
    void reload();
    void applyWidths();
    void fitRows();

    QPointer<DataSource> source_;
    QTableView* view_ = nullptr;
    RecordsetModel* model_ = nullptr;
    QList<int> widths_;  // twips, -1 where none was set
    int designCols_ = 0;
    bool wordWrap_ = false;
    int maxLines_ = 1;
};

// A tab control whose tabs stand in rows (tabsPerRow to a row); each tab shows its own page.
class TabControl : public QWidget {
    Q_OBJECT
  public:
    TabControl(const QString& name, QWidget* parent, int tabsPerRow);
    // Adds a tab and returns its page, on which the caller places the tab's controls.
    QWidget* addTab(const QString& caption);
    int count() const;
    QString tabCaption(int index) const;
    int Tab() const;
    void setTab(int index);
    QWidget* page(int index) const;

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    void layoutTabs();
    int tabsPerRow_;
    QButtonGroup* buttons_ = nullptr;
    QStackedWidget* pages_ = nullptr;
    QWidget* tabBar_ = nullptr;
};

}  // namespace db
