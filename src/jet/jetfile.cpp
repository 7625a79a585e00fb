// Reading a Jet file: catalog and table definitions through libmdb, rows either through libmdb
// or by scanning the data pages directly (see jetfile.h).
#include "jet/jetfile.h"

#include <QDateTime>
#include <QFileInfo>
#include <QMutex>
#include <QVarLengthArray>
#include <QtEndian>

#include <fcntl.h>
#include <unistd.h>
#include <cstdlib>
#include <cstring>
#include <string>

// The 1.0.0 header opens extern "C" before it includes glib: glib must come first.
#include <glib.h>
#include <mdbtools.h>

#include "jet/jetvalue.h"

// The file's libmdb handle (kept untyped in the header, which does not include libmdb).
#define mdb_ (static_cast<MdbHandle*>(handle_))

namespace jet {

namespace {

constexpr int kOffsetMask = 0x1FFF;
constexpr int kDeletedFlag = 0x4000;
constexpr int kLookupFlag = 0x8000;
constexpr size_t kDefaultBindSize = MDB_BIND_SIZE;
// A long value larger than this is taken for a damaged chain.
constexpr qint64 kMaxLongValue = qint64(1) << 30;
constexpr int kMaxRunPages = 64;

inline quint16 u16(const uchar* p) {
    return quint16(p[0] | (p[1] << 8));
}
inline quint32 u32(const uchar* p) {
    return quint32(p[0]) | (quint32(p[1]) << 8) | (quint32(p[2]) << 16) | (quint32(p[3]) << 24);
}

int fixedSize(int type) {
    switch (type) {
        case TypeByte:
            return 1;
        case TypeInteger:
            return 2;
        case TypeLong:
        case TypeSingle:
            return 4;
        case TypeCurrency:
        case TypeDouble:
        case TypeDateTime:
            return 8;
        default:
            return 0;
    }
}

bool pageScanType(int type) {
    switch (type) {
        case TypeBoolean:
        case TypeByte:
        case TypeInteger:
        case TypeLong:
        case TypeCurrency:
        case TypeSingle:
        case TypeDouble:
        case TypeDateTime:
        case TypeBinary:
        case TypeText:
        case TypeOle:
        case TypeMemo:
            return true;
        default:
            return false;
    }
}

bool isKeyType(int type) {
    return type == TypeByte || type == TypeInteger || type == TypeLong;
}

// The value of a fixed-width column from its bytes (little-endian, as stored).
Value decodeFixed(int type, const uchar* p) {
    switch (type) {
        case TypeByte:
            return Value::fromInt(p[0]);  // Jet's Byte is unsigned, 0 to 255
        case TypeInteger:
            return Value::fromInt(qint16(u16(p)));
        case TypeLong:
            return Value::fromInt(qint32(u32(p)));
        case TypeCurrency: {
            qint64 v;
            std::memcpy(&v, p, 8);
            return Value::fromCurrency(qFromLittleEndian(v));
        }
        case TypeSingle: {
            float f;
            std::memcpy(&f, p, 4);
            return Value::fromReal(double(f), true);
        }
        case TypeDouble: {
            double d;
            std::memcpy(&d, p, 8);
            return Value::fromReal(d);
        }
        case TypeDateTime: {
            double d;
            std::memcpy(&d, p, 8);
            return Value::fromDateSerial(d);
        }
        default:
            break;
    }
    return Value();
}

// Windows-1252 as libmdb's iconv converts it; the five bytes the code page leaves undefined
// come out as '?', as libmdb gives them.
QChar cp1252(uchar b) {
    static const ushort high[32] = {0x20AC, '?',    0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, '?',    0x017D, '?',
                                    '?',    0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, '?',    0x017E, 0x0178};
    if (b >= 0x80 && b < 0xA0) {
        return QChar(high[b - 0x80]);
    }
    return QChar(b);
}

QString fileKeyOf(const QFileInfo& info) {
    return info.absoluteFilePath() + QLatin1Char('|') + QString::number(info.size()) + QLatin1Char('|') +
           QString::number(info.lastModified().toMSecsSinceEpoch()) + QLatin1Char('|') +
           QString::number(info.metadataChangeTime().toMSecsSinceEpoch());
}

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

// ------------------------------------------------------------------------------------- opening

std::unique_ptr<JetFile> JetFile::open(const QString& path, Error* error) {
    const QFileInfo info(path);
    if (path.trimmed().isEmpty() || !info.exists()) {
        const QFileInfo folder(info.absolutePath());
        *error = (!path.trimmed().isEmpty() && (!folder.exists() || !folder.isDir()))
                     ? errors::invalidPath(path)
                     : errors::fileNotFound(path);
        return nullptr;
    }
    if (info.isDir()) {
        *error = errors::invalidPath(path);
        return nullptr;
    }
    const QByteArray native = QFile::encodeName(info.absoluteFilePath());
    const int fd = ::open(native.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        *error = errors::cannotOpen(path);
        return nullptr;
    }
    std::unique_ptr<JetFile> file(new JetFile);
    file->fd_ = fd;
    file->path_ = path;
    file->fileKey_ = fileKeyOf(info);
    file->fileSize_ = info.size();

    // Check the header ourselves before libmdb reads anything: a file that is not a Jet database
    // is reported, not handed to a reader that trusts it.
    uchar header[0x100] = {};
    if (::pread(fd, header, sizeof header, 0) != qint64(sizeof header) || header[0] != 0 ||
        (std::memcmp(header + 4, "Standard Jet DB", 15) != 0 &&
         std::memcmp(header + 4, "Standard ACE DB", 15) != 0)) {
        *error = errors::unrecognizedFormat(path);
        return nullptr;
    }
    const quint32 version = u32(header + 0x14);
    if (version > 5) {
        *error = errors::unrecognizedFormat(path);
        return nullptr;
    }
    file->jet3_ = version == 0;
    file->pageSize_ = file->jet3_ ? 2048 : 4096;
    uchar tdef[8] = {};
    if (info.size() < 3 * file->pageSize_ || ::pread(fd, tdef, sizeof tdef, 2 * file->pageSize_) != 8 ||
        tdef[0] != 0x02) {
        *error = errors::unrecognizedFormat(path);
        return nullptr;
    }

    file->handle_ = mdb_open(native.constData(), MDB_NOFLAGS);
    if (!static_cast<MdbHandle*>(file->handle_)) {
        *error = errors::unrecognizedFormat(path);
        return nullptr;
    }
    if (!mdb_read_catalog(static_cast<MdbHandle*>(file->handle_), MDB_ANY)) {
        *error = errors::unrecognizedFormat(path);
        return nullptr;
    }
    for (unsigned i = 0; i < static_cast<MdbHandle*>(file->handle_)->num_catalog; ++i) {
        auto* entry = static_cast<MdbCatalogEntry*>(
            g_ptr_array_index(static_cast<MdbHandle*>(file->handle_)->catalog, i));
        CatalogObject object;
        object.name = QString::fromUtf8(entry->object_name);
        object.key = foldKey(object.name);
        object.type = entry->object_type;
        object.id = quint32(entry->table_pg) & 0x00FFFFFFu;
        object.flags = entry->flags;
        if (entry->object_type == MDB_TABLE) {
            (mdb_is_user_table(entry) ? file->tables_ : file->systemTables_).append(object);
        } else if (entry->object_type == MDB_QUERY) {
            file->queries_.append(object);
        }
    }
    // Pages are read here directly only when they are stored plain, in a format whose layout we
    // know; Jet 3 text is decoded here when it is in the Western code page, as libmdb would.
    file->pageScanAllowed_ = static_cast<MdbHandle*>(file->handle_)->f->db_key == 0 && version <= 1;
    const int codePage = static_cast<MdbHandle*>(file->handle_)->f->code_page;
    file->ownCodePage_ =
        file->jet3_ && !std::getenv("MDB_JET3_CHARSET") && (codePage == 1252 || codePage == 0);
    const char* target = std::getenv("MDBICONV");
    if (target && qstricmp(target, "UTF-8") != 0 && qstricmp(target, "UTF8") != 0) {
        file->pageScanAllowed_ = false;
    }
    return file;
}

JetFile::~JetFile() {
    for (auto it = defs_.begin(); it != defs_.end(); ++it) {
        if (it.value()) {
            mdb_free_tabledef(static_cast<MdbTableDef*>(it.value()->mdbTable));
        }
    }
    if (mdb_) {
        mdb_close(mdb_);
    }
    if (fd_ >= 0) {
        ::close(fd_);
    }
}

namespace {
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
    MdbCatalogEntry* entry = nullptr;
    for (unsigned i = 0; i < mdb_->num_catalog; ++i) {
        auto* e = static_cast<MdbCatalogEntry*>(g_ptr_array_index(mdb_->catalog, i));
        if (e->object_type == MDB_TABLE && QString::fromUtf8(e->object_name) == object.name) {
            entry = e;
            break;
        }
    }
    const qint64 pages = fileSize_ / pageSize_;
    if (!entry || entry->table_pg == 0 || qint64(entry->table_pg) >= pages) {
        *error = errors::unrecognizedFormat(path_);
        return nullptr;
    }
    uchar page[4096];
    if (::pread(fd_, page, pageSize_, qint64(entry->table_pg) * pageSize_) != pageSize_ || page[0] != 0x02) {
        *error = errors::unrecognizedFormat(path_);
        return nullptr;
    }
    MdbTableDef* t = mdb_read_table(entry);
    if (!t || !mdb_read_columns(t) || !t->usage_map) {
        if (t) {
            mdb_free_tabledef(t);
        }
        *error = errors::unrecognizedFormat(path_);
        return nullptr;
    }
    auto def = std::make_shared<TableDef>();
    def->name = object.name;
    def->tdefPage = quint32(entry->table_pg);
    def->numVarCols = int(t->num_var_cols);
    def->usageMap = QByteArray(reinterpret_cast<const char*>(t->usage_map), int(t->map_sz));
    def->pageScanOk = pageScanAllowed_;
    def->rowCountHint = qint64(t->num_rows);
    def->mdbTable = t;
    for (unsigned i = 0; i < t->num_cols; ++i) {
        auto* c = static_cast<MdbColumn*>(g_ptr_array_index(t->columns, i));
        ColumnDef col;
        col.name = QString::fromUtf8(c->name);
        col.key = foldKey(col.name);
        col.type = c->col_type;
        col.colNum = c->col_num;
        col.varIndex = int(c->var_col_num);
        col.fixedOffset = c->fixed_offset;
        col.size = c->col_size;
        col.fixed = c->is_fixed;
        if (!pageScanType(col.type) || (col.fixed != (fixedSize(col.type) > 0 || col.type == TypeBoolean))) {
            def->pageScanOk = false;
        }
        def->columns.append(col);
    }
    defs_.insert(object.key, def);
    return def.get();
}

// ------------------------------------------------------------------------------ text and longs

QString JetFile::decodeText(const uchar* p, int len) {
    if (len <= 0) {
        return QString();
    }
    if (jet3_) {
        if (ownCodePage_) {
            QString s(len, Qt::Uninitialized);
            QChar* out = s.data();
            for (int i = 0; i < len; ++i) {
                if (p[i] == 0) {  // libmdb's text ends at a NUL
                    s.truncate(i);
                    return s;
                }
                out[i] = cp1252(p[i]);
            }
            return s;
        }
    } else {
        QString s;
        s.reserve(len);
        auto put = [&s](ushort u) {
            if (u == 0) {
                return false;  // libmdb's text ends at a NUL
            }
            // UCS-2 has no surrogates: libmdb's converter puts '?' for each.
            s.append(u >= 0xD800 && u <= 0xDFFF ? QChar(u'?') : QChar(u));
            return true;
        };
        if (len >= 2 && p[0] == 0xFF && p[1] == 0xFE) {
            // Compressed form: starts with one byte per character, a 0 byte switches modes.
            bool compressed = true;
            int i = 2;
            while (i < len) {
                if (p[i] == 0) {
                    compressed = !compressed;
                    ++i;
                } else if (compressed) {
                    if (!put(p[i])) {
                        return s;
                    }
                    ++i;
                } else if (i + 1 < len) {
                    if (!put(ushort(p[i] | (p[i + 1] << 8)))) {
                        return s;
                    }
                    i += 2;
                } else {
                    break;
                }
            }
            return s;
        }
        for (int i = 0; i + 1 < len; i += 2) {
            if (!put(ushort(p[i] | (p[i + 1] << 8)))) {
                break;
            }
        }
        return s;
    }
    // Another code page: libmdb's own conversion, with room for the whole text.
    const size_t need = size_t(len) * 4 + 16;
    if (need > kDefaultBindSize) {
        mdb_set_bind_size(mdb_, need);
    }
    gchar* text = mdb_col_to_string(mdb_, const_cast<uchar*>(p), 0, MDB_TEXT, len);
    if (need > kDefaultBindSize) {
        mdb_set_bind_size(mdb_, kDefaultBindSize);
    }
    QString s = QString::fromUtf8(text);
    g_free(text);
    return s;
}

// Reads one row of a long-value page: the page is read with its own pread (these are scattered).
namespace {
struct LvalRow {
    QByteArray page;
    int start = 0;
    int len = 0;
};
}  // namespace

QByteArray JetFile::readLongValue(const uchar* header, int cellLength) {
    const quint32 word = u32(header);
    const int rco = jet3_ ? 8 : 12;
    auto findRow = [&](quint32 pgRow, LvalRow* row) {
        const quint32 pg = pgRow >> 8;
        const int r = int(pgRow & 0xFF);
        if (qint64(pg) * pageSize_ >= fileSize_ || pg == 0) {
            throw Fallback{};
        }
        row->page.resize(pageSize_);
        if (::pread(fd_, row->page.data(), pageSize_, qint64(pg) * pageSize_) != pageSize_) {
            throw Fallback{};
        }
        const uchar* b = reinterpret_cast<const uchar*>(row->page.constData());
        const int count = u16(b + rco);
        if (r >= count) {
            throw Fallback{};
        }
        const int start = u16(b + rco + 2 + 2 * r) & kOffsetMask;
        const int next = r == 0 ? pageSize_ : (u16(b + rco + 2 * r) & kOffsetMask);
        if (start >= pageSize_ || start > next || next > pageSize_) {
            throw Fallback{};
        }
        row->start = start;
        row->len = next - start;
    };
    QByteArray out;
    if (word & 0x80000000u) {
        // Inline: the rest of the cell, as libmdb takes it.
        return QByteArray(reinterpret_cast<const char*>(header) + 12, cellLength - 12);
    }
    if (word & 0x40000000u) {
        LvalRow row;
        findRow(u32(header + 4), &row);
        return row.page.mid(row.start, row.len);
    }
    if ((word & 0xF0000000u) != 0) {
        throw Fallback{};
    }
    quint32 next = u32(header + 4);
    while (next) {
        LvalRow row;
        findRow(next, &row);
        if (row.len < 4) {
            throw Fallback{};
        }
        const uchar* b = reinterpret_cast<const uchar*>(row.page.constData()) + row.start;
        next = u32(b);
        out.append(reinterpret_cast<const char*>(b) + 4, row.len - 4);
        if (out.size() > kMaxLongValue) {
            throw Fallback{};
        }
    }
    return out;
}

// --------------------------------------------------------------------------------- libmdb way

class LibmdbRowValues : public RowValues {
  public:
    LibmdbRowValues(JetFile* file, MdbTableDef* table, const TableDef& def)
        : file_(file), table_(table), def_(def), fields_(def.columns.size()) {}

