// The data-bound grid.
#pragma once

#include <QPointer>
#include <QWidget>

#include "db/datasource.h"

class QLabel;
class QTableView;

namespace controls {

class RecordsetModel;

// The data-bound grid: a caption bar, one column per field captioned with its name or alias,
// a record-selector column, scroll bars as needed; rows cannot be added, deleted or edited.
class DBGrid : public QWidget {
    Q_OBJECT
  public:
    DBGrid(const QString& name, QWidget* parent);
    void bind(db::DataSource* source);
    void setCaption(const QString& caption);
    QString caption() const;
    int columnCount() const;
    QString columnCaption(int index) const;  // zero-based
    QTableView* view() const { return view_; }

  private:
    void reload();
    void fitColumns();

    QPointer<db::DataSource> source_;
    QLabel* captionBar_ = nullptr;
    QTableView* view_ = nullptr;
    RecordsetModel* model_ = nullptr;
};

}  // namespace controls
