// Columns kept in view while a grid scrolls sideways: a second view over the same model and
// selection, showing only the frozen columns, laid over the grid's left edge and scrolled up and
// down with it.
#pragma once

#include <QObject>
#include <QPointer>

class QTableView;

namespace forms {

class FrozenColumns : public QObject {
    Q_OBJECT
  public:
    explicit FrozenColumns(QTableView* view);
    ~FrozenColumns() override;

    // Columns 0 to `last` stay in view; -1 frees them.
    void freeze(int last);
    int frozenUntil() const { return last_; }
    QTableView* overlay() const { return overlay_; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void place();
    void showColumns();

    QPointer<QTableView> view_;
    QPointer<QTableView> overlay_;
    int last_ = -1;
};

}  // namespace forms
