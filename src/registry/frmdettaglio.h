// The large location picture of the station on the registry card, shown modal over the registry.
#pragma once

#include "forms/picturebox.h"
#include "runtime/form.h"

#include <QPixmap>

class frmDettaglio : public runtime::Form {
    Q_OBJECT
  public:
    explicit frmDettaglio(QWidget* parent = nullptr);

    // The picture shown (null when the file is missing or unreadable) and the file it came from.
    const QPixmap& picture() const { return view_->picture(); }
    QString picturePath() const { return picturePath_; }

  protected:
    void Form_Load() override;

  private:
    forms::PictureBox* view_ = nullptr;
    QString picturePath_;
};
