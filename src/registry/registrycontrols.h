// The pointer shown over the registry's thumbnail.
#pragma once

#include <QPixmap>

namespace registry {

// A magnifying glass, drawn here rather than shipped.
QPixmap magnifierPointerImage();

}  // namespace registry
