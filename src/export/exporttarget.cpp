#include "export/exporttarget.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>

#include <sys/stat.h>
#include <unistd.h>
#ifdef Q_OS_LINUX
#include <linux/magic.h>
#include <sys/vfs.h>
#endif

#include "db/location.h"
#include "runtime/seams.h"

namespace exporter {

namespace {

// Follows the chain of symbolic links that `path` starts, dangling ones included: writing through
// a dangling link creates its target, which may be the archive's name.
QString followLinks(const QString& path) {
    QString current = QDir::cleanPath(QDir::current().absoluteFilePath(path));
    for (int hop = 0; hop < 40; ++hop) {  // as many as the kernel follows
        struct stat info {};
        if (::lstat(QFile::encodeName(current).constData(), &info) != 0 || !S_ISLNK(info.st_mode)) {
            break;
        }
        const QString target = QFile::symLinkTarget(current);
        if (target.isEmpty()) {
            break;
        }
        current = QDir::cleanPath(QFileInfo(current).dir().absoluteFilePath(target));
    }
    return current;
}

// The folder with every link in it resolved, when it exists; otherwise as written.
QString canonicalFolder(const QString& folder) {
    const QString canonical = QFileInfo(folder).canonicalFilePath();
    return canonical.isEmpty() ? QDir::cleanPath(QDir::current().absoluteFilePath(folder)) : canonical;
}

// The kernel's pseudo file systems: their files are settings and live state, not data.
bool onKernelFileSystem(const QString& folder) {
#ifdef Q_OS_LINUX
    struct statfs info {};
    if (::statfs(QFile::encodeName(folder).constData(), &info) != 0) {
        return false;
    }
    switch (static_cast<unsigned long>(info.f_type)) {
        case PROC_SUPER_MAGIC:
        case SYSFS_MAGIC:
        case DEBUGFS_MAGIC:
        case TRACEFS_MAGIC:
        case SECURITYFS_MAGIC:
        case CGROUP_SUPER_MAGIC:
        case CGROUP2_SUPER_MAGIC:
        case BPF_FS_MAGIC:
        case PSTOREFS_MAGIC:
        case EFIVARFS_MAGIC:
            return true;
        default:
            return false;
    }
#else
    Q_UNUSED(folder);
    return false;
#endif
}

TargetCheck refuse(const QString& reason) {
    return TargetCheck{true, reason};
}

}  // namespace

bool sameFile(const QString& a, const QString& b) {
    struct stat first {};
    struct stat second {};
    return !a.isEmpty() && !b.isEmpty() && ::stat(QFile::encodeName(a).constData(), &first) == 0 &&
           ::stat(QFile::encodeName(b).constData(), &second) == 0 && first.st_dev == second.st_dev &&
           first.st_ino == second.st_ino;
}

QString archiveRefusal() {
    return QStringLiteral("è l'archivio dei dati, che il programma non modifica");
}

TargetCheck checkExportTarget(const QString& target, const QString& programFolder, const QString& archive) {
    if (target.isEmpty()) {
        return {};
    }
    const QString written = followLinks(target);
    const QFileInfo writtenInfo(written);
    const QString folder = canonicalFolder(writtenInfo.path());

    // The existing message for the archive: the user chose, by whatever name, the file the
    // windows read or the one they would read next.
    const QString archiveReason = archiveRefusal();
    if (sameFile(target, archive)) {
        return refuse(archiveReason);
    }
    if (!programFolder.isEmpty() && folder == canonicalFolder(programFolder) &&
        writtenInfo.fileName().compare(QLatin1String(db::kDatabaseFileName), Qt::CaseInsensitive) == 0) {
        return refuse(archiveReason);
    }

    struct stat info {};
    if (::stat(QFile::encodeName(written).constData(), &info) == 0 &&
        (S_ISFIFO(info.st_mode) || S_ISSOCK(info.st_mode) || S_ISBLK(info.st_mode))) {
        return refuse(QStringLiteral("è un file speciale, non un file di dati"));
    }
    if (onKernelFileSystem(folder)) {
        return refuse(QStringLiteral("è un file di sistema, non un file di dati"));
    }
    return {};
}

QString errorReason(int error) {
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

void refuseInDialog(seams::SaveRequest& request) {
    request.refusal = [](const QString& file) {
        // A folder typed that is not there: said while the user can still pick another.
        const QFileInfo folder(QFileInfo(file).absolutePath());
        if (!folder.exists() || !folder.isDir()) {
            return errorReason(folder.exists() ? ENOTDIR : ENOENT);
        }
        const QString archive = db::resolveCaseInsensitive(db::databaseLocation());
        return checkExportTarget(file, db::programFolder(), archive).reason;
    };
}

}  // namespace exporter
