#include "daily/summarymodel.h"

#include "analysisrows/tablerows.h"

#include <QBrush>
#include <QColor>

namespace daily {

SummaryModel::SummaryModel(QObject* parent) : QAbstractTableModel(parent), format_(QLocale()) {}

void SummaryModel::setTable(std::shared_ptr<const analysis::Table> table) {
    beginResetModel();
    table_ = std::move(table);
    rows_ = table_ ? std::make_shared<analysisrows::TableRows>(table_) : nullptr;
    format_ = jet::DisplayFormat(QLocale());
    endResetModel();
}

int SummaryModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() || !table_ ? 0 : table_->recordCount();
}

int SummaryModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() || !table_ ? 0 : table_->fieldCount();
}

QColor markColour(analysis::Mark mark) {
    switch (mark) {
        case analysis::Mark::NotComputed:
            return QColor(0xF2, 0xD7, 0xD5);  // pale red: left empty on purpose
        case analysis::Mark::Full:
            return QColor(0x8B, 0xC3, 0x4A);
        case analysis::Mark::Partial:
            return QColor(0xFF, 0xC1, 0x07);
        case analysis::Mark::Empty:
            return QColor(0xE5, 0x39, 0x35);
        case analysis::Mark::None:
            break;
    }
    return QColor();
}

QVariant SummaryModel::data(const QModelIndex& index, int role) const {
    if (!table_ || !index.isValid()) {
        return QVariant();
    }
    const int row = index.row(), field = index.column();
    switch (role) {
        case Qt::DisplayRole:
            return rows_->text(row, field, format_);
        case Qt::ToolTipRole: {
            const QString note = table_->note(row, field);
            return note.isEmpty() ? QVariant() : QVariant(note);
        }
        case Qt::BackgroundRole: {
            const QColor colour = markColour(table_->mark(row, field));
            return colour.isValid() ? QVariant(QBrush(colour)) : QVariant();
        }
        case Qt::ForegroundRole:
            return table_->mark(row, field) == analysis::Mark::NotComputed
                       ? QVariant(QBrush(QColor(0x9E, 0x2A, 0x2B)))
                       : QVariant();
        case Qt::TextAlignmentRole: {
            const analysis::Cell::Kind kind = table_->value(row, field).kind();
            const bool number = kind == analysis::Cell::Kind::Integer || kind == analysis::Cell::Kind::Real;
            return int((number ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
        }
        default:
            return QVariant();
    }
}

QVariant SummaryModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole || !table_) {
        return QVariant();
    }
    return orientation == Qt::Horizontal ? QVariant(table_->fieldName(section)) : QVariant(section + 1);
}

}  // namespace daily
