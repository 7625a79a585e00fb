#include "chart/chartwindow.h"

#include "db/form.h"
#include "db/seams.h"
#include "forms/formkit.h"
#include "forms/gridactions.h"
#include "jet/jet.h"

#include <QAbstractItemModel>
#include <QBuffer>
#include <QComboBox>
#include <QDateTimeAxis>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QImage>
#include <QLegend>
#include <QLegendMarker>
#include <QMouseEvent>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QPushButton>
#include <QSvgGenerator>
#include <QTableView>
#include <QVBoxLayout>
#include <QValueAxis>

#include <optional>

namespace chart {

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
    QChart* chart = buildChart(shown_);
    view_->setChart(chart);
    view_->forgetZooms();
    delete old;
    for (QLegendMarker* marker : chart->legend()->markers()) {
        const QVariant index = marker->series()->property(kSeriesIndex);
        if (index.isValid()) {
            // Queued: the redraw deletes the marker that sends the click.
            connect(
                marker, &QLegendMarker::clicked, this, [this, i = index.toInt()] { toggleSeries(i); },
                Qt::QueuedConnection);
        }
    }
}

void ChartWindow::toggleSeries(int index) {
    if (index < 0 || index >= shown_.series.size()) {
        return;
    }
    const Series& s = shown_.series[index];
    const bool shown = !s.shown;
    // The choice holds for every station, and when another station is chosen.
    setShown(all_, s.caption, shown);
    ChartData data = shown_;
    setShown(data, s.caption, shown);
    draw(data);
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
        const bool made = !window;
        if (made) {
            window = new ChartWindow(owner);
        }
        window->showData(*data);
        if (made) {
            forms::centreFrame(window);
        }
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
