// The model the data-bound grids share: a read-only table over a data source's record set, and
// the view that shows it through a RowView.
#pragma once

#include <QAbstractTableModel>
#include <QPointer>

#include <memory>

#include "db/datasource.h"
#include "jet/jet.h"

class QTableView;
class QWidget;

namespace controls {

// A read-only table over a record set. Cells are turned into text only when a view asks for them,
// so a grid over a hundred thousand rows costs no more than the rows on screen.
class RecordsetModel : public QAbstractTableModel {
  public:
    RecordsetModel(QObject* parent, bool markCurrentRow)
        : QAbstractTableModel(parent), markCurrentRow_(markCurrentRow) {}

    void setSource(db::DataSource* source) { source_ = source; }

    // Shows the source's current record set, or nothing (with `emptyColumns` blank columns).
    void reload(int emptyColumns) {
        beginResetModel();
        db::Recordset* records = source_ ? source_->recordset() : nullptr;
        rows_ = records ? records->rows() : nullptr;
        emptyColumns_ = emptyColumns;
        format_ = jet::DisplayFormat(QLocale());
        endResetModel();
    }

    std::shared_ptr<const jet::RecordSet> rows() const { return rows_; }

    bool showsCurrentRecordset() const {
        db::Recordset* records = source_ ? source_->recordset() : nullptr;
        return rows_ && records && records->rows() == rows_;
    }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override {
        return parent.isValid() || !rows_ ? 0 : rows_->recordCount();
    }

    int columnCount(const QModelIndex& parent = QModelIndex()) const override {
        if (parent.isValid()) {
            return 0;
        }
        return rows_ ? rows_->fieldCount() : emptyColumns_;
    }

    QVariant data(const QModelIndex& index, int role) const override {
        if (!rows_ || !index.isValid() || role != Qt::DisplayRole) {
            return QVariant();
        }
        return rows_->text(index.row(), index.column(), format_);
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        if (role != Qt::DisplayRole) {
            return QVariant();
        }
        if (orientation == Qt::Horizontal) {
            return rows_ && section >= 0 && section < rows_->fieldCount() ? rows_->fieldName(section)
                                                                          : QString();
        }
        // The record selector carries no number, only a mark at the current row.
        if (markCurrentRow_ && showsCurrentRecordset() && source_->recordset()->bookmark() == section) {
            return QStringLiteral("\u25B6");
        }
        return QString();
    }

    Qt::ItemFlags flags(const QModelIndex& index) const override {
        return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
    }

  private:
    QPointer<db::DataSource> source_;
    std::shared_ptr<const jet::RecordSet> rows_;
    int emptyColumns_ = 0;
    jet::DisplayFormat format_;  // the regional settings as they were when the rows came
    bool markCurrentRow_;
};

// The view shows the model through a RowView, which the user sorts and filters.
QTableView* makeReadOnlyView(QWidget* parent, RecordsetModel* model);

}  // namespace controls
