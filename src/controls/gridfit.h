// How the grids measure their texts: which rows of a long result are looked at, and how wide a
// column caption is drawn.
#pragma once

#include <QList>
#include <QString>

class QHeaderView;

namespace controls {

// The rows a grid measures when it fits its columns or rows to a result: the first and the last
// ones and rows spread evenly between them, in order, never more than `budget` (all of a short
// result). Bounded, so that fitting a grid costs the same on a hundred rows and on a million.
QList<int> sampleRows(int rowCount, int budget = 240);

// The width a header section needs to show `caption` whole, in pixels. Measured in bold where the
// header highlights: it draws the caption of the current column in bold.
int captionWidth(const QHeaderView* header, const QString& caption);

}  // namespace controls
