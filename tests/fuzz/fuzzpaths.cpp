#include "fuzz/fuzzpaths.h"

#include <QLocale>

#include <algorithm>
#include <functional>
#include <memory>

#include "jet/jet.h"

namespace fuzzpaths {

namespace {

using Cells = QList<QStringList>;

// What a record source gave: its rows as text, or its error.
struct Answer {
    int error = 0;
    QString message;
    Cells rows;
    QList<bool> numeric;  // per field: some cell holds a number (the column's type is numeric)
};

bool isNumber(jet::Value::Kind k) {
    using K = jet::Value::Kind;
    return k == K::Boolean || k == K::Integer || k == K::Real || k == K::Currency || k == K::Decimal;
}

QString cellText(const jet::Value& v) {
    static const QLocale c = QLocale::c();
    return v.isNull() ? QStringLiteral("<NULL>") : v.display(c);
}

Answer ask(jet::Database& db, const QString& source) {
    Answer a;
    jet::Error error;
    const auto rs = db.openRecordSet(source, &error);
    if (!rs) {
        a.error = error.number;
        a.message = error.message;
        return a;
    }
    a.numeric.fill(false, rs->fieldCount());
    for (int r = 0; r < rs->recordCount(); ++r) {
        QStringList row;
        for (int f = 0; f < rs->fieldCount(); ++f) {
            const jet::Value v = rs->value(r, f);
            row << cellText(v);
            a.numeric[f] = a.numeric[f] || isNumber(v.kind());
        }
        a.rows << row;
    }
    return a;
}

// The rows of database1 read whole, by column name.
struct Full {
    QStringList names;
    Cells rows;
    QList<bool> numeric;
    int column(const char* name) const {
        for (int i = 0; i < names.size(); ++i) {
            if (names[i].compare(QLatin1String(name), Qt::CaseInsensitive) == 0)
                return i;
        }
        return -1;
    }
    QString at(const QStringList& row, const char* name) const { return row.value(column(name)); }
    // The statements' columns are all there (a mutated file may rename or drop one), and those they
    // compare with numbers still hold numbers: a type changed to text makes the engine refuse the
    // comparison (3464) on every path, which the hand computation cannot foresee.
    bool complete() const {
        for (const char* c : {"Codstaz", "Quota", "Piccolo", "Nome"}) {
            if (column(c) < 0)
                return false;
        }
        for (const char* c : {"Codstaz", "Quota", "Piccolo"}) {
            if (!numeric.value(column(c)))
                return false;
        }
        return true;
    }
};

bool isNull(const QString& s) {
    return s == QLatin1String("<NULL>");
}
// A numeric cell compared as the engine compares it; NULL compares false.
bool holds(const QString& cell, const std::function<bool(double)>& test) {
    return !isNull(cell) && test(cell.toDouble());
}

struct Statement {
    const char* source;
    bool unordered;  // DISTINCT: compared as sets with the full read
    // The answer worked out from the full read; null when it cannot be (another table).
    std::function<Cells(const Full&)> fromFull;
};

Cells project(const Full& f, const std::function<bool(const QStringList&)>& keep,
              QList<const char*> columns) {
    Cells out;
    for (const QStringList& row : f.rows) {
        if (!keep(row))
            continue;
        QStringList cells;
        for (const char* c : columns)
            cells << f.at(row, c);
        out << cells;
    }
    return out;
}

Cells unique(Cells rows) {
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
}

const QList<Statement>& statements() {
    auto all = [](const QStringList&) { return true; };
    static const QList<Statement> list{
        {"select Codstaz from database1", false, [=](const Full& f) { return project(f, all, {"Codstaz"}); }},
        {"select Codstaz, Quota from database1 where Codstaz = 7", false,
         [](const Full& f) {
             return project(f,
                            [&](const QStringList& r) {
                                return holds(f.at(r, "Codstaz"), [](double v) { return v == 7; });
                            },
                            {"Codstaz", "Quota"});
         }},
        {"select distinct Quota from database1", true,
         [=](const Full& f) { return unique(project(f, all, {"Quota"})); }},
        {"select Piccolo from database1 where Quota > 0 and Codstaz >= 7", false,
         [](const Full& f) {
             return project(f,
                            [&](const QStringList& r) {
                                return holds(f.at(r, "Quota"), [](double v) { return v > 0; }) &&
                                       holds(f.at(r, "Codstaz"), [](double v) { return v >= 7; });
                            },
                            {"Piccolo"});
         }},
        {"select Codstaz from database1 where Codstaz is null", false,
         [](const Full& f) {
             return project(f, [&](const QStringList& r) { return isNull(f.at(r, "Codstaz")); }, {"Codstaz"});
         }},
        {"select Nome, Codstaz from database1 where Codstaz < 30", false,
         [](const Full& f) {
             return project(f,
                            [&](const QStringList& r) {
                                return holds(f.at(r, "Codstaz"), [](double v) { return v < 30; });
                            },
                            {"Nome", "Codstaz"});
         }},
        {"select Codstaz, Piccolo from database1 where Piccolo <> 80 or Quota is null", false,
         [](const Full& f) {
             return project(f,
                            [&](const QStringList& r) {
                                return holds(f.at(r, "Piccolo"), [](double v) { return v != 80; }) ||
                                       isNull(f.at(r, "Quota"));
                            },
                            {"Codstaz", "Piccolo"});
         }},
        // A stored query's own rows may be mutated too (another criterion, another text): only the
        // two engine paths are compared for it.
        {"Anni", true, nullptr},
        {"select Codstaz from [anagrafica compl] where Codstaz = 14", false, nullptr},
        {"stazioni", false, nullptr},
    };
    return list;
}

// Every statement once, on a freshly opened archive and a cold row cache (later statements then
// meet the key arrays the earlier ones built).
QList<Answer> run(const QString& path, bool keyArrays, Answer* full) {
    jet::setKeyArrays(keyArrays);
    jet::clearRowCache();
    QList<Answer> out;
    jet::Error error;
    const auto db = jet::Database::open(path, &error);
    for (const Statement& s : statements()) {
        Answer a;
        if (db) {
            a = ask(*db, QString::fromLatin1(s.source));
        } else {
            a.error = error.number;
        }
        out << a;
    }
    if (full)
        *full = db ? ask(*db, QStringLiteral("select * from database1")) : Answer{error.number, {}, {}, {}};
    jet::setKeyArrays(true);
    jet::clearRowCache();
    return out;
}

QString describe(const Answer& a) {
    if (a.error)
        return QStringLiteral("errore %1").arg(a.error);
    QStringList rows;
    for (const QStringList& r : a.rows.mid(0, 8))
        rows << r.join(QLatin1Char('|'));
    return QStringLiteral("%1 righe: %2").arg(a.rows.size()).arg(rows.join(QStringLiteral("; ")));
}

}  // namespace

QString check(const QString& path) {
    Answer full;
    const QList<Answer> fast = run(path, true, nullptr);
    const QList<Answer> slow = run(path, false, &full);
    Full table;
    if (!full.error) {
        // The captions are the columns' names.
        jet::Error error;
        const auto db = jet::Database::open(path, &error);
        const auto header =
            db ? db->openRecordSet(QStringLiteral("select * from database1 where 1 = 0"), &error) : nullptr;
        for (int f = 0; header && f < header->fieldCount(); ++f)
            table.names << header->fieldName(f);
        table.rows = full.rows;
        table.numeric = full.numeric;
        jet::clearRowCache();
    }
    for (int i = 0; i < statements().size(); ++i) {
        const Statement& s = statements()[i];
        const Answer& a = fast[i];
        const Answer& b = slow[i];
        if (a.error != b.error || a.rows != b.rows)
            return QStringLiteral("%1: dagli array delle chiavi %2, senza %3")
                .arg(QLatin1String(s.source), describe(a), describe(b));
        if (full.error || !s.fromFull || !table.complete())
            continue;
        // Every cell read whole: each statement must answer, and as the full read says.
        Cells want = s.fromFull(table);
        Cells got = a.rows;
        if (s.unordered)
            got = unique(got);
        if (a.error || got != want)
            return QStringLiteral("%1: %2, dalla lettura intera %3 righe: %4")
                .arg(QLatin1String(s.source), describe(a))
                .arg(want.size())
                .arg(want.value(0).join(QLatin1Char('|')));
    }
    return QString();
}

}  // namespace fuzzpaths
