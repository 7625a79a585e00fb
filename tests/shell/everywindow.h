// Every window of the program, opened as the user opens it on the sample archive, for the tests
// that look at all of them at once (type, colours).
#pragma once

#include "support/scriptedseams.h"

#include <QList>
#include <QSize>
#include <QString>
#include <QTemporaryDir>
#include <QWidget>

#include <functional>
#include <memory>

namespace windowtest {

struct Opening {
    QString name;
    // Opens the window (and the windows before it on the user's way) and returns it shown, with
    // its data; null when it could not be opened.
    std::function<QWidget*()> open;
};

// A sample archive with pictures in a program folder of its own, and scripted seams that leave the
// modal windows open for the test to look at. Windows are unloaded by close().
class Archive {
  public:
    Archive();
    ~Archive();
    bool isValid() const { return error_.isEmpty() && dir_.isValid(); }
    QString error() const { return error_; }
    // Every window closed and deleted; the seams keep their script.
    void close();
    testsupport::ScriptedSeams& seams() { return *seams_; }

  private:
    QTemporaryDir dir_;
    QString error_;
    std::unique_ptr<testsupport::ScriptedSeams> seams_;
};

// The main window, the closing screen, the information window, both selection forms with their
// result windows, the registry and its large picture.
QList<Opening> everyWindow();

// The size a window's client area is laid out in: its twips in pixels at the screen's logical
// resolution, with the menu bar's height for the windows that have one; empty for a window not
// listed (chart windows, dialogs).
QSize twipsSize(const QWidget* window);

// Every visible widget of `window`, the window included.
QList<QWidget*> visibleWidgets(QWidget* window);

}  // namespace windowtest
