// Jet 3 / Jet 4 file writer. Pages are written to the file as soon as they are full, so tables of
// millions of rows need little memory. Layout: 0 header, 1 global page map, 2..5 system table
// definitions, then each user table's definition, data and long-value pages, then the catalogue's
// data pages, the usage-map pages and definition continuation pages.
#include "jetwriter/jetwriter.h"

#include <QDate>
#include <QDateTime>
#include <QFile>
#include <QHash>
#include <QRegularExpression>
#include <QSaveFile>
#include <QUuid>

#include <cmath>
#include <cstring>
#include <limits>
#include <optional>

namespace jetwriter {

namespace {

// Column type codes as stored in the table definition. Binary is only used by the catalogue.
enum : quint8 {
    kBool = 0x01,
    kByte = 0x02,
    kInt = 0x03,
    kLong = 0x04,
    kMoney = 0x05,
    kFloat = 0x06,
    kDouble = 0x07,
    kDate = 0x08,
    kBinary = 0x09,
    kText = 0x0A,
    kOle = 0x0B,
    kMemo = 0x0C,
    kGuid = 0x0F,
    kNumeric = 0x10,
    kComplex = 0x12,
    kBigInt = 0x13,
};

// Calculated columns keep their last result behind 16 unknown bytes and a 4-byte length, with 3
// bytes after it; fixed-size results take a 39-byte column.
constexpr int kCalcLenAt = 16;
constexpr int kCalcExtra = 23;
constexpr int kCalcFixedLength = 39;
constexpr quint8 kCalcExtFlags = 0xC0;
constexpr quint16 kDeletedRow = 0x4000;
constexpr quint16 kMovedRow = 0x8000;

struct Format {
    bool jet4;
    int pageSize;
    int dataHeader;     // bytes before the row offset table
    int rowCountAt;     // offset of the row count on a data page
    int tdefHeader;     // fixed part of a table definition
    int colRecord;      // one column record
    int mapRowLen;      // a usage-map row (type 0 and type 1 alike)
    int mapBits;        // pages one type-0 row covers
    int refEntries;     // page references in a type-1 row
    int refPageBits;    // pages one 0x05 bitmap page covers
    int maxRow;         // largest data row
    int lvalSingleMax;  // largest long value kept in one LVAL row
    int lvalChunk;      // data bytes per LVAL chain row
};

const Format kJet4{true, 4096, 14, 12, 63, 25, 69, 512, 17, 4092 * 8, 4060, 4076, 4072};
const Format kJet3{false, 2048, 10, 8, 43, 18, 133, 1024, 33, 2044 * 8, 2012, 2032, 2032};

constexpr int kMaxRowsPerPage = 255;
constexpr int kInlineMax = 64;
constexpr quint32 kTdefTypeUser = 0x4E;
constexpr quint32 kTdefTypeSystem = 0x53;
// A fixed creation date keeps files byte-identical from run to run.
constexpr double kCreationSerial = 45000.5;

void put8(QByteArray& b, int at, quint8 v) {
    b[at] = char(v);
}
void put16(QByteArray& b, int at, quint16 v) {
    b[at] = char(v & 0xFF);
    b[at + 1] = char(v >> 8);
}
void put32(QByteArray& b, int at, quint32 v) {
    for (int i = 0; i < 4; ++i)
        b[at + i] = char((v >> (8 * i)) & 0xFF);
}
void put64(QByteArray& b, int at, quint64 v) {
    for (int i = 0; i < 8; ++i)
        b[at + i] = char((v >> (8 * i)) & 0xFF);
}
void app8(QByteArray& b, quint8 v) {
    b.append(char(v));
}
void app16(QByteArray& b, quint16 v) {
    b.append(char(v & 0xFF));
    b.append(char(v >> 8));
}
void app32(QByteArray& b, quint32 v) {
    for (int i = 0; i < 4; ++i)
        b.append(char((v >> (8 * i)) & 0xFF));
}
quint64 doubleBits(double d) {
    quint64 u;
    std::memcpy(&u, &d, 8);
    return u;
}
quint32 floatBits(float f) {
    quint32 u;
    std::memcpy(&u, &f, 4);
    return u;
}

quint32 pgRow(quint32 page, int row) {
    return (page << 8) | quint32(row);
}

// Windows-1252 bytes 0x80..0x9F; 0 marks the five bytes the code page leaves undefined.
const char16_t kCp1252High[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                  0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                  0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                  0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

std::optional<QByteArray> toCp1252(const QString& s) {
    QByteArray out;
    out.reserve(s.size());
    for (QChar qc : s) {
        char16_t c = qc.unicode();
        if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
            out.append(char(c));
            continue;
        }
        int found = -1;
        for (int i = 0; i < 32; ++i)
            if (kCp1252High[i] && kCp1252High[i] == c)
                found = i;
        if (found < 0)
            return std::nullopt;
        out.append(char(0x80 + found));
    }
    return out;
}

QByteArray toUcs2(const QString& s) {
    QByteArray out;
    out.reserve(s.size() * 2);
    for (QChar c : s)
        app16(out, c.unicode());
    return out;
}

// Jet 4 text: the "compressed unicode" form when it is strictly shorter (memos only up to 1024
// characters, as Access does), plain UCS-2 otherwise. A string that starts with U+FEFF would be
// taken for a compressed one in plain form, so it is always compressed when it can be.
QByteArray encodeJet4Text(const QString& s, bool memo) {
    const bool bom = !s.isEmpty() && s.at(0).unicode() == 0xFEFF;
    bool compressible = bom || !(memo && s.size() > 1024);
    for (QChar c : s)
        if ((c.unicode() & 0xFF) == 0)
            compressible = false;
    if (compressible) {
        QByteArray out("\xFF\xFE", 2);
        bool oneByte = true;
        for (QChar qc : s) {
            char16_t c = qc.unicode();
            bool wantOne = c < 0x100;
            if (wantOne != oneByte) {
                out.append('\0');
                oneByte = wantOne;
            }
            if (oneByte)
                out.append(char(c));
            else
                app16(out, c);
        }
        if (out.size() < s.size() * 2 || bom)
            return out;
    }
    return toUcs2(s);
}

double dateSerial(const QDate& date, const QTime& time) {
    static const QDate epoch(1899, 12, 30);
    double days = double(epoch.daysTo(date));
    double frac = time.isValid() ? time.msecsSinceStartOfDay() / 86400000.0 : 0.0;
    // Before the epoch the day counts backwards and the time of day is subtracted.
    return days < 0 ? days - frac : days + frac;
}

struct ColDef {
    QString name;
    quint8 type = kText;
    int chars = 255;  // Text: maximum characters
    int number = 0;
    bool fixed = false;
    int fixedOffset = 0;
    int varIndex = 0;
    int varBefore = 0;  // fixed columns: variable columns with a lower number
    int length = 0;     // stored in the definition
    int precision = 0;  // Decimal
    int scale = 0;
    bool calculated = false;
    int complexTypeId = 0;
};

bool isLong(quint8 t) {
    return t == kMemo || t == kOle;
}

int fixedSize(quint8 t) {
    switch (t) {
        case kByte:
            return 1;
        case kInt:
            return 2;
        case kLong:
        case kFloat:
            return 4;
        case kComplex:
            return 4;
        case kMoney:
        case kDouble:
        case kDate:
        case kBigInt:
            return 8;
        case kGuid:
            return 16;
        case kNumeric:
            return 17;
        default:
            return 0;
    }
}

quint8 typeCode(ColumnType t) {
    switch (t) {
        case ColumnType::Boolean:
            return kBool;
        case ColumnType::Byte:
            return kByte;
        case ColumnType::Integer:
            return kInt;
        case ColumnType::Long:
            return kLong;
        case ColumnType::Currency:
            return kMoney;
        case ColumnType::Single:
            return kFloat;
        case ColumnType::Double:
            return kDouble;
        case ColumnType::DateTime:
            return kDate;
        case ColumnType::Text:
            return kText;
        case ColumnType::Memo:
            return kMemo;
        case ColumnType::OLE:
            return kOle;
        case ColumnType::Binary:
            return kBinary;
        case ColumnType::Guid:
            return kGuid;
        case ColumnType::Decimal:
            return kNumeric;
        case ColumnType::BigInt:
            return kBigInt;
        case ColumnType::Complex:
            return kComplex;
    }
    return kText;
}

struct TableDef {
    QString name;
    bool system = false;
    QList<ColDef> cols;
    int fixedLen = 0;
    int numVar = 0;
    RowSource rows;
    quint32 tdefPage = 0;
    QHash<int, RowOptions> rowOptions;  // by position
};

struct QueryRow {
    int attribute;
    QString name1;
    QString name2;
    QString expression;
    std::optional<int> flag;
};

struct QueryDef {
    QString name;
    QString sql;
};

QString unbracket(QString s) {
    s = s.trimmed();
    if (s.size() >= 2 && s.startsWith('[') && s.endsWith(']'))
        return s.mid(1, s.size() - 2);
    return s;
}

// Splits at top-level commas (outside brackets, parentheses and quotes).
QStringList splitItems(const QString& s) {
    QStringList out;
    int depth = 0;
    QChar quote;
    bool inBracket = false;
    QString cur;
    for (QChar c : s) {
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
        } else if (inBracket) {
            if (c == ']')
                inBracket = false;
        } else if (c == '[') {
            inBracket = true;
        } else if (c == '\'' || c == '"') {
            quote = c;
        } else if (c == '(') {
            ++depth;
        } else if (c == ')') {
            --depth;
        } else if (c == ',' && depth == 0) {
            out << cur.trimmed();
            cur.clear();
            continue;
        }
        cur += c;
    }
    if (!cur.trimmed().isEmpty())
        out << cur.trimmed();
    return out;
}

// Finds a keyword (whole word, case-insensitive) outside brackets and quotes, from `from`.
int findKeyword(const QString& s, const QString& kw, int from = 0) {
    bool inBracket = false;
    QChar quote;
    for (int i = 0; i < s.size(); ++i) {
        QChar c = s.at(i);
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
            continue;
        }
        if (inBracket) {
            if (c == ']')
                inBracket = false;
            continue;
        }
        if (c == '[') {
            inBracket = true;
            continue;
        }
        if (c == '\'' || c == '"') {
            quote = c;
            continue;
        }
        if (i < from)
            continue;
        if (s.mid(i, kw.size()).compare(kw, Qt::CaseInsensitive) != 0)
            continue;
        bool startOk = i == 0 || s.at(i - 1).isSpace() || s.at(i - 1) == ']' || s.at(i - 1) == ')';
        int end = i + kw.size();
        bool endOk = end >= s.size() || s.at(end).isSpace() || s.at(end) == '[' || s.at(end) == '(';
        if (startOk && endOk)
            return i;
    }
    return -1;
}

