// A text box bound to a field of its data source's current row.
#pragma once

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QWidget>

#include "db/datasource.h"

namespace controls {

// A text box that shows a field of its source's current row.
// Single-line by default; multi-line boxes are locked: the caret moves, the text cannot change.
class BoundTextBox : public QWidget {
    Q_OBJECT
  public:
    BoundTextBox(const QString& name, QWidget* parent, bool multiLine = false);
    void bind(db::DataSource* source, const QString& field);
    QString text() const;
    void setText(const QString& text);
    QLineEdit* lineEdit() const { return line_; }
    QPlainTextEdit* textEdit() const { return multi_; }

  private:
    void refresh();
    QPointer<db::DataSource> source_;
    QString field_;
    QLineEdit* line_ = nullptr;
    QPlainTextEdit* multi_ = nullptr;
};

}  // namespace controls
