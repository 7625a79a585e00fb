// Copying from a grid and the grid's context menu ("&Copia", "Copia con &intestazioni",
// "&Grafico…" when a chart is offered, the window's own entries, then the grid tools of
// gridtools.h). Ctrl+C copies; the menu opens on a right click, Shift+F10
// and the Menu key. Cells, rows and columns are chosen with click, Shift/Ctrl+click, the headers,
// and the corner or Ctrl+A for all. Nothing is added to the window around the grid.
#pragma once

#include "forms/gridcopy.h"

#include <QObject>
#include <QPointer>
#include <QTableView>

#include <functional>
#include <memory>

class QAction;
class QMenu;

namespace db {
class DataSource;
}
namespace jet {
class RecordSet;
}

namespace forms {

class GridTools;

class GridActions : public QObject {
    Q_OBJECT
  public:
    // `rows` gives the record set the grid shows (null when none); it is read, never re-run.
    using Rows = std::function<std::shared_ptr<const jet::RecordSet>()>;
    GridActions(QTableView* view, Rows rows);
    // The rows of the source's current record set, which its bound grid shows.
    static GridActions* attach(QTableView* view, db::DataSource* source);

    // Offers "&Grafico…" in the menu; it runs `open`.
    void setChartHandler(std::function<void()> open);
    // A window's own entry ("&Riepilogo…"), placed after "&Grafico…" and before the grid tools.
    QAction* addWindowEntry(const QString& text);

    // The selected cells, or the current cell when none is selected (in the grid's rows: see rows()).
    QVector<CellRange> selection() const;
    // Puts the selection on the clipboard as text and HTML.
    void copy(bool withCaptions);

    QTableView* view() const { return view_; }
    // The rows as the grid shows them, sorted and filtered (db::RowView::shownRows): copying, the
    // chart and analyses read these, row for row as the grid's rows.
    std::shared_ptr<const jet::RecordSet> rows() const;
    GridTools* tools() const { return tools_; }
    QMenu* menu() const { return menu_; }
    QAction* copyAction() const { return copy_; }
    QAction* copyWithCaptionsAction() const { return copyWithCaptions_; }
    QAction* chartAction() const { return chart_; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void showMenu(const QPoint& globalPos);
    QPoint currentCellPos() const;

    QPointer<QTableView> view_;
    Rows rows_;
    QMenu* menu_ = nullptr;
    QAction* copy_ = nullptr;
    QAction* copyWithCaptions_ = nullptr;
    QAction* chart_ = nullptr;
    QAction* windowEntries_ = nullptr;  // the separator after the windows' own entries
    GridTools* tools_ = nullptr;
    std::function<void()> openChart_;
};

}  // namespace forms
