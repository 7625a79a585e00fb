// Table and column properties (the LvProp blob of a catalog row), read only as far as the reader
// needs them: the result type of calculated columns.
#pragma once

#include <QHash>

#include "jet/internal/textcodec.h"

namespace jet {

// Column key (folded name) -> the type code of its "ResultType" property. Empty when the blob has
// none; a blob that does not hold together gives what was read before the damage.
QHash<QString, int> resultTypes(const QByteArray& blob, const TextCodec& text);

}  // namespace jet