// Turns a simple select statement into the catalogue rows that describe a stored query.
bool parseSelect(const QString& sqlIn, QList<QueryRow>& rows, QString* error) {
    QString sql = sqlIn.trimmed();
    if (sql.endsWith(';'))
        sql.chop(1);
    static const QRegularExpression head(QStringLiteral("^select\\s+"),
                                         QRegularExpression::CaseInsensitiveOption);
    auto m = head.match(sql);
    if (!m.hasMatch()) {
        *error = QStringLiteral("la query non inizia con SELECT: %1").arg(sqlIn);
        return false;
    }
    QString rest = sql.mid(m.capturedLength());
    bool distinct = false;
    static const QRegularExpression dist(QStringLiteral("^distinct\\s+"),
                                         QRegularExpression::CaseInsensitiveOption);
    auto dm = dist.match(rest);
    if (dm.hasMatch()) {
        distinct = true;
        rest = rest.mid(dm.capturedLength());
    }
    int fromAt = findKeyword(rest, QStringLiteral("from"));
    if (fromAt < 0) {
        *error = QStringLiteral("la query non ha FROM: %1").arg(sqlIn);
        return false;
    }
    QString cols = rest.left(fromAt).trimmed();
    QString tail = rest.mid(fromAt + 4).trimmed();
    int whereAt = findKeyword(tail, QStringLiteral("where"));
    int orderAt = findKeyword(tail, QStringLiteral("order"));
    int tableEnd = tail.size();
    if (whereAt >= 0)
        tableEnd = whereAt;
    else if (orderAt >= 0)
        tableEnd = orderAt;
    QString table = unbracket(tail.left(tableEnd));
    QString where;
    if (whereAt >= 0)
        where = tail.mid(whereAt + 5, (orderAt >= 0 ? orderAt : tail.size()) - whereAt - 5).trimmed();
    QStringList order;
    if (orderAt >= 0) {
        static const QRegularExpression by(QStringLiteral("^order\\s+by\\s+"),
                                           QRegularExpression::CaseInsensitiveOption);
        QString o = tail.mid(orderAt);
        auto bm = by.match(o);
        if (!bm.hasMatch()) {
            *error = QStringLiteral("ORDER senza BY: %1").arg(sqlIn);
            return false;
        }
        order = splitItems(o.mid(bm.capturedLength()));
    }
    if (table.isEmpty() || cols.isEmpty()) {
        *error = QStringLiteral("query incompleta: %1").arg(sqlIn);
        return false;
    }
    rows.append({0, {}, {}, {}, 0});
    rows.append({1, {}, {}, {}, 1});
    rows.append({3, {}, {}, {}, distinct ? 2 : 0});
    rows.append({5, table, {}, {}, std::nullopt});
    for (const QString& item : splitItems(cols)) {
        int asAt = findKeyword(item, QStringLiteral("as"));
        QString expr = asAt >= 0 ? item.left(asAt).trimmed() : item;
        QString alias = asAt >= 0 ? unbracket(item.mid(asAt + 2)) : QString();
        rows.append({6, alias, {}, expr, 0});
    }
    if (!where.isEmpty())
        rows.append({8, {}, {}, where, std::nullopt});
    for (const QString& item : order) {
        QString expr = item;
        QString dir;
        static const QRegularExpression desc(QStringLiteral("\\s+(asc|desc)$"),
                                             QRegularExpression::CaseInsensitiveOption);
        auto om = desc.match(expr);
        if (om.hasMatch()) {
            if (om.captured(1).compare(QStringLiteral("desc"), Qt::CaseInsensitive) == 0)
                dir = QStringLiteral("D");
            expr = expr.left(om.capturedStart());
        }
        rows.append({11, dir, {}, expr.trimmed(), std::nullopt});
    }
    rows.append({255, {}, {}, {}, std::nullopt});
    return true;
}

}  // namespace

struct Database::Impl {
    Version version;
    QString password;
    quint32 encryptionKey = 0;
    QList<TableDef> tables;  // user tables, in order of addition
    QList<QueryDef> queries;
    QString firstError;

    void fail(const QString& e) {
        if (firstError.isEmpty())
            firstError = e;
    }
};

