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

class QComboBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QTabWidget;

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
    QPushButton* cmdEsporta = nullptr;
    QPushButton* cmdStampa = nullptr;
    QPushButton* cmdChiudi = nullptr;

    // "Esporta Dati": every table, one after the other, to a tab-separated file the user names.
    void cmdEsporta_Click();
    // "Stampa…": the report (tables and curve) on one page, to the printer the user chooses.
    void cmdStampa_Click();

    // Opens (or brings forward) the curve window of `owner` for the grid of `actions`.
    static frmCurva* open(QWidget* owner, forms::GridActions* actions, const QString& stationCode);
    static frmCurva* of(const QWidget* owner);

  private:
    void analyse();
    void fill();
    QString methodText() const;

    std::shared_ptr<const jet::RecordSet> rows_;
    std::vector<intense::StationRows> stations_;
    int station_ = 0;
    QString stationCode_;
    analysis::DdfAnalysis analysis_;
    QString lastFile_;
};
