// A read-only table of figures an analysis made, shown and copied like the result grids: the
// figures are held as a record set (texts, and numbers as exact decimals so that they show with the
// regional decimal separator), so copying, the context menu and the tab-separated writer take them
// as they take a statement's rows.
#pragma once

#include "jet/jet.h"

#include <QStringList>
#include <QTableView>
#include <QVector>

#include <memory>

namespace forms {

class GridActions;

class FigureRows : public jet::RecordSet {
  public:
    // Cells that read as numbers ("12.34", "-0.5", "7") become decimals, the others texts; an
    // empty cell is NULL.
    FigureRows(const QStringList& captions, const QVector<QStringList>& rows);

    int fieldCount() const override { return int(captions_.size()); }
    QString fieldName(int field) const override { return captions_.value(field); }
    int fieldIndex(const QString& name) const override;
    int recordCount() const override { return int(cells_.size()); }
    jet::Value value(int row, int field) const override;
    // A number keeps the decimals it was given (the regional decimal separator in place of the
    // point): a table of millimetres shows 32,20, not 32,2.
    QString text(int row, int field, const jet::DisplayFormat& format) const override;
    QStringView textView(int row, int field, const jet::DisplayFormat& format,
                         QString* buffer) const override;

  private:
    QStringList captions_;
    QVector<QVector<jet::Value>> cells_;
};

// A table view of FigureRows with the grids' copying and context menu (GridActions).
class FigureTable : public QTableView {
    Q_OBJECT
  public:
    FigureTable(const QString& name, QWidget* parent);
    void setRows(std::shared_ptr<const FigureRows> rows);
    std::shared_ptr<const FigureRows> rows() const { return rows_; }
    GridActions* actions() const { return actions_; }

  private:
    class Model;
    Model* model_ = nullptr;
    GridActions* actions_ = nullptr;
    std::shared_ptr<const FigureRows> rows_;
};

}  // namespace forms