namespace {

QByteArray rc4(const QByteArray& key, int n);

// Everything one write() needs: the open file, page allocation and the pool of usage-map rows.
class Writer {
  public:
    Writer(const Format& f, QFileDevice& file) : f_(f), file_(file) {}

    const Format& f() const { return f_; }
    quint32 allocPage() { return nextPage_++; }
    quint32 pageCount() const { return nextPage_; }
    // Jet 3 / Jet 4 page encryption: each page after the header RC4-encrypted with the key XOR
    // its page number.
    void encryptWith(quint32 key) { cryptKey_ = key; }
    QString error;

    bool writePage(quint32 page, const QByteArray& plain) {
        Q_ASSERT(plain.size() == f_.pageSize);
        QByteArray data = plain;
        if (cryptKey_ != 0 && page != 0) {
            QByteArray key(4, '\0');
            put32(key, 0, cryptKey_ ^ page);
            const QByteArray ks = rc4(key, f_.pageSize);
            for (int i = 0; i < f_.pageSize; ++i)
                data[i] = char(quint8(data[i]) ^ quint8(ks[i]));
        }
        if (!file_.seek(qint64(page) * f_.pageSize) || file_.write(data) != data.size()) {
            error = QStringLiteral("scrittura non riuscita: %1").arg(file_.errorString());
            return false;
        }
        return true;
    }

    // A page of rows packed from the end backwards.
    struct RowPage {
        quint32 page = 0;
        quint32 owner = 0;
        QList<QByteArray> rows;
        QList<quint16> flags;  // offset flags per row (deleted, moved)
        int used = 0;          // bytes of rows plus their offset slots
        bool open = false;
    };

    int freeSpace(const RowPage& p) const { return f_.pageSize - f_.dataHeader - p.used; }
    bool fits(const RowPage& p, int len) const {
        return p.open && p.rows.size() < kMaxRowsPerPage && freeSpace(p) >= len + 2;
    }

    QByteArray renderRowPage(const RowPage& p) const {
        QByteArray b(f_.pageSize, '\0');
        put8(b, 0, 0x01);
        put8(b, 1, 0x01);
        put16(b, 2, quint16(freeSpace(p)));
        put32(b, 4, p.owner);
        put16(b, f_.rowCountAt, quint16(p.rows.size()));
        int end = f_.pageSize;
        for (int i = 0; i < p.rows.size(); ++i) {
            int start = end - p.rows[i].size();
            std::memcpy(b.data() + start, p.rows[i].constData(), p.rows[i].size());
            put16(b, f_.rowCountAt + 2 + 2 * i, quint16(start) | p.flags.value(i));
            end = start;
        }
        return b;
    }

    bool flush(RowPage& p) {
        if (!p.open)
            return true;
        p.open = false;
        return writePage(p.page, renderRowPage(p));
    }

    // Adds a row to `p`, starting a new page (reported in *newPage) when it does not fit.
    bool place(RowPage& p, const QByteArray& row, quint32* pageOut, int* rowOut, bool* newPage = nullptr,
               quint16 flags = 0) {
        if (newPage)
            *newPage = false;
        if (!fits(p, row.size())) {
            if (!flush(p))
                return false;
            quint32 owner = p.owner;
            p = RowPage();
            p.owner = owner;
            p.page = allocPage();
            p.open = true;
            if (newPage)
                *newPage = true;
        }
        *pageOut = p.page;
        *rowOut = int(p.rows.size());
        p.rows.append(row);
        p.flags.append(flags);
        p.used += row.size() + 2;
        return true;
    }

    // Usage-map rows live on owner-0 pages written at the end.
    quint32 addMapRow(const QByteArray& row) {
        if (mapPages_.isEmpty() || !fitsLoose(mapPages_.last(), row.size())) {
            RowPage p;
            p.page = allocPage();
            p.open = true;
            mapPages_.append(p);
        }
        RowPage& p = mapPages_.last();
        int r = int(p.rows.size());
        p.rows.append(row);
        p.used += row.size() + 2;
        return pgRow(p.page, r);
    }

    // A usage map listing exactly `pages` (ascending): type 0 when they span few enough pages,
    // type 1 with bitmap pages otherwise.
    quint32 addUsageMap(const QList<quint32>& pages) {
        QByteArray row(f_.mapRowLen, '\0');
        if (pages.isEmpty() || pages.last() - pages.first() < quint32(f_.mapBits)) {
            quint32 start = pages.isEmpty() ? 0 : pages.first();
            put8(row, 0, 0);
            put32(row, 1, start);
            for (quint32 pg : pages) {
                quint32 bit = pg - start;
                row[5 + int(bit / 8)] = char(quint8(row[5 + int(bit / 8)]) | (1u << (bit % 8)));
            }
            return addMapRow(row);
        }
        put8(row, 0, 1);
        QHash<quint32, QByteArray> bitmaps;
        for (quint32 pg : pages) {
            quint32 k = pg / quint32(f_.refPageBits);
            if (int(k) >= f_.refEntries) {
                error = QStringLiteral("file troppo grande per una mappa delle pagine");
                return 0;
            }
            QByteArray& bm = bitmaps[k];
            if (bm.isEmpty()) {
                bm = QByteArray(f_.pageSize, '\0');
                put8(bm, 0, 0x05);
                put8(bm, 1, 0x01);
            }
            quint32 bit = pg % quint32(f_.refPageBits);
            bm[4 + int(bit / 8)] = char(quint8(bm[4 + int(bit / 8)]) | (1u << (bit % 8)));
        }
        QList<quint32> keys = bitmaps.keys();
        std::sort(keys.begin(), keys.end());
        for (quint32 k : keys) {
            quint32 page = allocPage();
            put32(row, 1 + 4 * int(k), page);
            pendingPages_.append({page, bitmaps[k]});
        }
        return addMapRow(row);
    }

    bool finishMaps() {
        for (RowPage& p : mapPages_)
            if (!writePage(p.page, renderRowPage(p)))
                return false;
        for (auto& pp : pendingPages_)
            if (!writePage(pp.first, pp.second))
                return false;
        return true;
    }

  private:
    bool fitsLoose(const RowPage& p, int len) const {
        return p.rows.size() < kMaxRowsPerPage && freeSpace(p) >= len + 2;
    }

    const Format& f_;
    QFileDevice& file_;
    quint32 nextPage_ = 0;
    quint32 cryptKey_ = 0;
    QList<RowPage> mapPages_;
    QList<std::pair<quint32, QByteArray>> pendingPages_;
};

// Lays out columns: numbers in order, fixed offsets, variable indexes.
void layoutColumns(TableDef& t, const Format& f) {
    int fixedOff = 0;
    int var = 0;
    for (int i = 0; i < t.cols.size(); ++i) {
        ColDef& c = t.cols[i];
        c.number = i;
        const int sz = c.calculated ? 0 : fixedSize(c.type);
        if (c.type == kBool && !c.calculated) {
            c.fixed = true;
            c.fixedOffset = 0;
            c.length = 1;
            c.varBefore = var;
        } else if (sz > 0) {
            c.fixed = true;
            c.fixedOffset = fixedOff;
            fixedOff += sz;
            c.length = sz;
            c.varBefore = var;
        } else {
            c.fixed = false;
            c.varIndex = var++;
            if (c.type == kText)
                c.length = f.jet4 ? 2 * c.chars : c.chars;
            else if (c.type == kBinary)
                c.length = c.chars;
            else
                c.length = 0;
            // A calculated result sits in the variable area inside its wrapper.
            if (c.calculated && c.type == kText)
                c.length += kCalcExtra;
            else if (c.calculated && !isLong(c.type))
                c.length = kCalcFixedLength;
        }
    }
    t.fixedLen = fixedOff;
    t.numVar = var;
}

QByteArray encodeName(const QString& s, const Format& f) {
    QByteArray out;
    if (f.jet4) {
        QByteArray u = toUcs2(s);
        app16(out, quint16(u.size()));
        out += u;
    } else {
        QByteArray b = toCp1252(s).value_or(QByteArray());
        app8(out, quint8(b.size()));
        out += b;
    }
    return out;
}

// One table being streamed: its data pages, long-value pages per column, and counters.
struct TableRun {
    Writer::RowPage data;
    Writer::RowPage moved;  // rows reached through a moved-row pointer
    QList<quint32> dataPages;
    QHash<int, Writer::RowPage> lval;  // by column number
    QHash<int, QList<quint32>> lvalPages;
    quint32 rowCount = 0;
};

class RowEncoder {
  public:
    RowEncoder(Writer& w, const TableDef& t, TableRun& run) : w_(w), f_(w.f()), t_(t), run_(run) {}

