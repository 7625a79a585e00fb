// The chart's drawing surface: painting, zooming by a drawn rectangle, a step back on a right
// click, and clicks on the legend.
#include "chart/chartwindow.h"

#include <QMouseEvent>
#include <QPainter>
#include <QRubberBand>

namespace chart {

ChartView::ChartView(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("chartView"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumSize(240, 150);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    band_ = new QRubberBand(QRubberBand::Rectangle, this);
}

void ChartView::setFigure(const Figure& figure) {
    figure_ = figure;
    view_.clear();
    zooms_.clear();
    update();
}

Layout ChartView::layout() const {
    DrawOptions options;
    options.font = chartFont(font());
    return Layout(figure_, QRectF(rect()), view_, options);
}

void ChartView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    layout().paint(painter);
}

void ChartView::zoomBack() {
    if (!zooms_.isEmpty()) {
        view_ = zooms_.takeLast();
        update();
    }
}

void ChartView::zoomTo(const QRectF& area) {
    const Layout now = layout();
    const int panel = now.panelAt(area.center());
    if (panel < 0) {
        return;
    }
    zooms_.append(view_);
    view_ = now.zoomed(view_, panel, area);
    update();
}

void ChartView::mousePressEvent(QMouseEvent* event) {
    pressed_ = event->position().toPoint();
    if (event->button() == Qt::LeftButton && layout().panelAt(event->position()) >= 0) {
        band_->setGeometry(QRect(pressed_, QSize()));
        band_->show();
    }
    event->accept();
}

void ChartView::mouseMoveEvent(QMouseEvent* event) {
    if (band_->isVisible()) {
        band_->setGeometry(QRect(pressed_, event->position().toPoint()).normalized());
    }
}

void ChartView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton) {
        zoomBack();
        return;
    }
    if (event->button() != Qt::LeftButton) {
        return;
    }
    const QRect area = QRect(pressed_, event->position().toPoint()).normalized();
    const bool dragged = band_->isVisible() && area.width() > 6 && area.height() > 6;
    band_->hide();
    if (dragged) {
        zoomTo(QRectF(area));
        return;
    }
    const QString group = layout().groupAt(event->position());
    if (!group.isEmpty()) {
        emit groupClicked(group);
    }
}

}  // namespace chart
