// The writer's public face: tables, queries and options are collected, checked, and written in
// one pass. Pages reach the file as soon as they are full, so tables of millions of rows need
// little memory. Layout: 0 header, 1 global page map, 2..5 system table definitions, then each
// user table's definition, data and long-value pages, then the catalogue's data pages, the
// usage-map pages and definition continuation pages.
#include "jetwriter/jetwriter.h"

#include "jetwriter/bytes.h"
#include "jetwriter/complex.h"
#include "jetwriter/layout.h"
#include "jetwriter/rows.h"
#include "jetwriter/select.h"

#include <QSaveFile>

#include <algorithm>

namespace jetwriter {

using namespace detail;

namespace {

// What a write() puts in the file.
struct Content {
    Version version;
    QString password;
    quint32 encryptionKey = 0;
    QList<TableDef> tables;  // user tables, in order of addition
    QList<QueryDef> queries;
    QList<ComplexSpec> complex;
};

}  // namespace

struct Database::Impl : Content {
    QString firstError;

    void fail(const QString& e) {
        if (firstError.isEmpty())
            firstError = e;
    }
};

namespace {

RowSource listSource(const QList<Row>& rows) {
    auto shared = std::make_shared<QList<Row>>(rows);
    auto i = std::make_shared<qsizetype>(0);
    return [shared, i](Row& row) {
        if (*i >= shared->size())
            return false;
        row = shared->at((*i)++);
        return true;
    };
}

// One write(): the file, its pages, and the tables streamed so far.
class FileBuild {
  public:
    FileBuild(const Content& d, QSaveFile& file)
        : d_(d), f_(formatOf(d.version)), file_(file), w_(f_, file) {}

    bool run() {
        if (d_.version <= Version::Jet4)
            w_.encryptWith(d_.encryptionKey);
        w_.allocPage();  // 0 header
        w_.allocPage();  // 1 global page map
        SystemTables sys = systemTables(f_);
        for (TableDef* t : {&sys.objects, &sys.aces, &sys.queries, &sys.relationships})
            t->tdefPage = w_.allocPage();  // MSysObjects on 2
        QList<TableDef> tables = d_.tables;
        for (TableDef& t : tables) {
            t.tdefPage = w_.allocPage();
            if (!streamTable(t, t.rows))
                return false;
        }
        const auto none = [](Row&) { return false; };
        ComplexTables complex = complexTables(d_.complex, f_);
        QList<TableDef> listed = tables;
        if (!d_.complex.isEmpty() && !streamComplex(complex, tables, &listed))
            return false;
        if (!streamTable(sys.objects, listSource(catalogueObjects(sys, listed, d_.queries))) ||
            !streamTable(sys.aces, none) ||
            !streamTable(sys.queries, listSource(queryCatalogue(d_.queries, int(sys.queries.cols.size())))) ||
            !streamTable(sys.relationships, none))
            return false;
        return writeDefinitions() && finish();
    }

    QString error;

  private:
    struct Streamed {
        const TableDef* t;
        TableRun run;
    };

    bool fail(const QString& e) {
        error = e;
        return false;
    }

    // The hidden tables of complex columns, after the user tables whose pages they name; *listed
    // gains them for the catalogue.
    bool streamComplex(ComplexTables& complex, const QList<TableDef>& tables, QList<TableDef>* listed) {
        const auto none = [](Row&) { return false; };
        for (TableDef& t : complex.types) {
            t.tdefPage = w_.allocPage();
            if (!streamTable(t, none))
                return false;
        }
        for (TableDef& t : complex.flats) {
            t.tdefPage = w_.allocPage();
            if (!streamTable(t, t.rows))
                return false;
        }
        complex.columns.tdefPage = w_.allocPage();
        if (!streamTable(complex.columns, listSource(complexColumnRows(d_.complex, complex, tables))))
            return false;
        for (const std::vector<TableDef>* group : {&complex.types, &complex.flats})
            for (const TableDef& t : *group)
                listed->append(t);
        listed->append(complex.columns);
        return true;
    }

    // A row of the table's data pages, in its slot. A data page that holds a slot still to be
    // filled in is kept whole before it is written, to be written again when it is.
    bool placeData(TableRun& run, const QByteArray& bytes, quint16 flags, quint32* page, int* r) {
        bool fresh;
        if (!w_.fits(run.data, int(bytes.size())))
            holdIfDeferred(run);
        if (!w_.place(run.data, bytes, page, r, &fresh, flags))
            return fail(w_.error);
        if (fresh)
            run.dataPages.append(*page);
        return true;
    }

    void holdIfDeferred(TableRun& run) {
        for (const TableRun::Deferred& d : std::as_const(run.deferred))
            if (run.data.open && d.page == run.data.page) {
                run.held.insert(run.data.page, run.data);
                return;
            }
    }

    bool placeOn(TableRun& run, PageWriter::RowPage& p, const QByteArray& bytes, quint16 flags, quint32* at) {
        quint32 page;
        int r;
        bool fresh;
        if (!w_.place(p, bytes, &page, &r, &fresh, flags))
            return fail(w_.error);
        if (fresh)
            run.dataPages.append(page);
        *at = pgRow(page, r);
        return true;
    }

    static QByteArray pointerTo(quint32 at) {
        QByteArray b(4, '\0');
        put32(b, 0, at);
        return b;
    }