    // Encodes one row, storing only its first `stored` columns (-1 = all); long values go to LVAL
    // pages on the way.
    bool encode(const Row& row, int stored, QByteArray& out, QString* error) {
        const int total = int(t_.cols.size());
        if (row.size() > total) {
            *error = QStringLiteral("tabella %1: riga con %2 valori per %3 colonne")
                         .arg(t_.name)
                         .arg(row.size())
                         .arg(total);
            return false;
        }
        const int n = stored < 0 ? total : std::min(stored, total);
        for (int i = n; i < row.size(); ++i)
            if (row[i].isValid() && !row[i].isNull()) {
                *error = QStringLiteral("tabella %1: valore per la colonna %2, non memorizzata nella riga")
                             .arg(t_.name, t_.cols[i].name);
                return false;
            }
        int fixedLen = 0;
        int numVar = 0;
        for (int i = 0; i < n; ++i) {
            const ColDef& c = t_.cols[i];
            if (c.fixed)
                fixedLen = std::max(fixedLen, c.fixedOffset + fixedSize(c.type));
            else
                ++numVar;
        }
        QByteArray fixed(fixedLen, '\0');
        QByteArray mask((n + 7) / 8, '\0');
        QList<QByteArray> vars(numVar);
        for (int i = 0; i < n; ++i) {
            const ColDef& c = t_.cols[i];
            QVariant v = i < row.size() ? row[i] : QVariant();
            bool isNull = !v.isValid() || v.isNull();
            if (c.type == kBool && !c.calculated) {
                if (!isNull && v.toBool())
                    mask[i / 8] = char(quint8(mask[i / 8]) | (1u << (i % 8)));
                continue;
            }
            if (isNull)
                continue;
            mask[i / 8] = char(quint8(mask[i / 8]) | (1u << (i % 8)));
            if (c.calculated) {
                if (!encodeCalculated(c, v, vars[c.varIndex], error))
                    return false;
            } else if (c.fixed) {
                if (!encodeFixed(c, v, fixed, c.fixedOffset, error))
                    return false;
            } else if (!encodeVar(c, v, vars[c.varIndex], error)) {
                return false;
            }
        }
        out.clear();
        if (f_.jet4)
            app16(out, quint16(n));
        else
            app8(out, quint8(n));
        out += fixed;
        QList<int> offs;
        for (const QByteArray& v : vars) {
            offs.append(int(out.size()));
            out += v;
        }
        const int eod = int(out.size());
        // The trailer follows the table's definition: present whenever the table has variable
        // columns, even when this row stores none of them.
        if (t_.numVar > 0) {
            if (f_.jet4) {
                app16(out, quint16(eod));
                for (int i = numVar - 1; i >= 0; --i)
                    app16(out, quint16(offs[i]));
                app16(out, quint16(numVar));
            } else {
                jet3Trailer(out, offs, eod, int(mask.size()));
            }
        }
        out += mask;
        if (out.size() > f_.maxRow) {
            *error = QStringLiteral("tabella %1: riga di %2 byte, oltre il limite di %3")
                         .arg(t_.name)
                         .arg(out.size())
                         .arg(f_.maxRow);
            return false;
        }
        return true;
    }

  private:
    // Jet 3 keeps one-byte offsets; a jump table tells which entries lie beyond each 256 bytes.
    void jet3Trailer(QByteArray& out, const QList<int>& offs, int eod, int maskSize) {
        const int v = int(offs.size());
        QList<int> full = offs;
        full.append(eod);
        const int base = eod + (v + 1) + 1 + maskSize;
        int j = 0;
        while (j != (base + j - 1) / 256)
            ++j;
        const int real = eod / 256;
        QList<quint8> jump;
        for (int k = 0; k < j; ++k) {
            if (k < real) {
                int idx = 0;
                while (idx <= v && full[idx] < 256 * (k + 1))
                    ++idx;
                jump.append(quint8(idx));
            } else {
                jump.append(0xFF);
            }
        }
        app8(out, quint8(eod & 0xFF));
        for (int i = v - 1; i >= 0; --i)
            app8(out, quint8(offs[i] & 0xFF));
        for (int k = j - 1; k >= 0; --k)
            app8(out, jump[k]);
        app8(out, quint8(v));
    }

    bool encodeFixed(const ColDef& c, const QVariant& v, QByteArray& fixed, int at, QString* error) {
        bool ok = true;
        auto range = [&](qint64 x, qint64 lo, qint64 hi) {
            if (x < lo || x > hi) {
                *error = QStringLiteral("tabella %1, colonna %2: valore %3 fuori dall'intervallo")
                             .arg(t_.name, c.name)
                             .arg(x);
                return false;
            }
            return true;
        };
        switch (c.type) {
            case kByte: {
                qint64 x = v.toLongLong(&ok);
                if (!ok || !range(x, 0, 255))
                    break;
                put8(fixed, at, quint8(x));
                return true;
            }
            case kInt: {
                qint64 x = v.toLongLong(&ok);
                if (!ok || !range(x, -32768, 32767))
                    break;
                put16(fixed, at, quint16(qint16(x)));
                return true;
            }
            case kLong: {
                qint64 x = v.toLongLong(&ok);
                if (!ok || !range(x, std::numeric_limits<qint32>::min(), std::numeric_limits<qint32>::max()))
                    break;
                put32(fixed, at, quint32(qint32(x)));
                return true;
            }
            case kComplex: {
                qint64 x = v.toLongLong(&ok);
                if (!ok || !range(x, 1, std::numeric_limits<qint32>::max()))
                    break;
                put32(fixed, at, quint32(x));
                return true;
            }
            case kBigInt: {
                qint64 x = v.toLongLong(&ok);
                if (!ok)
                    break;
                put64(fixed, at, quint64(x));
                return true;
            }
            case kGuid: {
                const QUuid u = v.typeId() == QMetaType::QUuid ? v.toUuid() : QUuid::fromString(v.toString());
                if (u.isNull() && v.typeId() != QMetaType::QUuid)
                    break;
                put32(fixed, at, u.data1);
                put16(fixed, at + 4, u.data2);
                put16(fixed, at + 6, u.data3);
                for (int i = 0; i < 8; ++i)
                    put8(fixed, at + 8 + i, u.data4[i]);
                return true;
            }
            case kNumeric:
                if (!encodeDecimal(c, v, fixed, at, error))
                    break;
                return true;
            case kMoney: {
                double d = v.toDouble(&ok);
                if (!ok)
                    break;
                put64(fixed, at, quint64(qint64(std::llround(d * 10000.0))));
                return true;
            }
            case kFloat: {
                double d = v.toDouble(&ok);
                if (!ok)
                    break;
                put32(fixed, at, floatBits(float(d)));
                return true;
            }
            case kDouble: {
                double d = v.toDouble(&ok);
                if (!ok)
                    break;
                put64(fixed, at, doubleBits(d));
                return true;
            }
            case kDate: {
                double serial;
                if (v.typeId() == QMetaType::QDateTime) {
                    QDateTime dt = v.toDateTime();
                    serial = dateSerial(dt.date(), dt.time());
                } else if (v.typeId() == QMetaType::QDate) {
                    serial = dateSerial(v.toDate(), QTime());
                } else {
                    serial = v.toDouble(&ok);
                    if (!ok)
                        break;
                }
                put64(fixed, at, doubleBits(serial));
                return true;
            }
            default:
                break;
        }
        if (error->isEmpty())
            *error = QStringLiteral("tabella %1, colonna %2: valore non valido '%3'")
                         .arg(t_.name, c.name, v.toString());
        return false;
    }

