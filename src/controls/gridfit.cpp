#include "controls/gridfit.h"

#include <QFontMetrics>
#include <QHeaderView>
#include <QStyle>
#include <QStyleOptionHeader>

namespace controls {

QList<int> sampleRows(int rowCount, int budget) {
    QList<int> rows;
    if (rowCount <= 0 || budget <= 0) {
        return rows;
    }
    if (rowCount <= budget) {
        rows.reserve(rowCount);
        for (int row = 0; row < rowCount; ++row) {
            rows.append(row);
        }
        return rows;
    }
    if (budget == 1) {
        return {0};
    }
    // A quarter of the budget at each end (titles and totals often sit there), the rest spread.
    const int edge = qMax(1, budget / 4);
    const int spread = budget - 2 * edge;
    rows.reserve(budget);
    for (int row = 0; row < edge; ++row) {
        rows.append(row);
    }
    const qint64 middle = qint64(rowCount) - 2 * edge;  // rows between the two ends
    for (int i = 0; i < spread; ++i) {
        rows.append(edge + int((middle * (2 * i + 1)) / (2 * spread)));
    }
    for (int row = rowCount - edge; row < rowCount; ++row) {
        rows.append(row);
    }
    return rows;
}

int captionWidth(const QHeaderView* header, const QString& caption) {
    QFont font = header->font();
    font.setBold(header->highlightSections());
    QStyleOptionHeader option;
    option.initFrom(header);
    const int margin = header->style()->pixelMetric(QStyle::PM_HeaderMargin, &option, header);
    // The style's margin on both sides, and the section's own edge lines.
    return QFontMetrics(font).horizontalAdvance(caption) + 2 * margin + 4;
}

}  // namespace controls
