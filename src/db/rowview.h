// The rows a grid shows, in the order it shows them: a proxy between a grid's model and its view
// that sorts and filters the record set's rows, and that gives what it shows as a record set of
// its own. Copying, charts, spreadsheets and analyses read `shownRows()`, so they follow the view;
// the record set itself (and the tab-separated export, which reads it) keeps its order.
#pragma once

#include <QAbstractProxyModel>

#include <functional>
#include <memory>
#include <vector>

#include "db/roworder.h"
#include "jet/jet.h"

namespace db {

class RowView : public QAbstractProxyModel {
    Q_OBJECT
  public:
    using Rows = std::function<std::shared_ptr<const jet::RecordSet>()>;
    // `rows` gives the record set `source` shows, row for row; it is asked again whenever the
    // source is reset (a new result shows in its own order, unfiltered).
    RowView(QAbstractItemModel* source, Rows rows, QObject* parent);

    // The one mapping between the grid's rows and the record set's: -1 for a row not shown.
    int recordRow(int viewRow) const;
    int viewRow(int recordRow) const;

    // The record set as the grid shows it (its sort and filter), or the record set itself while
    // it shows it unchanged; null when there is none.
    std::shared_ptr<const jet::RecordSet> shownRows() const;
    std::shared_ptr<const jet::RecordSet> allRows() const { return rows_; }

    void sortBy(int column, Qt::SortOrder order);
    void originalOrder();
    int sortColumn() const { return sortColumn_; }
    Qt::SortOrder sortOrder() const { return sortOrder_; }

    void addFilter(const RowFilter& filter);
    void clearFilters();
    const QVector<RowFilter>& filters() const { return filters_; }

    // The record-set rows shown, in the grid's order.
    const std::vector<int>& shownOrder() const { return shown_; }
    int shownCount() const { return int(shown_.size()); }
    int totalCount() const { return rows_ ? rows_->recordCount() : 0; }

    // The model a view shows, when it is a RowView.
    static RowView* of(QAbstractItemModel* model) { return qobject_cast<RowView*>(model); }

    QModelIndex mapToSource(const QModelIndex& proxyIndex) const override;
    QModelIndex mapFromSource(const QModelIndex& sourceIndex) const override;
    QModelIndex index(int row, int column, const QModelIndex& parent = QModelIndex()) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    void setSourceModel(QAbstractItemModel* source) override;

  signals:
    // The sort or the filters changed (not sent on a reset).
    void viewChanged();

  private:
    void reset();
    void applyFilters();  // shown_ from order_ and filters_
    void reorder(const std::vector<int>& shown);

    Rows fetch_;
    std::shared_ptr<const jet::RecordSet> rows_;
    std::vector<int> order_;           // every record-set row, sorted
    std::vector<int> shown_;           // the rows of order_ that pass the filters
    mutable std::vector<int> viewOf_;  // record-set row -> view row, made when first asked
    mutable std::shared_ptr<const jet::RecordSet> shownCache_;
    QVector<RowFilter> filters_;
    int sortColumn_ = -1;
    Qt::SortOrder sortOrder_ = Qt::AscendingOrder;
};

// Rows `order` of `rows` (record-set rows), as a record set of their own: what a grid shows, taken
// from another reading of its rows (a chart's, with a field the grid lacks).
std::shared_ptr<const jet::RecordSet> pickRows(std::shared_ptr<const jet::RecordSet> rows,
                                               std::vector<int> order);

}  // namespace db