    bool crack(int start, int len) {
        rowCols_ = mdb_crack_row(table_, start, size_t(len), fields_.data());
        return rowCols_ >= 0;
    }

    Value value(int column) override {
        const ColumnDef& c = def_.columns[column];
        const MdbField& f = fields_[column];
        MdbHandle* mdb = static_cast<MdbHandle*>(file_->handle_);
        // A row stored before the column was added has no such column: NULL (a Boolean, false).
        const bool absent = c.colNum >= rowCols_;
        if (c.type == TypeBoolean) {
            return Value::fromBool(!absent && !f.is_null);
        }
        if (absent || f.is_null) {
            return Value();
        }
        const uchar* p = mdb->pg_buf + f.start;
        switch (c.type) {
            case TypeByte:
            case TypeInteger:
            case TypeLong:
            case TypeCurrency:
            case TypeSingle:
            case TypeDouble:
            case TypeDateTime:
                return decodeFixed(c.type, p);
            case TypeText: {
                if (f.siz <= 0) {
                    return Value::fromText(QString());
                }
                gchar* text = mdb_col_to_string(mdb, mdb->pg_buf, f.start, MDB_TEXT, f.siz);
                Value v = Value::fromText(QString::fromUtf8(text));
                g_free(text);
                return v;
            }
            case TypeBinary:
                return Value::fromBytes(QByteArray(reinterpret_cast<const char*>(p), f.siz));
            case TypeMemo:
            case TypeOle: {
                const QByteArray raw = readLong(column, f);
                if (c.type == TypeOle) {
                    return Value::fromBytes(raw);
                }
                return Value::fromText(file_->libmdbText(raw));
            }
            case TypeGuid: {
                gchar* text = mdb_col_to_string(mdb, mdb->pg_buf, f.start, MDB_REPID, f.siz);
                Value v = Value::fromText(QString::fromUtf8(text));
                g_free(text);
                return v;
            }
            case TypeNumeric: {
                auto* col = static_cast<MdbColumn*>(g_ptr_array_index(table_->columns, column));
                gchar* text = mdb_numeric_to_string(mdb, f.start, col->col_scale, col->col_prec);
                Value v = Value::fromReal(QString::fromUtf8(text).toDouble());
                g_free(text);
                return v;
            }
            default:
                return Value::fromBytes(QByteArray(reinterpret_cast<const char*>(p), f.siz));
        }
    }

