// The tight loop of the first scan: plain pointers, no per-row allocation, every offset checked.
#include "jet/internal/keyarrays.h"

#include "jet/internal/types.h"
#include "jet/internal/values.h"

#include <algorithm>
#include <limits>

namespace jet {

bool keyEligible(const ColumnDef& column) {
    const bool integer = column.type == TypeByte || column.type == TypeInteger || column.type == TypeLong;
    return integer && column.fixed && !column.calculated;
}

qsizetype KeyArray::bytes() const {
    return v8.size() + v16.size() * 2 + v32.size() * 4 + nulls.size();
}

const KeyArray* TableIndex::key(int column) const {
    for (const KeyArray& k : keys) {
        if (k.column == column) {
            return &k;
        }
    }
    return nullptr;
}

QVector<quint32> TableIndex::locations(const QVector<int>* rows) const {
    QVector<quint32> out;
    out.reserve(rows ? rows->size() : rowCount);
    auto page = pages.constBegin();
    const qsizetype count = rows ? rows->size() : rowCount;
    for (qsizetype i = 0; i < count; ++i) {
        const quint32 row = quint32(rows ? (*rows)[i] : i);
        // Rows come ascending: the page moves on, linearly (the pages are passed at most once);
        // a row before the page is searched for.
        if (row < page->firstRow) {
            page = std::upper_bound(pages.constBegin(), page, row,
                                    [](quint32 r, const Page& p) { return r < p.firstRow; }) -
                   1;
        }
        while (page + 1 != pages.constEnd() && (page + 1)->firstRow <= row) {
            ++page;
        }
        const quint32 k = row - page->firstRow;
        out.append(page->listed < 0 ? (page->number << 8) | k : listed[page->listed + k]);
    }
    return out;
}

qsizetype TableIndex::bytes() const {
    qsizetype total = pages.size() * qsizetype(sizeof(Page)) + listed.size() * qsizetype(sizeof(quint32));
    for (const KeyArray& k : keys) {
        total += k.bytes();
    }
    return total;
}

namespace {

// The width a value needs.
int widthOf(qint32 v) {
    return qint8(v) == v ? 1 : qint16(v) == v ? 2 : 4;
}

void store(void* data, int width, qsizetype row, qint32 v) {
    if (width == 1) {
        static_cast<qint8*>(data)[row] = qint8(v);
    } else if (width == 2) {
        static_cast<qint16*>(data)[row] = qint16(v);
    } else {
        static_cast<qint32*>(data)[row] = v;
    }
}

void* valuesOf(KeyArray& a) {
    return a.width == 1   ? static_cast<void*>(a.v8.data())
           : a.width == 2 ? static_cast<void*>(a.v16.data())
                          : static_cast<void*>(a.v32.data());
}

}  // namespace

KeyCollector::KeyCollector(const PageFile& pages, const TableDef& table, std::vector<KeyArray>* keys,
                           TableIndex* rows, qsizetype knownRows)
    : pages_(pages), table_(table), layout_(pages, table), index_(rows), knownRows_(rows ? -1 : knownRows) {
    if (index_) {
        index_->pages.reserve(table.pages.size());
    }
    for (KeyArray& a : *keys) {
        const ColumnDef& col = table.columns[a.column];
        const int start = (pages.jet3() ? 1 : 2) + col.fixedOffset;
        a.width = 0;  // no array until the first value shows the width it needs
        columns_.push_back(Column{KeySpec{col.colNum, start, start + fixedSize(col.type), col.type}, &a,
                                  nullptr, nullptr, 0});
    }
    // Sized from the count the definition stores (bounded by what the pages can hold), grown if
    // short; a later scan for more columns meets the rows the first one found.
    allocate(knownRows_ >= 0
                 ? knownRows_
                 : qBound<qsizetype>(0, table.rowCountHint, qsizetype(table.pages.size()) * 256) + 16);
}

void KeyCollector::allocate(qsizetype capacity) {
    if (capacity > std::numeric_limits<int>::max()) {
        pages_.damaged();  // more rows than a table can hold
    }
    capacity_ = capacity;
    for (Column& c : columns_) {
        KeyArray& a = *c.array;
        if (a.width > 0) {  // else made at the first value
            (a.width == 1   ? a.v8.resize(capacity)
             : a.width == 2 ? a.v16.resize(capacity)
                            : a.v32.resize(capacity));
            c.data = valuesOf(a);
        }
        if (!a.nulls.isEmpty()) {
            a.nulls.resize(capacity);
            c.nulls = a.nulls.data();
        }
    }
}

// The column's first value, or one wider than its array so far: the array is made (again) in
// the width the value needs, the values before it copied once.
void KeyCollector::widen(Column& c, qint32 value) {
    KeyArray& a = *c.array;
    KeyArray wider;
    wider.width = qMax(a.width, widthOf(value));
    (wider.width == 1   ? wider.v8.resize(capacity_)
     : wider.width == 2 ? wider.v16.resize(capacity_)
                        : wider.v32.resize(capacity_));
    void* data = valuesOf(wider);
    for (qsizetype i = 0; i < rows_; ++i) {
        store(data, wider.width, i, a.at(i));
    }
    a.v8.swap(wider.v8);
    a.v16.swap(wider.v16);
    a.v32.swap(wider.v32);
    a.width = wider.width;
    c.width = a.width;
    c.data = valuesOf(a);
}

void KeyCollector::markNull(Column& c) {
    if (!c.nulls) {
        c.array->nulls.resize(capacity_);  // zeros: every earlier row had a value
        c.nulls = c.array->nulls.data();
    }
    c.nulls[rows_] = 1;
}

// The place of the next row of the current page.
void KeyCollector::locate(quint32 location) {
    inOrder_ = inOrder_ && location == ((pageNumber_ << 8) | quint32(pageCount_));
    pageRows_[pageCount_++] = location;
}

// The row is checked as the full read checks it (RowLayout), then its keys are taken. False when
// it is damaged and set aside.
bool KeyCollector::collect(const uchar* row, int len) {
    if (Q_UNLIKELY(table_.setDamagedRowsAside)) {
        try {
            layout_.crack(row, len, &cracked_);
        } catch (const ReadFailure&) {
            ++damaged_;
            return false;
        }
    } else {
        layout_.crack(row, len, &cracked_);
    }
    const qsizetype at = rows_;
    if (Q_UNLIKELY(at == capacity_)) {
        if (knownRows_ >= 0) {
            pages_.damaged();  // more rows than the scan before found
        }
        allocate(capacity_ * 2 + 16);
    }
    const int rowCols = cracked_.rowCols;
    const uchar* mask = cracked_.mask;
    const int fixedEnd = cracked_.varEnd;
    for (Column& c : columns_) {
        const KeySpec s = c.spec;
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
            markNull(c);
        }
        // Width and place kept in locals: the store below may alias anything.
        int width = c.width;
        if (Q_UNLIKELY(widthOf(v) > width)) {
            widen(c, v);
            width = c.width;
        }
        store(c.data, width, at, v);
    }
    rows_ = at + 1;
    return true;
}

