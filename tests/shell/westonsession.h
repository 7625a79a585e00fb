// A Wayland compositor of the test's own: Debian's weston on its headless backend, with a socket
// and a runtime folder (mode 0700) no other session shares. It is started before the application
// object exists (the platform plugin connects while QApplication is made), so without QProcess.
// What the compositor knows of our windows comes from its debug streams: the scene graph (where
// each window stands and how large it is) and the protocol log (the geometry, parent and size
// limits each window declared).
#pragma once

#include <QMap>
#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>

#include <sys/types.h>

namespace waylandtest {

// A window as the compositor shows it.
struct View {
    QString title;
    QRect rect;  // in the compositor's coordinates, decorations the client draws included
};

// What a window told the compositor about itself (the last value of each request).
struct Declared {
    QRect geometry;  // xdg_surface.set_window_geometry
    QSize minimum;
    QSize maximum;
    QString parent;  // title of the window set_parent named, empty for none
    QString appId;   // the desktop entry it names (set_app_id)
};

class Weston {
  public:
    Weston() = default;
    ~Weston();
    Weston(const Weston&) = delete;
    Weston& operator=(const Weston&) = delete;

    // Starts the compositor (its screen `screen` large), waits for its socket and sets
    // WAYLAND_DISPLAY and XDG_RUNTIME_DIR for this process. False, with error(), when it cannot run.
    // The headless backend has no seat (no keyboard, no pointer), so it activates no window; on an
    // X server (`onX11`, a window on DISPLAY) the compositor has the server's keyboard and pointer.
    bool start(const QSize& screen, bool onX11 = false);
    void stop();
    QString error() const { return error_; }
    QString socket() const { return socket_; }
    QString runtimeDir() const { return runtime_; }

    // Starts the protocol log; call once the application exists.
    bool startProtocolLog();
    // The windows of the scene graph (xdg toplevels), top first.
    QList<View> views() const;
    // Declared state by window title, read from the protocol log so far.
    QMap<QString, Declared> declared() const;
    // The compositor's picture of its screen, saved as `file`; empty error text when saved.
    QString screenshot(const QString& file) const;

  private:
    pid_t pid_ = 0;
    qint64 logPid_ = 0;
    QString runtime_;
    QString socket_;
    QString error_;
    QString protocolFile_;
};

}  // namespace waylandtest
