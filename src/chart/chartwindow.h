// The chart window of a grid's owner window: one per owner, modeless, closing with it. The chart
// is zoomed by drawing a rectangle and taken back one step by a right click; it can be saved as
// PNG, SVG or PDF and printed.
#pragma once

#include "chart/chartdata.h"

#include <QChartView>
#include <QWidget>

#include <functional>

class QComboBox;
class QPushButton;
class QTableView;

namespace db {
class DataSource;
}
namespace forms {
class GridActions;
}

namespace chart {

// Draws the chart of `data` (axes in Italian, NULL values left as gaps); series not shown have
// only a dimmed legend entry. Each of the chart's series names its index in `data.series` by
// this property.
QChart* buildChart(const ChartData& data);
inline constexpr char kSeriesIndex[] = "altorraSeriesIndex";

class ChartView : public QChartView {
    Q_OBJECT
  public:
    explicit ChartView(QWidget* parent);
    // The view's extent before each drawn zoom, last one on top.
    int zoomDepth() const { return int(zooms_.size()); }
    void zoomBack();
    void forgetZooms() { zooms_.clear(); }

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    QList<qreal> ranges() const;
    void setRanges(const QList<qreal>& ranges);
    QList<qreal> pressed_;
    QList<QList<qreal>> zooms_;
};

enum class FileFormat { Png, Svg, Pdf };

class ChartWindow : public QWidget {
    Q_OBJECT
  public:
    explicit ChartWindow(QWidget* owner);

    // Daily values of up to this many stations are drawn together; with more, one at a time (a
    // year of every station would be hundreds of series, unreadable and slow to draw).
    static constexpr int kStationsTogether = 6;

    // Shows `data`; with several stations the list above the chart chooses all or one of them.
    void showData(const ChartData& data);
    // What is drawn now: all of the data given, or one station's part of it.
    const ChartData& data() const { return shown_; }
    QChart* chart() const { return view_->chart(); }
    ChartView* view() const { return view_; }

    // Writes the chart to `path`; false (and nothing written) when it cannot.
    bool saveAs(const QString& path, FileFormat format) const;
    // "Salva…": asks for a file through the save dialog; the format follows its extension.
    void cmdSalva_Click();
    // "Stampa…": one page to the printer chosen in the print dialog.
    void cmdStampa_Click();
    // A click on a legend entry: shows or hides that quantity (of every station).
    void toggleSeries(int index);

    QComboBox* cmbStazione = nullptr;
    QPushButton* cmdSalva = nullptr;
    QPushButton* cmdStampa = nullptr;
    QPushButton* cmdChiudi = nullptr;

  private:
    void draw(const ChartData& data);
    void stationChosen(int index);

    ChartView* view_ = nullptr;
    ChartData all_;
    ChartData shown_;
};

// Offers "&Grafico…" in the grid's menu: it shows the chart of the grid's record set in the
// owner's chart window, made when first asked for. `station` names the station for monthly
// figures, whose rows do not.
void offerChart(forms::GridActions* actions, QWidget* owner, Kind kind,
                std::function<QString()> station = {});
// Copying and the chart for a grid bound to `source`, in one call.
forms::GridActions* attach(QTableView* view, db::DataSource* source, QWidget* owner, Kind kind,
                           std::function<QString()> station = {});
// The owner's chart window, or nullptr.
ChartWindow* chartWindowOf(const QWidget* owner);

}  // namespace chart