  private:
    // libmdb's long-value reader, driven here so that a damaged chain cannot run away.
    QByteArray readLong(int column, const MdbField& f) {
        if (f.siz < 12) {
            return QByteArray();
        }
        MdbHandle* mdb = static_cast<MdbHandle*>(file_->handle_);
        auto* col = static_cast<MdbColumn*>(g_ptr_array_index(table_->columns, column));
        QByteArray chunk(2 * file_->pageSize_, '\0');
        char header[12];
        std::memcpy(header, mdb->pg_buf + f.start, 12);
        col->bind_ptr = chunk.data();
        col->cur_value_start = f.start;
        col->cur_value_len = f.siz;
        QByteArray out;
        size_t n = mdb_ole_read(mdb, col, header, size_t(chunk.size()));
        out.append(chunk.constData(), int(n));
        int rounds = 0;
        while ((n = mdb_ole_read_next(mdb, col, header)) != 0) {
            out.append(chunk.constData(), int(n));
            if (out.size() > kMaxLongValue || ++rounds > (1 << 20)) {
                break;
            }
        }
        col->bind_ptr = nullptr;
        return out;
    }

    JetFile* file_;
    MdbTableDef* table_;
    const TableDef& def_;
    QVector<MdbField> fields_;
    int rowCols_ = 0;
};

QString JetFile::libmdbText(const QByteArray& raw) {
    if (raw.isEmpty()) {
        return QString();
    }
    const size_t need = size_t(raw.size()) * 4 + 16;
    if (need > kDefaultBindSize) {
        mdb_set_bind_size(mdb_, need);
    }
    gchar* text = mdb_col_to_string(mdb_, const_cast<char*>(raw.constData()), 0, MDB_TEXT, raw.size());
    if (need > kDefaultBindSize) {
        mdb_set_bind_size(mdb_, kDefaultBindSize);
    }
    QString s = QString::fromUtf8(text);
    g_free(text);
    return s;
}

bool JetFile::scanWithLibmdb(const TableDef& def, const std::function<void(RowValues&)>& onRow,
                             Error* error) {
    auto* t = static_cast<MdbTableDef*>(def.mdbTable);
    Q_UNUSED(error);
    LibmdbRowValues row(this, t, def);
    const int rco = mdb_->fmt->row_count_offset;
    mdb_rewind_table(t);
    while (mdb_read_next_dpg(t)) {
        const guint32 pg = t->cur_phys_pg;
        const int count = mdb_get_int16(mdb_->pg_buf, rco);
        for (int r = 0; r < count; ++r) {
            int start = 0;
            size_t len = 0;
            if (mdb_find_row(mdb_, r, &start, &len) != 0 || len == 0) {
                continue;
            }
            const int flags = start & 0xC000;
            start &= kOffsetMask;
            if (flags & kDeletedFlag) {
                continue;
            }
            if ((flags & kLookupFlag) && len == 4) {
                // A row moved by an edit: follow the pointer to where it lives now.
                const guint32 target = guint32(mdb_get_int32(mdb_->pg_buf, start));
                const guint32 tpg = target >> 8;
                const int trow = int(target & 0xFF);
                bool ok = qint64(tpg) * pageSize_ < fileSize_ && tpg != 0 &&
                          mdb_read_pg(mdb_, tpg) == pageSize_ && mdb_->pg_buf[0] == 0x01 &&
                          quint32(mdb_get_int32(mdb_->pg_buf, 4)) == def.tdefPage;
                int tstart = 0;
                size_t tlen = 0;
                ok = ok && trow < mdb_get_int16(mdb_->pg_buf, rco) &&
                     mdb_find_row(mdb_, trow, &tstart, &tlen) == 0 && tlen > 0 &&
                     !(tstart & kLookupFlag);  // the new place may carry the deleted flag
                if (ok && row.crack(tstart & kOffsetMask, int(tlen))) {
                    onRow(row);
                }
                mdb_read_pg(mdb_, pg);
                continue;
            }
            if (row.crack(start, int(len))) {
                onRow(row);
            }
        }
    }
    return true;
}

// ------------------------------------------------------------------------------ page-scan way

bool JetFile::readPages(quint32 first, int count, uchar* buffer) {
    const qint64 bytes = qint64(count) * pageSize_;
    return ::pread(fd_, buffer, size_t(bytes), qint64(first) * pageSize_) == bytes;
}

QVector<quint32> JetFile::ownedPages(const TableDef& table) {
    QVector<quint32> pages;
    const auto* map = reinterpret_cast<const uchar*>(table.usageMap.constData());
    const int size = table.usageMap.size();
    const quint32 filePages = quint32(fileSize_ / pageSize_);
    auto add = [&](quint32 pg) {
        if (pg == 0) {
            return;
        }
        if (pg >= filePages) {
            throw Fallback{};  // libmdb stops its scan there; let it decide
        }
        pages.append(pg);
    };
    if (size < 5) {
        return pages;
    }
    if (map[0] == 0) {
        const quint32 base = u32(map + 1);
        for (int i = 0; i < (size - 5) * 8; ++i) {
            if (map[5 + i / 8] & (1 << (i % 8))) {
                add(base + quint32(i));
            }
        }
    } else if (map[0] == 1) {
        const int bits = (pageSize_ - 4) * 8;
        QByteArray bitmap(pageSize_, '\0');
        for (int k = 0; k < (size - 1) / 4; ++k) {
            const quint32 mapPage = u32(map + 1 + 4 * k);
            if (!mapPage) {
                continue;
            }
            if (mapPage >= filePages || !readPages(mapPage, 1, reinterpret_cast<uchar*>(bitmap.data()))) {
                throw Fallback{};
            }
            const auto* b = reinterpret_cast<const uchar*>(bitmap.constData()) + 4;
            for (int i = 0; i < bits; ++i) {
                if (b[i / 8] & (1 << (i % 8))) {
                    add(quint32(k) * quint32(bits) + quint32(i));
                }
            }
        }
    } else {
        throw Fallback{};
    }
    return pages;
}

namespace {

// The cells of one row, found the way the engine lays rows out.
struct CrackedRow {
    const uchar* row = nullptr;
    int len = 0;
    int rowCols = 0;
    int rowVarCols = 0;
    const uchar* mask = nullptr;
    int varOffsets[257];
};

// Without `withVariable` only the fixed part is found (enough for the key arrays).
void crackRow(bool jet3, const TableDef& def, const uchar* row, int len, CrackedRow* out, bool withVariable) {
    out->row = row;
    out->len = len;
    const int rowCols = jet3 ? row[0] : u16(row);
    const int maskSize = (rowCols + 7) / 8;
    if (maskSize + (jet3 ? 1 : 2) >= len) {
        throw Fallback{};
    }
    out->rowCols = rowCols;
    out->mask = row + len - maskSize;
    out->rowVarCols = 0;
    if (def.numVarCols > 0 && withVariable) {
        if (jet3) {
            const int v = row[len - 1 - maskSize];
            const int numJumpsAll = (len - 1) / 256;
            int numJumps = numJumpsAll;
            const int colPtr = len - maskSize - numJumps - 2;
            if (colPtr - v < 0 || colPtr >= len) {
                throw Fallback{};
            }
            if ((colPtr - v) / 256 < numJumps) {
                --numJumps;
            }
            if (v > 256) {
                throw Fallback{};
            }
            int used = 0;
            for (int i = 0; i <= v; ++i) {
                while (used < numJumps && i == row[len - maskSize - 2 - used]) {
                    ++used;
                }
                out->varOffsets[i] = row[colPtr - i] + used * 256;
            }
            out->rowVarCols = v;
        } else {
            const int v = u16(row + len - maskSize - 2);
            if (v > 256 || len - maskSize - 4 - 2 * v < 2) {
                throw Fallback{};
            }
            for (int i = 0; i <= v; ++i) {
                out->varOffsets[i] = u16(row + len - maskSize - 4 - 2 * i);
            }
            out->rowVarCols = v;
        }
    }
}

}  // namespace

class PageRowValues : public RowValues {
  public:
    PageRowValues(JetFile* file, const TableDef& def) : file_(file), def_(def), last_(def.columns.size()) {}

