#include "registry/registrycontrols.h"

#include "db/form.h"

#include <QMouseEvent>
#include <QPainter>

namespace registry {

QColor colourFromBgr(unsigned int value) {
    return QColor(int(value & 0xFF), int((value >> 8) & 0xFF), int((value >> 16) & 0xFF));
}

PictureBox::PictureBox(const QString& name, QWidget* parent) : QWidget(parent) {
    setObjectName(name);
}

void PictureBox::setPicture(const QPixmap& picture) {
    picture_ = picture;
    update();
}

void PictureBox::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Window));
    if (!picture_.isNull()) {
        // Own size from the top-left corner; the box clips what does not fit.
        painter.drawPixmap(QPoint(0, 0), picture_);
    }
}

void PictureBox::mousePressEvent(QMouseEvent* event) {
    pressed_ = event->button() == Qt::LeftButton;
}

void PictureBox::mouseReleaseEvent(QMouseEvent* event) {
    // A click is a press and a release of the left button inside the box.
    const bool click =
        pressed_ && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
    pressed_ = false;
    if (click) {
        emit Click();
    }
}

LineShape::LineShape(const QString& name, QWidget* parent, int x1, int y1, int x2, int y2,
                     const QColor& colour)
    : QWidget(parent), colour_(colour) {
    setObjectName(name);
    const int left = db::twipsToPixels(qMin(x1, x2));
    const int top = db::twipsToPixels(qMin(y1, y2));
    const int right = db::twipsToPixels(qMax(x1, x2));
    const int bottom = db::twipsToPixels(qMax(y1, y2));
    setGeometry(left, top, qMax(1, right - left + 1), qMax(1, bottom - top + 1));
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void LineShape::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), colour_);
}

QPixmap magnifierPointerImage() {
    QPixmap image(32, 32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    // Handle first, then the lens over it; a white rim keeps it visible on dark pictures.
    painter.setPen(QPen(Qt::white, 6, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(19, 19), QPointF(29, 29));
    painter.setPen(QPen(QColor(90, 60, 20), 4, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(19, 19), QPointF(29, 29));
    painter.setPen(QPen(Qt::white, 5));
    painter.setBrush(QColor(200, 230, 255, 170));
    painter.drawEllipse(QPointF(12, 12), 9, 9);
    painter.setPen(QPen(Qt::black, 2));
    painter.drawEllipse(QPointF(12, 12), 9, 9);
    painter.setPen(QPen(Qt::black, 2, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(12, 8), QPointF(12, 16));
    painter.drawLine(QPointF(8, 12), QPointF(16, 12));
    return image;
}

}  // namespace registry
