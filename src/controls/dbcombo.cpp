#include "controls/dbcombo.h"

#include <QAbstractItemView>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QWheelEvent>

namespace controls {

DBCombo::DBCombo(const QString& name, QWidget* parent) : QComboBox(parent) {
    setObjectName(name);
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    // Inline completion would rewrite what the user types.
    setCompleter(nullptr);
    setMaxVisibleItems(8);
    connect(this, &QComboBox::activated, this, &DBCombo::entryActivated);
    connect(lineEdit(), &QLineEdit::textEdited, this, &DBCombo::textTyped);
    connect(lineEdit(), &QLineEdit::textChanged, this, &DBCombo::designate);
}

void DBCombo::bind(db::DataSource* rowSource, const QString& listField) {
    if (source_) {
        disconnect(source_, nullptr, this, nullptr);
        if (textSource_ == source_) {
            bindText(textSource_, textField_);  // keep the text binding that shared the source
        }
    }
    source_ = rowSource;
    listField_ = listField;
    if (source_) {
        connect(source_, &db::DataSource::opened, this, &DBCombo::fill);
        connect(source_, &db::DataSource::closed, this, &DBCombo::fill);
    }
    fill();
}

void DBCombo::bindText(db::DataSource* source, const QString& dataField) {
    if (textSource_) {
        disconnect(textSource_, &db::DataSource::opened, this, &DBCombo::showBoundText);
        disconnect(textSource_, &db::DataSource::repositioned, this, &DBCombo::showBoundText);
    }
    textSource_ = source;
    textField_ = dataField;
    if (textSource_) {
        connect(textSource_, &db::DataSource::opened, this, &DBCombo::showBoundText);
        connect(textSource_, &db::DataSource::repositioned, this, &DBCombo::showBoundText);
        showBoundText();
    }
}

QString DBCombo::text() const {
    return lineEdit()->text();
}

void DBCombo::setText(const QString& text) {
    lineEdit()->setText(text);
}

db::Bookmark DBCombo::SelectedItem() const {
    return selected_;
}

void DBCombo::fill() {
    const QString shown = lineEdit()->text();
    {
        const QSignalBlocker blocker(this);
        clear();
        selected_ = -1;
        db::Recordset* records = source_ ? source_->recordset() : nullptr;
        if (records) {
            const int field = records->fieldIndex(listField_);
            const int count = records->RecordCount();
            QStringList entries;
            entries.reserve(count);
            for (int row = 0; row < count; ++row) {
                entries.append(records->text(row, field));
            }
            // Entry i is row i: the bookmark of an entry is its own row, even among equal texts.
            addItems(entries);
        }
        setCurrentIndex(-1);
    }
    lineEdit()->setText(shown);
    designate(shown);
}

void DBCombo::showBoundText() {
    db::Recordset* records = textSource_ ? textSource_->recordset() : nullptr;
    const bool onRow = records && !records->isEOF();
    setText(onRow ? records->text(textField_) : QString());
    typed_ = false;
    if (onRow && textSource_ == source_ && records->bookmark() < count()) {
        selected_ = records->bookmark();  // the row shown, also among entries named alike
    }
}

void DBCombo::entryActivated(int index) {
    if (committingTypedText_) {
        // Some Qt versions turn a typed text that names an entry into an activation when the
        // edit ends; that is typing, not a choice from the list.
        return;
    }
    selected_ = index;
    typed_ = false;
    emit Click(0);
}

void DBCombo::textTyped() {
    typed_ = true;
}

void DBCombo::designate(const QString& text) {
    const QString wanted = matchKey(text);
    QList<int> equal;
    for (int i = 0; !wanted.isEmpty() && i < count(); ++i) {
        if (matchKey(itemText(i)) == wanted) {
            equal.append(i);
        }
    }
    if (selected_ >= 0) {
        lastDesignated_ = selected_;
    }
    // Among equal entries the one designated last stays (also across a text retyped in full).
    if (equal.contains(lastDesignated_)) {
        selected_ = lastDesignated_;
    } else {
        selected_ = equal.isEmpty() ? -1 : equal.first();
    }
}

void DBCombo::commitTypedText() {
    if (!textSource_ || !typed_) {
        return;
    }
    typed_ = false;
    if (selected_ >= 0) {
        emit Click(0);
    } else {
        showBoundText();
    }
}

int DBCombo::entryToShow() const {
    if (selected_ >= 0) {
        return selected_;
    }
    const QString typed = matchKey(text());
    for (int i = 0; !typed.isEmpty() && i < count(); ++i) {
        if (matchKey(itemText(i)).startsWith(typed)) {
            return i;
        }
    }
    return -1;
}

void DBCombo::showPopup() {
    QComboBox::showPopup();
    // Qt opens the list on its own current index, which typing and binding leave behind.
    // Nothing highlighted when the text names nothing, so that Enter cannot pick a stale entry.
    const int entry = entryToShow();
    const QModelIndex index = entry >= 0 ? model()->index(entry, modelColumn()) : QModelIndex();
    view()->setCurrentIndex(index);
    if (index.isValid()) {
        view()->scrollTo(index, QAbstractItemView::PositionAtCenter);
    } else {
        view()->scrollToTop();
    }
}

void DBCombo::focusOutEvent(QFocusEvent* event) {
    committingTypedText_ = true;
    QComboBox::focusOutEvent(event);
    committingTypedText_ = false;
    if (event->reason() != Qt::PopupFocusReason) {
        commitTypedText();  // not when the drop-down opens: the user is still choosing
    }
}

void DBCombo::keyPressEvent(QKeyEvent* event) {
    const bool commit = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    committingTypedText_ = commit;
    QComboBox::keyPressEvent(event);
    committingTypedText_ = false;
    if (commit) {
        commitTypedText();
    }
}

void DBCombo::wheelEvent(QWheelEvent* event) {
    // The wheel scrolls the window under the pointer; it does not choose entries one by one.
    event->ignore();
}

}  // namespace controls