// A row moved by an edit: its slot holds a pointer to where it lives now, on a page of the same
// table, flagged to be passed over there; a pointer may lead to another pointer (flagged so too).
// Returns where the row is, or 0 when it is set aside as damaged.
quint32 KeyCollector::collectMoved(const uchar* pointer) {
    if (other_.isEmpty()) {
        other_.resize(pages_.pageSize());
    }
    auto* p = reinterpret_cast<uchar*>(other_.data());
    quint32 target = u32(pointer);
    for (int hop = 0; hop < kMaxPointerHops; ++hop) {
        const quint32 number = target >> 8;
        const int row = int(target & 0xFF);
        pages_.read(number, 1, p);
        if (p[0] != kDataPage || u32(p + 4) != table_.tdefPage || row >= pages_.rowCount(p)) {
            pages_.damaged();
        }
        const RowSpan span = pages_.rowSpan(p, row);
        pages_.checkSpan(p, span);
        if (!(span.flags & kPassFlag)) {
            pages_.damaged();  // a row a scan meets in its own slot: it would be read twice
        }
        if (span.flags & kPointerFlag) {
            if (span.length() < 4) {
                pages_.damaged();
            }
            target = u32(p + span.start);
            continue;
        }
        movedTo_.append(target);
        return collect(p + span.start, span.length()) ? target : 0;
    }
    pages_.damaged();  // pointers that lead on without end
}

