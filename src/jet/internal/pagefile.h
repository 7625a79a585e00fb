// The file as an array of pages: bounded reads, rows inside a page, usage maps, long values.
#pragma once

#include <QByteArray>
#include <QString>
#include <QVector>

#include <cstdlib>
#include <memory>

#include "jet/internal/filebytes.h"

namespace jet {

constexpr int kOffsetMask = 0x1FFF;
// Flags on a row's offset, as Access sets them: 0x4000 alone on the slot of a row an edit made too
// long for it (the slot holds a 4-byte pointer to the row's new place); 0x8000 alone on the row at
// that place, which a scan passes over there; both on a deleted row (and on a pointer that leads
// on to another pointer).
constexpr int kPointerFlag = 0x4000;
constexpr int kPassFlag = 0x8000;
// Links a moved row's pointers may pass through before reaching it.
constexpr int kMaxPointerHops = 8;

// Page types (byte 0 of a page).
constexpr uchar kDataPage = 0x01;
constexpr uchar kTableDefinitionPage = 0x02;
constexpr uchar kUsageBitmapPage = 0x05;

// Memory for pages read in runs, aligned as the system's pages: the kernel copies into aligned
// memory measurably faster (about 15% of a scan's reading time).
class PageBuffer {
  public:
    explicit PageBuffer(qsizetype bytes);
    uchar* data() const { return data_.get(); }

  private:
    struct Free {
        void operator()(uchar* p) const { std::free(p); }
    };
    std::unique_ptr<uchar, Free> data_;
};

// Where a row lies inside its page.
struct RowSpan {
    int start = 0;
    int end = 0;
    int flags = 0;  // kPointerFlag, kPassFlag
    int length() const { return end - start; }
};

class PageFile {
  public:
    PageFile() = default;
    PageFile(const PageFile&) = delete;
    PageFile& operator=(const PageFile&) = delete;
    ~PageFile();

    // Takes ownership of the descriptor.
    void attach(int fd, const QString& path, qint64 size, int pageSize, bool jet3);

    int pageSize() const { return pageSize_; }
    quint32 pageCount() const { return pageCount_; }
    bool jet3() const { return jet3_; }
    qint64 size() const { return size_; }
    const QString& path() const { return path_; }
    int rowCountOffset() const { return jet3_ ? 8 : 12; }

    // The damaged-file error of this file, thrown.
    [[noreturn]] void damaged() const;

    // Reads `count` pages from `first` into `buffer`; a page past the end is damage.
    void read(quint32 first, int count, uchar* buffer) const;
    QByteArray page(quint32 number) const;

    // Row `row` of a page (any type holding rows): its bounds, checked against the page unless
    // the row carries the pointer flag (then only checkSpan checks them).
    RowSpan rowSpan(const uchar* page, int row) const;
    void checkSpan(const uchar* page, const RowSpan& span) const;
    int rowCount(const uchar* page) const;
    // The bytes of the row a pg_row pointer names.
    QByteArray rowAt(quint32 pgRow) const;

    // The pages a usage map lists, in order; every one inside the file.
    QVector<quint32> mapPages(const QByteArray& map) const;

    // A Memo or OLE value from its 12-byte header (and inline data) in a row.
    QByteArray longValue(const uchar* cell, int cellLength) const;
    // What of a long value's header can be checked without reading another page: its length
    // within the file, its form, inline data inside the cell, a pointer to a page of the file.
    void checkLongValue(const uchar* cell, int cellLength) const;

  private:
    int fd_ = -1;
    QString path_;
    qint64 size_ = 0;
    int pageSize_ = 4096;
    quint32 pageCount_ = 0;
    bool jet3_ = false;
};

// Inline: these run for every row of a scan.
inline int PageFile::rowCount(const uchar* page) const {
    const int rco = rowCountOffset();
    const int count = u16(page + rco);
    // The offsets table must fit in the page, and a pg_row addresses at most 256 rows.
    if (count > 256 || rco + 2 + 2 * count > pageSize_) {
        damaged();
    }
    return count;
}

inline RowSpan PageFile::rowSpan(const uchar* page, int row) const {
    const int rco = rowCountOffset();
    const int raw = u16(page + rco + 2 + 2 * row);
    RowSpan span;
    span.flags = raw & (kPointerFlag | kPassFlag);
    span.start = raw & kOffsetMask;
    // A row ends where the one before it starts.
    span.end = row == 0 ? pageSize_ : (u16(page + rco + 2 * row) & kOffsetMask);
    if (!(span.flags & kPointerFlag)) {
        checkSpan(page, span);
    }
    return span;
}

inline void PageFile::checkSpan(const uchar* page, const RowSpan& span) const {
    const int rco = rowCountOffset();
    const int tableEnd = rco + 2 + 2 * u16(page + rco);
    if (span.start < tableEnd || span.start >= span.end || span.end > pageSize_) {
        damaged();
    }
}

}  // namespace jet