    // Decimal: a sign byte (0x80 negative), then the unscaled value as four 32-bit little-endian
    // words, the most significant first.
    bool encodeDecimal(const ColDef& c, const QVariant& v, QByteArray& fixed, int at, QString* error) {
        if (v.typeId() == QMetaType::Double || v.typeId() == QMetaType::Float)
            return false;  // not exact
        static const QRegularExpression number(QStringLiteral("^([+-]?)(\\d*)(?:\\.(\\d*))?$"));
        const auto m = number.match(v.toString().trimmed());
        if (!m.hasMatch() || (m.captured(2).isEmpty() && m.captured(3).isEmpty()))
            return false;
        const QString frac = m.captured(3);
        if (frac.size() > c.scale) {
            *error = QStringLiteral("tabella %1, colonna %2: più di %3 decimali in %4")
                         .arg(t_.name, c.name)
                         .arg(c.scale)
                         .arg(v.toString());
            return false;
        }
        QString digits = m.captured(2) + frac.leftJustified(c.scale, '0');
        while (digits.size() > 1 && digits.startsWith('0'))
            digits.remove(0, 1);
        if (digits.size() > c.precision) {
            *error = QStringLiteral("tabella %1, colonna %2: %3 ha più di %4 cifre")
                         .arg(t_.name, c.name, v.toString())
                         .arg(c.precision);
            return false;
        }
        unsigned __int128 x = 0;
        for (QChar d : digits)
            x = x * 10 + unsigned(d.digitValue());
        put8(fixed, at, m.captured(1) == QLatin1String("-") && x != 0 ? 0x80 : 0x00);
        for (int k = 0; k < 4; ++k)
            put32(fixed, at + 1 + 4 * (3 - k), quint32(x >> (32 * k)));
        return true;
    }

    // A calculated column's stored result, in its wrapper.
    bool encodeCalculated(const ColDef& c, const QVariant& v, QByteArray& out, QString* error) {
        QByteArray payload;
        if (c.type == kBool) {
            payload = QByteArray(1, v.toBool() ? char(0xFF) : char(0));
        } else if (c.type == kText || c.type == kMemo) {
            const QString s = v.toString();
            if (c.type == kText && s.size() > c.chars) {
                *error = QStringLiteral("tabella %1, colonna %2: testo di %3 caratteri, oltre %4")
                             .arg(t_.name, c.name)
                             .arg(s.size())
                             .arg(c.chars);
                return false;
            }
            if (!encodeText(c, s, payload, error))
                return false;
        } else {
            payload = QByteArray(fixedSize(c.type), '\0');
            if (!encodeFixed(c, v, payload, 0, error))
                return false;
        }
        QByteArray wrapped(kCalcLenAt, '\0');
        app32(wrapped, quint32(payload.size()));
        wrapped += payload;
        wrapped += QByteArray(kCalcExtra - kCalcLenAt - 4, '\0');
        if (c.type == kMemo)
            return longValue(c, wrapped, out, error);
        out = wrapped;
        return true;
    }

    bool encodeText(const ColDef& c, const QString& s, QByteArray& out, QString* error) {
        if (f_.jet4) {
            out = encodeJet4Text(s, c.type == kMemo);
            return true;
        }
        auto b = toCp1252(s);
        if (!b) {
            *error =
                QStringLiteral("tabella %1, colonna %2: carattere non rappresentabile nella codifica 1252")
                    .arg(t_.name, c.name);
            return false;
        }
        out = *b;
        return true;
    }

    bool encodeVar(const ColDef& c, const QVariant& v, QByteArray& out, QString* error) {
        if (c.type == kText) {
            QString s = v.toString();
            if (s.size() > c.chars) {
                *error = QStringLiteral("tabella %1, colonna %2: testo di %3 caratteri, oltre %4")
                             .arg(t_.name, c.name)
                             .arg(s.size())
                             .arg(c.chars);
                return false;
            }
            return encodeText(c, s, out, error);
        }
        if (c.type == kBinary) {
            out = v.toByteArray();
            if (out.size() > c.chars) {
                *error = QStringLiteral("tabella %1, colonna %2: dato binario oltre %3 byte")
                             .arg(t_.name, c.name)
                             .arg(c.chars);
                return false;
            }
            return true;
        }
        QByteArray data;
        if (c.type == kMemo) {
            if (!encodeText(c, v.toString(), data, error))
                return false;
        } else {
            data = v.toByteArray();
        }
        return longValue(c, data, out, error);
    }

    // The 12-byte long-value header, with the data inline, in one LVAL row or in a chain.
    bool longValue(const ColDef& c, const QByteArray& data, QByteArray& out, QString* error) {
        const int len = int(data.size());
        if (len >= (1 << 24)) {
            *error = QStringLiteral("tabella %1, colonna %2: valore troppo lungo").arg(t_.name, c.name);
            return false;
        }
        out = QByteArray(12, '\0');
        put8(out, 0, quint8(len & 0xFF));
        put8(out, 1, quint8((len >> 8) & 0xFF));
        put8(out, 2, quint8((len >> 16) & 0xFF));
        if (len <= kInlineMax) {
            put8(out, 3, 0x80);
            out += data;
            return true;
        }
        Writer::RowPage& lp = run_.lval[c.number];
        lp.owner = 0x4C41564C;  // "LVAL"
        quint32 page;
        int r;
        bool fresh;
        if (len <= f_.lvalSingleMax) {
            if (!w_.place(lp, data, &page, &r, &fresh))
                return fail(error);
            if (fresh)
                run_.lvalPages[c.number].append(page);
            put8(out, 3, 0x40);
            put32(out, 4, pgRow(page, r));
            return true;
        }
        // Chains are written last chunk first, so each row's next pointer is already known.
        QList<int> starts;
        for (int s = 0; s < len; s += f_.lvalChunk)
            starts.append(s);
        quint32 next = 0;
        for (int i = int(starts.size()) - 1; i >= 0; --i) {
            QByteArray chunk;
            app32(chunk, next);
            chunk += data.mid(starts[i], f_.lvalChunk);
            if (!w_.place(lp, chunk, &page, &r, &fresh))
                return fail(error);
            if (fresh)
                run_.lvalPages[c.number].append(page);
            next = pgRow(page, r);
        }
        put8(out, 3, 0x00);
        put32(out, 4, next);
        return true;
    }

    bool fail(QString* error) {
        *error = w_.error;
        return false;
    }

