// The closing screen: the title picture and the credits for ten seconds, then the program ends.
// A click on the picture or the background ends it at once; a key returns to the main window.
#pragma once

#include "runtime/form.h"

#include <QList>

#include <functional>

class QFrame;
class QLabel;
class QTimer;

class frmSplash : public runtime::Form {
    Q_OBJECT
  public:
    explicit frmSplash(QWidget* parent = nullptr);

    QFrame* Frame1 = nullptr;
    QLabel* imgLogo = nullptr;
    QList<QLabel*> labels;  // Label1 .. Label13
    QTimer* Timer1 = nullptr;

    // The clock the ten seconds are measured by, in milliseconds (tests set their own).
    static std::function<qint64()> clock;

  public slots:
    void Timer1_Timer();
    void Frame1_Click();
    void imgLogo_Click();
    void Form_KeyPress(int KeyAscii);

  protected:
    void Form_Load() override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QObject* pressed_ = nullptr;  // the control a left button went down on
    qint64 shownAt_ = -1;         // by clock; -1 until the screen shows
};