    void set(const uchar* row, int len, bool withVariable = true) {
        crackRow(file_->jet3_, def_, row, len, &cracked_, withVariable);
    }

    // The cell of a column: false when NULL.
    bool cell(const ColumnDef& c, const uchar** p, int* len) const {
        if (c.colNum >= cracked_.rowCols) {
            return false;
        }
        const bool present = cracked_.mask[c.colNum / 8] & (1 << (c.colNum % 8));
        if (c.type == TypeBoolean) {
            *len = present ? 1 : 0;
            return present;
        }
        if (c.fixed) {
            const int start = (file_->jet3_ ? 1 : 2) + c.fixedOffset;
            const int size = fixedSize(c.type);
            if (start + size > cracked_.len) {
                throw Fallback{};
            }
            *p = cracked_.row + start;
            *len = size;
            return present;
        }
        if (c.varIndex >= cracked_.rowVarCols) {
            return false;
        }
        const int start = cracked_.varOffsets[c.varIndex];
        const int end = cracked_.varOffsets[c.varIndex + 1];
        if (start < 0 || start > end || end > cracked_.len) {
            throw Fallback{};
        }
        *p = cracked_.row + start;
        *len = end - start;
        return present;
    }

    Value value(int column) override {
        const ColumnDef& c = def_.columns[column];
        const uchar* p = nullptr;
        int len = 0;
        const bool present = cell(c, &p, &len);
        if (c.type == TypeBoolean) {
            return Value::fromBool(present);
        }
        if (!present) {
            return Value();
        }
        switch (c.type) {
            case TypeText: {
                // Consecutive rows often repeat a text (a station's name): share the string.
                Last& last = last_[column];
                if (last.valid && last.raw.size() == size_t(len) &&
                    std::memcmp(last.raw.data(), p, size_t(len)) == 0) {
                    return last.value;
                }
                last.raw.assign(reinterpret_cast<const char*>(p), size_t(len));
                last.value = Value::fromText(file_->decodeText(p, len));
                last.valid = true;
                return last.value;
            }
            case TypeBinary:
                return Value::fromBytes(QByteArray(reinterpret_cast<const char*>(p), len));
            case TypeMemo:
            case TypeOle: {
                if (len < 12) {
                    throw Fallback{};
                }
                const QByteArray raw = file_->readLongValue(p, len);
                if (c.type == TypeOle) {
                    return Value::fromBytes(raw);
                }
                return Value::fromText(
                    file_->decodeText(reinterpret_cast<const uchar*>(raw.constData()), raw.size()));
            }
            default:
                return decodeFixed(c.type, p);
        }
    }

