// Writes the fuzzers' starting points with our own writer: small archives of every format, type
// and row layout the reader handles (seeds/open), statements shaped like the program's
// (seeds/statement), and the archive the statement target runs against (archive/orbeni.mdb).
// Usage: fuzz_seeds FOLDER
#include "jetwriter/jetwriter.h"
#include "samplegen/samplegen.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QUuid>

#include <cstdio>

using jetwriter::Column;
using jetwriter::ColumnType;
using jetwriter::Database;
using jetwriter::Row;
using jetwriter::RowState;
using jetwriter::Version;

namespace {

struct Seed {
    QString name;
    Version version;
    bool newTypes = false;    // BigInt, GUID, Decimal, Binary
    bool aceColumns = false;  // calculated and complex columns
    bool rowStates = false;   // deleted, moved and short rows
    QString password;
    quint32 key = 0;
};

QString text(int n, int seed) {
    QString s;
    for (int i = 0; i < n; ++i)
        s += QChar('a' + (i * 7 + seed) % 26);
    return s;
}

void addBasicTables(Database& db, const Seed& s) {
    const bool j3 = s.version == Version::Jet3;
    const QList<Column> cols{
        {"Codstaz", ColumnType::Long},   {"Nome", ColumnType::Text, 40},  {"Attiva", ColumnType::Boolean},
        {"Quota", ColumnType::Integer},  {"Piccolo", ColumnType::Byte},   {"Costo", ColumnType::Currency},
        {"Singola", ColumnType::Single}, {"Pioggia", ColumnType::Double}, {"Data", ColumnType::DateTime},
        {"Note", ColumnType::Memo},      {"Foto", ColumnType::OLE}};
    QList<Row> rows;
    for (int i = 0; i < 6; ++i)
        rows << Row{i * 7,
                    i == 3 ? QVariant() : QVariant(j3 ? text(i * 5, i) : QStringLiteral("Forlì Ω %1").arg(i)),
                    i % 2 == 0, i * 100 - 200, i * 40, i * 1.25, i / 3.0, i * 2.5,
                    QDateTime(QDate(1990 + i, 1 + i, 1 + i), QTime(i, 0)),
                    // Inline, one LVAL row, and a chain over several pages.
                    text(i == 5 ? 9000 : i * 30, i), QByteArray(i == 4 ? 5000 : i * 10, char('A' + i))};
    if (s.rowStates)
        rows[3] = rows[3].mid(0, 4);  // stored before the other columns existed
    db.addTable(QStringLiteral("database1"), cols, rows);
    db.addTable(QStringLiteral("anagrafica compl"),
                {{"Codstaz", ColumnType::Long}, {"NomeStaz", ColumnType::Text, 50}},
                QList<Row>{{7, "Alfa"}, {14, "Beta"}, {21, QVariant()}});
    db.addQuery(
        QStringLiteral("Anni"),
        QStringLiteral(
            "SELECT DISTINCT Codstaz AS [Codice] FROM database1 WHERE Quota > 0 ORDER BY Codstaz DESC"));
    db.addQuery(QStringLiteral("stazioni"),
                QStringLiteral("SELECT NomeStaz, Codstaz FROM [anagrafica compl]"));
    if (s.rowStates) {
        db.setRowOptions(QStringLiteral("database1"), 1, {RowState::Deleted, -1});
        db.setRowOptions(QStringLiteral("database1"), 2, {RowState::Moved, -1});
        db.setRowOptions(QStringLiteral("database1"), 3, {RowState::Normal, 4});
    }
}

void addNewTypes(Database& db, const Seed& s) {
    QList<Column> cols{{"id", ColumnType::Long},
                       {"grande", ColumnType::BigInt},
                       {"guid", ColumnType::Guid},
                       {"decimale", ColumnType::Decimal, 0, 28, 4},
                       {"binario", ColumnType::Binary, 16},
                       {"testo", ColumnType::Text, 20}};
    const bool j3 = s.version == Version::Jet3;
    const QString odd =
        j3 ? QStringLiteral("x") : QStringLiteral("a") + QChar(0) + QStringLiteral("\U0001F600");
    QList<Row> rows{
        {1, Q_INT64_C(9223372036854775807), QUuid(QStringLiteral("{12345678-9abc-def0-0123-456789abcdef}")),
         "-1234.5678", QByteArray("\x01\x02", 2), odd},
        {2, -42, QVariant(), "0", QByteArray(), QVariant()}};
    if (s.aceColumns) {
        Column calc{"calcolato", ColumnType::Text, 20};
        calc.calculated = true;
        Column calcNumber{"numero calcolato", ColumnType::Double};
        calcNumber.calculated = true;
        Column complex{"allegati", ColumnType::Complex};
        cols << calc << calcNumber << complex;
        rows[0] << "uno" << 1.5 << 3;
        rows[1] << QVariant() << 2.5 << QVariant();
    }
    db.addTable(QStringLiteral("tipi"), cols, rows);
}

bool writeSeed(const QString& folder, const Seed& s) {
    Database db(s.version);
    addBasicTables(db, s);
    if (s.newTypes)
        addNewTypes(db, s);
    if (!s.password.isEmpty())
        db.setPassword(s.password);
    db.setEncryptionKey(s.key);
    QString error;
    if (!db.write(folder + QLatin1Char('/') + s.name, &error)) {
        std::fprintf(stderr, "fuzz_seeds: %s: %s\n", qPrintable(s.name), qPrintable(error));
        return false;
    }
    return true;
}

const QList<Seed>& seeds() {
    const QString none;
    static const QList<Seed> list{
        {"jet3.mdb", Version::Jet3, false, false, false, none, 0},
        {"jet3-tipi-righe.mdb", Version::Jet3, true, false, true, none, 0},
        {"jet4.mdb", Version::Jet4, false, false, false, none, 0},
        {"jet4-tipi-righe.mdb", Version::Jet4, true, false, true, none, 0},
        {"jet4-password.mdb", Version::Jet4, false, false, false, QStringLiteral("segreta"), 0},
        {"jet4-cifrato.mdb", Version::Jet4, false, false, false, none, 0x5A17C0DEu},
        {"jet3-cifrato.mdb", Version::Jet3, false, false, false, none, 0x1234u},
        {"ace12.accdb", Version::Ace12, true, false, true, none, 0},
        {"ace14-calcolate.accdb", Version::Ace14, true, true, true, none, 0},
        {"ace16.accdb", Version::Ace16, true, true, false, none, 0},
        {"ace17-cifrato.accdb", Version::Ace17, false, false, false, none, 0x77u},
    };
    return list;
}

// Statements shaped like the windows' (daily, intense, registry) and the record sources they open.
const QStringList& statements() {
    static const QStringList list{
        "select  nomestaz as [Denominazione], Giorno, Mese, Anno , Pioggia as [pioggia mm], TempMax as "
        "[Temperatura massima °C] from  database1 where codStaz = 1000 and anno = 1995 and mese = 3 and "
        "giorno = 1",
        "select Nomestaz , Anno , unhh as [1 ora], Data, ungg as [1 giorno], Data5 from piog9099 where "
        "codstaz = "
        "1000 and anno = 1994",
        "select parametro, gennaio,febbraio, marzo, aprile, maggio, giugno, luglio, agosto, settembre, "
        "ottobre, "
        "novembre, dicembre, anno from mensili where codstaz = 1000 order by anno, parametro",
        "SELECT DISTINCT [anagrafica compl].Codstaz FROM [anagrafica compl] ORDER BY [anagrafica "
        "compl].Codstaz",
        "SELECT * FROM [anagrafica compl] WHERE Codstaz >= 1000 AND Denominazione <> 'x' ORDER BY Comune "
        "DESC",
        "select Anno from database1 where (Mese = 1 OR mese = 2) and not Giorno < 10",
        "Anno",
        "Anagraficab",
        "anagrafica compl",
        "help",
        "select * from database1 where Anno = 1995 and Pioggia is null",
        "select Nomestaz from database1 where nomestaz = 'S' or codstaz <> 1001",
        "select codstaz, [UTM X], [Data validità] from [anagrafica compl] where Quota > 100 and Quota < 500",
        "select count(*) from database1 where anno = [Quale anno?]",
    };
    return list;
}

bool writeText(const QString& path, const QString& text) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(text.toUtf8()) >= 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "uso: fuzz_seeds CARTELLA\n");
        return 2;
    }
    const QString root = QString::fromLocal8Bit(argv[1]);
    const QString open = root + QStringLiteral("/seeds/open");
    const QString statement = root + QStringLiteral("/seeds/statement");
    if (!QDir().mkpath(open) || !QDir().mkpath(statement))
        return 1;
    for (const Seed& s : seeds())
        if (!writeSeed(open, s))
            return 1;
    for (int i = 0; i < statements().size(); ++i)
        if (!writeText(statement + QStringLiteral("/%1.sql").arg(i, 2, 10, QLatin1Char('0')),
                       statements()[i]))
            return 1;
    samplegen::Options options;
    options.stations = 2;
    options.pictures = false;
    options.lookupsAsQueries = true;
    QString error;
    if (!samplegen::writeSample(root + QStringLiteral("/archive"), options, &error)) {
        std::fprintf(stderr, "fuzz_seeds: %s\n", qPrintable(error));
        return 1;
    }
    return 0;
}