    Writer& w_;
    const Format& f_;
    const TableDef& t_;
    TableRun& run_;
};

// Builds the definition stream of a table (page chaining is done by the caller).
QByteArray tdefStream(const TableDef& t, const Format& f, quint32 rows, quint32 ownedMap, quint32 freeMap,
                      const QHash<int, std::pair<quint32, quint32>>& lvalMaps) {
    QByteArray s(f.tdefHeader, '\0');
    put8(s, 0, 0x02);
    put8(s, 1, 0x01);
    const quint16 n = quint16(t.cols.size());
    const quint8 type = quint8(t.system ? kTdefTypeSystem : kTdefTypeUser);
    if (f.jet4) {
        put32(s, 12, 1625);
        put32(s, 16, rows);
        put8(s, 24, 1);
        put8(s, 40, type);
        put16(s, 41, n);
        put16(s, 43, quint16(t.numVar));
        put16(s, 45, n);
        put32(s, 55, ownedMap);
        put32(s, 59, freeMap);
    } else {
        put8(s, 2, 'V');
        put8(s, 3, 'C');
        put32(s, 12, rows);
        put8(s, 20, type);
        put16(s, 21, n);
        put16(s, 23, quint16(t.numVar));
        put16(s, 25, n);
        put32(s, 35, ownedMap);
        put32(s, 39, freeMap);
    }
    for (const ColDef& c : t.cols) {
        QByteArray r(f.colRecord, '\0');
        const bool text = c.type == kText || c.type == kMemo;
        const quint8 flags = c.fixed ? 0x03 : 0x02;
        const quint16 idx = quint16(c.fixed ? c.varBefore : c.varIndex);
        put8(r, 0, c.type);
        if (f.jet4) {
            put32(r, 1, 1625);
            put16(r, 5, quint16(c.number));
            put16(r, 7, idx);
            if (c.type == kComplex)
                put32(r, 9, quint32(c.complexTypeId));
            else
                put16(r, 9, quint16(c.number));
            if (text)
                put16(r, 11, 0x0409);
            if (c.type == kNumeric) {
                put8(r, 11, quint8(c.precision));
                put8(r, 12, quint8(c.scale));
            }
            put8(r, 15, flags);
            put8(r, 16, quint8((text ? 0x01 : 0x00) | (c.calculated ? kCalcExtFlags : 0x00)));
            put16(r, 21, quint16(c.fixed ? c.fixedOffset : 0));
            put16(r, 23, quint16(c.length));
        } else {
            put16(r, 1, quint16(c.number));
            put16(r, 3, idx);
            put16(r, 5, t.system ? 0 : quint16(c.number));
            put16(r, 9, 0x0409);
            put16(r, 11, 1252);
            if (c.type == kNumeric) {
                put8(r, 11, quint8(c.precision));
                put8(r, 12, quint8(c.scale));
            }
            put8(r, 13, flags);
            put16(r, 14, quint16(c.fixed ? c.fixedOffset : 0));
            put16(r, 16, quint16(c.length));
        }
        s += r;
    }
    for (const ColDef& c : t.cols)
        s += encodeName(c.name, f);
    for (const ColDef& c : t.cols) {
        if (!isLong(c.type))
            continue;
        auto maps = lvalMaps.value(c.number);
        app16(s, quint16(c.number));
        app32(s, maps.first);
        app32(s, maps.second);
    }
    app16(s, 0xFFFF);
    put32(s, 8, quint32(s.size()));
    return s;
}

QByteArray rc4(const QByteArray& key, int n) {
    quint8 st[256];
    for (int i = 0; i < 256; ++i)
        st[i] = quint8(i);
    for (int i = 0, j = 0; i < 256; ++i) {
        j = (j + st[i] + quint8(key[i % key.size()])) & 0xFF;
        std::swap(st[i], st[j]);
    }
    QByteArray out(n, '\0');
    for (int k = 0, i = 0, j = 0; k < n; ++k) {
        i = (i + 1) & 0xFF;
        j = (j + st[i]) & 0xFF;
        std::swap(st[i], st[j]);
        out[k] = char(st[(st[i] + st[j]) & 0xFF]);
    }
    return out;
}

int versionByte(Version v) {
    switch (v) {
        case Version::Jet3:
            return 0;
        case Version::Jet4:
            return 1;
        case Version::Ace12:
            return 2;
        case Version::Ace14:
            return 3;
        case Version::Ace15:
            return 4;
        case Version::Ace16:
            return 5;
        case Version::Ace17:
            return 6;
    }
    return 1;
}

QByteArray headerPage(const Format& f, Version version, const QString& password, quint32 key) {
    QByteArray b(f.pageSize, '\0');
    put32(b, 0, 0x00000100);
    std::memcpy(b.data() + 4, version >= Version::Ace12 ? "Standard ACE DB\0" : "Standard Jet DB\0", 16);
    put32(b, 0x14, quint32(versionByte(version)));
    static const quint8 lead[24] = {0, 1, 0, 0, 1, 1, 0, 0, 2, 0, 0, 0, 3, 0, 0, 0, 4, 0, 0, 0, 5, 0, 0, 0};
    std::memcpy(b.data() + 0x18, lead, 24);
    put16(b, 0x3C, 1252);
    put32(b, 0x3E, key);
    int masked = 126;
    if (f.jet4) {
        masked = 128;
        // The password as UCS-2, masked with the creation date (an empty one is the bare mask).
        const quint32 mask = quint32(std::floor(kCreationSerial));
        const QByteArray pw = toUcs2(password.left(20)).leftJustified(40, '\0');
        for (int i = 0; i < 40; ++i)
            put8(b, 0x42 + i, quint8(pw[i]) ^ quint8(mask >> (8 * (i % 4))));
        put32(b, 0x6E, 0x0409);
        put64(b, 0x72, doubleBits(kCreationSerial));
    } else {
        const QByteArray pw = toCp1252(password.left(20)).value_or(QByteArray()).leftJustified(20, '\0');
        std::memcpy(b.data() + 0x42, pw.constData(), 20);
        put16(b, 0x3A, 0x0409);
    }
    QByteArray ks = rc4(QByteArray("\xC7\xDA\x39\x6B", 4), masked);
    for (int i = 0; i < masked; ++i)
        b[0x18 + i] = char(quint8(b[0x18 + i]) ^ quint8(ks[i]));
    return b;
}

TableDef systemTable(const QString& name, const QList<std::pair<QString, quint8>>& cols, const Format& f) {
    TableDef t;
    t.name = name;
    t.system = true;
    for (const auto& c : cols) {
        ColDef d;
        d.name = c.first;
        d.type = c.second;
        t.cols.append(d);
    }
    layoutColumns(t, f);
    return t;
}

QString checkName(const QString& name, const Format& f, const QString& what) {
    if (name.isEmpty() || name.size() > 64)
        return QStringLiteral("%1 '%2': il nome deve avere da 1 a 64 caratteri").arg(what, name);
    if (!f.jet4 && !toCp1252(name))
        return QStringLiteral("%1 '%2': il nome ha caratteri fuori dalla codifica 1252").arg(what, name);
    return {};
}

// What a column needs of the version and of its own settings; an empty string when it is fine.
QString checkColumn(const QString& table, const Column& c, Version v) {
    auto bad = [&](const QString& why) {
        return QStringLiteral("tabella '%1', colonna '%2': %3").arg(table, c.name, why);
    };
    if (c.type == ColumnType::Text && c.size > 255)
        return bad(QStringLiteral("testo oltre 255 caratteri"));
    if (c.type == ColumnType::Binary && c.size > 255)
        return bad(QStringLiteral("binario oltre 255 byte"));
    if (c.type == ColumnType::Decimal &&
        (c.precision < 1 || c.precision > 28 || c.scale < 0 || c.scale > c.precision))
        return bad(QStringLiteral("precisione o scala non valida"));
    if (c.type == ColumnType::Complex && v < Version::Ace12)
        return bad(QStringLiteral("colonne complesse solo da Access 2007"));
    if (c.calculated && v < Version::Ace14)
        return bad(QStringLiteral("colonne calcolate solo da Access 2010"));
    if (c.calculated && (c.type == ColumnType::Complex || c.type == ColumnType::OLE ||
                         c.type == ColumnType::Binary || c.type == ColumnType::Decimal))
        return bad(QStringLiteral("tipo non ammesso per una colonna calcolata"));
    return {};
}

}  // namespace

