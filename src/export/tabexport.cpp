#include "export/tabexport.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <cstring>
#include <exception>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "db/datasource.h"

namespace exporter {

namespace {

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

// The reason of a failed system call, worded for the user.
QString reasonFor(int error) {
    switch (error) {
        case ENOENT:
            return QStringLiteral("la cartella indicata non esiste");
        case ENOTDIR:
            return QStringLiteral("il percorso indicato non è valido");
        case EACCES:
        case EPERM:
            return QStringLiteral("accesso negato");
        case EROFS:
            return QStringLiteral("il disco è protetto in scrittura");
        case ENOSPC:
#ifdef EDQUOT
        case EDQUOT:
#endif
            return QStringLiteral("spazio su disco esaurito");
        case EFBIG:
            return QStringLiteral("il file è troppo grande");
        case EISDIR:
            return QStringLiteral("il nome indicato è quello di una cartella");
        case ENAMETOOLONG:
            return QStringLiteral("il nome del file è troppo lungo");
        case EINVAL:
            return QStringLiteral("il nome del file non è valido");
        case ETXTBSY:
        case EBUSY:
            return QStringLiteral("il file è in uso");
        case EMFILE:
        case ENFILE:
            return QStringLiteral("troppi file aperti");
        case EIO:
            return QStringLiteral("errore di lettura o scrittura sul disco");
        default:
            return QString::fromLocal8Bit(std::strerror(error));
    }
}

// The file, written through a small buffer so that a large export never sits in memory.
class OutputFile {
  public:
    ~OutputFile() { close(); }

    bool open(const QString& path) {
        const QByteArray name = QFile::encodeName(path);
        do {
            fd_ = ::open(name.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
        } while (fd_ < 0 && errno == EINTR);
        if (fd_ < 0) {
            error_ = errno;
            return false;
        }
        return true;
    }

    bool write(const QByteArray& bytes) {
        buffer_.append(bytes);
        return buffer_.size() < kBufferSize || flush();
    }

    bool flush() {
        const char* data = buffer_.constData();
        qsizetype left = buffer_.size();
        while (left > 0) {
            const ssize_t done = ::write(fd_, data, static_cast<size_t>(left));
            if (done < 0) {
                if (errno == EINTR) {
                    continue;
                }
                error_ = errno;
                buffer_.clear();
                return false;
            }
            data += done;
            left -= done;
        }
        buffer_.clear();
        return true;
    }

    // Flushes what is buffered (unless a write already failed) and releases the file.
    bool close() {
        if (fd_ < 0) {
            return error_ == 0;
        }
        bool ok = error_ == 0 && flush();
        if (::close(fd_) != 0 && ok) {
            error_ = errno;
            ok = false;
        }
        fd_ = -1;
        return ok;
    }

    int error() const { return error_; }

  private:
    static constexpr qsizetype kBufferSize = 64 * 1024;
    int fd_ = -1;
    int error_ = 0;
    QByteArray buffer_;
};

// True when both names lead to one existing file.
bool sameFile(const QString& a, const QString& b) {
    if (a.isEmpty() || b.isEmpty()) {
        return false;
    }
    struct stat first {};
    struct stat second {};
    return ::stat(QFile::encodeName(a).constData(), &first) == 0 &&
           ::stat(QFile::encodeName(b).constData(), &second) == 0 && first.st_dev == second.st_dev &&
           first.st_ino == second.st_ino;
}

}  // namespace

QByteArray toWindows1252(QStringView text) {
    // At most one byte a UTF-16 unit: sized once, cut to what was used.
    QByteArray bytes(text.size(), Qt::Uninitialized);
    char* out = bytes.data();
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size; ++i) {
        char32_t c = text[i].unicode();
        // A character beyond the basic plane is one character: one "?", not two.
        if (QChar::isHighSurrogate(c) && i + 1 < size && text[i + 1].isLowSurrogate()) {
            c = QChar::surrogateToUcs4(text[i], text[i + 1]);
            ++i;
        }
        *out++ = windows1252Byte(c);
    }
    bytes.truncate(out - bytes.constData());
    return bytes;
}

ExportResult writeExport(db::Recordset& rows, const QStringList& captions, const QString& path,
                         const QString& archive) {
    ExportResult result;
    result.path = path;

    rows.MoveFirst();
    if (rows.isEOF()) {
        result.status = ExportResult::Status::NoRows;
        return result;
    }

    if (path.isEmpty()) {
        result.status = ExportResult::Status::OpenFailed;
        result.reason = QStringLiteral("il nome del file è vuoto");
        return result;
    }

    // Opening for output empties the file: the archive the windows read must never be the target.
    if (sameFile(path, archive)) {
        result.status = ExportResult::Status::Refused;
        result.reason = QStringLiteral("è l'archivio dei dati, che il programma non modifica");
        return result;
    }

    OutputFile file;
    if (!file.open(path)) {
        result.status = ExportResult::Status::OpenFailed;
        result.reason = reasonFor(file.error());
        return result;
    }

    static const QByteArray kLineEnd("\r\n");
    QByteArray line;
    for (const QString& caption : captions) {
        line += toWindows1252(caption);
        line += '\t';
    }
    line += kLineEnd;
    bool written = file.write(line);

    try {
        while (written && !rows.isEOF()) {
            line.resize(0);  // keeps its room for the next row
            const int fields = rows.fieldCount();
            for (int field = 0; field < fields; ++field) {
                line += toWindows1252(rows.text(field));
                line += '\t';
            }
            line += kLineEnd;
            written = file.write(line);
            if (written) {
                ++result.rowsWritten;
            }
            rows.MoveNext();
        }
    } catch (const std::exception& error) {
        file.close();
        result.status = ExportResult::Status::ReadFailed;
        result.reason = QString::fromLocal8Bit(error.what());
        return result;
    } catch (...) {
        file.close();
        result.status = ExportResult::Status::ReadFailed;
        result.reason = QStringLiteral("errore nella lettura dei dati");
        return result;
    }

    if (!file.close() || !written) {
        result.status = ExportResult::Status::WriteFailed;
        result.reason = reasonFor(file.error());
    }
    return result;
}

QString failureMessage(const ExportResult& result) {
    const QString name = QDir::toNativeSeparators(result.path);
    switch (result.status) {
        case ExportResult::Status::OpenFailed:
        case ExportResult::Status::Refused:
            return QStringLiteral("Impossibile creare il file «%1»: %2.").arg(name, result.reason);
        case ExportResult::Status::WriteFailed:
            return QStringLiteral(
                       "Impossibile scrivere il file «%1»: %2. Il file contiene solo i dati scritti "
                       "prima dell'errore.")
                .arg(name, result.reason);
        case ExportResult::Status::ReadFailed:
            return QStringLiteral(
                       "Errore nella lettura dei dati da esportare nel file «%1»: %2. Il file contiene "
                       "solo i dati scritti prima dell'errore.")
                .arg(name, result.reason);
        case ExportResult::Status::Written:
        case ExportResult::Status::NoRows:
            break;
    }
    return QString();
}

}  // namespace exporter
