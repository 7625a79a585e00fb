#include "chart/chartwindow.h"

#include "db/form.h"
#include "db/seams.h"
#include "forms/gridactions.h"
#include "jet/jet.h"

#include <QAbstractItemModel>
#include <QAreaSeries>
#include <QBuffer>
#include <QCategoryAxis>
#include <QComboBox>
#include <QDateTimeAxis>
#include <QFile>
#include <QFileInfo>
#include <QGraphicsItem>
#include <QHBoxLayout>
#include <QImage>
#include <QLineSeries>
#include <QMouseEvent>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QPushButton>
#include <QSvgGenerator>
#include <QTableView>
#include <QVBoxLayout>
#include <QValueAxis>

#include <cmath>
#include <limits>
#include <optional>

namespace chart {

namespace {

constexpr qint64 kDayMs = 24 * 60 * 60 * 1000;

QColor colourOf(int index) {
    static const QColor kColours[] = {QColor(0xd6, 0x27, 0x28), QColor(0x1f, 0x77, 0xb4),
                                      QColor(0x2c, 0xa0, 0x2c), QColor(0xff, 0x7f, 0x0e),
                                      QColor(0x94, 0x67, 0xbd), QColor(0x8c, 0x56, 0x4b),
                                      QColor(0xe3, 0x77, 0xc2), QColor(0x7f, 0x7f, 0x7f),
                                      QColor(0xbc, 0xbd, 0x22), QColor(0x17, 0xbe, 0xcf)};
    constexpr int count = int(sizeof(kColours) / sizeof(kColours[0]));
    return kColours[index % count];
}

// Where a series' x lands on the horizontal axis: milliseconds at midday for a day, else as is.
double axisX(const ChartData& data, double x) {
    if (data.kind != Kind::Daily) {
        return x;
    }
    const QDate day = QDate::fromJulianDay(qint64(x));
    return double(QDateTime(day, QTime(12, 0)).toMSecsSinceEpoch());
}

struct Range {
    double low = std::numeric_limits<double>::infinity();
    double high = -std::numeric_limits<double>::infinity();
    void add(double v) {
        low = std::min(low, v);
        high = std::max(high, v);
    }
    bool empty() const { return low > high; }
};

void setValueRange(QValueAxis* axis, Range range) {
    if (range.empty()) {
        range.add(0);
        range.add(1);
    }
    if (range.low == range.high) {
        range.add(range.low - 1);
        range.add(range.high + 1);
    }
    axis->setRange(range.low, range.high);
    axis->applyNiceNumbers();
}

double axisMin(const QAbstractAxis* axis) {
    if (auto* dates = qobject_cast<const QDateTimeAxis*>(axis)) {
        return double(dates->min().toMSecsSinceEpoch());
    }
    return static_cast<const QValueAxis*>(axis)->min();
}

double axisMax(const QAbstractAxis* axis) {
    if (auto* dates = qobject_cast<const QDateTimeAxis*>(axis)) {
        return double(dates->max().toMSecsSinceEpoch());
    }
    return static_cast<const QValueAxis*>(axis)->max();
}

}  // namespace

// The chart's lines, drawn over its plot area in one item: a run of values is one polyline, a
// missing value (NaN) ends it, a lone value between two missing ones is a dot. Line series of the
// toolkit cannot leave a gap, and one series per run would make a year of many stations slow.
class GapLines : public QGraphicsItem {
  public:
    struct Line {
        QColor colour;
        QVector<QPointF> points;  // in axis values; y NaN where the value is missing
    };

    GapLines(QChart* chart, QAbstractAxis* x, QAbstractAxis* y, bool markers)
        : QGraphicsItem(chart), chart_(chart), x_(x), y_(y), markers_(markers) {
        setZValue(10);  // over the bars and the grid lines
        QObject::connect(chart, &QChart::plotAreaChanged, chart, [this] { refresh(); });
        for (QAbstractAxis* axis : {x, y}) {
            if (auto* values = qobject_cast<QValueAxis*>(axis)) {
                QObject::connect(values, &QValueAxis::rangeChanged, chart, [this] { refresh(); });
            } else if (auto* dates = qobject_cast<QDateTimeAxis*>(axis)) {
                QObject::connect(dates, &QDateTimeAxis::rangeChanged, chart, [this] { refresh(); });
            }
        }
    }

    QVector<Line> lines;

    QRectF boundingRect() const override { return chart_->plotArea(); }