void KeyCollector::page(const uchar* page, quint32 number) {
    if (page[0] != kDataPage || u32(page + 4) != table_.tdefPage) {
        pages_.damaged();  // the owned-pages map names a page that is not this table's
    }
    rows(page, number);
}

void KeyCollector::rows(const uchar* page, quint32 number) {
    const int count = pages_.rowCount(page);
    pageCount_ = 0;
    inOrder_ = true;
    pageNumber_ = number;
    // The offsets table is checked to lie in the page (rowCount); each row must lie between it
    // and the start of the row before (or the page's end).
    const uchar* offsets = page + pages_.rowCountOffset() + 2;
    const int tableEnd = pages_.rowCountOffset() + 2 + 2 * count;
    const int pageSize = pages_.pageSize();
    int end = pageSize;
    for (int r = 0; r < count; ++r) {
        const int raw = u16(offsets + 2 * r);
        const int start = raw & kOffsetMask;
        const int rowEnd = end;
        end = start;
        if (raw & kPassFlag) {
            continue;  // deleted, or a moved row met at its slot
        }
        if (start < tableEnd || start >= rowEnd || rowEnd > pageSize) {
            pages_.damaged();
        }
        if (raw & kPointerFlag) {
            if (rowEnd - start < 4) {
                pages_.damaged();
            }
            if (const quint32 at = collectMoved(page + start)) {
                locate(at);
            }
            continue;
        }
        if (collect(page + start, rowEnd - start)) {
            locate((number << 8) | quint32(r));
        }
    }
    if (index_ && pageCount_ > 0) {
        qint32 listed = -1;
        if (!inOrder_) {
            listed = qint32(index_->listed.size());
            index_->listed.append(QVector<quint32>(pageRows_, pageRows_ + pageCount_));
        }
        index_->pages.append(TableIndex::Page{number, quint32(rows_ - pageCount_), listed});
    }
}

void KeyCollector::finish() {
    if (knownRows_ >= 0 && rows_ != knownRows_) {
        pages_.damaged();  // fewer rows than the scan before found
    }
    // A definition may count too few rows (as after a crash), but the pages must hold the rows
    // it counts: a cleared map or a page's zeroed count would otherwise show a table short.
    if (index_ && rows_ + damaged_ < table_.rowCountHint) {
        pages_.damaged();
    }
    std::sort(movedTo_.begin(), movedTo_.end());
    if (std::adjacent_find(movedTo_.cbegin(), movedTo_.cend()) != movedTo_.cend()) {
        pages_.damaged();  // two slots lead to one row
    }
    // Trimmed without a copy unless the stored count was far off.
    const bool squeeze = capacity_ - rows_ > rows_ / 8 + 1024;
    auto trim = [&](auto& v) {
        if (!v.isEmpty()) {
            v.resize(rows_);
            if (squeeze) {
                v.squeeze();
            }
        }
    };
    if (index_) {
        index_->rowCount = rows_;
        index_->damaged = damaged_;
        index_->pages.squeeze();
    }
    for (Column& c : columns_) {
        c.array->width = qMax(c.array->width, 1);  // a table without rows
        trim(c.array->v8);
        trim(c.array->v16);
        trim(c.array->v32);
        trim(c.array->nulls);
    }
}

}  // namespace jet
