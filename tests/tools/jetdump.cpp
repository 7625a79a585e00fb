// jetdump FILE: every user table of a Jet file read through our reader, as JSON on stdout, for
// scripts/compare-readers.sh (a developer tool: it may look at the reader's private headers). A column the
// reader refuses is reported by name, the rest of its table still read column by column.
#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cmath>
#include <cstdio>

#include "jet/internal/jetfile.h"
#include "jet/internal/keyarrays.h"
#include "jet/jet.h"

namespace {

QJsonValue cell(const jet::Value& v) {
    using K = jet::Value::Kind;
    switch (v.kind()) {
        case K::Null:
            return QJsonValue::Null;
        case K::Boolean:
            return v.toBool();
        case K::Integer:
            return QJsonObject{{"int", QString::number(v.toInt())}};
        case K::Currency:
            return QJsonObject{{"currency", QString::number(v.currencyUnits())}};
        case K::Real:
            if (!std::isfinite(v.toDouble())) {
                return QJsonObject{{"number", QString::number(v.toDouble())}};
            }
            return v.toDouble();
        case K::DateTime:
            if (v.isExtendedDate()) {
                // As shown with the regional settings Access's test files were made under.
                static const jet::DisplayFormat english(QLocale(QLocale::English, QLocale::UnitedStates));
                return QJsonObject{
                    {"serial", v.dateSerial()}, {"fraction", v.secondFraction()}, {"shown", english.text(v)}};
            }
            return QJsonObject{{"serial", v.dateSerial()}};
        case K::Text:
            return v.text();
        case K::Binary:
            return QJsonObject{{"bytes", QString::fromLatin1(v.bytes().toBase64())}};
        case K::Decimal:
            return QJsonObject{{"decimal", v.text()}};
    }
    return QJsonValue::Null;
}

QString quoted(const QString& name) {
    return QLatin1Char('[') + name + QLatin1Char(']');
}

// Field names without rows, for the column-by-column read.
class Names : public jet::RecordSet {
  public:
    explicit Names(const QStringList& names) : names_(names) {}
    int fieldCount() const override { return int(names_.size()); }
    QString fieldName(int field) const override { return names_[field].mid(1, names_[field].size() - 2); }
    int fieldIndex(const QString&) const override { return -1; }
    int recordCount() const override { return 0; }
    jet::Value value(int, int) const override { return {}; }

  private:
    QStringList names_;
};

QJsonObject table(jet::Database& db, const QString& name, const jet::TableDef* def) {
    QJsonObject out;
    jet::Error error;
    auto rs = db.openRecordSet(quoted(name), &error);
    std::unique_ptr<jet::RecordSet> header;
    if (rs && !rs->leftOutFields().isEmpty() && def) {
        // Fields left out of "*": every column asked for by name, in the definition's order.
        rs.reset();
        QStringList names;
        for (const jet::ColumnDef& c : def->columns) {
            names << quoted(c.name);
        }
        header = std::make_unique<Names>(names);
    } else if (!rs) {
        // Refused as a whole: maybe one column; read the fields one by one.
        header = db.openRecordSet(QStringLiteral("select * from %1 where 1 = 0").arg(quoted(name)), nullptr);
        if (!header) {
            out.insert("error", QStringLiteral("%1 %2").arg(error.number).arg(error.message));
            return out;
        }
    }
    const jet::RecordSet& fields = rs ? *rs : *header;
    QJsonArray columns;
    QJsonArray data;
    QJsonObject columnErrors;
    QList<QJsonArray> rowCells;
    for (int f = 0; f < fields.fieldCount(); ++f) {
        columns.append(fields.fieldName(f));
        std::unique_ptr<jet::RecordSet> one;
        const jet::RecordSet* source = rs.get();
        int index = f;
        if (!rs) {
            jet::Error e;
            one = db.openRecordSet(
                QStringLiteral("select %1 from %2").arg(quoted(fields.fieldName(f)), quoted(name)), &e);
            if (!one) {
                columnErrors.insert(fields.fieldName(f),
                                    QStringLiteral("%1 %2").arg(e.number).arg(e.message));
                continue;
            }
            source = one.get();
            index = 0;
        }
        if (rowCells.size() < source->recordCount()) {
            rowCells.resize(source->recordCount());
        }
        for (int r = 0; r < source->recordCount(); ++r) {
            while (rowCells[r].size() < f) {
                rowCells[r].append(QJsonValue::Undefined);
            }
            rowCells[r].append(cell(source->value(r, index)));
        }
    }
    for (const QJsonArray& r : rowCells) {
        data.append(r);
    }
    out.insert("columns", columns);
    out.insert("rows", data);
    if (!columnErrors.isEmpty()) {
        out.insert("columnErrors", columnErrors);
    }
    return out;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (app.arguments().size() != 2) {
        std::fprintf(stderr, "uso: jetdump FILE\n");
        return 2;
    }
    QJsonObject out;
    jet::Error error;
    std::shared_ptr<jet::Database> db = jet::Database::open(app.arguments()[1], &error);
    if (!db) {
        out.insert("error", QStringLiteral("%1 %2").arg(error.number).arg(error.message));
    } else {
        QJsonObject tables;
        // Which columns are calculated: the comparison needs it, the public interface does not.
        std::unique_ptr<jet::JetFile> file = jet::JetFile::open(app.arguments()[1], &error);
        for (const QString& name : db->tableNames()) {
            const jet::CatalogObject* object = file ? file->findTable(name) : nullptr;
            const jet::TableDef* def = object ? file->tableDef(*object, &error) : nullptr;
            QJsonObject t = table(*db, name, def);
            QJsonArray calculated;
            for (const jet::ColumnDef& c : def ? def->columns : QVector<jet::ColumnDef>()) {
                if (c.calculated) {
                    calculated.append(c.name);
                }
            }
            t.insert("calculated", calculated);
            if (def) {
                t.insert("storedRowCount", double(def->rowCountHint));  // as the definition counts them
            }
            tables.insert(name, t);
        }
        out.insert("tables", tables);
        // The system tables' stored and found row counts, for the comparison's count figures.
        QJsonObject counts;
        for (const char* name : {"MSysObjects", "MSysQueries", "MSysACEs", "MSysRelationships"}) {
            const jet::CatalogObject* object = file ? file->findAnyTable(QLatin1String(name)) : nullptr;
            const jet::TableDef* def = object ? file->tableDef(*object, &error) : nullptr;
            try {
                if (def) {
                    counts.insert(QLatin1String(name),
                                  QJsonArray{double(def->rowCountHint), double(file->index(*def)->rowCount)});
                }
            } catch (const jet::ReadFailure&) {
            }
        }
        out.insert("systemRowCounts", counts);
    }
    const QByteArray json = QJsonDocument(out).toJson(QJsonDocument::Compact);
    std::fwrite(json.constData(), 1, size_t(json.size()), stdout);
    return 0;
}
