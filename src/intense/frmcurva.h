// The depth-duration-frequency curve ("curva di possibilità pluviometrica") of one station, from
// the rows the rainfall grid shows: the Gumbel fit of each duration by moments or by L-moments, the
// quantiles, a, n and R² of h = a·tⁿ, and the goodness of fit. One window per result window,
// modeless, closing with it. It reads the grid's record set only; the archive is never touched.
#pragma once

#include "analysis/ddf.h"
#include "intense/curvadata.h"
#include "jet/jet.h"

#include <QWidget>

#include <memory>

class QCloseEvent;
class QComboBox;
class QHBoxLayout;
class QLabel;
class QPushButton;
class QRadioButton;
class QTabWidget;

namespace chart {
class ChartWindow;
struct Figure;
}  // namespace chart
namespace forms {
class FigureTable;
class GridActions;
}  // namespace forms

class frmCurva : public QWidget {
    Q_OBJECT
  public:
    explicit frmCurva(QWidget* owner);

    // Shows the station of `currentRow` among `rows`; `stationCode` (may be empty) names it when
    // the search was for one station.
    void showRows(std::shared_ptr<const jet::RecordSet> rows, int currentRow, const QString& stationCode);
    const analysis::DdfAnalysis& analysis() const { return analysis_; }
    QString stationName() const;

    QComboBox* cmbStazione = nullptr;
    QRadioButton* optMomenti = nullptr;
    QRadioButton* optLMomenti = nullptr;
    QLabel* lblMetodo = nullptr;
    QLabel* lblNote = nullptr;
    QTabWidget* tabs = nullptr;
    forms::FigureTable* grdAdattamento = nullptr;
    forms::FigureTable* grdQuantili = nullptr;
    forms::FigureTable* grdCurvaOre = nullptr;
    forms::FigureTable* grdCurvaGiorni = nullptr;
    QComboBox* cmbDurata = nullptr;
    QPushButton* cmdGrafico = nullptr;
    QPushButton* cmdGumbel = nullptr;
    QPushButton* cmdEsporta = nullptr;
    QPushButton* cmdStampa = nullptr;
    QPushButton* cmdChiudi = nullptr;

    // "Grafico curve…": the curves h(t) of every return period, in the chart window of the curves.
    void cmdGrafico_Click();
    // "Carta probabilistica…": the Gumbel plot of the duration chosen in cmbDurata.
    void cmdGumbel_Click();
    // The chart windows, made when first asked for (nullptr until then).
    chart::ChartWindow* curveChart() const;
    chart::ChartWindow* gumbelChart() const;
    chart::Figure curveFigure() const;
    chart::Figure gumbelFigure() const;

    // "Esporta Dati": every table, one after the other, to a tab-separated file the user names.
    void cmdEsporta_Click();
    // "Stampa…": the report (tables and curve) on one page, to the printer the user chooses.
    void cmdStampa_Click();

    // Opens (or brings forward) the curve window of `owner` for the grid of `actions`.
    static frmCurva* open(QWidget* owner, forms::GridActions* actions, const QString& stationCode);
    static frmCurva* of(const QWidget* owner);

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    // The charts' buttons with the duration to plot, then the export, print and close buttons.
    QHBoxLayout* buttonRow();
    void analyse();
    void fillDurations();
    // Shows `figure` in the chart window called `name`, made when `make` and there is none.
    void showChart(const QString& name, const chart::Figure& figure, bool make);
    void fill();
    QString methodText() const;

    std::shared_ptr<const jet::RecordSet> rows_;
    std::vector<intense::StationRows> stations_;
    int station_ = 0;
    QString stationCode_;
    QString subject_;  // the station, its code when known, and the years: "Monte Vessa - anni 1990-1999"
    analysis::DdfAnalysis analysis_;
    QString lastFile_;
};
