// The small filter dialog: a column, a condition and a value (two for "compreso tra").
#pragma once

#include <QDialog>

#include <memory>
#include <optional>

#include "db/roworder.h"
#include "jet/jet.h"

class QComboBox;
class QLabel;
class QLineEdit;

namespace forms {

class FilterDialog : public QDialog {
    Q_OBJECT
  public:
    // Starts on `column`; `rows` tells each column's kind.
    FilterDialog(std::shared_ptr<const jet::RecordSet> rows, int column, QWidget* parent);

    // The filter as chosen; nothing (and a message in the dialog) when a value does not fit the column.
    std::optional<db::RowFilter> filter();

    QComboBox* columnBox() const { return column_; }
    QComboBox* conditionBox() const { return condition_; }
    QLineEdit* valueBox() const { return value_; }
    QLineEdit* upperBox() const { return upper_; }

    void accept() override;

  private:
    void conditionChanged();

    std::shared_ptr<const jet::RecordSet> rows_;
    QComboBox* column_ = nullptr;
    QComboBox* condition_ = nullptr;
    QLineEdit* value_ = nullptr;
    QLineEdit* upper_ = nullptr;
    QLabel* and_ = nullptr;
    QLabel* message_ = nullptr;
};

// The conditions in the dialog's order.
const QVector<db::Condition>& dialogConditions();

}  // namespace forms