    void paint(QPainter* painter, const QStyleOptionGraphicsItem*, QWidget*) override {
        const QRectF plot = chart_->plotArea();
        const double x0 = axisMin(x_);
        const double x1 = axisMax(x_);
        const double y0 = axisMin(y_);
        const double y1 = axisMax(y_);
        if (plot.isEmpty() || x1 <= x0 || y1 <= y0) {
            return;
        }
        const double sx = plot.width() / (x1 - x0);
        const double sy = plot.height() / (y1 - y0);
        auto at = [&](const QPointF& p) {
            return QPointF(plot.left() + (p.x() - x0) * sx, plot.bottom() - (p.y() - y0) * sy);
        };
        painter->save();
        painter->setClipRect(plot);
        painter->setRenderHint(QPainter::Antialiasing);
        for (const Line& line : lines) {
            QPen pen(line.colour);
            pen.setWidthF(1.6);
            pen.setJoinStyle(Qt::RoundJoin);
            painter->setPen(pen);
            painter->setBrush(Qt::NoBrush);
            QPainterPath path;
            QVector<QPointF> dots;
            const qsizetype n = line.points.size();
            for (qsizetype i = 0; i < n; ++i) {
                const QPointF& p = line.points[i];
                if (std::isnan(p.y())) {
                    continue;
                }
                const bool afterGap = i == 0 || std::isnan(line.points[i - 1].y());
                const bool beforeGap = i + 1 == n || std::isnan(line.points[i + 1].y());
                if (afterGap) {
                    path.moveTo(at(p));
                } else {
                    path.lineTo(at(p));
                }
                if (markers_ || (afterGap && beforeGap)) {
                    dots.append(at(p));
                }
            }
            painter->drawPath(path);
            painter->setBrush(line.colour);
            for (const QPointF& dot : dots) {
                painter->drawEllipse(dot, 3, 3);
            }
        }
        painter->restore();
    }

  private:
    void refresh() {
        prepareGeometryChange();
        update();
    }

