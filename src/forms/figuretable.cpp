#include "forms/figuretable.h"

#include "forms/gridactions.h"

#include <QAbstractTableModel>
#include <QHeaderView>
#include <QRegularExpression>

namespace forms {

FigureRows::FigureRows(const QStringList& captions, const QVector<QStringList>& rows) : captions_(captions) {
    static const QRegularExpression number(QStringLiteral("^-?[0-9]+(\\.[0-9]+)?$"));
    for (const QStringList& row : rows) {
        QVector<jet::Value> cells;
        for (int c = 0; c < captions_.size(); ++c) {
            const QString text = row.value(c);
            cells << (text.isEmpty()                  ? jet::Value()
                      : number.match(text).hasMatch() ? jet::Value::fromDecimal(text)
                                                      : jet::Value::fromText(text));
        }
        cells_ << cells;
    }
}

int FigureRows::fieldIndex(const QString& name) const {
    for (int i = 0; i < captions_.size(); ++i) {
        if (captions_[i].compare(name, Qt::CaseInsensitive) == 0) {
            return i;
        }
    }
    return -1;
}

jet::Value FigureRows::value(int row, int field) const {
    if (row < 0 || row >= cells_.size() || field < 0 || field >= captions_.size()) {
        return jet::Value();
    }
    return cells_[row][field];
}

QString FigureRows::text(int row, int field, const jet::DisplayFormat& format) const {
    const jet::Value v = value(row, field);
    if (v.kind() != jet::Value::Kind::Decimal) {
        return format.text(v);
    }
    QString digits = v.text();
    const QString point = format.locale().decimalPoint();
    return point.isEmpty() ? digits : digits.replace(QLatin1Char('.'), point);
}

QStringView FigureRows::textView(int row, int field, const jet::DisplayFormat& format,
                                 QString* buffer) const {
    *buffer = text(row, field, format);
    return *buffer;
}

class FigureTable::Model : public QAbstractTableModel {
  public:
    using QAbstractTableModel::QAbstractTableModel;
    void setRows(std::shared_ptr<const FigureRows> rows) {
        beginResetModel();
        rows_ = std::move(rows);
        endResetModel();
    }
    int rowCount(const QModelIndex& parent) const override {
        return parent.isValid() || !rows_ ? 0 : rows_->recordCount();
    }
    int columnCount(const QModelIndex& parent) const override {
        return parent.isValid() || !rows_ ? 0 : rows_->fieldCount();
    }
    QVariant data(const QModelIndex& index, int role) const override {
        if (!rows_ || !index.isValid()) {
            return {};
        }
        if (role == Qt::DisplayRole) {
            return rows_->text(index.row(), index.column(), format_);
        }
        if (role == Qt::TextAlignmentRole) {
            const jet::Value v = rows_->value(index.row(), index.column());
            return int((v.kind() == jet::Value::Kind::Decimal ? Qt::AlignRight : Qt::AlignLeft) |
                       Qt::AlignVCenter);
        }
        return {};
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        if (role == Qt::DisplayRole && orientation == Qt::Horizontal && rows_) {
            return rows_->fieldName(section);
        }
        return QAbstractTableModel::headerData(section, orientation, role);
    }

  private:
    std::shared_ptr<const FigureRows> rows_;
    jet::DisplayFormat format_;
};

FigureTable::FigureTable(const QString& name, QWidget* parent) : QTableView(parent) {
    setObjectName(name);
    model_ = new Model(this);
    setModel(model_);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    verticalHeader()->setVisible(false);
    // Rows as high as the data grids' rows, so a table of seven return periods shows whole.
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    actions_ = new GridActions(this, [this]() -> std::shared_ptr<const jet::RecordSet> { return rows_; });
}

void FigureTable::setRows(std::shared_ptr<const FigureRows> rows) {
    rows_ = std::move(rows);
    model_->setRows(rows_);
    resizeColumnsToContents();
}

}  // namespace forms
