// The archive's pictures, drawn at build time and kept in the program's resources.
#pragma once

#include <QIcon>
#include <QPixmap>

namespace shell {

// The 746 x 564 title picture: the main window shows it at its own size, the information window
// and the closing screen stretch it. On a HiDPI screen it has more pixels (its device pixel ratio
// says how many), drawn for that ratio; its size in the window's pixels stays 746 x 564.
QPixmap titlePicture();

// The program's icon, 32 x 32 and 16 x 16 pixels.
QIcon programIcon();

}  // namespace shell
