#include "jetwriter/schema.h"

#include "jetwriter/bytes.h"

namespace jetwriter::detail {

const Format kJet4{true, 4096, 14, 12, 63, 25, 69, 512, 17, 4092 * 8, 4060, 4076, 4072};
const Format kJet3{false, 2048, 10, 8, 43, 18, 133, 1024, 33, 2044 * 8, 2012, 2032, 2032};

const Format& formatOf(Version v) {
    return v == Version::Jet3 ? kJet3 : kJet4;
}

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
        case kExtDate:
            return 42;
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
        case ColumnType::DateTimeExtended:
            return kExtDate;
    }
    return kText;
}

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
    if (c.type == ColumnType::DateTimeExtended && v < Version::Ace17)
        return bad(QStringLiteral("date estese solo da Access 2019"));
    if (c.calculated && v < Version::Ace14)
        return bad(QStringLiteral("colonne calcolate solo da Access 2010"));
    if (c.calculated && (c.type == ColumnType::Complex || c.type == ColumnType::OLE ||
                         c.type == ColumnType::DateTimeExtended || c.type == ColumnType::Binary ||
                         c.type == ColumnType::Decimal))
        return bad(QStringLiteral("tipo non ammesso per una colonna calcolata"));
    return {};
}

}  // namespace jetwriter::detail
