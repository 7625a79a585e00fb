// The chart window of a grid's owner window: one per owner, modeless, closing with it. It draws
// the figure its owner describes (chart/figure.h); a rectangle drawn over a panel zooms in and a
// right click takes one step back; a click on a legend entry shows or hides that quantity; it saves
// PNG, SVG or PDF and prints.
#pragma once

#include "chart/chartdraw.h"
#include "chart/figure.h"

#include <QWidget>

#include <functional>
#include <memory>
#include <optional>

class QComboBox;
class QPushButton;
class QRubberBand;
class QTableView;

namespace jet {
class RecordSet;
}

namespace db {
class DataSource;
}
namespace forms {
class GridActions;
}

namespace chart {

// The drawing surface: the figure laid out for its size.
class ChartView : public QWidget {
    Q_OBJECT
  public:
    explicit ChartView(QWidget* parent);
    void setFigure(const Figure& figure);
    const Figure& figure() const { return figure_; }
    // The figure laid out as it is drawn now (in the view's coordinates).
    Layout layout() const;
    const View& view() const { return view_; }

    // The views before each zoom, last one on top.
    int zoomDepth() const { return int(zooms_.size()); }
    void zoomBack();
    // Zooms to `area`, a rectangle over a panel's plot (what a drag does).
    void zoomTo(const QRectF& area);

  signals:
    void groupClicked(const QString& group);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    Figure figure_;
    View view_;
    QList<View> zooms_;
    QPoint pressed_;
    QRubberBand* band_ = nullptr;
};

enum class FileFormat { Png, Svg, Pdf };

// A name for a file made of `caption`: what a file name may not hold (slashes above all) becomes
// "-", so a printer that prints to a file proposes it in the folder it shows.
QString fileNameOf(const QString& caption);

class ChartWindow : public QWidget {
    Q_OBJECT
  public:
    explicit ChartWindow(QWidget* owner);

    // Up to this many subjects (stations) are drawn together; with more, one at a time (a year of
    // every station would be hundreds of series, unreadable and slow to draw).
    static constexpr int kSubjectsTogether = 6;

    // Shows `figure`; with several subjects the list above the chart chooses all or one of them.
    void showData(const Figure& figure);
    // What is drawn now: all of the figure given, or one subject's part of it.
    const Figure& data() const { return shown_; }
    ChartView* view() const { return view_; }

    // Writes the chart to `path` (the series drawn, a legend of them, the title); false, and
    // nothing written, when it cannot.
    bool saveAs(const QString& path, FileFormat format) const;
    // "Salva…": asks for a file; the format is the extension's, else the chosen type's, whose
    // extension is then added.
    void cmdSalva_Click();
    // "Stampa…": one landscape page to the printer chosen in the print dialog.
    void cmdStampa_Click();
    // A click on a legend entry: shows or hides that quantity (of every subject).
    void toggleGroup(const QString& group);

    QComboBox* cmbStazione = nullptr;
    QPushButton* cmdSalva = nullptr;
    QPushButton* cmdStampa = nullptr;
    QPushButton* cmdChiudi = nullptr;

  private:
    void draw(const Figure& figure);
    void stationChosen(int index);
    // Paints the chart for a page or picture of `size` logical pixels.
    void render(QPainter& painter, const QSizeF& size) const;

    ChartView* view_ = nullptr;
    Figure all_;
    Figure shown_;
};

// What a window gives to have its grid charted: the figure of what the grid shows now (nullopt
// when there is nothing to chart).
using Describe = std::function<std::optional<Figure>()>;
// Offers "&Grafico…" in the grid's menu: it shows the figure in the owner's chart window, made when
// first asked for, and draws it again when the grid shows new rows.
void offerChart(forms::GridActions* actions, QWidget* owner, Describe describe);
// Copying and the chart for a grid bound to `source`, in one call; `describe` is given the actions
// (their rows and view).
forms::GridActions* attach(QTableView* view, db::DataSource* source, QWidget* owner,
                           std::function<std::optional<Figure>(const forms::GridActions&)> describe);
// `rows`, read afresh from the statement of `grid`'s rows (with a field the grid lacks), kept to the
// rows the grid shows and in its order, so that its sort and filter hold for the chart as for
// copying; nullptr when `rows` is null or does not hold as many rows as the grid's record set.
std::shared_ptr<const jet::RecordSet> asShown(std::unique_ptr<jet::RecordSet> rows,
                                              const forms::GridActions& grid);
// The owner's chart window, or nullptr.
ChartWindow* chartWindowOf(const QWidget* owner);
// Sizes a window to at most `wanted`, never more than the available part of its screen, and
// places it wholly on it.
void fitToScreen(QWidget* window, const QSize& wanted);

}  // namespace chart