    QChart* chart_;
    QAbstractAxis* x_;
    QAbstractAxis* y_;
    bool markers_;
};

QChart* buildChart(const ChartData& data) {
    auto* chart = new QChart;
    chart->setAnimationOptions(QChart::NoAnimation);
    chart->setTitle(data.title);
    chart->setLocalizeNumbers(true);
    chart->legend()->setAlignment(Qt::AlignBottom);

    // Horizontal axis: dates, or the grid's captions (durations, months) at 0, 1, 2...
    QAbstractAxis* xAxis = nullptr;
    if (data.kind == Kind::Daily) {
        auto* axis = new QDateTimeAxis;
        axis->setFormat(QStringLiteral("dd/MM/yyyy"));
        axis->setTickCount(7);
        if (data.first.isValid()) {
            const double first = axisX(data, double(data.first.toJulianDay())) - kDayMs / 2.0;
            const double last = axisX(data, double(data.last.toJulianDay())) + kDayMs / 2.0;
            axis->setRange(QDateTime::fromMSecsSinceEpoch(qint64(first)),
                           QDateTime::fromMSecsSinceEpoch(qint64(last)));
        }
        xAxis = axis;
    } else {
        auto* axis = new QCategoryAxis;
        axis->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
        axis->setStartValue(-0.5);
        for (int i = 0; i < data.categories.size(); ++i) {
            axis->append(data.categories[i], i);
        }
        axis->setRange(-0.5, qMax(0, int(data.categories.size())) - 0.5);
        xAxis = axis;
    }
    xAxis->setTitleText(data.xTitle);
    chart->addAxis(xAxis, Qt::AlignBottom);

    int lines = 0;
    int bars = 0;
    for (const Series& s : data.series) {
        (s.style == Style::Bar ? bars : lines) += 1;
    }
    QValueAxis* lineAxis = nullptr;
    QValueAxis* barAxis = nullptr;
    if (lines > 0 || bars == 0) {
        lineAxis = new QValueAxis;
        lineAxis->setTitleText(data.lineTitle);
        chart->addAxis(lineAxis, Qt::AlignLeft);
    }
    if (bars > 0) {
        barAxis = new QValueAxis;
        barAxis->setTitleText(data.barTitle);
        chart->addAxis(barAxis, lineAxis ? Qt::AlignRight : Qt::AlignLeft);
    }
    Range lineRange;
    Range barRange;

    // Bars of one day (or category) stand side by side within 8 tenths of it.
    const double unit = data.kind == Kind::Daily ? double(kDayMs) : 1.0;
    const double barWidth = bars > 0 ? 0.8 * unit / bars : 0;
    int barIndex = 0;
    const bool showPoints = data.kind != Kind::Daily;
    QVector<GapLines::Line> drawn;

    for (int index = 0; index < data.series.size(); ++index) {
        const Series& s = data.series[index];
        const QColor colour = colourOf(index);
        if (s.style == Style::Bar) {
            // One area of rectangles, on the base line between them: a missing value draws nothing.
            auto* upper = new QLineSeries;
            const double offset = -0.4 * unit + barWidth * (barIndex + 0.5);
            for (int i = 0; i < s.x.size(); ++i) {
                if (std::isnan(s.y[i])) {
                    continue;
                }
                const double centre = axisX(data, s.x[i]) + offset;
                const double left = centre - barWidth / 2;
                const double right = centre + barWidth / 2;
                upper->append(left, 0);
                upper->append(left, s.y[i]);
                upper->append(right, s.y[i]);
                upper->append(right, 0);
                barRange.add(s.y[i]);
            }
            barRange.add(0);
            auto* area = new QAreaSeries(upper);
            upper->setParent(area);
            area->setName(s.title);
            QColor fill = colour;
            fill.setAlpha(190);
            area->setColor(fill);
            area->setBorderColor(colour.darker(120));
            chart->addSeries(area);
            area->attachAxis(xAxis);
            area->attachAxis(barAxis);
            ++barIndex;
            continue;
        }
        // The legend entry and the axes' link: a series with no points; the line itself is drawn
        // by the chart's line layer, broken where a value is missing.
        auto* host = new QLineSeries;
        QPen pen(colour);
        pen.setWidthF(2);
        host->setPen(pen);
        host->setName(s.title);
        chart->addSeries(host);
        host->attachAxis(xAxis);
        host->attachAxis(lineAxis);
        GapLines::Line line;
        line.colour = colour;
        line.points.reserve(s.x.size());
        for (int i = 0; i < s.x.size(); ++i) {
            line.points.append(QPointF(axisX(data, s.x[i]), s.y[i]));
            if (!std::isnan(s.y[i])) {
                lineRange.add(s.y[i]);
            }
        }
        drawn.append(line);
    }
    if (lineAxis) {
        setValueRange(lineAxis, lineRange);
        if (!drawn.isEmpty()) {
            auto* layer = new GapLines(chart, xAxis, lineAxis, showPoints);
            layer->lines = drawn;
        }
    }
    if (barAxis) {
        setValueRange(barAxis, barRange);
    }
    return chart;
}

// ---------------------------------------------------------------- ChartView

ChartView::ChartView(QWidget* parent) : QChartView(parent) {
    setObjectName(QStringLiteral("chartView"));
    setRenderHint(QPainter::Antialiasing);
    setRubberBand(QChartView::RectangleRubberBand);
}

QList<qreal> ChartView::ranges() const {
    QList<qreal> out;
    if (!chart()) {
        return out;
    }
    for (QAbstractAxis* axis : chart()->axes()) {
        if (auto* values = qobject_cast<QValueAxis*>(axis)) {
            out << values->min() << values->max();
        } else if (auto* dates = qobject_cast<QDateTimeAxis*>(axis)) {
            out << qreal(dates->min().toMSecsSinceEpoch()) << qreal(dates->max().toMSecsSinceEpoch());
        }
    }
    return out;
}

void ChartView::setRanges(const QList<qreal>& ranges) {
    qsizetype i = 0;
    for (QAbstractAxis* axis : chart()->axes()) {
        if (i + 1 >= ranges.size()) {
            break;
        }
        if (auto* values = qobject_cast<QValueAxis*>(axis)) {
            values->setRange(ranges[i], ranges[i + 1]);
            i += 2;
        } else if (auto* dates = qobject_cast<QDateTimeAxis*>(axis)) {
            dates->setRange(QDateTime::fromMSecsSinceEpoch(qint64(ranges[i])),
                            QDateTime::fromMSecsSinceEpoch(qint64(ranges[i + 1])));
            i += 2;
        }
    }
}

void ChartView::zoomBack() {
    if (zooms_.isEmpty()) {
        return;
    }
    setRanges(zooms_.takeLast());
}

void ChartView::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton) {
        event->accept();  // the release takes the zoom back
        return;
    }
    if (event->button() == Qt::LeftButton) {
        pressed_ = ranges();
    }
    QChartView::mousePressEvent(event);
}

