// The tight loop of the first scan: plain pointers, no per-row allocation, every offset checked.
#include "jet/internal/keyarrays.h"

#include "jet/internal/values.h"
#include "jet/jetvalue.h"

namespace jet {

KeyCollector::KeyCollector(const PageFile& pages, const TableDef& table, TableIndex* index)
    : pages_(pages), table_(table), index_(index) {
    keyCount_ = int(index->keyColumns.size());
    index->keys.resize(keyCount_);
    index->nulls.resize(keyCount_);
    for (int k = 0; k < keyCount_; ++k) {
        const ColumnDef& col = table.columns[index->keyColumns[k]];
        const int start = (pages.jet3() ? 1 : 2) + col.fixedOffset;
        specs_[k] = KeySpec{col.colNum, start, start + fixedSize(col.type), col.type};
    }
    // Sized from the count the definition stores (bounded by what the pages can hold), grown if short.
    allocate(qBound<qsizetype>(0, table.rowCountHint, qsizetype(table.pages.size()) * 256) + 16);
}

void KeyCollector::allocate(qsizetype capacity) {
    capacity_ = capacity;
    index_->locations.resize(capacity);
    locations_ = index_->locations.data();
    for (int k = 0; k < keyCount_; ++k) {
        index_->keys[k].resize(capacity);
        keys_[k] = index_->keys[k].data();
        if (!index_->nulls[k].isEmpty()) {
            index_->nulls[k].resize(capacity);
            nulls_[k] = index_->nulls[k].data();
        }
    }
}

template <bool Jet3>
void KeyCollector::collect(quint32 location, const uchar* row, int len) {
    const int rowCols = Jet3 ? row[0] : u16(row);
    const int maskSize = (rowCols + 7) >> 3;
    if (maskSize + (Jet3 ? 1 : 2) > len) {
        pages_.damaged();
    }
    const uchar* mask = row + len - maskSize;
    const int fixedEnd = len - maskSize;
    locations_[rows_] = location;
    for (int k = 0; k < keyCount_; ++k) {
        const KeySpec& s = specs_[k];
        qint32 v = 0;
        if (s.colNum < rowCols && ((mask[s.colNum >> 3] >> (s.colNum & 7)) & 1)) {
            if (s.end > fixedEnd) {
                pages_.damaged();
            }
            const uchar* p = row + s.start;
            v = s.type == TypeLong      ? qint32(u32(p))
                : s.type == TypeInteger ? qint32(qint16(u16(p)))
                                        : qint32(p[0]);
        } else {
            if (!nulls_[k]) {
                index_->nulls[k].resize(capacity_);  // zeros: every earlier row had a value
                nulls_[k] = index_->nulls[k].data();
            }
            nulls_[k][rows_] = 1;
        }
        keys_[k][rows_] = v;
    }
    ++rows_;
}

// A row moved by an edit: its place holds a pointer to where it lives now, on a page of the
// same table.
void KeyCollector::collectMoved(quint32 target) {
    const quint32 number = target >> 8;
    const int row = int(target & 0xFF);
    if (other_.isEmpty()) {
        other_.resize(pages_.pageSize());
    }
    auto* p = reinterpret_cast<uchar*>(other_.data());
    pages_.read(number, 1, p);
    if (p[0] != kDataPage || u32(p + 4) != table_.tdefPage || row >= pages_.rowCount(p)) {
        pages_.damaged();
    }
    const RowSpan span = pages_.rowSpan(p, row);
    pages_.checkSpan(p, span);
    if (span.flags & kLookupFlag) {
        pages_.damaged();  // moved rows do not move on
    }
    if (pages_.jet3()) {
        collect<true>(target, p + span.start, span.length());
    } else {
        collect<false>(target, p + span.start, span.length());
    }
}

void KeyCollector::page(const uchar* page, quint32 number) {
    if (page[0] != kDataPage || u32(page + 4) != table_.tdefPage) {
        pages_.damaged();  // the owned-pages map names a page that is not this table's
    }
    if (pages_.jet3()) {
        rows<true>(page, number);
    } else {
        rows<false>(page, number);
    }
}

template <bool Jet3>
void KeyCollector::rows(const uchar* page, quint32 number) {
    const int count = pages_.rowCount(page);
    if (rows_ + count > capacity_) {
        allocate(qMax(capacity_ * 2, rows_ + count));
    }
    for (int r = 0; r < count; ++r) {
        const RowSpan span = pages_.rowSpan(page, r);
        if (span.flags & kDeletedFlag) {
            continue;
        }
        if ((span.flags & kLookupFlag) && span.length() == 4) {
            collectMoved(u32(page + span.start));
            continue;
        }
        collect<Jet3>((number << 8) | quint32(r), page + span.start, span.length());
    }
}

void KeyCollector::finish() {
    // Trimmed without a copy unless the stored count was far off.
    const bool squeeze = capacity_ - rows_ > rows_ / 8 + 1024;
    index_->locations.resize(rows_);
    for (int k = 0; k < keyCount_; ++k) {
        index_->keys[k].resize(rows_);
        if (!index_->nulls[k].isEmpty()) {
            index_->nulls[k].resize(rows_);
        }
    }
    if (squeeze) {
        index_->locations.squeeze();
        for (int k = 0; k < keyCount_; ++k) {
            index_->keys[k].squeeze();
            index_->nulls[k].squeeze();
        }
    }
}

}  // namespace jet
