#include "jetwriter/complex.h"

#include "jetwriter/bytes.h"

namespace jetwriter::detail {

namespace {

constexpr qint64 kSystemObject = qint32(0x80000000u);
constexpr qint64 kFlatTableObject = qint32(0x800A0000u);  // as Access flags them

// The type table's name and columns, as Access names them.
TableDef typeTable(const ComplexData& d, const Format& f) {
    if (d.kind == ComplexKind::Attachment)
        return systemTable(QStringLiteral("MSysComplexType_Attachment"),
                           {{"FileURL", kMemo},
                            {"FileName", kText},
                            {"FileType", kText},
                            {"FileData", kOle},
                            {"FileTimeStamp", kDate},
                            {"FileFlags", kLong}},
                           f);
    QString name;
    switch (d.valueType) {
        case ColumnType::Byte:
            name = QStringLiteral("UnsignedByte");
            break;
        case ColumnType::Integer:
            name = QStringLiteral("Short");
            break;
        case ColumnType::Long:
            name = QStringLiteral("Long");
            break;
        case ColumnType::Single:
            name = QStringLiteral("IEEESingle");
            break;
        case ColumnType::Double:
            name = QStringLiteral("IEEEDouble");
            break;
        default:
            name = QStringLiteral("Text");
            break;
    }
    return systemTable(QStringLiteral("MSysComplexType_") + name, {{"Value", typeCode(d.valueType)}}, f);
}

// FileData as Access encodes it (raw: flag 0, length, then a header and the bytes).
QByteArray fileData(const QString& name) {
    const QByteArray payload = name.toUtf8();
    QByteArray content(8, '\0');
    put32(content, 0, 8);  // the header's length
    content += payload;
    QByteArray b(8, '\0');
    put32(b, 4, quint32(content.size()));
    return b + content;
}

// The flat table: the AutoNumber key, the owner's key, then the type's columns.
TableDef flatTable(const ComplexSpec& s, const TableDef& type, int index, const Format& f) {
    QList<std::pair<QString, quint8>> cols{{s.table + QLatin1Char('_') + s.column, kLong},
                                           {QLatin1Char('_') + s.column, kLong}};
    for (const ColDef& c : type.cols)
        cols.append({c.name, c.type});
    const QString guid = QStringLiteral("%1").arg(index + 1, 32, 16, QLatin1Char('0')).toUpper();
    TableDef t = systemTable(QStringLiteral("f_%1_%2").arg(guid, s.column).left(64), cols, f);
    t.cols[0].autoNumber = true;
    t.catalogFlags = kFlatTableObject;
    QList<Row> rows;
    for (const ComplexItem& item : s.data.items) {
        Row r(int(cols.size()));
        r[0] = int(rows.size()) + 1;
        r[1] = item.owner;
        if (s.data.kind == ComplexKind::Attachment) {
            r[3] = item.value;  // FileName
            r[4] = item.value.toString().section(QLatin1Char('.'), -1);
            r[5] = fileData(item.value.toString());
        } else {
            r[2] = item.value;
        }
        rows.append(r);
    }
    auto shared = std::make_shared<QList<Row>>(rows);
    auto at = std::make_shared<qsizetype>(0);
    t.rows = [shared, at](Row& row) {
        if (*at >= shared->size())
            return false;
        row = shared->at((*at)++);
        return true;
    };
    return t;
}

}  // namespace

ComplexTables complexTables(const QList<ComplexSpec>& specs, const Format& f) {
    ComplexTables out;
    out.types.reserve(size_t(specs.size()));
    for (int i = 0; i < specs.size(); ++i) {
        TableDef type = typeTable(specs[i].data, f);
        int at = -1;
        for (size_t k = 0; k < out.types.size(); ++k)
            if (out.types[k].name == type.name)
                at = int(k);
        if (at < 0) {
            type.catalogFlags = kSystemObject;
            out.types.push_back(type);
            at = int(out.types.size()) - 1;
        }
        out.typeOf.push_back(at);
        out.flats.push_back(flatTable(specs[i], out.types[size_t(at)], i, f));
    }
    out.columns = systemTable(QStringLiteral("MSysComplexColumns"),
                              {{"ColumnName", kText},
                               {"ComplexTypeObjectID", kLong},
                               {"FlatTableID", kLong},
                               {"ConceptualTableID", kLong},
                               {"ComplexID", kLong}},
                              f);
    out.columns.catalogFlags = kSystemObject;
    return out;
}

QList<Row> complexColumnRows(const QList<ComplexSpec>& specs, const ComplexTables& t,
                             const QList<TableDef>& tables) {
    QList<Row> rows;
    for (int i = 0; i < specs.size(); ++i) {
        const ComplexSpec& s = specs[i];
        if (!s.data.linked)
            continue;
        quint32 owner = 0;
        for (const TableDef& u : tables)
            if (u.name.compare(s.table, Qt::CaseInsensitive) == 0)
                owner = u.tdefPage;
        const qint64 flat = s.data.flatTableId ? s.data.flatTableId : qint64(t.flats[size_t(i)].tdefPage);
        rows.append(Row{s.column, qint64(t.types[size_t(t.typeOf[size_t(i)])].tdefPage), flat, qint64(owner),
                        s.complexId});
    }
    return rows;
}

}  // namespace jetwriter::detail
