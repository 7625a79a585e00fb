// Every window of the viewer reached as a user reaches it, on the sample archive, for the
// accessibility tests: the main window's menu, the searches, the grids' menus (chart, summary,
// filter, find, curve), the registry card and its picture, the information and closing windows.
#pragma once

#include <QPointer>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <functional>

namespace a11ytest {

// Called once for each window as it is first shown, and again for each tab of a window with
// tabs (each tab shown in turn); `step` names the window and the tab.
using Visit = std::function<void(QWidget* window, const QString& step)>;

// Opens every window, with modal showing scripted so that they all stay open, calling `visit`.
// Returns the object names of the windows visited, in order.
QStringList openEveryWindow(const QString& programFolder, const Visit& visit);

// The windows openEveryWindow must reach (object names).
QStringList expectedWindows();

}  // namespace a11ytest
