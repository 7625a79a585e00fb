// The page scan: a table's data pages read in runs of consecutive pages, every live row's
// location and integer keys kept in flat arrays (the key arrays), rows decoded only when wanted.
#include <QFileInfo>
#include <QMutex>

#include "jet/internal/keyarrays.h"
#include "jet/internal/readahead.h"
#include "jet/internal/rowvalues.h"
#include "jet/internal/types.h"
#include "jet/internal/values.h"

namespace jet {

namespace {

constexpr int kMaxRunPages = 64;

// Row locations and key arrays, per file state and table. A changed file has another key, and
// entries of an older state of the same path are dropped when a new one is stored.
struct IndexCache {
    QMutex mutex;
    QHash<QString, std::shared_ptr<const TableIndex>> entries;
};
IndexCache& indexCache() {
    static IndexCache cache;
    return cache;
}

}  // namespace

QString JetFile::indexCacheKey(const TableDef& table) const {
    return fileKey_ + QLatin1Char('|') + QString::number(table.tdefPage) + QLatin1Char('|') + table.name;
}

void JetFile::clearIndexCache() {
    IndexCache& cache = indexCache();
    QMutexLocker lock(&cache.mutex);
    cache.entries.clear();
}

RowCacheSize JetFile::indexCacheSize() {
    IndexCache& cache = indexCache();
    QMutexLocker lock(&cache.mutex);
    RowCacheSize size;
    for (const std::shared_ptr<const TableIndex>& index : std::as_const(cache.entries)) {
        size.rows += index->rowCount;
        size.bytes += index->bytes();
    }
    return size;
}

std::shared_ptr<const TableIndex> JetFile::index(const TableDef& table, const QVector<int>& keyColumns) {
    if (changedOnDisk()) {
        pages_.damaged();  // changed since it was opened: keys and pages would not belong together
    }
    const QString cacheKey = indexCacheKey(table);
    std::shared_ptr<const TableIndex> known;
    {
        IndexCache& cache = indexCache();
        QMutexLocker lock(&cache.mutex);
        known = cache.entries.value(cacheKey);
    }
    QVector<int> missing;
    for (int c : keyColumns) {
        if (c >= 0 && c < table.columns.size() && keyEligible(table.columns[c]) && !missing.contains(c) &&
            !(known && known->key(c))) {
            missing << c;
        }
    }
    if (known && missing.isEmpty()) {
        return known;
    }
    std::shared_ptr<const TableIndex> index = buildIndex(table, known.get(), missing);
    IndexCache& cache = indexCache();
    QMutexLocker lock(&cache.mutex);
    // Entries of an older state of this file are of no further use.
    const QString pathPrefix = QFileInfo(path_).absoluteFilePath() + QLatin1Char('|');
    for (auto it = cache.entries.begin(); it != cache.entries.end();) {
        if (it.key().startsWith(pathPrefix) && !it.key().startsWith(fileKey_ + QLatin1Char('|'))) {
            it = cache.entries.erase(it);
        } else {
            ++it;
        }
    }
    cache.entries.insert(cacheKey, index);
    return index;
}

// One pass over the data pages: the row locations (unless known) and the key arrays of `keyColumns`.
std::shared_ptr<TableIndex> JetFile::buildIndex(const TableDef& table, const TableIndex* known,
                                                const QVector<int>& keyColumns) {
    auto index = std::make_shared<TableIndex>();
    if (known) {
        *index = *known;  // the arrays are shared, not copied
    }
    std::vector<KeyArray> added(size_t(keyColumns.size()));
    for (int i = 0; i < keyColumns.size(); ++i) {
        added[size_t(i)].column = keyColumns[i];
    }
    KeyCollector collector(pages_, table, &added, known ? nullptr : index.get(), known ? known->rowCount : 0);
    PageRuns runs(pages_, table.pages, kMaxRunPages);
    PageRuns::Run run;
    const uchar* base = nullptr;
    while (runs.next(&run, &base)) {
        for (int k = 0; k < run.count; ++k) {
            collector.page(base + k * pages_.pageSize(), run.first + quint32(k));
        }
    }
    collector.finish();
    for (KeyArray& a : added) {
        index->keys.push_back(std::move(a));
    }
    return index;
}

void JetFile::readRows(const TableDef& table, const QVector<quint32>& locations,
                       const std::function<void(RowValues&)>& onRow) {
    const int pageSize = pages_.pageSize();
    const PageBuffer buffer(kMaxRunPages * pageSize);
    uchar* base = buffer.data();
    quint32 windowFirst = 0;
    int windowCount = 0;
    PageRowValues row(pages_, text_, table, table.complexLinks.isEmpty() ? nullptr : this);
    const quint32 filePages = pages_.pageCount();

    for (int i = 0; i < locations.size(); ++i) {
        const quint32 pg = locations[i] >> 8;
        const int r = int(locations[i] & 0xFF);
        if (!(windowCount > 0 && pg >= windowFirst && pg < windowFirst + quint32(windowCount))) {
            // Read from this page up to the last page the next rows need within one run.
            quint32 last = pg;
            for (int j = i + 1; j < locations.size() && j < i + 4096; ++j) {
                const quint32 q = locations[j] >> 8;
                if (q < pg || q >= pg + kMaxRunPages) {
                    break;
                }
                last = qMax(last, q);
            }
            if (pg >= filePages) {
                pages_.damaged();
            }
            windowFirst = pg;
            windowCount = int(qMin(last - pg + 1, filePages - pg));
            pages_.read(windowFirst, windowCount, base);
        }
        const uchar* page = base + (pg - windowFirst) * quint32(pageSize);
        if (r >= pages_.rowCount(page)) {
            pages_.damaged();
        }
        const RowSpan span = pages_.rowSpan(page, r);
        pages_.checkSpan(page, span);  // a moved row at its place carries a flag
        row.set(page + span.start, span.length());
        onRow(row);
    }
}

void JetFile::scan(const TableDef& table, const std::function<void(RowValues&)>& onRow) {
    const std::shared_ptr<const TableIndex> rows = index(table);
    readRows(table, rows->locations(), onRow);
}

}  // namespace jet
