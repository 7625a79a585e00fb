// The summary of one station's daily values shown by a result grid: monthly figures, yearly rows,
// the months' normals, the yearly climate indices and the completeness report, each a grid that
// copies, exports and prints, and the climograph and cumulative rain charts. One per result window,
// modeless, closing with it. It reads only the rows the grid shows.
#pragma once

#include "analysis/dailyrows.h"
#include "analysis/summary.h"

#include <QWidget>

#include <array>
#include <memory>

class QComboBox;
class QLabel;
class QPushButton;
class QTabWidget;
class QTableView;

namespace forms {
class GridActions;
}

namespace daily {

class SummaryModel;

class frmRiepilogo : public QWidget {
    Q_OBJECT
  public:
    // The tables, in the order of their tabs.
    enum Tab { Mensile, Annuale, Normale, Indici, Completezza, Lacune };
    static constexpr int kTables = 6;

    // `rows`: the result the grid shows; `currentRow`: the row of its current cell, whose station
    // is shown first.
    frmRiepilogo(QWidget* owner, std::shared_ptr<const jet::RecordSet> rows, int currentRow);

    // The owner's summary window, or nullptr.
    static frmRiepilogo* of(const QWidget* owner);

    // Shows the station at `index` of the list.
    void showStation(int index);
    // The station of a row of the result; -1 when none.
    int stationOfRow(int row) const;
    int stationCount() const { return int(stations_.size()); }
    QString stationName(int index) const;

    const analysis::StationSummary& summary() const { return summary_; }
    std::shared_ptr<const analysis::Table> table(Tab tab) const { return tables_[size_t(tab)]; }
    QTableView* grid(Tab tab) const { return grids_[size_t(tab)]; }
    forms::GridActions* gridActions(Tab tab) const { return actions_[size_t(tab)]; }
    Tab currentTab() const;

    // Writes the table of the current tab as the export does (header of captions, every cell
    // followed by a tab, CRLF, Windows-1252); false with `*error` set when it cannot.
    bool exportTable(Tab tab, const QString& path, QString* error) const;
    // "Esporta…": the current tab's table to a file named in the save dialog.
    void cmdEsporta_Click();
    // "Stampa…": the current tab's table, with the station, the period and the rules, to the printer.
    void cmdStampa_Click();
    // The text printed for a tab: an HTML page.
    QString printPage(Tab tab) const;

    QComboBox* cmbStazione = nullptr;
    QLabel* lblStazione = nullptr;
    QLabel* lblAvvisi = nullptr;
    QTabWidget* tabRiepilogo = nullptr;
    QPushButton* cmdEsporta = nullptr;
    QPushButton* cmdStampa = nullptr;
    QPushButton* cmdChiudi = nullptr;

  private:
    void buildTabs();
    QWidget* tablePage(Tab tab, const QString& intro);
    QString period() const;
    void showWarnings();
    void fitColumns(int tab);

    std::shared_ptr<const jet::RecordSet> rows_;
    analysis::DailyColumns columns_;
    std::vector<analysis::StationRows> stations_;
    int station_ = -1;
    analysis::StationSummary summary_;
    std::array<std::shared_ptr<const analysis::Table>, kTables> tables_;
    std::array<SummaryModel*, kTables> models_{};
    std::array<QTableView*, kTables> grids_{};
    std::array<forms::GridActions*, kTables> actions_{};
    std::array<bool, kTables> fitted_{};
};

// Offers "&Riepilogo…" in the grid's menu; it opens (or brings forward) the owner's summary
// window for the station of the grid's current row.
void offerSummary(forms::GridActions* actions, QWidget* owner);

}  // namespace daily
