// The tab-separated writer (see tabwriter.h).
#include "jet/tabwriter.h"

#include <QFile>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <unistd.h>

namespace jet {

namespace {

// Big enough that writing costs few system calls, small enough to stay in the cache.
constexpr qsizetype kBufferSize = 64 * 1024;

// Unicode characters of the bytes 0x80-0x9F in Windows-1252; 0 where the code page has none.
constexpr char16_t kHighBlock[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

char windows1252Byte(char32_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
        return static_cast<char>(c);
    }
    for (int i = 0; i < 32; ++i) {
        if (kHighBlock[i] != 0 && kHighBlock[i] == c) {
            return static_cast<char>(0x80 + i);
        }
    }
    return '?';
}

// Writes at most one byte a UTF-16 unit at `out`; returns the end of what it wrote.
char* windows1252(QStringView text, char* out) {
    const qsizetype size = text.size();
    const char16_t* s = text.utf16();
    for (qsizetype i = 0; i < size; ++i) {
        char32_t c = s[i];
        if (c < 0x80) {
            *out++ = static_cast<char>(c);
            continue;
        }
        // A character beyond the basic plane is one character: one "?", not two.
        if (QChar::isHighSurrogate(c) && i + 1 < size && QChar::isLowSurrogate(s[i + 1])) {
            c = QChar::surrogateToUcs4(char16_t(c), s[i + 1]);
            ++i;
        }
        *out++ = windows1252Byte(c);
    }
    return out;
}

}  // namespace

void appendWindows1252(QStringView text, QByteArray* bytes) {
    const qsizetype start = bytes->size();
    bytes->resize(start + text.size());
    char* end = windows1252(text, bytes->data() + start);
    bytes->truncate(end - bytes->constData());
}

TabWriter::TabWriter(Encoding encoding, const QLocale& locale)
    : encoding_(encoding), format_(locale), buffer_(kBufferSize, Qt::Uninitialized) {
    end_ = buffer_.data();
}

TabWriter::~TabWriter() {
    close();
}

bool TabWriter::open(const QString& path) {
    close();
    const QByteArray name = QFile::encodeName(path);
    do {
        fd_ = ::open(name.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    } while (fd_ < 0 && errno == EINTR);
    if (fd_ < 0) {
        error_ = errno;
        return false;
    }
    owned_ = true;
    error_ = 0;
    return true;
}

void TabWriter::attach(int fd) {
    close();
    fd_ = fd;
    owned_ = false;
    error_ = 0;
}

bool TabWriter::flush() {
    const char* data = buffer_.constData();
    size_t left = size_t(end_ - data);
    end_ = buffer_.data();
    while (left > 0 && error_ == 0) {
        if (fd_ < 0) {
            error_ = EBADF;
            break;
        }
        const ssize_t done = ::write(fd_, data, left);
        if (done < 0) {
            if (errno != EINTR) {
                error_ = errno;
            }
            continue;
        }
        data += done;
        left -= size_t(done);
    }
    return error_ == 0;
}

bool TabWriter::close() {
    flush();
    if (fd_ >= 0 && owned_ && ::close(fd_) != 0 && error_ == 0) {
        error_ = errno;
    }
    fd_ = -1;
    owned_ = false;
    return error_ == 0;
}

void TabWriter::reserve(qsizetype bytes) {
    if ((end_ - buffer_.constData()) + bytes <= buffer_.size()) {
        return;
    }
    flush();
    if (bytes > buffer_.size()) {
        buffer_.resize(bytes);  // one long text: the buffer grows to hold it
        end_ = buffer_.data();
    }
}

void TabWriter::appendText(QStringView text) {
    const qsizetype size = text.size();
    if (encoding_ == Encoding::Windows1252) {
        reserve(size + 1);  // and the tab
        end_ = windows1252(text, end_);
        return;
    }
    reserve(3 * size + 1);  // UTF-8 takes at most three bytes a UTF-16 unit
    const char16_t* s = text.utf16();
    qsizetype i = 0;
    while (i < size && s[i] < 0x80) {
        end_[i] = static_cast<char>(s[i]);
        ++i;
    }
    if (i == size) {
        end_ += size;
        return;
    }
    const QByteArray utf8 = text.toUtf8();  // the few texts beyond ASCII, encoded as Qt encodes them
    std::memcpy(end_, utf8.constData(), size_t(utf8.size()));
    end_ += utf8.size();
}

bool TabWriter::endLine() {
    reserve(2);
    *end_++ = '\r';
    *end_++ = '\n';
    return error_ == 0;
}

bool TabWriter::writeHeader(const QStringList& captions) {
    for (const QString& caption : captions) {
        appendText(caption);
        endCell();
    }
    return endLine();
}

bool TabWriter::writeRow(const RecordSet& rows, int row) {
    const int fields = rows.fieldCount();
    for (int field = 0; field < fields; ++field) {
        appendText(rows.textView(row, field, format_, &cell_));
        endCell();
    }
    return endLine();
}

bool TabWriter::writeRow(const RowCells& cells) {
    const int fields = cells.fieldCount();
    for (int field = 0; field < fields; ++field) {
        appendText(cells.textView(field, format_, &cell_));
        endCell();
    }
    return endLine();
}

}  // namespace jet
