// Reading pages and the structures that live in them. Every offset, count and pointer taken from
// the file is checked against the page or the file before it is used.
#include "jet/internal/pagefile.h"

#include <QSet>

#include <unistd.h>

#include <new>

#include "jet/internal/types.h"

namespace jet {

PageBuffer::PageBuffer(qsizetype bytes) {
    constexpr qsizetype kAlign = 4096;
    const qsizetype size = (qMax<qsizetype>(bytes, 1) + kAlign - 1) / kAlign * kAlign;
    data_.reset(static_cast<uchar*>(std::aligned_alloc(kAlign, size_t(size))));
    if (!data_) {
        throw std::bad_alloc();
    }
}

PageFile::~PageFile() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
}

void PageFile::attach(int fd, const QString& path, qint64 size, int pageSize, bool jet3) {
    fd_ = fd;
    path_ = path;
    size_ = size;
    pageSize_ = pageSize;
    jet3_ = jet3;
    pageCount_ = quint32(qMin<qint64>(size / pageSize, 0xFFFFFF));
}

void PageFile::damaged() const {
    throw ReadFailure{errors::damagedArchive(path_)};
}

void PageFile::read(quint32 first, int count, uchar* buffer) const {
    if (count <= 0 || first >= pageCount_ || quint32(count) > pageCount_ - first) {
        damaged();
    }
    const qint64 bytes = qint64(count) * pageSize_;
    qint64 done = 0;
    while (done < bytes) {
        const ssize_t n = ::pread(fd_, buffer + done, size_t(bytes - done), qint64(first) * pageSize_ + done);
        if (n <= 0) {
            damaged();  // the file shrank, or cannot be read
        }
        done += n;
    }
}

QByteArray PageFile::page(quint32 number) const {
    QByteArray b(pageSize_, Qt::Uninitialized);
    read(number, 1, reinterpret_cast<uchar*>(b.data()));
    return b;
}

QByteArray PageFile::rowAt(quint32 pgRow) const {
    const quint32 number = pgRow >> 8;
    const int row = int(pgRow & 0xFF);
    if (number == 0) {
        damaged();
    }
    const QByteArray bytes = page(number);
    const auto* p = reinterpret_cast<const uchar*>(bytes.constData());
    if (row >= rowCount(p)) {
        damaged();
    }
    const RowSpan span = rowSpan(p, row);
    if (span.flags & kPointerFlag) {
        damaged();  // deleted, or a pointer: no long value or map lives there
    }
    return bytes.mid(span.start, span.length());
}

QVector<quint32> PageFile::mapPages(const QByteArray& map) const {
    QVector<quint32> pages;
    const auto* m = reinterpret_cast<const uchar*>(map.constData());
    if (map.size() < 5) {
        damaged();
    }
    auto add = [&](quint64 number) {
        if (number >= pageCount_ || number == 0) {
            damaged();
        }
        pages.append(quint32(number));
    };
    if (m[0] == 0) {
        // Inline: a start page and a bitmap.
        const quint64 base = u32(m + 1);
        for (qint64 i = 0; i < qint64(map.size() - 5) * 8; ++i) {
            if (m[5 + i / 8] & (1 << (i % 8))) {
                add(base + quint64(i));
            }
        }
        return pages;
    }
    if (m[0] != 1) {
        damaged();
    }
    // Reference: pages of bitmaps, each covering the pages its bits can number.
    const quint64 bits = quint64(pageSize_ - 4) * 8;
    for (int k = 0; k < (map.size() - 1) / 4; ++k) {
        const quint32 bitmapPage = u32(m + 1 + 4 * k);
        if (!bitmapPage) {
            continue;
        }
        const QByteArray bitmap = page(bitmapPage);
        const auto* b = reinterpret_cast<const uchar*>(bitmap.constData());
        if (b[0] != kUsageBitmapPage) {
            damaged();
        }
        for (quint64 i = 0; i < bits; ++i) {
            if (b[4 + i / 8] & (1 << (i % 8))) {
                add(quint64(k) * bits + i);
            }
        }
    }
    return pages;
}

void PageFile::checkLongValue(const uchar* cell, int cellLength) const {
    if (cellLength < 12) {
        damaged();
    }
    // Three bytes of length, then the form: 0x80 inline, 0x40 one row, 0x00 a chain of rows.
    const qint64 length = u32(cell) & 0x00FFFFFF;
    const uchar form = cell[3];
    if (length > size_ || (form != 0x80 && form != 0x40 && form != 0x00)) {
        damaged();  // no value is larger than the file that holds it
    }
    const quint32 page = u32(cell + 4) >> 8;
    if (form == 0x80 ? 12 + length > cellLength
                     : (form == 0x40 || length > 0) && (page == 0 || page >= pageCount_)) {
        damaged();  // inline data past the cell, or a pointer to page 0 or past the end
    }
}

QByteArray PageFile::longValue(const uchar* cell, int cellLength) const {
    checkLongValue(cell, cellLength);
    const qint64 length = u32(cell) & 0x00FFFFFF;
    const uchar form = cell[3];
    if (form == 0x80) {
        // Inline: the data follows the header in the row.
        return QByteArray(reinterpret_cast<const char*>(cell) + 12, int(length));
    }
    if (form == 0x40) {
        // One row of a long-value page holds it all.
        const QByteArray row = rowAt(u32(cell + 4));
        if (row.size() < length) {
            damaged();
        }
        return row.left(int(length));
    }
    // A chain of rows, each naming the next: bounded by the length and by the rows visited.
    QByteArray out;
    out.reserve(int(length));
    QSet<quint32> visited;
    quint32 next = u32(cell + 4);
    while (out.size() < length) {
        if (next == 0 || visited.contains(next)) {
            damaged();  // ends early, or loops
        }
        visited.insert(next);
        const QByteArray row = rowAt(next);
        if (row.size() <= 4) {
            damaged();  // every link carries data: the hops stay below the length
        }
        next = u32(reinterpret_cast<const uchar*>(row.constData()));
        out.append(row.constData() + 4, int(qMin<qint64>(row.size() - 4, length - out.size())));
    }
    return out;
}

}  // namespace jet
