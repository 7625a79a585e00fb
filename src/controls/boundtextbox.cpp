#include "controls/boundtextbox.h"

#include <QVBoxLayout>

namespace controls {

BoundTextBox::BoundTextBox(const QString& name, QWidget* parent, bool multiLine) : QWidget(parent) {
    setObjectName(name);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    if (multiLine) {
        multi_ = new QPlainTextEdit(this);
        // Locked: the text cannot change, but the caret still moves so a long text can be read.
        multi_->setReadOnly(true);
        multi_->setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);
        multi_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        multi_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        multi_->setLineWrapMode(QPlainTextEdit::WidgetWidth);
        layout->addWidget(multi_);
        setFocusProxy(multi_);
    } else {
        line_ = new QLineEdit(this);
        // The program only reads: the text can be selected and copied, never changed.
        line_->setReadOnly(true);
        layout->addWidget(line_);
        setFocusProxy(line_);
    }
}

void BoundTextBox::bind(db::DataSource* source, const QString& field) {
    if (source_) {
        disconnect(source_, nullptr, this, nullptr);
    }
    source_ = source;
    field_ = field;
    if (source_) {
        connect(source_, &db::DataSource::opened, this, &BoundTextBox::refresh);
        connect(source_, &db::DataSource::repositioned, this, &BoundTextBox::refresh);
        connect(source_, &db::DataSource::closed, this, &BoundTextBox::refresh);
    }
    refresh();
}

QString BoundTextBox::text() const {
    return line_ ? line_->text() : multi_->toPlainText();
}

void BoundTextBox::setText(const QString& text) {
    if (line_) {
        line_->setText(text);
        line_->setCursorPosition(0);  // a long value shows from its beginning
    } else {
        multi_->setPlainText(text);
    }
}

void BoundTextBox::refresh() {
    db::Recordset* records = source_ ? source_->recordset() : nullptr;
    setText(records && !records->isEOF() ? records->text(field_) : QString());
}

}  // namespace controls