Database::Database(Version version) : d(std::make_unique<Impl>()) {
    d->version = version;
}

Database::~Database() = default;

void Database::addTable(const QString& name, const QList<Column>& columns, const QList<Row>& rows) {
    auto shared = std::make_shared<QList<Row>>(rows);
    qsizetype i = 0;
    addTable(name, columns, [shared, i](Row& row) mutable {
        if (i >= shared->size()) {
            i = 0;  // ready for another write()
            return false;
        }
        row = shared->at(i++);
        return true;
    });
}

void Database::addTable(const QString& name, const QList<Column>& columns, RowSource rows) {
    const Format& f = d->version == Version::Jet3 ? kJet3 : kJet4;
    TableDef t;
    t.name = name;
    t.rows = std::move(rows);
    QString e = checkName(name, f, QStringLiteral("tabella"));
    for (const TableDef& other : d->tables)
        if (other.name.compare(name, Qt::CaseInsensitive) == 0)
            e = QStringLiteral("tabella '%1' già presente").arg(name);
    if (columns.isEmpty() || columns.size() > 255)
        e = QStringLiteral("tabella '%1': servono da 1 a 255 colonne").arg(name);
    QStringList seen;
    for (const Column& c : columns) {
        if (e.isEmpty())
            e = checkName(c.name, f, QStringLiteral("colonna"));
        for (const QString& s : seen)
            if (s.compare(c.name, Qt::CaseInsensitive) == 0)
                e = QStringLiteral("tabella '%1': colonna '%2' ripetuta").arg(name, c.name);
        seen << c.name;
        ColDef cd;
        cd.name = c.name;
        cd.type = typeCode(c.type);
        cd.chars = c.size > 0 ? c.size : 255;
        cd.precision = c.precision;
        cd.scale = c.scale;
        cd.calculated = c.calculated;
        cd.complexTypeId = c.complexTypeId;
        if (e.isEmpty())
            e = checkColumn(name, c, d->version);
        t.cols.append(cd);
    }
    layoutColumns(t, f);
    if (!f.jet4 && t.numVar >= 255)
        e = QStringLiteral("tabella '%1': troppe colonne variabili").arg(name);
    if (!e.isEmpty())
        d->fail(e);
    d->tables.append(std::move(t));
}

void Database::addQuery(const QString& name, const QString& selectStatement) {
    const Format& f = d->version == Version::Jet3 ? kJet3 : kJet4;
    QString e = checkName(name, f, QStringLiteral("query"));
    QList<QueryRow> probe;
    QString perr;
    if (e.isEmpty() && !parseSelect(selectStatement, probe, &perr))
        e = perr;
    if (!e.isEmpty())
        d->fail(e);
    d->queries.append({name, selectStatement});
}

void Database::setRowOptions(const QString& table, int row, RowOptions options) {
    for (TableDef& t : d->tables)
        if (t.name.compare(table, Qt::CaseInsensitive) == 0) {
            t.rowOptions[row] = options;
            return;
        }
    d->fail(QStringLiteral("opzioni di riga per una tabella sconosciuta: '%1'").arg(table));
}

void Database::setPassword(const QString& password) {
    if (password.size() > 20 || (d->version == Version::Jet3 && !toCp1252(password)))
        d->fail(QStringLiteral("password non valida per il formato"));
    d->password = password;
}

void Database::setEncryptionKey(quint32 key) {
    d->encryptionKey = key;
}

