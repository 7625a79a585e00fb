#include "registry/registrycontrols.h"

#include <QPainter>

namespace registry {

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
