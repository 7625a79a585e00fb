#include "jetwriter/pages.h"

#include "jetwriter/bytes.h"

#include <algorithm>
#include <cstring>

namespace jetwriter::detail {

bool PageWriter::writePage(quint32 page, const QByteArray& plain) {
    Q_ASSERT(plain.size() == f_.pageSize);
    QByteArray data = plain;
    if (cryptKey_ != 0 && page != 0) {
        QByteArray key(4, '\0');
        put32(key, 0, cryptKey_ ^ page);
        const QByteArray ks = rc4(key, f_.pageSize);
        for (int i = 0; i < f_.pageSize; ++i)
            data[i] = char(quint8(data[i]) ^ quint8(ks[i]));
    }
    if (!file_.seek(qint64(page) * f_.pageSize) || file_.write(data) != data.size()) {
        error = QStringLiteral("scrittura non riuscita: %1").arg(file_.errorString());
        return false;
    }
    return true;
}

QByteArray PageWriter::renderRowPage(const RowPage& p) const {
    QByteArray b(f_.pageSize, '\0');
    put8(b, 0, 0x01);
    put8(b, 1, 0x01);
    put16(b, 2, quint16(freeSpace(p)));
    put32(b, 4, p.owner);
    put16(b, f_.rowCountAt, quint16(p.rows.size()));
    int end = f_.pageSize;
    for (int i = 0; i < p.rows.size(); ++i) {
        int start = end - p.rows[i].size();
        std::memcpy(b.data() + start, p.rows[i].constData(), p.rows[i].size());
        put16(b, f_.rowCountAt + 2 + 2 * i, quint16(start) | p.flags.value(i));
        end = start;
    }
    return b;
}

bool PageWriter::flush(RowPage& p) {
    if (!p.open)
        return true;
    p.open = false;
    return writePage(p.page, renderRowPage(p));
}

bool PageWriter::place(RowPage& p, const QByteArray& row, quint32* pageOut, int* rowOut, bool* newPage,
                       quint16 flags) {
    if (newPage)
        *newPage = false;
    if (!fits(p, row.size())) {
        if (!flush(p))
            return false;
        quint32 owner = p.owner;
        p = RowPage();
        p.owner = owner;
        p.page = allocPage();
        p.open = true;
        if (newPage)
            *newPage = true;
    }
    *pageOut = p.page;
    *rowOut = int(p.rows.size());
    p.rows.append(row);
    p.flags.append(flags);
    p.used += row.size() + 2;
    return true;
}

quint32 PageWriter::addMapRow(const QByteArray& row) {
    if (mapPages_.isEmpty() || !fitsLoose(mapPages_.last(), row.size())) {
        RowPage p;
        p.page = allocPage();
        p.open = true;
        mapPages_.append(p);
    }
    RowPage& p = mapPages_.last();
    int r = int(p.rows.size());
    p.rows.append(row);
    p.used += row.size() + 2;
    return pgRow(p.page, r);
}

quint32 PageWriter::addUsageMap(const QList<quint32>& pages) {
    QByteArray row(f_.mapRowLen, '\0');
    if (pages.isEmpty() || pages.last() - pages.first() < quint32(f_.mapBits)) {
        quint32 start = pages.isEmpty() ? 0 : pages.first();
        put8(row, 0, 0);
        put32(row, 1, start);
        for (quint32 pg : pages) {
            quint32 bit = pg - start;
            row[5 + int(bit / 8)] = char(quint8(row[5 + int(bit / 8)]) | (1u << (bit % 8)));
        }
        return addMapRow(row);
    }
    put8(row, 0, 1);
    QHash<quint32, QByteArray> bitmaps;
    for (quint32 pg : pages) {
        quint32 k = pg / quint32(f_.refPageBits);
        if (int(k) >= f_.refEntries) {
            error = QStringLiteral("file troppo grande per una mappa delle pagine");
            return 0;
        }
        QByteArray& bm = bitmaps[k];
        if (bm.isEmpty()) {
            bm = QByteArray(f_.pageSize, '\0');
            put8(bm, 0, 0x05);
            put8(bm, 1, 0x01);
        }
        quint32 bit = pg % quint32(f_.refPageBits);
        bm[4 + int(bit / 8)] = char(quint8(bm[4 + int(bit / 8)]) | (1u << (bit % 8)));
    }
    QList<quint32> keys = bitmaps.keys();
    std::sort(keys.begin(), keys.end());
    for (quint32 k : keys) {
        quint32 page = allocPage();
        put32(row, 1 + 4 * int(k), page);
        pendingPages_.append({page, bitmaps[k]});
    }
    return addMapRow(row);
}

bool PageWriter::finishMaps() {
    for (RowPage& p : mapPages_)
        if (!writePage(p.page, renderRowPage(p)))
            return false;
    for (auto& pp : pendingPages_)
        if (!writePage(pp.first, pp.second))
            return false;
    return true;
}

}  // namespace jetwriter::detail
