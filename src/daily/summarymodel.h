// A summary table in a grid: the cells as the regional settings show them, figures not computed
// and the completeness of each month drawn in their colours, the reason on hover.
#pragma once

#include "analysis/table.h"
#include "jet/jet.h"

#include <QAbstractTableModel>

#include <memory>

namespace daily {

class SummaryModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    explicit SummaryModel(QObject* parent);
    void setTable(std::shared_ptr<const analysis::Table> table);
    const std::shared_ptr<const analysis::Table>& table() const { return table_; }
    // The table as a record set, for copying and writing.
    const std::shared_ptr<const jet::RecordSet>& rows() const { return rows_; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

  private:
    std::shared_ptr<const analysis::Table> table_;
    std::shared_ptr<const jet::RecordSet> rows_;
    jet::DisplayFormat format_;
};

// The colours of the marks: a figure not computed, a month full, partly or not at all covered.
QColor markColour(analysis::Mark mark);

}  // namespace daily
