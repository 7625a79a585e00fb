#include "jetwriter/layout.h"

#include "jetwriter/bytes.h"
#include "jetwriter/select.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace jetwriter::detail {

namespace {

// One column record of the definition.
QByteArray columnRecord(const ColDef& c, const TableDef& t, const Format& f) {
    QByteArray r(f.colRecord, '\0');
    const bool text = c.type == kText || c.type == kMemo;
    const quint8 flags = quint8((c.fixed ? 0x03 : 0x02) | (c.autoNumber ? 0x04 : 0x00));
    const quint16 idx = quint16(c.fixed ? c.varBefore : c.varIndex);
    put8(r, 0, c.type);
    if (f.jet4) {
        put32(r, 1, 1625);
        put16(r, 5, quint16(c.number));
        put16(r, 7, idx);
        put16(r, 9, quint16(c.number));
        if (c.type == kComplex)
            put32(r, 11, quint32(c.complexTypeId));  // as Access 2007 stores it
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
    return r;
}

}  // namespace

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
    for (const ColDef& c : t.cols)
        s += columnRecord(c, t, f);
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

static int versionByte(Version v) {
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

SystemTables systemTables(const Format& f) {
    SystemTables s;
    s.objects = systemTable(QStringLiteral("MSysObjects"),
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
    s.aces = systemTable(QStringLiteral("MSysACEs"),
                         {{"ObjectId", kLong}, {"SID", kBinary}, {"ACM", kLong}, {"FInheritable", kBool}}, f);
    QList<std::pair<QString, quint8>> qcols{{"ObjectId", kLong}, {"Attribute", kByte}, {"Order", kBinary},
                                            {"Name1", kText},    {"Name2", kText},     {"Expression", kMemo},
                                            {"Flag", kInt}};
    if (f.jet4)
        qcols.append({"LvExtra", kLong});
    s.queries = systemTable(QStringLiteral("MSysQueries"), qcols, f);
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
    s.relationships = systemTable(QStringLiteral("MSysRelationships"), rcols, f);
    return s;
}

static qint64 queryId(int index) {
    return qint32(0x80000000u | quint32(index + 1));
}

QList<Row> catalogueObjects(const SystemTables& sys, const QList<TableDef>& tables,
                            const QList<QueryDef>& queries) {
    QList<Row> objects;
    auto obj = [&](qint64 id, qint64 parent, const QString& name, int type, qint64 flags) {
        Row r(17);
        r[0] = id;
        r[1] = parent;
        r[2] = name;
        r[3] = type;
        r[4] = kCreationSerial;
        r[5] = kCreationSerial;
        r[7] = flags;
        objects.append(r);
    };
    const qint64 sysFlag = qint32(0x80000000u);
    obj(0x0F000001, 0x0F000000, QStringLiteral("Tables"), 3, sysFlag);
    obj(0x0F000002, 0x0F000000, QStringLiteral("Databases"), 3, sysFlag);
    obj(0x0F000003, 0x0F000000, QStringLiteral("Relationships"), 3, sysFlag);
    obj(0x10000000, 0x0F000002, QStringLiteral("MSysDb"), 2, sysFlag);
    for (const TableDef* t : {&sys.objects, &sys.aces, &sys.queries, &sys.relationships})
        obj(t->tdefPage, 0x0F000001, t->name, 1, sysFlag);
    for (const TableDef& t : tables)
        obj(t.tdefPage, 0x0F000001, t.name, 1, t.catalogFlags);
    for (int qi = 0; qi < queries.size(); ++qi)
        obj(queryId(qi), 0x0F000001, queries[qi].name, 5, 0);
    return objects;
}

QList<Row> queryCatalogue(const QList<QueryDef>& queries, int columns) {
    QList<Row> out;
    for (int qi = 0; qi < queries.size(); ++qi) {
        QList<QueryRow> qr;
        QString e;
        parseSelect(queries[qi].sql, qr, &e);
        for (const QueryRow& r : qr) {
            Row row(columns);
            row[0] = queryId(qi);
            row[1] = r.attribute;
            if (!r.name1.isEmpty())
                row[3] = r.name1;
            if (!r.name2.isEmpty())
                row[4] = r.name2;
            if (!r.expression.isEmpty())
                row[5] = r.expression;
            if (r.flag)
                row[6] = *r.flag;
            out.append(row);
        }
    }
    return out;
}

bool writeDefinition(PageWriter& w, quint32 first, const QByteArray& s) {
    const Format& f = w.f();
    // The first page holds the stream's first bytes; each continuation page repeats an 8-byte
    // header and carries on from offset 8.
    QList<quint32> pages{first};
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
            return false;
    }
    return true;
}

QByteArray globalMapPage(const PageWriter& w) {
    const Format& f = w.f();
    PageWriter::RowPage gp;
    gp.owner = 1;
    QByteArray row0(f.mapRowLen, '\0');
    for (int i = int(w.pageCount()); i < f.mapBits; ++i)
        row0[5 + i / 8] = char(quint8(row0[5 + i / 8]) | (1u << (i % 8)));
    gp.rows = {row0, QByteArray(f.mapRowLen, '\0')};
    gp.used = 2 * (f.mapRowLen + 2);
    return w.renderRowPage(gp);
}

}  // namespace jetwriter::detail
