// The texts the registry window builds from a station code: the monthly statement and the names
// of the station's two location pictures. Pure, so they can be checked without a window.
#pragma once

#include <QString>

namespace registry {

// The statement of the station's monthly figures, exactly as the archive's tools wrote it: the
// code follows "codstaz = " as it stands, with no quotes and nothing after it.
QString monthlyStatement(const QString& codstaz);

// The thumbnail on the card and the large picture: folder + "/r_" (or "/s_") + code + ".jpg".
// `folder` is used as given, so a root program folder keeps its doubled separator.
QString thumbnailPath(const QString& pictureFolder, const QString& code);
QString largePicturePath(const QString& pictureFolder, const QString& code);

}  // namespace registry
