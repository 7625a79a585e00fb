// Every text of a window measured against the rectangle it is drawn in: each label, button, box,
// list entry and grid caption and cell, in the type the control draws with.
#pragma once

#include <QStringList>
#include <QWidget>

namespace windowtest {

// The texts of `window` that do not show whole, each as "window/control: \"text\"".
QStringList cutTexts(QWidget* window);

}  // namespace windowtest
