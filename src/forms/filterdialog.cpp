#include "forms/filterdialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QVBoxLayout>

namespace forms {

const QVector<db::Condition>& dialogConditions() {
    static const QVector<db::Condition> conditions{
        db::Condition::Equal,   db::Condition::Differs,  db::Condition::Less, db::Condition::Greater,
        db::Condition::Between, db::Condition::Contains, db::Condition::Empty};
    return conditions;
}

FilterDialog::FilterDialog(std::shared_ptr<const jet::RecordSet> rows, int column, QWidget* parent)
    : QDialog(parent), rows_(std::move(rows)) {
    setObjectName(QStringLiteral("filterDialog"));
    setWindowTitle(QStringLiteral("Filtro"));
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    column_ = new QComboBox(this);
    column_->setObjectName(QStringLiteral("filterColumn"));
    for (int c = 0; rows_ && c < rows_->fieldCount(); ++c) {
        column_->addItem(rows_->fieldName(c));
    }
    column_->setCurrentIndex(qMax(0, column));
    condition_ = new QComboBox(this);
    condition_->setObjectName(QStringLiteral("filterCondition"));
    for (db::Condition condition : dialogConditions()) {
        condition_->addItem(db::conditionName(condition));
    }
    value_ = new QLineEdit(this);
    value_->setObjectName(QStringLiteral("filterValue"));
    upper_ = new QLineEdit(this);
    upper_->setObjectName(QStringLiteral("filterUpper"));
    and_ = new QLabel(QStringLiteral("e"), this);
    auto* values = new QHBoxLayout;
    values->addWidget(value_);
    values->addWidget(and_);
    values->addWidget(upper_);
    form->addRow(QStringLiteral("&Colonna:"), column_);
    form->addRow(QStringLiteral("C&ondizione:"), condition_);
    // A label of its own: the form makes one without a buddy for a row that is a layout.
    auto* valueLabel = new QLabel(QStringLiteral("&Valore:"), this);
    valueLabel->setBuddy(value_);
    form->addRow(valueLabel, values);
    layout->addLayout(form);
    message_ = new QLabel(this);
    message_->setObjectName(QStringLiteral("filterMessage"));
    message_->setWordWrap(true);
    message_->hide();
    layout->addWidget(message_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Annulla"));
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &FilterDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &FilterDialog::reject);
    connect(condition_, &QComboBox::currentIndexChanged, this, &FilterDialog::conditionChanged);
    conditionChanged();
    value_->setFocus();
}

void FilterDialog::conditionChanged() {
    const db::Condition condition = dialogConditions().value(condition_->currentIndex());
    const bool between = condition == db::Condition::Between;
    upper_->setVisible(between);
    and_->setVisible(between);
    value_->setEnabled(condition != db::Condition::Empty);
}

std::optional<db::RowFilter> FilterDialog::filter() {
    message_->hide();
    if (!rows_) {
        return std::nullopt;
    }
    db::RowFilter filter;
    filter.column = column_->currentIndex();
    filter.condition = dialogConditions().value(condition_->currentIndex());
    const QString caption = rows_->fieldName(filter.column);
    const QString name = db::conditionName(filter.condition);
    const QLocale locale;
    const auto refuse = [this, &caption](const QString& typed) {
        message_->setText(
            typed.trimmed().isEmpty()
                ? QStringLiteral("Scrivere il valore da confrontare.")
                : QStringLiteral("«%1» non è un valore della colonna «%2».").arg(typed, caption));
        message_->show();
        return std::nullopt;
    };
    switch (filter.condition) {
        case db::Condition::Empty:
            filter.description = caption + QLatin1Char(' ') + name;
            return filter;
        case db::Condition::Contains:
            if (value_->text().isEmpty()) {
                return refuse(value_->text());
            }
            filter.text = value_->text();
            filter.description = QStringLiteral("%1 %2 «%3»").arg(caption, name, filter.text);
            return filter;
        default:
            break;
    }
    bool whole = false, wholeUpper = true;
    const std::optional<jet::Value> value =
        db::readFilterValue(*rows_, filter.column, value_->text(), locale, &whole);
    if (!value) {
        return refuse(value_->text());
    }
    filter.value = *value;
    filter.description = QStringLiteral("%1 %2 %3").arg(caption, name, value_->text().trimmed());
    if (filter.condition == db::Condition::Between) {
        const std::optional<jet::Value> upper =
            db::readFilterValue(*rows_, filter.column, upper_->text(), locale, &wholeUpper);
        if (!upper) {
            return refuse(upper_->text());
        }
        filter.upper = *upper;
        filter.description += QStringLiteral(" e ") + upper_->text().trimmed();
    }
    filter.wholeDays = whole && wholeUpper;
    return filter;
}

void FilterDialog::accept() {
    if (filter()) {
        QDialog::accept();
    }
}

}  // namespace forms
