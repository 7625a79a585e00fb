// The flexible grid.
#pragma once

#include <QList>
#include <QPointer>
#include <QWidget>

#include "db/datasource.h"

class QTableView;

namespace controls {

class RecordsetModel;

// The flexible grid: one fixed header row of field names, one row per record.
class FlexGrid : public QWidget {
    Q_OBJECT
  public:
    FlexGrid(const QString& name, QWidget* parent);
    void bind(db::DataSource* source);
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

    QPointer<db::DataSource> source_;
    QTableView* view_ = nullptr;
    RecordsetModel* model_ = nullptr;
    QList<int> widths_;  // twips, -1 where none was set
    int designCols_ = 0;
    bool wordWrap_ = false;
    int maxLines_ = 1;
};

}  // namespace controls
