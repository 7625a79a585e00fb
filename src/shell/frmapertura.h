// The start-up window: the title picture and the menu that leads to every other window.
#pragma once

#include "db/form.h"

#include <QPixmap>

class QAction;
class QMenu;
class QMenuBar;

namespace shell {

// Draws a picture at its own size from the top-left corner, whatever the widget's size.
class PictureBox : public QWidget {
    Q_OBJECT
  public:
    PictureBox(const QString& name, QWidget* parent);
    void setPicture(const QPixmap& picture);
    QPixmap picture() const { return picture_; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QPixmap picture_;
};

}  // namespace shell

class frmApertura : public db::Form {
    Q_OBJECT
  public:
    explicit frmApertura(QWidget* parent = nullptr);

    QMenuBar* menuBar = nullptr;
    QMenu* mnuFile = nullptr;
    QAction* mnuEsci = nullptr;
    QMenu* mnuVisualizza = nullptr;
    QAction* mnuAnagrafica = nullptr;
    QAction* mnuDati_giornalieri = nullptr;
    QAction* mnuPiogge_intense = nullptr;
    QAction* mnuInformazioni = nullptr;
    shell::PictureBox* Picture1 = nullptr;

  public slots:
    void mnuAnagrafica_Click();
    void mnuDati_giornalieri_Click();
    void mnuPiogge_intense_Click();
    void mnuInformazioni_Click();
    void mnuEsci_Click();

  protected:
    void Form_Unload() override;
    void showEvent(QShowEvent* event) override;

  private:
    bool placed_ = false;
};
