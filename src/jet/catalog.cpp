// Opening a file: the header, then the catalog (MSysObjects, whose definition is always on
// page 2), then table definitions on demand.
#include <QFileInfo>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "jet/internal/header.h"
#include "jet/internal/jetfile.h"
#include "jet/internal/keyarrays.h"
#include "jet/internal/properties.h"
#include "jet/internal/tabledef.h"
#include "jet/internal/types.h"

namespace jet {

namespace {

constexpr int kTypeMask = 0x7F;
constexpr int kTableObject = 1;
constexpr int kQueryObject = 5;
constexpr quint32 kSystemFlags = 0x80000002u;

// A file's identity and state: its path, then device, inode, size and the times of its last
// write and last change (nanoseconds). Any other value at the same path is another file or the
// same file changed.
QString fileKeyOf(const QString& absolutePath, const struct stat& st) {
    auto ns = [](const timespec& t) { return QString::number(qint64(t.tv_sec) * 1000000000 + t.tv_nsec); };
    return absolutePath + QLatin1Char('|') + QString::number(quint64(st.st_dev)) + QLatin1Char('|') +
           QString::number(quint64(st.st_ino)) + QLatin1Char('|') + QString::number(qint64(st.st_size)) +
           QLatin1Char('|') + ns(st.st_mtim) + QLatin1Char('|') + ns(st.st_ctim);
}

// The error for a path that is not an openable file, or no error.
Error pathError(const QString& path, const QFileInfo& info) {
    if (path.trimmed().isEmpty() || !info.exists()) {
        const QFileInfo folder(info.absolutePath());
        return (!path.trimmed().isEmpty() && (!folder.exists() || !folder.isDir()))
                   ? errors::invalidPath(path)
                   : errors::fileNotFound(path);
    }
    if (info.isDir()) {
        return errors::invalidPath(path);
    }
    return Error();
}

const CatalogObject* findIn(const QList<CatalogObject>& list, const QString& name) {
    const QString key = foldKey(name);
    for (const CatalogObject& o : list) {
        if (o.key == key) {
            return &o;
        }
    }
    return nullptr;
}

}  // namespace

std::unique_ptr<JetFile> JetFile::open(const QString& path, Error* error) {
    const QFileInfo info(path);
    *error = pathError(path, info);
    if (error->isError()) {
        return nullptr;
    }
    const QByteArray native = QFile::encodeName(info.absoluteFilePath());
    const int fd = ::open(native.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        *error = errno == EACCES ? errors::noReadPermission(path) : errors::cannotOpen(path);
        return nullptr;
    }
    std::unique_ptr<JetFile> file(new JetFile);
    file->path_ = path;
    struct stat st {};
    if (::fstat(fd, &st) == 0) {  // the file as opened, even if the path changes meanwhile
        file->fileKey_ = fileKeyOf(info.absoluteFilePath(), st);
    }
    uchar bytes[kHeaderBytes] = {};
    const ssize_t got = ::pread(fd, bytes, sizeof bytes, 0);
    FileHeader header;
    if (got != ssize_t(sizeof bytes) || !parseHeader(bytes, &header)) {
        ::close(fd);
        *error =
            got < 0 && errno == EACCES ? errors::noReadPermission(path) : errors::unrecognizedFormat(path);
        return nullptr;
    }
    file->pages_.attach(fd, path, info.size(), header.pageSize, header.jet3);
    if (header.encrypted || header.password) {
        *error = errors::invalidPassword();  // never read: the program asks for no password
        return nullptr;
    }
    file->version_ = header.version;
    if (header.jet3) {
        file->text_.setJet3CodePage(header.codePage);
    } else {
        file->text_.setUnicode();
    }
    try {
        file->readCatalog();
    } catch (const ReadFailure& failure) {
        *error = failure.error;
        return nullptr;
    }
    return file;
}

bool JetFile::changedOnDisk() const {
    const QString absolute = QFileInfo(path_).absoluteFilePath();
    struct stat st {};
    return fileKey_.isEmpty() || ::stat(QFile::encodeName(absolute).constData(), &st) != 0 ||
           fileKeyOf(absolute, st) != fileKey_;
}

void JetFile::readCatalog() {
    if (pages_.pageCount() < 3) {
        pages_.damaged();
    }
    const std::shared_ptr<TableDef> def =
        readTableDef(pages_, text_, 2, QStringLiteral("MSysObjects"), TableDefFormat{version_ >= 3});
    // A damaged row makes only the object it describes unreadable.
    def->setDamagedRowsAside = true;
    catalogDef_ = def;
    auto column = [&](const char* name) {
        for (int i = 0; i < def->columns.size(); ++i) {
            if (def->columns[i].key == foldKey(QLatin1String(name))) {
                return i;
            }
        }
        pages_.damaged();
    };
    const int cId = column("Id"), cName = column("Name"), cType = column("Type"), cFlags = column("Flags");
    scan(*def, [&](RowValues& row) {
        const Value name = row.value(cName);
        const int type = int(row.value(cType).toInt()) & kTypeMask;
        if (name.isNull() || (type != kTableObject && type != kQueryObject)) {
            return;
        }
        CatalogObject object;
        object.name = name.text();
        object.key = foldKey(object.name);
        object.type = type;
        object.id = quint32(row.value(cId).toInt()) & 0x00FFFFFFu;
        const quint32 flags = quint32(row.value(cFlags).toInt());
        object.flags = int(flags);
        if (type == kQueryObject) {
            queries_.append(object);
        } else {
            ((flags & kSystemFlags) ? systemTables_ : tables_).append(object);
        }
    });
    damagedCatalogRows_ = index(*def)->damaged;
}

Error JetFile::missingObject(const QString& name) const {
    return damagedCatalogRows_ > 0 ? errors::damagedCatalogEntry(path_, name) : errors::missingSource(name);
}

QByteArray JetFile::objectProperties(quint32 id) {
    int cId = -1, cProps = -1;
    for (int i = 0; i < catalogDef_->columns.size(); ++i) {
        const QString& key = catalogDef_->columns[i].key;
        cId = key == QLatin1String("id") ? i : cId;
        cProps = key == QLatin1String("lvprop") ? i : cProps;
    }
    QByteArray blob;
    if (cId < 0 || cProps < 0) {
        return blob;
    }
    scan(*catalogDef_, [&](RowValues& row) {
        if ((quint32(row.value(cId).toInt()) & 0x00FFFFFFu) == id && blob.isEmpty()) {
            blob = row.value(cProps).bytes();
        }
    });
    return blob;
}

const CatalogObject* JetFile::findTable(const QString& name) const {
    return findIn(tables_, name);
}
const CatalogObject* JetFile::findQuery(const QString& name) const {
    return findIn(queries_, name);
}
const CatalogObject* JetFile::findAnyTable(const QString& name) const {
    const CatalogObject* o = findIn(tables_, name);
    return o ? o : findIn(systemTables_, name);
}

const TableDef* JetFile::tableDef(const CatalogObject& object, Error* error) {
    auto it = defs_.find(object.key);
    if (it != defs_.end()) {
        return it.value().get();
    }
    try {
        if (object.id < 2) {
            pages_.damaged();
        }
        auto def = readTableDef(pages_, text_, object.id, object.name, TableDefFormat{version_ >= 3});
        // A calculated column's stored result is of the type its properties name.
        QHash<QString, int> types;
        for (ColumnDef& c : def->columns) {
            if (c.calculated && types.isEmpty()) {
                types = resultTypes(objectProperties(object.id), text_);
            }
            c.resultType = types.value(c.key);
        }
        linkComplexColumns(*def);
        defs_.insert(object.key, def);
        return def.get();
    } catch (const ReadFailure& failure) {
        *error = failure.error;
        return nullptr;
    }
}

}  // namespace jet
