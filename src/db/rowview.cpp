#include "db/rowview.h"

#include <QLocale>

#include <numeric>

namespace db {

namespace {

// The rows shown, as a record set: the record set's cells through the view's order.
class ShownRows : public jet::RecordSet {
  public:
    ShownRows(std::shared_ptr<const jet::RecordSet> rows, std::vector<int> order)
        : rows_(std::move(rows)), order_(std::move(order)) {}

    int fieldCount() const override { return rows_->fieldCount(); }
    QString fieldName(int field) const override { return rows_->fieldName(field); }
    int fieldIndex(const QString& name) const override { return rows_->fieldIndex(name); }
    int recordCount() const override { return int(order_.size()); }
    jet::Value value(int row, int field) const override {
        return inside(row) ? rows_->value(order_[size_t(row)], field) : jet::Value();
    }
    bool isNull(int row, int field) const override {
        return !inside(row) || rows_->isNull(order_[size_t(row)], field);
    }
    QString text(int row, int field, const jet::DisplayFormat& format) const override {
        return inside(row) ? rows_->text(order_[size_t(row)], field, format) : QString();
    }
    QStringView textView(int row, int field, const jet::DisplayFormat& format,
                         QString* buffer) const override {
        if (!inside(row)) {
            buffer->clear();
            return *buffer;
        }
        return rows_->textView(order_[size_t(row)], field, format, buffer);
    }

