// The closing screen: the title picture and the credits for ten seconds, then the program ends.
// A click on the picture or the background ends it at once; a key returns to the main window.
#pragma once

#include "db/form.h"

#include <QList>

class QFrame;
class QLabel;
class QTimer;

class frmSplash : public db::Form {
    Q_OBJECT
  public:
    explicit frmSplash(QWidget* parent = nullptr);

    QFrame* Frame1 = nullptr;
    QLabel* imgLogo = nullptr;
    QList<QLabel*> labels;  // Label1 .. Label13
    QTimer* Timer1 = nullptr;

  public slots:
    void Timer1_Timer();
    void Frame1_Click();
    void imgLogo_Click();
    void Form_KeyPress(int KeyAscii);

  protected:
    void Form_Load() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QObject* pressed_ = nullptr;  // the control a left button went down on
};
