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

// The selection's rectangles cut to the record set; empty ones dropped.
QVector<CellRange> clipped(const QVector<CellRange>& selection, int rowCount, int fieldCount) {
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
    return ranges;
}

// The block the rectangles span: its columns and rows in grid order, and which of its cells they
// cover. One rectangle (a cell, a block, a column, all) fills its whole block: no mask.
struct Block {
    std::vector<int> columns;
    std::vector<int> rows;
    std::vector<char> mask;  // rows.size() x columns.size(), empty when every cell is in

    bool covers(size_t row, size_t column) const {
        return mask.empty() || mask[row * columns.size() + column];
    }
};

Block blockOf(const QVector<CellRange>& ranges, int rowCount, int fieldCount) {
    std::vector<char> columnUsed(size_t(fieldCount), 0);
    std::vector<int> rowPos(size_t(rowCount), -1);
    for (const CellRange& r : ranges) {
        std::fill(columnUsed.begin() + r.left, columnUsed.begin() + r.right + 1, char(1));
        std::fill(rowPos.begin() + r.top, rowPos.begin() + r.bottom + 1, 0);
    }
    Block block;
    std::vector<int> columnPos(size_t(fieldCount), -1);
    for (int c = 0; c < fieldCount; ++c) {
        if (columnUsed[size_t(c)]) {
            columnPos[size_t(c)] = int(block.columns.size());
            block.columns.push_back(c);
        }
    }
    for (int r = 0; r < rowCount; ++r) {
        if (rowPos[size_t(r)] == 0) {
            rowPos[size_t(r)] = int(block.rows.size());
            block.rows.push_back(r);
        }
    }
    if (ranges.size() > 1) {
        const size_t width = block.columns.size();
        block.mask.assign(block.rows.size() * width, 0);
        for (const CellRange& r : ranges) {
            for (int row = r.top; row <= r.bottom; ++row) {
                char* line = block.mask.data() + size_t(rowPos[size_t(row)]) * width;
                for (int c = r.left; c <= r.right; ++c) {
                    line[columnPos[size_t(c)]] = 1;
                }
            }
        }
    }
    return block;
}

void appendCaptions(CopiedCells& out, const jet::RecordSet& rows, const std::vector<int>& columns) {
    out.html.append(QLatin1String("<tr>"));
    for (size_t i = 0; i < columns.size(); ++i) {
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
}

void appendRows(CopiedCells& out, const jet::RecordSet& rows, const Block& block, const QLocale& locale,
                bool afterCaptions) {
    const jet::DisplayFormat format(locale);
    QString buffer;
    for (size_t b = 0; b < block.rows.size(); ++b) {
        if (b > 0 || afterCaptions) {
            out.text.append(u'\n');
        }
        const int row = block.rows[b];
        out.html.append(QLatin1String("<tr>"));
        for (size_t i = 0; i < block.columns.size(); ++i) {
            if (i > 0) {
                out.text.append(u'\t');
            }
            out.html.append(QLatin1String("<td>"));
            if (block.covers(b, i)) {
                // The text the record set gives its cells, as the grid shows them (a table of
                // figures keeps its decimals: 32,20, not 32,2).
                const QStringView value = rows.textView(row, block.columns[i], format, &buffer);
                appendPlain(out.text, value);
                appendHtml(out.html, value);
            }
            out.html.append(QLatin1String("</td>"));
        }
        out.html.append(QLatin1String("</tr>\n"));
    }
}

}  // namespace

CopiedCells copyCells(const jet::RecordSet& rows, const QVector<CellRange>& selection, bool withCaptions,
                      const QLocale& locale) {
    const QVector<CellRange> ranges = clipped(selection, rows.recordCount(), rows.fieldCount());
    CopiedCells out;
    if (ranges.isEmpty()) {
        return out;
    }
    const Block block = blockOf(ranges, rows.recordCount(), rows.fieldCount());
    const size_t width = block.columns.size();
    // Reserved up front for typical short values, so that the strings grow rarely.
    out.text.reserve(qsizetype(block.rows.size() * width * 8 + 64));
    out.html.reserve(qsizetype(block.rows.size() * (width * 18 + 10) + 128));
    out.html.append(QLatin1String("<html><head><meta charset=\"utf-8\"></head><body><table>\n"));
    if (withCaptions) {
        appendCaptions(out, rows, block.columns);
    }
    appendRows(out, rows, block, locale, withCaptions);
    out.html.append(QLatin1String("</table></body></html>\n"));
    return out;
}

}  // namespace forms