void ChartView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton) {
        zoomBack();
        event->accept();
        return;
    }
    QChartView::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && !pressed_.isEmpty() && ranges() != pressed_) {
        zooms_.append(pressed_);
    }
    pressed_.clear();
}

// ---------------------------------------------------------------- ChartWindow

ChartWindow::ChartWindow(QWidget* owner) : QWidget(owner, Qt::Window) {
    setObjectName(QStringLiteral("frmGrafico"));
    setWindowTitle(QStringLiteral("Grafico"));
    view_ = new ChartView(this);
    cmbStazione = new QComboBox(this);
    cmbStazione->setObjectName(QStringLiteral("cmbStazione"));
    cmbStazione->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    cmbStazione->hide();
    connect(cmbStazione, &QComboBox::activated, this, &ChartWindow::stationChosen);
    cmdSalva = new QPushButton(QStringLiteral("&Salva…"), this);
    cmdSalva->setObjectName(QStringLiteral("cmdSalva"));
    cmdStampa = new QPushButton(QStringLiteral("S&tampa…"), this);
    cmdStampa->setObjectName(QStringLiteral("cmdStampa"));
    cmdChiudi = new QPushButton(QStringLiteral("&Chiudi"), this);
    cmdChiudi->setObjectName(QStringLiteral("cmdChiudi"));
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdSalva);
    buttons->addWidget(cmdStampa);
    buttons->addStretch(1);
    buttons->addWidget(cmdChiudi);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(cmbStazione, 0, Qt::AlignLeft);
    layout->addWidget(view_, 1);
    layout->addLayout(buttons);
    connect(cmdSalva, &QPushButton::clicked, this, &ChartWindow::cmdSalva_Click);
    connect(cmdStampa, &QPushButton::clicked, this, &ChartWindow::cmdStampa_Click);
    connect(cmdChiudi, &QPushButton::clicked, this, &QWidget::close);
    resize(960, 640);
}

void ChartWindow::showData(const ChartData& data) {
    all_ = data;
    cmbStazione->clear();
    const bool choice = data.kind == Kind::Daily && data.stations.size() > 1;
    if (choice) {
        if (data.stations.size() <= kStationsTogether) {
            cmbStazione->addItem(QStringLiteral("Tutte le stazioni"));
        }
        cmbStazione->addItems(data.stations);
    }
    cmbStazione->setVisible(choice);
    stationChosen(0);
}

void ChartWindow::stationChosen(int index) {
    const QString station = cmbStazione->itemText(index);
    const bool all = !cmbStazione->isVisibleTo(this) || index < 0 || !all_.stations.contains(station);
    draw(all ? all_ : forStation(all_, station));
}

void ChartWindow::draw(const ChartData& data) {
    shown_ = data;
    setWindowTitle(shown_.caption);
    QChart* old = view_->chart();
    view_->setChart(buildChart(shown_));
    view_->forgetZooms();
    delete old;
}

bool ChartWindow::saveAs(const QString& path, FileFormat format) const {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    const QSize size = view_->viewport()->size().expandedTo(QSize(320, 200));
    bool drawn = false;
    switch (format) {
        case FileFormat::Png: {
            // Twice the pixels shown: the chart is drawn again at that size, not enlarged.
            QImage image(size * 2, QImage::Format_ARGB32_Premultiplied);
            image.fill(Qt::white);
            QPainter painter(&image);
            painter.setRenderHint(QPainter::Antialiasing);
            view_->render(&painter, QRectF(image.rect()));
            painter.end();
            drawn = image.save(&buffer, "PNG");
            break;
        }
        case FileFormat::Svg: {
            QSvgGenerator svg;
            svg.setOutputDevice(&buffer);
            svg.setSize(size);
            svg.setViewBox(QRect(QPoint(0, 0), size));
            svg.setTitle(shown_.caption);
            QPainter painter;
            drawn = painter.begin(&svg);
            if (drawn) {
                view_->render(&painter, QRectF(QPointF(0, 0), QSizeF(size)));
                drawn = painter.end();
            }
            break;
        }
        case FileFormat::Pdf: {
            QPdfWriter pdf(&buffer);
            pdf.setPageSize(QPageSize(QPageSize::A4));
            pdf.setPageOrientation(QPageLayout::Landscape);
            pdf.setTitle(shown_.caption);
            pdf.setCreator(QStringLiteral("Altorra"));
            QPainter painter;
            drawn = painter.begin(&pdf);
            if (drawn) {
                view_->render(&painter, QRectF(painter.viewport()));
                drawn = painter.end();
            }
            break;
        }
    }
    buffer.close();
    if (!drawn || bytes.isEmpty()) {
        return false;
    }
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        return false;
    }
    const bool written = file.write(bytes) == bytes.size();
    file.close();
    return written && file.error() == QFileDevice::NoError;
}