bool Database::write(const QString& path, QString* error) {
    auto report = [&](const QString& e) {
        if (error)
            *error = e;
        return false;
    };
    if (!d->firstError.isEmpty())
        return report(d->firstError);
    for (const QueryDef& q : d->queries)
        for (const TableDef& t : d->tables)
            if (t.name.compare(q.name, Qt::CaseInsensitive) == 0)
                return report(
                    QStringLiteral("il nome '%1' è sia di una tabella sia di una query").arg(q.name));

    const Format& f = d->version == Version::Jet3 ? kJet3 : kJet4;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return report(QStringLiteral("impossibile creare %1: %2").arg(path, file.errorString()));
    Writer w(f, file);
    if (d->version <= Version::Jet4)
        w.encryptWith(d->encryptionKey);
    w.allocPage();  // 0 header
    w.allocPage();  // 1 global page map

    TableDef msysObjects = systemTable(QStringLiteral("MSysObjects"),
                                       {{"Id", kLong},
                                        {"ParentId", kLong},
                                        {"Name", kText},
                                        {"Type", kInt},
                                        {"DateCreate", kDate},
                                        {"DateUpdate", kDate},
                                        {"Owner", kBinary},
                                        {"Flags", kLong},
                                        {"Database", kMemo},
                                        {"Connect", kMemo},
                                        {"ForeignName", kText},
                                        {"RmtInfoShort", kBinary},
                                        {"RmtInfoLong", kOle},
                                        {"Lv", kOle},
                                        {"LvProp", kOle},
                                        {"LvModule", kOle},
                                        {"LvExtra", kOle}},
                                       f);
    TableDef msysAces =
        systemTable(QStringLiteral("MSysACEs"),
                    {{"ObjectId", kLong}, {"SID", kBinary}, {"ACM", kLong}, {"FInheritable", kBool}}, f);
    QList<std::pair<QString, quint8>> qcols{{"ObjectId", kLong}, {"Attribute", kByte}, {"Order", kBinary},
                                            {"Name1", kText},    {"Name2", kText},     {"Expression", kMemo},
                                            {"Flag", kInt}};
    if (f.jet4)
        qcols.append({"LvExtra", kLong});
    TableDef msysQueries = systemTable(QStringLiteral("MSysQueries"), qcols, f);
    QList<std::pair<QString, quint8>> rcols{{"szRelationship", kText},
                                            {"grbit", kLong},
                                            {"ccolumn", kLong},
                                            {"icolumn", kLong},
                                            {"szObject", kText}};
    if (f.jet4)
        rcols.append({{"szReferencedObject", kText}, {"szColumn", kText}});
    else
        rcols.append({{"szColumn", kText}, {"szReferencedObject", kText}});
    rcols.append({"szReferencedColumn", kText});
    TableDef msysRel = systemTable(QStringLiteral("MSysRelationships"), rcols, f);
    msysObjects.tdefPage = w.allocPage();  // 2
    msysAces.tdefPage = w.allocPage();
    msysQueries.tdefPage = w.allocPage();
    msysRel.tdefPage = w.allocPage();

    struct Done {
        TableDef* t;
        TableRun run;
    };
    QList<Done> done;

    auto streamTable = [&](TableDef& t, const RowSource& source) -> bool {
        done.append({&t, TableRun()});
        TableRun& run = done.last().run;
        run.data.owner = t.tdefPage;
        run.moved.owner = t.tdefPage;
        RowEncoder enc(w, t, run);
        Row row;
        QByteArray bytes;
        QString e;
        for (int index = 0;; ++index) {
            row.clear();
            if (!source(row))
                break;
            const RowOptions opt = t.rowOptions.value(index);
            if (!enc.encode(row, opt.storedColumns, bytes, &e))
                return report(e);
            quint32 page;
            int r;
            bool fresh;
            quint16 flags = opt.state == RowState::Deleted ? kDeletedRow : 0;
            if (opt.state == RowState::Moved) {
                if (!w.place(run.moved, bytes, &page, &r, &fresh, kDeletedRow))
                    return report(w.error);
                if (fresh)
                    run.dataPages.append(page);
                bytes = QByteArray(4, '\0');
                put32(bytes, 0, pgRow(page, r));
                flags = kMovedRow;
            }
            if (!w.place(run.data, bytes, &page, &r, &fresh, flags))
                return report(w.error);
            if (fresh)
                run.dataPages.append(page);
            if (opt.state != RowState::Deleted)
                ++run.rowCount;
        }
        if (!w.flush(run.data) || !w.flush(run.moved))
            return report(w.error);
        for (auto& lp : run.lval)
            if (!w.flush(lp))
                return report(w.error);
        return true;
    };

    for (TableDef& t : d->tables) {
        t.tdefPage = w.allocPage();
        if (!streamTable(t, t.rows))
            return false;
    }

    // The catalogue: containers, the database object, system and user tables, queries.
    const double stamp = kCreationSerial;
    QList<Row> objects;
    auto obj = [&](qint64 id, qint64 parent, const QString& name, int type, qint64 flags) {
        Row r(17);
        r[0] = id;
        r[1] = parent;
        r[2] = name;
        r[3] = type;
        r[4] = stamp;
        r[5] = stamp;
        r[7] = flags;
        objects.append(r);
    };
    const qint64 sysFlag = qint32(0x80000000u);
    obj(0x0F000001, 0x0F000000, QStringLiteral("Tables"), 3, sysFlag);
    obj(0x0F000002, 0x0F000000, QStringLiteral("Databases"), 3, sysFlag);
    obj(0x0F000003, 0x0F000000, QStringLiteral("Relationships"), 3, sysFlag);
    obj(0x10000000, 0x0F000002, QStringLiteral("MSysDb"), 2, sysFlag);
    for (TableDef* t : {&msysObjects, &msysAces, &msysQueries, &msysRel})
        obj(t->tdefPage, 0x0F000001, t->name, 1, sysFlag);
    for (const TableDef& t : d->tables)
        obj(t.tdefPage, 0x0F000001, t.name, 1, 0);
    QList<Row> queryRows;
    for (int qi = 0; qi < d->queries.size(); ++qi) {
        const qint64 id = qint32(0x80000000u | quint32(qi + 1));
        obj(id, 0x0F000001, d->queries[qi].name, 5, 0);
        QList<QueryRow> qr;
        QString e;
        parseSelect(d->queries[qi].sql, qr, &e);
        for (const QueryRow& r : qr) {
            Row row(int(msysQueries.cols.size()));
            row[0] = id;
            row[1] = r.attribute;
            if (!r.name1.isEmpty())
                row[3] = r.name1;
            if (!r.name2.isEmpty())
                row[4] = r.name2;
            if (!r.expression.isEmpty())
                row[5] = r.expression;
            if (r.flag)
                row[6] = *r.flag;
            queryRows.append(row);
        }
    }
    auto listSource = [](const QList<Row>& rows) {
        auto shared = std::make_shared<QList<Row>>(rows);
        auto i = std::make_shared<qsizetype>(0);
        return RowSource([shared, i](Row& row) {
            if (*i >= shared->size())
                return false;
            row = shared->at((*i)++);
            return true;
        });
    };
    auto none = [](Row&) { return false; };
    if (!streamTable(msysObjects, listSource(objects)) || !streamTable(msysAces, none) ||
        !streamTable(msysQueries, listSource(queryRows)) || !streamTable(msysRel, none))
        return false;

    // Usage maps, then the definitions (which point at them).
    QList<std::pair<quint32, QByteArray>> tdefs;
    for (Done& dn : done) {
        std::sort(dn.run.dataPages.begin(), dn.run.dataPages.end());
        quint32 owned = w.addUsageMap(dn.run.dataPages);
        quint32 freeMap = w.addUsageMap({});
        if (!w.error.isEmpty())
            return report(w.error);
        QHash<int, std::pair<quint32, quint32>> lvalMaps;
        for (const ColDef& c : dn.t->cols)
            if (isLong(c.type))
                lvalMaps[c.number] = {w.addUsageMap(dn.run.lvalPages.value(c.number)), w.addUsageMap({})};
        if (!w.error.isEmpty())
            return report(w.error);
        tdefs.append({dn.t->tdefPage, tdefStream(*dn.t, f, dn.run.rowCount, owned, freeMap, lvalMaps)});
    }
    for (auto& td : tdefs) {
        const QByteArray& s = td.second;
        // The first page holds the stream's first bytes; each continuation page repeats an 8-byte
        // header and carries on from offset 8.
        QList<quint32> pages{td.first};
        const int cont = f.pageSize - 8;
        for (int at = f.pageSize; at < s.size(); at += cont)
            pages.append(w.allocPage());
        for (int i = 0; i < pages.size(); ++i) {
            QByteArray pg(f.pageSize, '\0');
            if (i == 0) {
                std::memcpy(pg.data(), s.constData(), std::min<qsizetype>(s.size(), f.pageSize));
                if (f.jet4)
                    put16(pg, 2, quint16(std::max<qsizetype>(0, f.pageSize - 8 - s.size())));
            } else {
                const int from = f.pageSize + (i - 1) * cont;
                const int len = std::min<int>(cont, int(s.size()) - from);
                put8(pg, 0, 0x02);
                put8(pg, 1, 0x01);
                if (!f.jet4) {
                    put8(pg, 2, 'V');
                    put8(pg, 3, 'C');
                } else {
                    put16(pg, 2, quint16(cont - len));
                }
                std::memcpy(pg.data() + 8, s.constData() + from, len);
            }
            put32(pg, 4, i + 1 < pages.size() ? pages[i + 1] : 0);
            if (!w.writePage(pages[i], pg))
                return report(w.error);
        }
    }
    if (!w.finishMaps())
        return report(w.error);

    // Page 1: which of the first pages are not in use (readers ignore it; Access keeps it).
    {
        Writer::RowPage gp;
        gp.owner = 1;
        QByteArray row0(f.mapRowLen, '\0');
        for (int i = int(w.pageCount()); i < f.mapBits; ++i)
            row0[5 + i / 8] = char(quint8(row0[5 + i / 8]) | (1u << (i % 8)));
        gp.rows = {row0, QByteArray(f.mapRowLen, '\0')};
        gp.used = 2 * (f.mapRowLen + 2);
        if (!w.writePage(1, w.renderRowPage(gp)))
            return report(w.error);
    }
    if (!w.writePage(0, headerPage(f, d->version, d->password, d->encryptionKey)))
        return report(w.error);
    // Every page exists, zero-filled where nothing was written.
    if (!file.resize(qint64(w.pageCount()) * f.pageSize))
        return report(QStringLiteral("scrittura non riuscita: %1").arg(file.errorString()));
    if (!file.commit())
        return report(QStringLiteral("scrittura non riuscita: %1").arg(file.errorString()));
    return true;
}

}  // namespace jetwriter
