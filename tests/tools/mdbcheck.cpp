#include "tools/mdbcheck.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QTimeZone>

// The 1.0.0 header opens extern "C" before it includes glib.
#include <glib.h>
#include <mdbtools.h>

#include <cmath>
#include <cstring>

namespace mdbcheck {

double dateSerial(const QDateTime& dt) {
    const double days = double(QDate(1899, 12, 30).daysTo(dt.date()));
    const double frac = dt.time().msecsSinceStartOfDay() / 86400000.0;
    return days < 0 ? days - frac : days + frac;
}

int typeCode(jetwriter::ColumnType t) {
    using C = jetwriter::ColumnType;
    switch (t) {
        case C::Boolean:
            return Bool;
        case C::Byte:
            return Byte;
        case C::Integer:
            return Int;
        case C::Long:
            return Long;
        case C::Currency:
            return Money;
        case C::Single:
            return Float;
        case C::Double:
            return Double;
        case C::DateTime:
            return Date;
        case C::Text:
            return Text;
        case C::Memo:
            return Memo;
        case C::OLE:
            return Ole;
        case C::Binary:
            return Binary;
        case C::Guid:
            return Guid;
        case C::Decimal:
            return Numeric;
        case C::BigInt:
            return BigInt;
        case C::Complex:
            return Complex;
        case C::DateTimeExtended:
            return ExtendedDate;
    }
    return 0;
}

namespace {

// "-001.5" at scale 3 -> "-1.500"; the sign stays on a zero, as the file keeps it.
QString decimalText(const QString& in, int scale) {
    QString s = in.trimmed();
    QString sign;
    if (s.startsWith('-') || s.startsWith('+')) {
        if (s.startsWith('-'))
            sign = QStringLiteral("-");
        s.remove(0, 1);
    }
    QString whole = s.section('.', 0, 0);
    const QString frac = s.section('.', 1, 1).leftJustified(scale, '0');
    while (whole.size() > 1 && whole.startsWith('0'))
        whole.remove(0, 1);
    if (whole.isEmpty())
        whole = QStringLiteral("0");
    const bool zero = (whole + frac).count('0') == (whole + frac).size();
    if (zero)
        sign.clear();
    return sign + whole + (scale > 0 ? QStringLiteral(".") + frac : QString());
}

}  // namespace

QString guidText(const QString& s) {
    // libmdb drops the fourth hyphen; the digits decide.
    QString hex = s.trimmed().toLower();
    hex.remove(QRegularExpression(QStringLiteral("[^0-9a-f]")));
    if (hex.size() != 32)
        return s;
    return QStringLiteral("{%1-%2-%3-%4-%5}")
        .arg(hex.mid(0, 8), hex.mid(8, 4), hex.mid(12, 4), hex.mid(16, 4), hex.mid(20));
}

QVariant expectedValue(const jetwriter::Column& c, const QVariant& v) {
    using C = jetwriter::ColumnType;
    const C t = c.type;
    if (t == C::Boolean && !c.calculated)
        return v.isValid() && v.toBool();
    if (!v.isValid() || v.isNull())
        return {};
    switch (t) {
        case C::Byte:
        case C::Integer:
        case C::Long:
            return v.toLongLong();
        case C::Currency:
            return qint64(std::llround(v.toDouble() * 10000.0));
        case C::Single:
            return double(float(v.toDouble()));
        case C::Double:
            return v.toDouble();
        case C::DateTime:
            if (v.typeId() == QMetaType::QDateTime)
                return dateSerial(v.toDateTime());
            if (v.typeId() == QMetaType::QDate)
                return dateSerial(QDateTime(v.toDate(), QTime(0, 0)));
            return v.toDouble();
        case C::Text:
        case C::Memo:
            return v.toString();
        case C::OLE:
        case C::Binary:
            return v.toByteArray();
        case C::BigInt:
        case C::Complex:
            return v.toLongLong();
        case C::Guid:
            return guidText(v.typeId() == QMetaType::QUuid ? v.toUuid().toString() : v.toString());
        case C::Decimal:
            return decimalText(v.toString(), c.scale);
        default:
            return v;
    }
}

namespace {

QString show(const QVariant& v) {
    if (!v.isValid())
        return QStringLiteral("NULL");
    if (v.typeId() == QMetaType::QByteArray) {
        const QByteArray b = v.toByteArray();
        return QStringLiteral("bytes(%1:%2)").arg(b.size()).arg(QString::fromLatin1(b.left(16).toHex()));
    }
    if (v.typeId() == QMetaType::QString) {
        const QString s = v.toString();
        return s.size() > 60 ? QStringLiteral("text(%1:'%2…')").arg(s.size()).arg(s.left(40))
                             : QStringLiteral("'%1'").arg(s);
    }
    if (v.typeId() == QMetaType::Double)
        return QString::number(v.toDouble(), 'g', 17);
    return v.toString();
}

bool same(const QVariant& a, const QVariant& b, int type) {
    if (!a.isValid() || !b.isValid())
        return a.isValid() == b.isValid();
    switch (type) {
        case Float:
        case Double:
            return a.toDouble() == b.toDouble() || (std::isnan(a.toDouble()) && std::isnan(b.toDouble()));
        case Date:
            return std::abs(a.toDouble() - b.toDouble()) < 1e-8;  // about a millisecond
        case Bool:
            return a.toBool() == b.toBool();
        case Byte:
        case Int:
        case Long:
        case Money:
        case BigInt:
        case Complex:
            return a.toLongLong() == b.toLongLong();
        case Binary:
        case Ole:
            return a.toByteArray() == b.toByteArray();
        default:
            return a.toString() == b.toString();
    }
}

}  // namespace

QString compare(const Table& actual, const QList<jetwriter::Column>& columns,
                const QList<jetwriter::Row>& rows) {
    const QString t = actual.name;
    if (actual.columns.size() != columns.size())
        return QStringLiteral("%1: %2 colonne invece di %3")
            .arg(t)
            .arg(actual.columns.size())
            .arg(columns.size());
    for (int c = 0; c < columns.size(); ++c) {
        if (actual.columns[c] != columns[c].name)
            return QStringLiteral("%1: colonna %2 si chiama '%3' invece di '%4'")
                .arg(t)
                .arg(c)
                .arg(actual.columns[c], columns[c].name);
        if (actual.types[c] != typeCode(columns[c].type))
            return QStringLiteral("%1.%2: tipo %3 invece di %4")
                .arg(t, columns[c].name)
                .arg(actual.types[c])
                .arg(typeCode(columns[c].type));
    }
    if (actual.rowCount != rows.size())
        return QStringLiteral("%1: conteggio %2 invece di %3").arg(t).arg(actual.rowCount).arg(rows.size());
    if (actual.rows.size() != rows.size())
        return QStringLiteral("%1: %2 righe lette invece di %3")
            .arg(t)
            .arg(actual.rows.size())
            .arg(rows.size());
    for (int r = 0; r < rows.size(); ++r) {
        for (int c = 0; c < columns.size(); ++c) {
            const QVariant want = expectedValue(columns[c], c < rows[r].size() ? rows[r][c] : QVariant());
            const QVariant got = actual.rows[r].value(c);
            if (!same(got, want, typeCode(columns[c].type)))
                return QStringLiteral("%1 riga %2 colonna %3: letto %4, scritto %5")
                    .arg(t)
                    .arg(r)
                    .arg(columns[c].name, show(got), show(want));
        }
    }
    return {};
}

QString compareTables(const Table& a, const Table& b) {
    if (a.columns != b.columns || a.types != b.types)
        return QStringLiteral("%1: colonne diverse (%2 / %3)")
            .arg(a.name, a.columns.join(','), b.columns.join(','));
    if (a.rowCount != b.rowCount || a.rows.size() != b.rows.size())
        return QStringLiteral("%1: %2 righe contro %3").arg(a.name).arg(a.rows.size()).arg(b.rows.size());
    for (int r = 0; r < a.rows.size(); ++r)
        for (int c = 0; c < a.columns.size(); ++c)
            if (!same(a.rows[r].value(c), b.rows[r].value(c), a.types[c]))
                return QStringLiteral("%1 riga %2 colonna %3: %4 contro %5")
                    .arg(a.name)
                    .arg(r)
                    .arg(a.columns[c], show(a.rows[r].value(c)), show(b.rows[r].value(c)));
    return {};
}

Dump readWithLibmdb(const QString& path, bool systemTables) {
    Dump dump;
    MdbHandle* mdb = mdb_open(QFile::encodeName(path).constData(), MDB_NOFLAGS);
    if (!mdb) {
        dump.error = QStringLiteral("libmdb non apre %1").arg(path);
        return dump;
    }
    mdb_set_bind_size(mdb, 1 << 20);
    if (!mdb_read_catalog(mdb, MDB_ANY)) {
        dump.error = QStringLiteral("libmdb non legge il catalogo");
        mdb_close(mdb);
        return dump;
    }
    QByteArray oleBuf(1 << 20, '\0');
    for (guint e = 0; e < mdb->num_catalog; ++e) {
        auto* entry = static_cast<MdbCatalogEntry*>(g_ptr_array_index(mdb->catalog, e));
        if (entry->object_type == MDB_QUERY)
            dump.queries << QString::fromUtf8(entry->object_name);
        if (entry->object_type != MDB_TABLE)
            continue;
        if (!mdb_is_user_table(entry) && !(systemTables && mdb_is_system_table(entry)))
            continue;
        MdbTableDef* table = mdb_read_table(entry);
        if (!table) {
            dump.error =
                QStringLiteral("libmdb non legge la tabella %1").arg(QString::fromUtf8(entry->object_name));
            break;
        }
        mdb_read_columns(table);
        Table t;
        t.name = QString::fromUtf8(entry->object_name);
        t.rowCount = table->num_rows;
        for (guint c = 0; c < table->num_cols; ++c) {
            auto* col = static_cast<MdbColumn*>(g_ptr_array_index(table->columns, c));
            t.columns << QString::fromUtf8(col->name);
            t.types << col->col_type;
            t.sizes << col->col_size;
        }
        mdb_rewind_table(table);
        MdbField fields[256];
        while (mdb_fetch_row(table)) {
            int start = 0;
            size_t len = 0;
            mdb_find_row(mdb, int(table->cur_row) - 1, &start, &len);
            mdb_crack_row(table, start, len, fields);
            QList<QVariant> row;
            auto* buf = static_cast<unsigned char*>(mdb->pg_buf);
            for (guint c = 0; c < table->num_cols; ++c) {
                auto* col = static_cast<MdbColumn*>(g_ptr_array_index(table->columns, c));
                const bool isNull = fields[c].is_null;
                const int at = col->cur_value_start;
                const int n = col->cur_value_len;
                // libmdb allocates the bind size for every value it turns into text: room for a long
                // value only where one can be (a 1 MB block per cell is an mmap and a munmap each
                // under AddressSanitizer: minutes for the sample archive).
                const bool longValue = col->col_type == MDB_MEMO || col->col_type == MDB_OLE;
                mdb_set_bind_size(mdb, longValue ? 1 << 20 : 4096);
                if (col->col_type == MDB_BOOL) {
                    row << QVariant(!isNull);
                    continue;
                }
                if (isNull) {
                    row << QVariant();
                    continue;
                }
                switch (col->col_type) {
                    case MDB_BYTE:
                        row << QVariant(qint64(mdb_get_byte(buf, at)));
                        break;
                    case MDB_INT:
                        row << QVariant(qint64(qint16(mdb_get_int16(buf, at))));
                        break;
                    case MDB_LONGINT:
                        row << QVariant(qint64(qint32(mdb_get_int32(buf, at))));
                        break;
                    case MDB_MONEY: {
                        qint64 v;
                        std::memcpy(&v, buf + at, 8);
                        row << QVariant(v);
                        break;
                    }
                    case MDB_FLOAT:
                        row << QVariant(double(mdb_get_single(buf, at)));
                        break;
                    case MDB_DOUBLE:
                    case MDB_DATETIME:
                        row << QVariant(mdb_get_double(buf, at));
                        break;
                    case MDB_BINARY:
                        row << QVariant(QByteArray(reinterpret_cast<const char*>(buf + at), n));
                        break;
                    case MDB_TEXT:
                    case MDB_MEMO: {
                        if (n == 0) {
                            row << QVariant(QString());
                            break;
                        }
                        char* s = mdb_col_to_string(mdb, buf, at, col->col_type, n);
                        row << QVariant(QString::fromUtf8(s ? s : ""));
                        g_free(s);
                        break;
                    }
                    case MDB_OLE: {
                        std::memcpy(oleBuf.data(), buf + at, std::min(n, int(oleBuf.size())));
                        col->bind_ptr = oleBuf.data();
                        size_t size = 0;
                        void* data = mdb_ole_read_full(mdb, col, &size);
                        col->bind_ptr = nullptr;
                        row << QVariant(QByteArray(static_cast<const char*>(data), qsizetype(size)));
                        free(data);
                        break;
                    }
                    case MDB_REPID: {
                        char* s = mdb_col_to_string(mdb, buf, at, col->col_type, n);
                        row << QVariant(guidText(QString::fromUtf8(s ? s : "")));
                        g_free(s);
                        break;
                    }
                    default:
                        row << QVariant(QStringLiteral("<tipo %1>").arg(col->col_type));
                }
            }
            t.rows << row;
        }
        mdb_free_tabledef(table);
        dump.tables.insert(t.name, t);
    }
    mdb_close(mdb);
    return dump;
}

namespace {

int readerType(const QString& s) {
    static const QMap<QString, int> m{{"boolean", Bool},
                                      {"byte", Byte},
                                      {"integer", Int},
                                      {"long", Long},
                                      {"currency", Money},
                                      {"float", Float},
                                      {"double", Double},
                                      {"datetime", Date},
                                      {"binary", Binary},
                                      {"text", Text},
                                      {"ole", Ole},
                                      {"memo", Memo},
                                      {"repid", Guid},
                                      {"numeric", Numeric},
                                      {"complex", Complex},
                                      {"bigint", BigInt},
                                      {"datetimextended", ExtendedDate}};
    return m.value(s, -1);
}

// "-12.3456" -> -123456, exactly.
qint64 scaledCurrency(const QString& s) {
    QString t = s.trimmed();
    const bool neg = t.startsWith('-');
    if (neg)
        t.remove(0, 1);
    const QStringList parts = t.split('.');
    QString frac = parts.value(1).leftJustified(4, '0').left(4);
    const qint64 v = parts.value(0).toLongLong() * 10000 + frac.toLongLong();
    return neg ? -v : v;
}

QVariant fromJson(const QJsonValue& v, int type) {
    if (v.isNull() || v.isUndefined())
        return {};
    if (v.isObject()) {
        const QJsonObject o = v.toObject();
        if (o.contains("date")) {
            // mdb-reader turns the stored day number into milliseconds since 1970 linearly (also
            // before 1899-12-30, where Jet counts the time of day backwards), so this gives back
            // the stored number.
            return o.value("date").toDouble() / 86400000.0 + 25569.0;
        }
        if (o.contains("bytes"))
            return QByteArray::fromBase64(o.value("bytes").toString().toLatin1());
        if (o.contains("bigint"))
            return o.value("bigint").toString().toLongLong();
        return QVariant(QStringLiteral("<%1>").arg(QString::fromUtf8(QJsonDocument(o).toJson())));
    }
    switch (type) {
        case Bool:
            return v.toBool();
        case Byte:
        case Int:
        case Long:
            return qint64(v.toDouble());
        case Money:
            return scaledCurrency(v.toString());
        case Float:
        case Double:
            return v.toDouble();
        case Guid:
            return guidText(v.toString());
        default:
            return v.toString();
    }
}

}  // namespace

Dump readWithMdbReader(const QString& path) {
    Dump dump;
    const QString source =
        QProcessEnvironment::systemEnvironment().value(QStringLiteral("ALTORRA_SOURCE_DIR"));
    const QString dir = source + QStringLiteral("/tests/tools");
    if (source.isEmpty() ||
        !QFileInfo::exists(dir + QStringLiteral("/node_modules/mdb-reader/package.json"))) {
        dump.error =
            QStringLiteral("mdb-reader non installato in %1/node_modules (npm install in tests/tools)")
                .arg(dir);
        return dump;
    }
    QProcess node;
    node.setWorkingDirectory(dir);
    node.start(QStringLiteral("node"), {dir + QStringLiteral("/read_mdb.mjs"), path});
    if (!node.waitForStarted(30000)) {
        dump.error = QStringLiteral("node non si avvia: %1").arg(node.errorString());
        return dump;
    }
    QByteArray out;
    while (node.state() != QProcess::NotRunning) {
        node.waitForReadyRead(1000);
        out += node.readAllStandardOutput();
    }
    out += node.readAllStandardOutput();
    if (node.exitStatus() != QProcess::NormalExit || node.exitCode() != 0) {
        dump.error = QStringLiteral("mdb-reader: %1").arg(QString::fromUtf8(node.readAllStandardError()));
        return dump;
    }
    QJsonParseError perr;
    const QJsonDocument doc = QJsonDocument::fromJson(out, &perr);
    if (doc.isNull()) {
        dump.error = QStringLiteral("risposta di mdb-reader illeggibile: %1").arg(perr.errorString());
        return dump;
    }
    dump.password = doc.object().value("password").toString();
    const QJsonObject tables = doc.object().value("tables").toObject();
    for (auto it = tables.begin(); it != tables.end(); ++it) {
        const QJsonObject o = it.value().toObject();
        Table t;
        t.name = it.key();
        t.rowCount = qint64(o.value("rowCount").toDouble());
        for (const QJsonValue& c : o.value("columns").toArray()) {
            t.columns << c.toObject().value("name").toString();
            t.types << readerType(c.toObject().value("type").toString());
            t.sizes << c.toObject().value("size").toInt();
        }
        for (const QJsonValue& r : o.value("rows").toArray()) {
            QList<QVariant> row;
            const QJsonArray cells = r.toArray();
            for (int c = 0; c < cells.size(); ++c)
                row << fromJson(cells[c], t.types.value(c));
            t.rows << row;
        }
        dump.tables.insert(t.name, t);
    }
    return dump;
}

bool RawFile::load(const QString& p) {
    path = p;
    QFile f(p);
    if (!f.open(QIODevice::ReadOnly))
        return false;
    bytes = f.readAll();
    pageSize = bytes.size() > 0x14 && bytes.at(0x14) == 0 ? 2048 : 4096;
    return true;
}

quint32 RawFile::u32(qint64 at) const {
    return quint32(u8(at)) | quint32(u8(at + 1)) << 8 | quint32(u8(at + 2)) << 16 | quint32(u8(at + 3)) << 24;
}

quint16 RawFile::u16(qint64 at) const {
    return quint16(u8(at) | u8(at + 1) << 8);
}

int RawFile::mapType(quint32 pgRow) const {
    const qint64 page = pgRow >> 8;
    const int row = int(pgRow & 0xFF);
    const int countAt = pageSize == 4096 ? 14 : 10;
    const quint16 start = u16(page * pageSize + countAt + 2 * row) & 0x1FFF;
    return u8(page * pageSize + start);
}

QList<int> RawFile::dataPageRowCounts(quint32 tdefPage) const {
    QList<int> counts;
    const int countAt = pageSize == 4096 ? 12 : 8;
    for (int p = 1; p < pages(); ++p) {
        const qint64 base = qint64(p) * pageSize;
        if (u8(base) == 0x01 && u32(base + 4) == tdefPage)
            counts << u16(base + countAt);
    }
    return counts;
}

quint32 RawFile::tdefPageOf(const QString& table) const {
    quint32 page = 0;
    MdbHandle* mdb = mdb_open(QFile::encodeName(path).constData(), MDB_NOFLAGS);
    if (!mdb)
        return 0;
    mdb_read_catalog(mdb, MDB_ANY);
    for (guint e = 0; e < mdb->num_catalog; ++e) {
        auto* entry = static_cast<MdbCatalogEntry*>(g_ptr_array_index(mdb->catalog, e));
        if (entry->object_type == MDB_TABLE && QString::fromUtf8(entry->object_name) == table)
            page = quint32(entry->table_pg);
    }
    mdb_close(mdb);
    return page;
}

qint64 catalogFieldOffset(const QString& path, const QString& object, const QString& field) {
    MdbHandle* mdb = mdb_open(QFile::encodeName(path).constData(), MDB_NOFLAGS);
    if (!mdb) {
        return -1;
    }
    qint64 at = -1;
    MdbTableDef* table = mdb_read_table_by_name(mdb, const_cast<gchar*>("MSysObjects"), MDB_TABLE);
    if (table && mdb_read_columns(table)) {
        int nameCol = -1;
        MdbColumn* fieldCol = nullptr;
        for (guint c = 0; c < table->num_cols; ++c) {
            auto* col = static_cast<MdbColumn*>(g_ptr_array_index(table->columns, c));
            nameCol = QString::fromUtf8(col->name) == QLatin1String("Name") ? int(c) : nameCol;
            fieldCol = QString::fromUtf8(col->name) == field ? col : fieldCol;
        }
        mdb_rewind_table(table);
        while (at < 0 && nameCol >= 0 && fieldCol && mdb_fetch_row(table)) {
            auto* name = static_cast<MdbColumn*>(g_ptr_array_index(table->columns, guint(nameCol)));
            char* s = name->cur_value_len > 0 ? mdb_col_to_string(mdb, mdb->pg_buf, name->cur_value_start,
                                                                  name->col_type, name->cur_value_len)
                                              : nullptr;
            if (s && QString::fromUtf8(s) == object) {
                at = qint64(table->cur_phys_pg) * mdb->fmt->pg_size + fieldCol->cur_value_start;
            }
            g_free(s);
        }
    }
    if (table) {
        mdb_free_tabledef(table);
    }
    mdb_close(mdb);
    return at;
}

}  // namespace mdbcheck