    // Rows go to the table's data pages. A moved row leaves a pointer in its slot and lives on an
    // earlier or a later page, flagged there; a row moved twice is reached through a second
    // pointer on a later page.
    bool placeRow(TableRun& run, const QByteArray& bytes, RowState state) {
        quint32 page, target = 0;
        int r;
        switch (state) {
            case RowState::Normal:
            case RowState::Deleted:
                if (!placeData(run, bytes, state == RowState::Deleted ? kDeletedRow : 0, &page, &r))
                    return false;
                break;
            case RowState::MovedEarlier:
                if (!placeOn(run, run.early, bytes, kMovedRow, &target) ||
                    !placeData(run, pointerTo(target), kPointerSlot, &page, &r))
                    return false;
                break;
            case RowState::Moved:
            case RowState::MovedTwice: {
                const bool twice = state == RowState::MovedTwice;
                if (twice && !placeOn(run, run.early, bytes, kMovedRow, &target))
                    return false;
                if (!placeData(run, pointerTo(0), kPointerSlot, &page, &r))
                    return false;
                run.deferred.append(
                    {page, r, twice ? pointerTo(target) : bytes, twice ? kDeletedRow : kMovedRow});
                break;
            }
        }
        if (state != RowState::Deleted)
            ++run.rowCount;
        return true;
    }

    // The late pages come after every data page: the deferred rows are placed there and the
    // pointers to them written into the pages kept for it.
    bool finishMoved(TableRun& run) {
        holdIfDeferred(run);
        if (!w_.flush(run.data) || !w_.flush(run.early))
            return fail(w_.error);
        for (const TableRun::Deferred& d : std::as_const(run.deferred)) {
            quint32 at;
            if (!placeOn(run, run.late, d.bytes, d.flags, &at))
                return false;
            run.held[d.page].rows[d.row] = pointerTo(at);
        }
        if (!w_.flush(run.late))
            return fail(w_.error);
        for (auto it = run.held.cbegin(); it != run.held.cend(); ++it)
            if (!w_.writePage(it.key(), w_.renderRowPage(it.value())))
                return fail(w_.error);
        return true;
    }

    bool streamTable(const TableDef& t, const RowSource& source) {
        done_.append({&t, TableRun()});
        TableRun& run = done_.last().run;
        run.data.owner = t.tdefPage;
        run.early.owner = t.tdefPage;
        run.late.owner = t.tdefPage;
        // The page for rows moved to an earlier page comes before the first data page.
        for (const RowOptions& o : t.rowOptions)
            if (!run.early.open && (o.state == RowState::MovedEarlier || o.state == RowState::MovedTwice)) {
                run.early.page = w_.allocPage();
                run.early.open = true;
                run.dataPages.append(run.early.page);
            }
        RowEncoder enc(w_, t, run);
        Row row;
        QByteArray bytes;
        for (int index = 0;; ++index) {
            row.clear();
            if (!source(row))
                break;
            const RowOptions opt = t.rowOptions.value(index);
            if (!enc.encode(row, opt.storedColumns, bytes, &error) || !placeRow(run, bytes, opt.state))
                return false;
        }
        if (!finishMoved(run))
            return false;
        for (auto& lp : run.lval)
            if (!w_.flush(lp))
                return fail(w_.error);
        return true;
    }

    // Usage maps, then the definitions (which point at them).
    bool writeDefinitions() {
        QList<std::pair<quint32, QByteArray>> tdefs;
        for (Streamed& s : done_) {
            std::sort(s.run.dataPages.begin(), s.run.dataPages.end());
            const quint32 owned = w_.addUsageMap(s.run.dataPages);
            const quint32 freeMap = w_.addUsageMap({});
            QHash<int, std::pair<quint32, quint32>> lvalMaps;
            for (const ColDef& c : s.t->cols)
                if (isLong(c.type))
                    lvalMaps[c.number] = {w_.addUsageMap(s.run.lvalPages.value(c.number)),
                                          w_.addUsageMap({})};
            if (!w_.error.isEmpty())
                return fail(w_.error);
            tdefs.append({s.t->tdefPage, tdefStream(*s.t, f_, s.run.rowCount, owned, freeMap, lvalMaps)});
        }
        for (const auto& td : tdefs)
            if (!writeDefinition(w_, td.first, td.second))
                return fail(w_.error);
        return w_.finishMaps() || fail(w_.error);
    }

    bool finish() {
        if (!w_.writePage(1, globalMapPage(w_)) ||
            !w_.writePage(0, headerPage(f_, d_.version, d_.password, d_.encryptionKey)))
            return fail(w_.error);
        // Every page exists, zero-filled where nothing was written.
        if (!file_.resize(qint64(w_.pageCount()) * f_.pageSize) || !file_.commit())
            return fail(QStringLiteral("scrittura non riuscita: %1").arg(file_.errorString()));
        return true;
    }

    const Content& d_;
    const Format& f_;
    QSaveFile& file_;
    PageWriter w_;
    QList<Streamed> done_;
};

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
    const Format& f = formatOf(d->version);
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
    const Format& f = formatOf(d->version);
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

void Database::setComplexData(const QString& table, const QString& column, const ComplexData& data) {
    for (const TableDef& t : d->tables)
        if (t.name.compare(table, Qt::CaseInsensitive) == 0)
            for (const ColDef& c : t.cols)
                if (c.name.compare(column, Qt::CaseInsensitive) == 0 && c.type == kComplex) {
                    d->complex.append({t.name, c.name, c.complexTypeId, data});
                    return;
                }
    d->fail(QStringLiteral("dati di un campo complesso sconosciuto: '%1.%2'").arg(table, column));
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
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return report(QStringLiteral("impossibile creare %1: %2").arg(path, file.errorString()));
    FileBuild build(*d, file);
    return build.run() || report(build.error);
}

}  // namespace jetwriter
