// A table definition is one byte stream over a chain of definition pages: a header, the real
// indexes' row counts, one record per column, then the column names.
#include "jet/internal/tabledef.h"

#include <QSet>

#include "jet/internal/types.h"
#include "jet/internal/values.h"

namespace jet {

namespace {

// Where the fields are, per format.
struct Layout {
    int header, rowCount, numVarCols, numCols, numRealIndexes, ownedMap, realIndexSize;
    int columnSize, type, colNum, varIndex, flags, extFlags, fixedOffset, length, precision, scale;
    int nameLengthSize, maxColumns, complexId;
};
constexpr Layout kJet3{43, 12, 23, 25, 31, 35, 8, 18, 0, 1, 3, 13, -1, 14, 16, 9, 10, 1, 21, -1};
constexpr Layout kJet4{63, 16, 43, 45, 51, 55, 12, 25, 0, 5, 7, 15, 16, 21, 23, 11, 12, 2, 41, 11};

// The definition's pages joined: the first page whole, the others without their 8-byte header.
QByteArray definitionStream(const PageFile& pages, quint32 first) {
    QByteArray stream;
    QSet<quint32> visited;
    quint32 next = first;
    while (next) {
        if (visited.contains(next)) {
            pages.damaged();
        }
        visited.insert(next);
        const QByteArray page = pages.page(next);
        const auto* p = reinterpret_cast<const uchar*>(page.constData());
        if (p[0] != kTableDefinitionPage) {
            pages.damaged();
        }
        stream += stream.isEmpty() ? page : page.mid(8);
        next = u32(p + 4);
    }
    return stream;
}

ColumnDef readColumn(const uchar* r, const Layout& l, TableDefFormat format) {
    ColumnDef c;
    c.type = r[l.type];
    c.colNum = r[l.colNum];  // the engine's readers take the low byte only
    c.varIndex = u16(r + l.varIndex);
    const int flags = r[l.flags];
    c.fixed = flags & 0x01;
    c.autoNumber = flags & 0x04;
    if (c.type == TypeComplex && l.complexId >= 0) {
        c.complexId = u32(r + l.complexId);  // where other columns keep precision and code page
    }
    c.fixedOffset = u16(r + l.fixedOffset);
    c.size = u16(r + l.length);
    c.scale = r[l.scale];
    c.calculated = format.calculatedColumns && l.extFlags >= 0 && (r[l.extFlags] & 0xC0) != 0;
    return c;
}

}  // namespace

std::shared_ptr<TableDef> readTableDef(const PageFile& pages, const TextCodec& text, quint32 page,
                                       const QString& name, TableDefFormat format) {
    const Layout& l = pages.jet3() ? kJet3 : kJet4;
    const QByteArray stream = definitionStream(pages, page);
    const auto* s = reinterpret_cast<const uchar*>(stream.constData());
    const qint64 size = stream.size();
    auto def = std::make_shared<TableDef>();
    def->name = name;
    def->tdefPage = page;
    def->rowCountHint = u32(s + l.rowCount);
    def->numVarCols = u16(s + l.numVarCols);
    def->maxColumns = u16(s + l.maxColumns);
    const int numCols = u16(s + l.numCols);
    const qint64 realIndexes = u32(s + l.numRealIndexes);
    qint64 at = l.header + realIndexes * l.realIndexSize;
    if (realIndexes > size || at + qint64(numCols) * l.columnSize > size) {
        pages.damaged();
    }
    QVector<ColumnDef> columns;
    columns.reserve(numCols);
    for (int i = 0; i < numCols; ++i, at += l.columnSize) {
        columns.append(readColumn(s + at, l, format));
    }
    for (ColumnDef& c : columns) {
        if (at + l.nameLengthSize > size) {
            pages.damaged();
        }
        const int length = l.nameLengthSize == 1 ? s[at] : u16(s + at);
        at += l.nameLengthSize;
        if (at + length > size) {
            pages.damaged();
        }
        c.name = text.decode(s + at, length);
        c.key = foldKey(c.name);
        at += length;
    }
    // Columns in the order of their numbers, as the engine lists them.
    std::stable_sort(columns.begin(), columns.end(),
                     [](const ColumnDef& a, const ColumnDef& b) { return a.colNum < b.colNum; });
    def->columns = columns;
    def->pages = pages.mapPages(pages.rowAt(u32(s + l.ownedMap)));
    return def;
}

}  // namespace jet
