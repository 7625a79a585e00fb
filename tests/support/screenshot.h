// The tours' screenshot: the whole screen once the last repaint settled, saved as folder/name.png.
#pragma once

#include <QString>

namespace testsupport {

// Returns the path written; prints it with the picture's size.
QString screenshot(const QString& folder, const QString& name);

}  // namespace testsupport
