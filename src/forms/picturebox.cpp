#include "forms/picturebox.h"

#include "runtime/form.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFocusRect>

namespace forms {

PictureBox::PictureBox(const QString& name, QWidget* parent) : QWidget(parent) {
    setObjectName(name);
    // The picture may be larger than the box: it is cut, never scaled, and never sizes a window.
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
}

void PictureBox::setPicture(const QPixmap& picture) {
    picture_ = picture;
    update();
}

void PictureBox::setKeyboardClick(bool on) {
    setFocusPolicy(on ? Qt::StrongFocus : Qt::NoFocus);
    update();
}

void PictureBox::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Window));
    if (!picture_.isNull()) {
        // Own size from the top-left corner; the box clips what does not fit. On a HiDPI screen a
        // picture of fewer pixels than the screen has (a station's photo) is enlarged smoothly.
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawPixmap(QPoint(0, 0), picture_);
    }
    if (hasFocus()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = rect().adjusted(1, 1, -1, -1);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, this);
    }
}

void PictureBox::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    if (focusPolicy() != Qt::NoFocus && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier &&
        (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space)) {
        emit Click();
        return;
    }
    QWidget::keyPressEvent(event);
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
    const int left = runtime::twipsToPixels(qMin(x1, x2));
    const int top = runtime::twipsToPixels(qMin(y1, y2));
    const int right = runtime::twipsToPixels(qMax(x1, x2));
    const int bottom = runtime::twipsToPixels(qMax(y1, y2));
    setGeometry(left, top, qMax(1, right - left + 1), qMax(1, bottom - top + 1));
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void LineShape::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), colour_);
}

}  // namespace forms
