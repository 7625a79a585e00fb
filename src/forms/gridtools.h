// The grid tools of the context menu after copying and the windows' own entries: the spreadsheet
// file, sorting, filtering, finding, the selection's figures and frozen columns. Everything acts
// on the grid's RowView (db/rowview.h), never on the record set, which keeps its order.
#pragma once

#include <QObject>
#include <QPointer>

#include <functional>

#include "export/spreadsheet.h"

class QAction;
class QMenu;
class QTableView;

namespace jet {
class RecordSet;
}

namespace db {
class RowView;
}

namespace forms {

class GridActions;
class FindBar;
class FrozenColumns;

// "Stazioni: Bologna, Imola; dal 01/01/1995 al 31/12/1995" (or "anno 1995", "anni 1994-1996"
// without day and month fields) from the rows' station and date fields; `station` stands for the
// station field when the rows have none.
QString stationsAndPeriod(const jet::RecordSet& rows, const QString& stationField, const QString& yearField,
                          const QString& monthField = QString(), const QString& dayField = QString(),
                          const QString& station = QString());

class GridTools : public QObject {
    Q_OBJECT
  public:
    // Adds its entries to the end of the menu of `actions`.
    explicit GridTools(GridActions* actions);

    // The stations and the period the grid shows, for the spreadsheet's properties.
    void setSubject(std::function<QString()> subject) { subject_ = std::move(subject); }

    void exportSpreadsheet();
    void sort(Qt::SortOrder order);
    void originalOrder();
    void filterBySelection(bool exclude);
    void openFilterDialog();
    void removeFilters();
    void find();
    void findAgain(bool forward);
    void showSelectionStats();
    void toggleFrozenColumns();

    // The tooltip of the grid: the rows shown out of all while a filter holds, and the figures
    // of a selection of more than one cell.
    QString toolTip() const;

    db::RowView* rowView() const;
    FindBar* findBar() const;
    FrozenColumns* frozenColumns() const { return frozen_; }
    // Entries by objectName: mnuEsportaFoglio, mnuOrdinaCrescente, mnuOrdinaDecrescente,
    // mnuOrdineOriginale, mnuFiltraSelezione, mnuEscludiSelezione, mnuFiltro, mnuRimuoviFiltri,
    // mnuTrova, mnuStatistiche, mnuBloccaColonne.
    QAction* action(const char* name) const;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void update();  // enables the entries for what the grid holds
    exporter::SheetProperties properties() const;
    QWidget* window() const;
    int currentColumn() const;

    QPointer<GridActions> actions_;
    QPointer<QTableView> view_;
    QPointer<FindBar> findBar_;
    FrozenColumns* frozen_ = nullptr;
    std::function<QString()> subject_;
    QString lastFileName_;  // the name chosen last time, for this grid
    int lastFilterIndex_ = 1;
};

}  // namespace forms