    // The integer of a key column straight from the row bytes; false when NULL.
    bool key(const ColumnDef& c, qint32* out) const {
        const uchar* p = nullptr;
        int len = 0;
        if (!cell(c, &p, &len)) {
            return false;
        }
        *out = c.type == TypeByte      ? qint32(p[0])
               : c.type == TypeInteger ? qint32(qint16(u16(p)))
                                       : qint32(u32(p));
        return true;
    }

  private:
    struct Last {
        bool valid = false;
        std::string raw;  // short texts stay inside the string: no allocation
        Value value;
    };
    JetFile* file_;
    const TableDef& def_;
    CrackedRow cracked_;
    QVector<Last> last_;
};

namespace {

// Where a row of a page lives, following a moved row's pointer; false for a row to skip.
struct RowSpot {
    quint32 page = 0;
    int row = 0;
    int start = 0;
    int len = 0;
};

}  // namespace

namespace {

constexpr int kMaxKeyColumns = 8;

// Where a key column sits in a row: its null-mask bit and its bytes [start, end).
struct KeySpec {
    int colNum;
    int start;
    int end;
    int type;
};

struct KeyArrays {
    quint32* locations = nullptr;
    qint32* keys[kMaxKeyColumns] = {};
    quint8* nulls[kMaxKeyColumns] = {};  // null until the column shows a NULL
};

// Stores one row's location and keys at `row`; returns the keys found NULL, a bit each. Plain
// values and pointers only: this runs for every row of the table.
template <bool Jet3>
inline unsigned collectRow(const KeySpec* specs, int keyCount, const KeyArrays& out, qsizetype row,
                           quint32 location, const uchar* bytes, int len) {
    const int rowCols = Jet3 ? bytes[0] : u16(bytes);
    const int maskSize = (rowCols + 7) >> 3;
    if (maskSize + (Jet3 ? 1 : 2) >= len) {
        throw Fallback{};
    }
    const uchar* mask = bytes + len - maskSize;
    const int fixedEnd = len - maskSize;
    out.locations[row] = location;
    unsigned nullKeys = 0;
    for (int k = 0; k < keyCount; ++k) {
        const KeySpec& s = specs[k];
        qint32 v = 0;
        if (s.colNum < rowCols && ((mask[s.colNum >> 3] >> (s.colNum & 7)) & 1)) {
            if (s.end > fixedEnd) {
                throw Fallback{};
            }
            const uchar* p = bytes + s.start;
            v = s.type == TypeLong      ? qint32(u32(p))
                : s.type == TypeInteger ? qint32(qint16(u16(p)))
                                        : qint32(p[0]);
        } else {
            nullKeys |= 1u << k;
        }
        out.keys[k][row] = v;
    }
    return nullKeys;
}

// The live rows of one data page into the arrays from `row` on; returns the next free row.
template <bool Jet3, typename NoteNulls, typename AddMoved>
qsizetype collectPage(const uchar* page, int pageSize, quint32 pg, const KeySpec* specs, int keyCount,
                      const KeyArrays& out, qsizetype row, NoteNulls& noteNulls, AddMoved& addMoved) {
    constexpr int rco = Jet3 ? 8 : 12;
    const int count = u16(page + rco);
    int next = pageSize;
    for (int r = 0; r < count; ++r) {
        const int raw = u16(page + rco + 2 + 2 * r);
        const int start = raw & kOffsetMask;
        const int end = next;
        next = start;  // a row ends where the one before it starts
        if (start >= pageSize || start > end || end > pageSize || end == start) {
            continue;  // libmdb skips such a row too
        }
        if (raw & kDeletedFlag) {
            continue;
        }
        if ((raw & kLookupFlag) && end - start == 4) {
            if (addMoved(u32(page + start), row)) {
                ++row;
            }
            continue;
        }
        const unsigned nullKeys =
            collectRow<Jet3>(specs, keyCount, out, row, (pg << 8) | quint32(r), page + start, end - start);
        if (nullKeys) {
            noteNulls(nullKeys, row);
        }
        ++row;
    }
    return row;
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

std::shared_ptr<const TableIndex> JetFile::index(const TableDef& table) {
    if (!table.pageScanOk) {
        throw Fallback{};
    }
    if (fileKeyOf(QFileInfo(path_)) != fileKey_) {
        throw Fallback{};  // changed since it was opened: keys and pages would not belong together
    }
    const QString cacheKey = indexCacheKey(table);
    {
        IndexCache& cache = indexCache();
        QMutexLocker lock(&cache.mutex);
        auto it = cache.entries.constFind(cacheKey);
        if (it != cache.entries.constEnd()) {
            return it.value();
        }
    }
    auto index = std::make_shared<TableIndex>();
    for (int i = 0; i < table.columns.size() && index->keyColumns.size() < kMaxKeyColumns; ++i) {
        if (isKeyType(table.columns[i].type)) {
            index->keyColumns.append(i);
        }
    }
    index->keys.resize(index->keyColumns.size());
    index->nulls.resize(index->keyColumns.size());

    const QVector<quint32> pages = ownedPages(table);
    const int rco = jet3_ ? 8 : 12;
    QByteArray buffer(kMaxRunPages * pageSize_, Qt::Uninitialized);
    QByteArray other(pageSize_, Qt::Uninitialized);

    // Where each key sits in a row, worked out once.
    KeySpec specs[kMaxKeyColumns];
    const int keyCount = int(index->keyColumns.size());
    for (int k = 0; k < keyCount; ++k) {
        const ColumnDef& col = table.columns[index->keyColumns[k]];
        const int start = (jet3_ ? 1 : 2) + col.fixedOffset;
        specs[k] = KeySpec{col.colNum, start, start + fixedSize(col.type), col.type};
    }
    // The arrays are sized from the count the definition stores, grown if it is short, and
    // written through plain pointers.
    qsizetype capacity = qBound<qsizetype>(0, table.rowCountHint, qsizetype(pages.size()) * 256) + 16;
    KeyArrays arrays;
    auto allocate = [&] {
        index->locations.resize(capacity);
        arrays.locations = index->locations.data();
        for (int k = 0; k < keyCount; ++k) {
            index->keys[k].resize(capacity);
            arrays.keys[k] = index->keys[k].data();
            if (!index->nulls[k].isEmpty()) {
                index->nulls[k].resize(capacity);
                arrays.nulls[k] = index->nulls[k].data();
            }
        }
    };
    allocate();
    qsizetype rows = 0;
    auto noteNulls = [&](unsigned nullKeys, qsizetype row) {
        for (int k = 0; k < keyCount; ++k) {
            if (nullKeys & (1u << k)) {
                if (!arrays.nulls[k]) {
                    index->nulls[k].resize(capacity);  // zeros: every earlier row had a value
                    arrays.nulls[k] = index->nulls[k].data();
                }
                arrays.nulls[k][row] = 1;
            }
        }
    };
    // A row moved by an edit: its pointer is followed to where it lives now.
    auto addMoved = [&](quint32 target, qsizetype row) {
        const quint32 tpg = target >> 8;
        const int trow = int(target & 0xFF);
        auto* tb = reinterpret_cast<uchar*>(other.data());
        if (tpg == 0 || qint64(tpg) * pageSize_ >= fileSize_ || !readPages(tpg, 1, tb) || tb[0] != 0x01 ||
            u32(tb + 4) != table.tdefPage || trow >= u16(tb + rco)) {
            return false;
        }
        const int traw = u16(tb + rco + 2 + 2 * trow);
        const int tstart = traw & kOffsetMask;
        const int tnext = trow == 0 ? pageSize_ : (u16(tb + rco + 2 * trow) & kOffsetMask);
        if ((traw & kLookupFlag) || tstart >= pageSize_ || tstart >= tnext || tnext > pageSize_) {
            return false;
        }
        const unsigned nullKeys =
            jet3_ ? collectRow<true>(specs, keyCount, arrays, row, target, tb + tstart, tnext - tstart)
                  : collectRow<false>(specs, keyCount, arrays, row, target, tb + tstart, tnext - tstart);
        if (nullKeys) {
            noteNulls(nullKeys, row);
        }
        return true;
    };

    int i = 0;
    while (i < pages.size()) {
        int run = 1;
        while (i + run < pages.size() && run < kMaxRunPages && pages[i + run] == pages[i] + quint32(run)) {
            ++run;
        }
        auto* base = reinterpret_cast<uchar*>(buffer.data());
        if (!readPages(pages[i], run, base)) {
            throw Fallback{};
        }
        for (int k = 0; k < run; ++k) {
            const quint32 pg = pages[i] + quint32(k);
            const uchar* page = base + k * pageSize_;
            if (page[0] != 0x01 || u32(page + 4) != table.tdefPage) {
                continue;  // not one of this table's data pages, as libmdb skips it
            }
            const int count = u16(page + rco);
            if (count > 256) {
                throw Fallback{};
            }
            if (rows + count > capacity) {
                capacity = qMax(capacity * 2, rows + count);
                allocate();
            }
            rows = jet3_ ? collectPage<true>(page, pageSize_, pg, specs, keyCount, arrays, rows, noteNulls,
                                             addMoved)
                         : collectPage<false>(page, pageSize_, pg, specs, keyCount, arrays, rows, noteNulls,
                                              addMoved);
        }
        i += run;
    }

    // Trimmed without a copy unless the stored count was far off.
    const bool squeeze = capacity - rows > rows / 8 + 1024;
    index->locations.resize(rows);
    for (int k = 0; k < keyCount; ++k) {
        index->keys[k].resize(rows);
        if (!index->nulls[k].isEmpty()) {
            index->nulls[k].resize(rows);
        }
    }
    if (squeeze) {
        index->locations.squeeze();
        for (int k = 0; k < keyCount; ++k) {
            index->keys[k].squeeze();
            index->nulls[k].squeeze();
        }
    }

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

void JetFile::readRows(const TableDef& table, const QVector<quint32>& locations,
                       const std::function<void(RowValues&)>& onRow) {
    if (!table.pageScanOk) {
        throw Fallback{};
    }
    const int rco = jet3_ ? 8 : 12;
    QByteArray buffer(kMaxRunPages * pageSize_, Qt::Uninitialized);
    auto* base = reinterpret_cast<uchar*>(buffer.data());
    quint32 windowFirst = 0;
    int windowCount = 0;
    PageRowValues row(this, table);
    const quint32 filePages = quint32(fileSize_ / pageSize_);

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
            windowFirst = pg;
            windowCount = int(qMin(last - pg + 1, filePages - pg));
            if (pg >= filePages || !readPages(windowFirst, windowCount, base)) {
                throw Fallback{};
            }
        }
        const uchar* page = base + (pg - windowFirst) * quint32(pageSize_);
        const int start = u16(page + rco + 2 + 2 * r) & kOffsetMask;
        const int next = r == 0 ? pageSize_ : (u16(page + rco + 2 * r) & kOffsetMask);
        if (start >= next || next > pageSize_) {
            throw Fallback{};
        }
        row.set(page + start, next - start);
        onRow(row);
    }
}

}  // namespace jet
