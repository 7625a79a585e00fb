// Two plain controls the windows share: a picture box that shows a picture at its own size from
// its top-left corner and reports clicks, and a straight line of one pixel.
#pragma once

#include <QColor>
#include <QPixmap>
#include <QWidget>

namespace forms {

class PictureBox : public QWidget {
    Q_OBJECT
  public:
    PictureBox(const QString& name, QWidget* parent);
    // A null pixmap empties the box.
    void setPicture(const QPixmap& picture);
    // The box takes the focus in its window's tab order, shows it, and Enter, Return or Space
    // click it: a picture that opens something must be reachable without a mouse.
    void setKeyboardClick(bool on);
    const QPixmap& picture() const { return picture_; }

  signals:
    void Click();

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    QPixmap picture_;
    bool pressed_ = false;
};

// A line from (x1, y1) to (x2, y2) in twips; horizontal or vertical, one pixel wide.
class LineShape : public QWidget {
    Q_OBJECT
  public:
    LineShape(const QString& name, QWidget* parent, int x1, int y1, int x2, int y2, const QColor& colour);
    QColor colour() const { return colour_; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QColor colour_;
};

}  // namespace forms
