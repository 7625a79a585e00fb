#include "forms/gridcopy.h"

#include "jet/jet.h"

#include <algorithm>
#include <vector>

namespace forms {

namespace {

bool plainSpecial(QChar c) {
    return c == u'\t' || c == u'\n' || c == u'\r';
}

bool htmlSpecial(QChar c) {
    return c == u'&' || c == u'<' || c == u'>' || c == u'"' || c == u'\n' || c == u'\r';
}

// Most values need no change: they are appended whole.
void appendPlain(QString& out, QStringView value) {
    if (std::none_of(value.cbegin(), value.cend(), plainSpecial)) {
        out.append(value);
        return;
    }
    for (const QChar c : value) {
        out.append(plainSpecial(c) ? QChar(u' ') : c);
    }
}

void appendHtml(QString& out, QStringView value) {
    if (std::none_of(value.cbegin(), value.cend(), htmlSpecial)) {
        out.append(value);
        return;
    }
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value.at(i);
        switch (c.unicode()) {
            case u'&':
                out.append(QLatin1String("&amp;"));
                break;
            case u'<':
                out.append(QLatin1String("&lt;"));
                break;
            case u'>':
                out.append(QLatin1String("&gt;"));
                break;
            case u'"':
                out.append(QLatin1String("&quot;"));
                break;
            case u'\r':
                if (i + 1 < value.size() && value.at(i + 1) == u'\n') {
                    ++i;
                }
                out.append(QLatin1String("<br>"));
                break;
            case u'\n':
                out.append(QLatin1String("<br>"));
                break;
            default:
                out.append(c);
        }
    }
}

}  // namespace

CopiedCells copyCells(const jet::RecordSet& rows, const QVector<CellRange>& selection, bool withCaptions,
                      const QLocale& locale) {
    const int rowCount = rows.recordCount();
    const int fieldCount = rows.fieldCount();

    QVector<CellRange> ranges;
    for (CellRange r : selection) {
        r.top = std::max(r.top, 0);
        r.left = std::max(r.left, 0);
        r.bottom = std::min(r.bottom, rowCount - 1);
        r.right = std::min(r.right, fieldCount - 1);
        if (r.top <= r.bottom && r.left <= r.right) {
            ranges.append(r);
        }
    }
    CopiedCells out;
    if (ranges.isEmpty()) {
        return out;
    }

    // Columns and rows of the block, in grid order.
    std::vector<char> columnUsed(size_t(fieldCount), 0);
    std::vector<int> rowPos(size_t(rowCount), -1);
    for (const CellRange& r : ranges) {
        std::fill(columnUsed.begin() + r.left, columnUsed.begin() + r.right + 1, char(1));
        std::fill(rowPos.begin() + r.top, rowPos.begin() + r.bottom + 1, 0);
    }
    std::vector<int> columns;
    std::vector<int> columnPos(size_t(fieldCount), -1);
    for (int c = 0; c < fieldCount; ++c) {
        if (columnUsed[size_t(c)]) {
            columnPos[size_t(c)] = int(columns.size());
            columns.push_back(c);
        }
    }
    std::vector<int> blockRows;
    for (int r = 0; r < rowCount; ++r) {
        if (rowPos[size_t(r)] == 0) {
            rowPos[size_t(r)] = int(blockRows.size());
            blockRows.push_back(r);
        }
    }

    // One rectangle (a cell, a block, a column, all) fills its whole block; several need a mask.
    std::vector<char> mask;
    const size_t width = columns.size();
    if (ranges.size() > 1) {
        mask.assign(blockRows.size() * width, 0);
        for (const CellRange& r : ranges) {
            for (int row = r.top; row <= r.bottom; ++row) {
                char* line = mask.data() + size_t(rowPos[size_t(row)]) * width;
                for (int c = r.left; c <= r.right; ++c) {
                    line[columnPos[size_t(c)]] = 1;
                }
            }
        }
    }

    // Reserved up front for typical short values, so that the strings grow rarely.
    out.text.reserve(qsizetype(blockRows.size() * width * 8 + 64));
    out.html.reserve(qsizetype(blockRows.size() * (width * 18 + 10) + 128));
    out.html.append(QLatin1String("<html><head><meta charset=\"utf-8\"></head><body><table>\n"));

    const jet::DisplayFormat format(locale);
    QString buffer;
    bool firstLine = true;
    if (withCaptions) {
        out.html.append(QLatin1String("<tr>"));
        for (size_t i = 0; i < width; ++i) {
            if (i > 0) {
                out.text.append(u'\t');
            }
            const QString caption = rows.fieldName(columns[i]);
            appendPlain(out.text, caption);
            out.html.append(QLatin1String("<th>"));
            appendHtml(out.html, caption);
            out.html.append(QLatin1String("</th>"));
        }
        out.html.append(QLatin1String("</tr>\n"));
        firstLine = false;
    }
    for (size_t b = 0; b < blockRows.size(); ++b) {
        if (!firstLine) {
            out.text.append(u'\n');
        }
        firstLine = false;
        const int row = blockRows[b];
        const char* line = mask.empty() ? nullptr : mask.data() + b * width;
        out.html.append(QLatin1String("<tr>"));
        for (size_t i = 0; i < width; ++i) {
            if (i > 0) {
                out.text.append(u'\t');
            }
            out.html.append(QLatin1String("<td>"));
            if (!line || line[i]) {
                // The text the record set gives its cells, as the grid shows them (a table of
                // figures keeps its decimals: 32,20, not 32,2).
                const QStringView value = rows.textView(row, columns[i], format, &buffer);
                appendPlain(out.text, value);
                appendHtml(out.html, value);
            }
            out.html.append(QLatin1String("</td>"));
        }
        out.html.append(QLatin1String("</tr>\n"));
    }
    out.html.append(QLatin1String("</table></body></html>\n"));
    return out;
}

}  // namespace forms