void ChartWindow::cmdSalva_Click() {
    static const QString kExtensions[] = {QStringLiteral("png"), QStringLiteral("svg"),
                                          QStringLiteral("pdf")};
    seams::SaveRequest request;
    request.title = QStringLiteral("Salva grafico");
    request.flags = 2 | 4;
    request.filter =
        QStringLiteral("Immagine PNG (*.png)|*.png|Disegno SVG (*.svg)|*.svg|Documento PDF (*.pdf)|*.pdf");
    request.filterIndex = 1;
    if (!seams::runSaveDialog(this, request) || request.fileName.isEmpty()) {
        return;
    }
    QString path = request.fileName;
    const QString suffix = QFileInfo(path).suffix().toLower();
    int kind = -1;
    for (int i = 0; i < 3; ++i) {
        if (suffix == kExtensions[i]) {
            kind = i;
        }
    }
    if (kind < 0) {
        kind = request.filterIndex >= 1 && request.filterIndex <= 3 ? request.filterIndex - 1 : 0;
        path += QLatin1Char('.') + kExtensions[kind];
    }
    if (!saveAs(path, FileFormat(kind))) {
        seams::msgBox(QStringLiteral("Impossibile salvare il grafico nel file %1").arg(path), this);
    }
}

void ChartWindow::cmdStampa_Click() {
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageOrientation(QPageLayout::Landscape);
    printer.setDocName(shown_.caption);
    if (!seams::runPrintDialog(this, printer)) {
        return;
    }
    QPainter painter;
    if (!painter.begin(&printer)) {
        seams::msgBox(QStringLiteral("Impossibile stampare il grafico"), this);
        return;
    }
    view_->render(&painter, QRectF(painter.viewport()));
    painter.end();
}

// ---------------------------------------------------------------- offering the chart

ChartWindow* chartWindowOf(const QWidget* owner) {
    return owner ? owner->findChild<ChartWindow*>(QString(), Qt::FindDirectChildrenOnly) : nullptr;
}

void offerChart(forms::GridActions* actions, QWidget* owner, Kind kind, std::function<QString()> station) {
    QPointer<forms::GridActions> guard(actions);
    auto build = [guard, kind, station]() -> std::optional<ChartData> {
        const std::shared_ptr<const jet::RecordSet> rows = guard ? guard->rows() : nullptr;
        if (!rows) {
            return std::nullopt;
        }
        switch (kind) {
            case Kind::Daily:
                return dailySeries(*rows);
            case Kind::Rainfall:
                return rainfallSeries(*rows);
            case Kind::Monthly:
                return monthlySeries(*rows, guard->view()->currentIndex().row(),
                                     station ? station() : QString());
        }
        return std::nullopt;
    };
    actions->setChartHandler([owner, build] {
        const std::optional<ChartData> data = build();
        if (!data) {
            return;
        }
        ChartWindow* window = chartWindowOf(owner);
        if (!window) {
            window = new ChartWindow(owner);
        }
        window->showData(*data);
        window->show();
        window->raise();
        window->activateWindow();
    });
    // A grid that shows new rows (another station) redraws an open chart.
    QObject::connect(actions->view()->model(), &QAbstractItemModel::modelReset, owner, [owner, build] {
        ChartWindow* window = chartWindowOf(owner);
        if (window && window->isVisible()) {
            if (const std::optional<ChartData> data = build()) {
                window->showData(*data);
            }
        }
    });
    if (auto* form = qobject_cast<db::Form*>(owner)) {
        QObject::connect(form, &db::Form::unloaded, form, [form] {
            if (ChartWindow* window = chartWindowOf(form)) {
                window->close();
            }
        });
    }
}

forms::GridActions* attach(QTableView* view, db::DataSource* source, QWidget* owner, Kind kind,
                           std::function<QString()> station) {
    forms::GridActions* actions = forms::GridActions::attach(view, source);
    offerChart(actions, owner, kind, std::move(station));
    return actions;
}

}  // namespace chart