  private:
    bool inside(int row) const { return row >= 0 && size_t(row) < order_.size(); }
    std::shared_ptr<const jet::RecordSet> rows_;
    std::vector<int> order_;
};

}  // namespace

std::shared_ptr<const jet::RecordSet> pickRows(std::shared_ptr<const jet::RecordSet> rows,
                                               std::vector<int> order) {
    return std::make_shared<ShownRows>(std::move(rows), std::move(order));
}

RowView::RowView(QAbstractItemModel* source, Rows rows, QObject* parent)
    : QAbstractProxyModel(parent), fetch_(std::move(rows)) {
    setSourceModel(source);
}

void RowView::setSourceModel(QAbstractItemModel* source) {
    beginResetModel();
    if (sourceModel()) {
        disconnect(sourceModel(), nullptr, this, nullptr);
    }
    QAbstractProxyModel::setSourceModel(source);
    if (source) {
        // The grids' models change only by a reset (a new record set, or none).
        connect(source, &QAbstractItemModel::modelAboutToBeReset, this, [this] { beginResetModel(); });
        connect(source, &QAbstractItemModel::modelReset, this, [this] {
            reset();
            endResetModel();
        });
        connect(source, &QAbstractItemModel::dataChanged, this, [this] {
            if (rowCount() > 0 && columnCount() > 0) {
                emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
            }
        });
        connect(source, &QAbstractItemModel::headerDataChanged, this, &QAbstractItemModel::headerDataChanged);
    }
    reset();
    endResetModel();
}

void RowView::reset() {
    rows_ = fetch_ ? fetch_() : nullptr;
    const int count = rows_ ? rows_->recordCount() : 0;
    order_.resize(size_t(count));
    std::iota(order_.begin(), order_.end(), 0);
    shown_ = order_;
    viewOf_.clear();
    shownCache_.reset();
    filters_.clear();
    sortColumn_ = -1;
    sortOrder_ = Qt::AscendingOrder;
}

int RowView::recordRow(int viewRow) const {
    return viewRow >= 0 && size_t(viewRow) < shown_.size() ? shown_[size_t(viewRow)] : -1;
}

int RowView::viewRow(int recordRow) const {
    if (recordRow < 0 || size_t(recordRow) >= order_.size()) {
        return -1;
    }
    if (viewOf_.empty()) {
        viewOf_.assign(order_.size(), -1);
        for (size_t i = 0; i < shown_.size(); ++i) {
            viewOf_[size_t(shown_[i])] = int(i);
        }
    }
    return viewOf_[size_t(recordRow)];
}

std::shared_ptr<const jet::RecordSet> RowView::shownRows() const {
    if (!rows_ || (sortColumn_ < 0 && filters_.isEmpty())) {
        return rows_;
    }
    if (!shownCache_) {
        shownCache_ = std::make_shared<ShownRows>(rows_, shown_);
    }
    return shownCache_;
}

void RowView::sortBy(int column, Qt::SortOrder order) {
    if (!rows_ || column < 0 || column >= rows_->fieldCount()) {
        return;
    }
    sortRows(*rows_, column, order, order_);
    sortColumn_ = column;
    sortOrder_ = order;
    std::vector<int> shown;
    shown.reserve(shown_.size());
    // The filters need not run again: the same rows pass, in the new order.
    std::vector<char> passing(order_.size(), 0);
    for (int row : shown_) {
        passing[size_t(row)] = 1;
    }
    for (int row : order_) {
        if (passing[size_t(row)]) {
            shown.push_back(row);
        }
    }
    reorder(shown);
}

void RowView::originalOrder() {
    if (!rows_ || sortColumn_ < 0) {
        return;
    }
    std::vector<int> shown = shown_;
    std::sort(shown.begin(), shown.end());
    std::iota(order_.begin(), order_.end(), 0);
    sortColumn_ = -1;
    sortOrder_ = Qt::AscendingOrder;
    reorder(shown);
}

void RowView::reorder(const std::vector<int>& shown) {
    // The same rows in another order: the current cell and the selection stay on their rows.
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList before = persistentIndexList();
    QModelIndexList records;
    records.reserve(before.size());
    for (const QModelIndex& index : before) {
        records.append(mapToSource(index));
    }
    shown_ = shown;
    viewOf_.clear();
    shownCache_.reset();
    QModelIndexList after;
    after.reserve(before.size());
    for (const QModelIndex& record : records) {
        after.append(mapFromSource(record));
    }
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
    emit headerDataChanged(Qt::Horizontal, 0, qMax(0, columnCount() - 1));
    emit viewChanged();
}

void RowView::addFilter(const RowFilter& filter) {
    if (!rows_) {
        return;
    }
    filters_.append(filter);
    applyFilters();
}

void RowView::clearFilters() {
    if (filters_.isEmpty()) {
        return;
    }
    filters_.clear();
    applyFilters();
}

void RowView::applyFilters() {
    std::vector<int> shown;
    if (rows_) {
        const jet::DisplayFormat format{QLocale()};
        shown.reserve(order_.size());
        for (int row : order_) {
            if (passes(*rows_, row, filters_, format)) {
                shown.push_back(row);
            }
        }
    }
    // Other rows: the old ones go, the new ones come (the columns and their widths stay).
    if (!shown_.empty()) {
        beginRemoveRows(QModelIndex(), 0, int(shown_.size()) - 1);
        shown_.clear();
        viewOf_.clear();
        shownCache_.reset();
        endRemoveRows();
    }
    if (!shown.empty()) {
        beginInsertRows(QModelIndex(), 0, int(shown.size()) - 1);
        shown_ = std::move(shown);
        viewOf_.clear();
        shownCache_.reset();
        endInsertRows();
    }
    emit viewChanged();
}

QModelIndex RowView::mapToSource(const QModelIndex& proxyIndex) const {
    if (!sourceModel() || !proxyIndex.isValid()) {
        return QModelIndex();
    }
    const int row = recordRow(proxyIndex.row());
    return row < 0 ? QModelIndex() : sourceModel()->index(row, proxyIndex.column());
}

QModelIndex RowView::mapFromSource(const QModelIndex& sourceIndex) const {
    if (!sourceIndex.isValid()) {
        return QModelIndex();
    }
    const int row = viewRow(sourceIndex.row());
    return row < 0 ? QModelIndex() : index(row, sourceIndex.column());
}

QModelIndex RowView::index(int row, int column, const QModelIndex& parent) const {
    if (parent.isValid() || row < 0 || column < 0 || row >= rowCount() || column >= columnCount()) {
        return QModelIndex();
    }
    return createIndex(row, column);
}

QModelIndex RowView::parent(const QModelIndex&) const {
    return QModelIndex();
}

int RowView::rowCount(const QModelIndex& parent) const {
    if (parent.isValid() || !sourceModel()) {
        return 0;
    }
    return rows_ ? int(shown_.size()) : sourceModel()->rowCount();
}

int RowView::columnCount(const QModelIndex& parent) const {
    return parent.isValid() || !sourceModel() ? 0 : sourceModel()->columnCount();
}

QVariant RowView::headerData(int section, Qt::Orientation orientation, int role) const {
    if (!sourceModel()) {
        return QVariant();
    }
    if (orientation == Qt::Vertical) {
        const int row = rows_ ? recordRow(section) : section;
        return row < 0 ? QVariant() : sourceModel()->headerData(row, orientation, role);
    }
    QVariant caption = sourceModel()->headerData(section, orientation, role);
    if (role == Qt::DisplayRole && section == sortColumn_) {
        // The sorted column says so in its caption: ▲ ascending, ▼ descending.
        caption = caption.toString() +
                  (sortOrder_ == Qt::AscendingOrder ? QStringLiteral(" \u25B2") : QStringLiteral(" \u25BC"));
    }
    return caption;
}

}  // namespace db
