// Finding a text in a grid's cells as the grid shows them, row by row from the current cell, and
// the small find bar that Ctrl+F opens over the grid (F3 next, Shift+F3 previous).
#pragma once

#include <QFrame>
#include <QPointer>
#include <QString>

#include "jet/jet.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QTableView;

namespace forms {

struct FindOptions {
    bool wholeCell = false;  // the cell's whole text, not a part of it
    bool matchCase = false;
};

struct FindResult {
    int row = -1;  // -1: found nowhere
    int column = -1;
    bool wrapped = false;  // the search went past the last cell (or the first) and on from the other end
};

// The next cell after (row, column), or before it when `forward` is false, whose text holds (or
// is) `text`; the cells are taken row by row, left to right, from the other end once past one
// end. A start outside the rows starts before the first cell (or after the last).
FindResult findCell(const jet::RecordSet& rows, const QString& text, int row, int column, bool forward,
                    const FindOptions& options, const jet::DisplayFormat& format);

// The Italian line the bar shows for a result of looking for `text` forward or back.
QString findMessage(const FindResult& result, const QString& text, bool forward);

class GridActions;

// The bar stands over the grid's top right corner; Escape or its close button hides it.
class FindBar : public QFrame {
    Q_OBJECT
  public:
    explicit FindBar(GridActions* actions);
    void open();              // shows the bar with its text chosen, the keyboard in it
    void find(bool forward);  // from the grid's current cell; opens the bar when no text is set
    QLineEdit* textBox() const { return text_; }
    QCheckBox* wholeCellBox() const { return whole_; }
    QCheckBox* matchCaseBox() const { return case_; }
    QLabel* messageLabel() const { return message_; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void place();

    QPointer<GridActions> actions_;
    QLineEdit* text_ = nullptr;
    QCheckBox* whole_ = nullptr;
    QCheckBox* case_ = nullptr;
    QLabel* message_ = nullptr;
};

}  // namespace forms
