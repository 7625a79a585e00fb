// The summary of one station's daily values shown by a result grid: monthly figures, yearly rows,
// the months' normals, the yearly climate indices and the completeness report, each a grid that
// copies, exports and prints, and two charts (the climograph and the cumulative rain), each saved
// and printed as the grids' charts are. One per result window, modeless, closing with it. It reads the rows
// the grid shows, as the chart does: the grid's statement run again with the station code in front
// (the grid names the station only, and two stations may share a name), on a worker thread so the
// window stays live, then taken in the grid's sort and filter.
#pragma once

#include "analysis/summary.h"
#include "analysisrows/dailyrows.h"

#include <QWidget>

#include <QFutureWatcher>
#include <QSet>

#include <array>
#include <functional>
#include <memory>

class QComboBox;
class QLabel;
class QPushButton;
class QTabWidget;
class QTableView;

namespace chart {
class ChartWindow;
}
namespace forms {
class GridActions;
}

namespace daily {

class SummaryModel;

// Where the grid's rows come from: its archive and statement.
struct RowSource {
    QString database;
    QString statement;
};

class frmRiepilogo : public QWidget {
    Q_OBJECT
  public:
    // The tables, in the order of their tabs; the two charts' tabs follow.
    enum Tab { Mensile, Annuale, Normale, Indici, Completezza, Lacune };
    static constexpr int kTables = 6;
    enum ChartTab { Climogramma = kTables, Cumulata };

    // Empty until read() or setRows() gives it rows.
    explicit frmRiepilogo(QWidget* owner);

    // Reads the rows of `source` with the station code on a worker thread, then shows them as
    // `grid` does (its sort and filter) with the station of its row `currentRow` first; and again
    // whenever the grid's sort or filter changes.
    void read(const forms::GridActions* grid, const RowSource& source, int currentRow);
    bool reading() const { return watcher_ != nullptr; }
    // Rows read: those of the daily statement with the station code in front (nullptr: none).
    void setRows(std::shared_ptr<const jet::RecordSet> rows, int currentRow);

    // The owner's summary window, or nullptr.
    static frmRiepilogo* of(const QWidget* owner);

    // Shows the station at `index` of the list.
    void showStation(int index);
    // The station of a row of the result; -1 when none.
    int stationOfRow(int row) const;
    int stationCount() const { return int(stations_.size()); }
    // As listed: the name, with the code beside a name that two stations share.
    QString stationName(int index) const;
    QString stationCode(int index) const;

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
    // The climograph's year: "normale" (the months' normals) or one of the years.
    QComboBox* cmbAnno = nullptr;
    chart::ChartWindow* chartClimogramma = nullptr;
    chart::ChartWindow* chartCumulata = nullptr;

  signals:
    // The rows were read (or could not be) and the first station is shown.
    void rowsRead();

  private:
    struct Station {
        QString code, label;
        std::vector<int> rows;  // ascending
    };
    void buildTabs();
    QWidget* tablePage(Tab tab, const QString& intro);
    QString period() const;
    void showWarnings();
    void fitColumns(int tab);
    // The chart tabs (frmriepilogocharts.cpp).
    void buildChartTabs();
    void chartsForStation();
    void drawCharts(int tab);

    std::shared_ptr<const jet::RecordSet> rows_;
    analysisrows::DailyColumns columns_;
    std::vector<Station> stations_;
    std::vector<int> stationOf_;  // per row
    QString readError_;
    bool following_ = false;  // reading again on the grid's sort and filter
    QString keepCode_;        // the station to show again once read
    // What the worker reads: the grid's statement with the code, and the names stations share.
    struct Read {
        std::unique_ptr<jet::RecordSet> rows;
        QSet<QString> sharedNames;
    };
    QFutureWatcher<Read>* watcher_ = nullptr;
    QSet<QString> sharedNames_;
    int station_ = -1;
    analysis::StationSummary summary_;
    std::array<std::shared_ptr<const analysis::Table>, kTables> tables_;
    std::array<SummaryModel*, kTables> models_{};
    std::array<QTableView*, kTables> grids_{};
    std::array<forms::GridActions*, kTables> actions_{};
    std::array<bool, kTables> fitted_{};
    std::array<bool, 2> chartDrawn_{};
};

// Offers "&Riepilogo…" in the grid's menu; it opens (or brings forward) the owner's summary
// window for the station of the grid's current row, reading the rows of `source()`.
void offerSummary(forms::GridActions* actions, QWidget* owner, std::function<RowSource()> source);

}  // namespace daily
