#include "export/zipfile.h"

#include <zlib.h>

#include <limits>

namespace exporter {

namespace {

constexpr quint64 kLimit = std::numeric_limits<quint32>::max();

void le16(QByteArray& b, quint32 v) {
    b.append(char(v & 0xff)).append(char((v >> 8) & 0xff));
}
void le32(QByteArray& b, quint64 v) {
    le16(b, quint32(v & 0xffff));
    le16(b, quint32((v >> 16) & 0xffff));
}

}  // namespace

struct ZipFile::Stream {
    z_stream z{};
    bool ready = false;
    ~Stream() {
        if (ready) {
            deflateEnd(&z);
        }
    }
};

ZipFile::ZipFile(QIODevice* out, QDateTime stamp) : out_(out), buffer_(1 << 16, '\0') {
    // MS-DOS time: two-second steps, years from 1980.
    const QDate d = stamp.date();
    const QTime t = stamp.time();
    date_ = quint16(((qMax(d.year(), 1980) - 1980) << 9) | (d.month() << 5) | d.day());
    time_ = quint16((t.hour() << 11) | (t.minute() << 5) | (t.second() / 2));
}

ZipFile::~ZipFile() = default;

bool ZipFile::fail(const QString& reason) {
    if (error_.isEmpty()) {
        error_ = reason;
    }
    return false;
}

bool ZipFile::put(const QByteArray& bytes) {
    if (out_->write(bytes) != bytes.size()) {
        return fail(QStringLiteral("errore di scrittura sul disco"));
    }
    return true;
}

bool ZipFile::begin(const QByteArray& name, bool deflate) {
    if (!error_.isEmpty() || open_) {
        return fail(QStringLiteral("errore interno dell'archivio zip"));
    }
    Entry entry;
    entry.name = name;
    entry.deflate = deflate;
    entry.offset = quint64(out_->pos());
    entry.crc = quint32(crc32(0, nullptr, 0));
    if (entry.offset > kLimit) {
        return fail(QStringLiteral("il file è troppo grande"));
    }
    QByteArray header;
    le32(header, 0x04034b50);
    le16(header, 20);  // version needed: 2.0
    le16(header, 0);   // flags
    le16(header, deflate ? 8 : 0);
    le16(header, time_);
    le16(header, date_);
    le32(header, 0);  // crc, sizes: completed by end()
    le32(header, 0);
    le32(header, 0);
    le16(header, quint32(name.size()));
    le16(header, 0);
    header += name;
    entries_.push_back(entry);
    open_ = true;
    if (deflate) {
        z_ = std::make_unique<Stream>();
        // Raw deflate (no zlib header), level 3: the sheet's XML repeats itself, a higher level
        // gains little and costs much time on a hundred thousand rows.
        if (deflateInit2(&z_->z, 3, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK) {
            return fail(QStringLiteral("memoria insufficiente"));
        }
        z_->ready = true;
    }
    return put(header);
}

bool ZipFile::pump(int flush) {
    z_stream& z = z_->z;
    do {
        z.next_out = reinterpret_cast<Bytef*>(buffer_.data());
        z.avail_out = uInt(buffer_.size());
        const int status = deflate(&z, flush);
        if (status == Z_STREAM_ERROR) {
            return fail(QStringLiteral("errore nella compressione"));
        }
        const qint64 produced = buffer_.size() - qint64(z.avail_out);
        if (produced > 0 && out_->write(buffer_.constData(), produced) != produced) {
            return fail(QStringLiteral("errore di scrittura sul disco"));
        }
        entries_.back().packed += quint64(produced);
        if (flush == Z_FINISH && status == Z_STREAM_END) {
            return true;
        }
    } while (z.avail_out == 0 || flush == Z_FINISH);
    return true;
}

bool ZipFile::write(const char* data, qint64 size) {
    if (!error_.isEmpty() || !open_) {
        return false;
    }
    Entry& entry = entries_.back();
    entry.size += quint64(size);
    if (entry.size > kLimit) {
        return fail(QStringLiteral("il file è troppo grande"));
    }
    entry.crc = quint32(crc32(entry.crc, reinterpret_cast<const Bytef*>(data), uInt(size)));
    if (!entry.deflate) {
        entry.packed += quint64(size);
        if (out_->write(data, size) != size) {
            return fail(QStringLiteral("errore di scrittura sul disco"));
        }
        return true;
    }
    z_->z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data));
    z_->z.avail_in = uInt(size);
    return pump(Z_NO_FLUSH);
}

bool ZipFile::end() {
    if (!error_.isEmpty() || !open_) {
        return false;
    }
    Entry& entry = entries_.back();
    if (entry.deflate) {
        z_->z.next_in = nullptr;
        z_->z.avail_in = 0;
        if (!pump(Z_FINISH)) {
            return false;
        }
        z_.reset();
    }
    open_ = false;
    if (entry.packed > kLimit) {
        return fail(QStringLiteral("il file è troppo grande"));
    }
    const qint64 here = out_->pos();
    QByteArray sizes;
    le32(sizes, entry.crc);
    le32(sizes, entry.packed);
    le32(sizes, entry.size);
    if (!out_->seek(qint64(entry.offset) + 14) || !put(sizes) || !out_->seek(here)) {
        return fail(QStringLiteral("errore di scrittura sul disco"));
    }
    return true;
}

bool ZipFile::add(const QByteArray& name, const QByteArray& data, bool deflate) {
    return begin(name, deflate) && write(data) && end();
}

bool ZipFile::finish() {
    if (!error_.isEmpty() || open_) {
        return false;
    }
    const quint64 start = quint64(out_->pos());
    QByteArray directory;
    for (const Entry& e : entries_) {
        le32(directory, 0x02014b50);
        le16(directory, 20);  // made by: 2.0
        le16(directory, 20);
        le16(directory, 0);
        le16(directory, e.deflate ? 8 : 0);
        le16(directory, time_);
        le16(directory, date_);
        le32(directory, e.crc);
        le32(directory, e.packed);
        le32(directory, e.size);
        le16(directory, quint32(e.name.size()));
        le16(directory, 0);  // extra
        le16(directory, 0);  // comment
        le16(directory, 0);  // disk
        le16(directory, 0);  // internal attributes
        le32(directory, 0);  // external attributes
        le32(directory, e.offset);
        directory += e.name;
    }
    if (start + quint64(directory.size()) > kLimit || entries_.size() > 0xffff) {
        return fail(QStringLiteral("il file è troppo grande"));
    }
    QByteArray tail;
    le32(tail, 0x06054b50);
    le16(tail, 0);
    le16(tail, 0);
    le16(tail, quint32(entries_.size()));
    le16(tail, quint32(entries_.size()));
    le32(tail, quint64(directory.size()));
    le32(tail, start);
    le16(tail, 0);
    return put(directory) && put(tail);
}

}  // namespace exporter
