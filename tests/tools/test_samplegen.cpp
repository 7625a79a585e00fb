// The sample archive: the record sources and fields the viewer reads, content that agrees with
// samplegen::stations(), plausible values with real holes, pictures, both formats and both readers.
#include "samplegen/samplegen.h"
#include "tools/mdbcheck.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <QSet>
#include <QTemporaryDir>
#include <QtTest>

namespace {

QByteArray fileHash(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256);
}

QSet<qint64> codesIn(const mdbcheck::Table& t, const QString& column) {
    QSet<qint64> out;
    const int c = t.columns.indexOf(column);
    for (const auto& r : t.rows)
        out.insert(r.value(c).toLongLong());
    return out;
}

}  // namespace

class TestSampleGen : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase();
    void recordSourcesAndFields();
    void contentMatchesStations();
    void valuesArePlausibleWithHoles();
    void selectionListsAndHelp();
    void pictures();
    void bothReadersAndBothFormatsAgree();
    void lookupsAsStoredQueries();
    void sameOptionsSameFiles();
    void benchmarkSizeAddsStations();

  private:
    QTemporaryDir dir_;
    QString folder4_;
    QString folder3_;
    mdbcheck::Dump lib4_;
    QList<samplegen::StationInfo> stations_;
};

void TestSampleGen::initTestCase() {
    QVERIFY(dir_.isValid());
    folder4_ = dir_.filePath(QStringLiteral("jet4"));
    folder3_ = dir_.filePath(QStringLiteral("jet3"));
    QString error;
    samplegen::Options o4;
    QVERIFY2(samplegen::writeSample(folder4_, o4, &error), qPrintable(error));
    samplegen::Options o3;
    o3.version = jetwriter::Version::Jet3;
    o3.pictures = false;
    QVERIFY2(samplegen::writeSample(folder3_, o3, &error), qPrintable(error));
    lib4_ = mdbcheck::readWithLibmdb(folder4_ + QStringLiteral("/orbeni.mdb"));
    QVERIFY2(lib4_.error.isEmpty(), qPrintable(lib4_.error));
    stations_ = samplegen::stations(o4);
}

void TestSampleGen::recordSourcesAndFields() {
    using namespace mdbcheck;
    const QMap<QString, QStringList> expected{
        {"database1",
         {"codStaz", "nomestaz", "Giorno", "Mese", "Anno", "Pioggia", "TempMax", "TempMin", "TempMed",
          "Umidità", "AltNeve", "VelMedia", "VelMax", "DirVento", "OreDir", "Radiazione", "Umidmax",
          "Umidmin", "calme"}},
        {"piog9099", {"codstaz", "Nomestaz", "Anno",  "unhh",  "Data",  "trehh", "Data1", "seihh",
                      "Data2",   "dodhh",    "Data3", "venhh", "Data4", "ungg",  "Data5", "duegg",
                      "Data6",   "tregg",    "Data7", "quagg", "Data8", "cingg", "Data9"}},
        {"mensili",
         {"codstaz", "anno", "parametro", "gennaio", "febbraio", "marzo", "aprile", "maggio", "giugno",
          "luglio", "agosto", "settembre", "ottobre", "novembre", "dicembre"}},
        {"anagrafica compl",
         {"Codstaz", "Denominazione", "Comune", "Provincia", "Quota", "Data validità", "UTM X", "UTM Y",
          "Indirizzo_localita", "BACINO", "tipo staz", "Latitudine N", "Longitudine W"}},
        {"Anagraficab", {"NomeStaz", "codstaz"}},
        {"anagraficaa", {"NomeStaz", "codstaz"}},
        {"Anno", {"Anno"}},
        {"Mese", {"mese", "TESTO"}},
        {"Giorno", {"Giorno"}},
        {"help", {"help0", "help1", "help2", "help3", "help4"}},
    };
    QCOMPARE(lib4_.tables.keys(), expected.keys());
    for (auto it = expected.begin(); it != expected.end(); ++it)
        QCOMPARE(lib4_.tables.value(it.key()).columns, it.value());
    // Keys compare as numbers; dates are dates.
    const Table& d = lib4_.tables["database1"];
    QCOMPARE(d.types.mid(0, 5), (QList<int>{Long, Text, Int, Int, Int}));
    QCOMPARE(d.types[d.columns.indexOf("DirVento")], int(Text));
    const Table& p = lib4_.tables["piog9099"];
    for (int i = 0; i < 10; ++i)
        QCOMPARE(p.types[4 + 2 * i], int(Date));
    QCOMPARE(lib4_.tables["anagrafica compl"].types[5], int(Date));
    QCOMPARE(lib4_.tables["mensili"].types.mid(0, 2), (QList<int>{Long, Int}));
}

void TestSampleGen::contentMatchesStations() {
    QCOMPARE(stations_.size(), 40);
    const auto& reg = lib4_.tables["anagrafica compl"];
    QCOMPARE(reg.rows.size(), stations_.size());
    QSet<qint64> daily, intense, intenseRows, monthly;
    QHash<QString, int> names;
    for (int i = 0; i < stations_.size(); ++i) {
        const auto& s = stations_[i];
        QCOMPARE(reg.rows[i][0].toLongLong(), qint64(s.code));
        QCOMPARE(reg.rows[i][1].toString(), s.name);
        if (s.inDailyList)
            daily.insert(s.code);
        if (s.inIntenseList)
            intense.insert(s.code);
        if (s.hasIntenseRows)
            intenseRows.insert(s.code);
        if (s.hasMonthly)
            monthly.insert(s.code);
        ++names[s.name];
    }
    QCOMPARE(codesIn(lib4_.tables["Anagraficab"], "codstaz"), daily);
    QCOMPARE(codesIn(lib4_.tables["anagraficaa"], "codstaz"), intense);
    QVERIFY(daily != intense);
    QCOMPARE(codesIn(lib4_.tables["piog9099"], "codstaz"), intenseRows);
    QVERIFY(intenseRows.size() < intense.size());  // a listed station without rows
    QCOMPARE(codesIn(lib4_.tables["mensili"], "codstaz"), monthly);
    QVERIFY(monthly.size() < stations_.size());
    QCOMPARE(std::count(names.begin(), names.end(), 2), 1);  // two stations share one name

    // Daily rows: every station, every day of 1990-1999, grouped by station then date.
    const auto& d = lib4_.tables["database1"];
    QCOMPARE(d.rows.size(), stations_.size() * 3652);
    int station = 0;
    QDate expect(1990, 1, 1);
    for (const auto& r : d.rows) {
        if (expect.year() == 2000) {
            ++station;
            expect = QDate(1990, 1, 1);
        }
        const QDate got(int(r[4].toLongLong()), int(r[3].toLongLong()), int(r[2].toLongLong()));
        QVERIFY2(r[0].toLongLong() == stations_[station].code && got == expect,
                 qPrintable(QStringLiteral("%1 %2").arg(r[0].toLongLong()).arg(got.toString(Qt::ISODate))));
        QCOMPARE(r[1].toString(), stations_[station].name);
        expect = expect.addDays(1);
    }
}

void TestSampleGen::valuesArePlausibleWithHoles() {
    const auto& d = lib4_.tables["database1"];
    const auto col = [&](const char* n) { return d.columns.indexOf(QString::fromUtf8(n)); };
    const int rain = col("Pioggia"), tmax = col("TempMax"), tmin = col("TempMin"), tmed = col("TempMed"),
              hum = col("Umidità"), snow = col("AltNeve"), dir = col("DirVento"), rad = col("Radiazione");
    QHash<qint64, int> quota;
    for (const auto& r : lib4_.tables["anagrafica compl"].rows)
        quota[r[0].toLongLong()] = int(r[4].toLongLong());
    int nullRain = 0, nullHum = 0, nullRad = 0, snowDays = 0;
    const QSet<QString> dirs{"N", "NE", "E", "SE", "S", "SW", "W", "NW"};
    for (const auto& r : d.rows) {
        const int month = int(r[3].toLongLong());
        nullRain += !r[rain].isValid();
        nullHum += !r[hum].isValid();
        nullRad += !r[rad].isValid();
        if (r[rain].isValid())
            QVERIFY(r[rain].toDouble() >= 0 && r[rain].toDouble() < 400);
        if (r[tmax].isValid() && r[tmin].isValid()) {
            QVERIFY(r[tmin].toDouble() <= r[tmax].toDouble());
            QVERIFY(r[tmin].toDouble() > -40 && r[tmax].toDouble() < 45);
        }
        if (r[tmed].isValid() && r[tmax].isValid())
            QVERIFY(r[tmed].toDouble() <= r[tmax].toDouble() && r[tmed].toDouble() >= r[tmin].toDouble());
        if (r[hum].isValid())
            QVERIFY(r[hum].toDouble() >= 0 && r[hum].toDouble() <= 100);
        if (r[dir].isValid())
            QVERIFY2(dirs.contains(r[dir].toString()), qPrintable(r[dir].toString()));
        if (r[snow].isValid() && r[snow].toDouble() > 0) {
            ++snowDays;
            QVERIFY2(month <= 5 || month >= 10, qPrintable(QString::number(month)));
            QVERIFY(quota.value(r[0].toLongLong()) >= 500);
        }
    }
    // Outages and stations without some sensors leave NULLs; a few stations have snow.
    QVERIFY(nullRain > 100 && nullRain < d.rows.size() / 10);
    QVERIFY(nullHum > d.rows.size() / 10);
    QVERIFY(nullRad > d.rows.size() / 3);
    QVERIFY(snowDays > 1000);
    // The yearly maxima grow with the duration.
    const auto& p = lib4_.tables["piog9099"];
    for (const auto& r : p.rows) {
        QList<double> hours, days;
        for (int i = 0; i < 5; ++i) {
            if (r[3 + 2 * i].isValid())
                hours << r[3 + 2 * i].toDouble();
            days << r[13 + 2 * i].toDouble();
        }
        QVERIFY(std::is_sorted(hours.begin(), hours.end()));
        QVERIFY(std::is_sorted(days.begin(), days.end()));
    }
}

void TestSampleGen::selectionListsAndHelp() {
    QList<qint64> years, days;
    for (const auto& r : lib4_.tables["Anno"].rows)
        years << r[0].toLongLong();
    for (const auto& r : lib4_.tables["Giorno"].rows)
        days << r[0].toLongLong();
    QCOMPARE(years, (QList<qint64>{1990, 1991, 1992, 1993, 1994, 1995, 1996, 1997, 1998, 1999}));
    QCOMPARE(days.size(), 31);
    QCOMPARE(days.first(), 1);
    QCOMPARE(days.last(), 31);
    const auto& m = lib4_.tables["Mese"].rows;
    QCOMPARE(m.size(), 12);
    QCOMPARE(m[0], (QList<QVariant>{qint64(1), QString("Gennaio")}));
    QCOMPARE(m[11], (QList<QVariant>{qint64(12), QString("Dicembre")}));
    const auto& help = lib4_.tables["help"].rows;
    QCOMPARE(help.size(), 1);
    int longOnes = 0;
    for (const QVariant& v : help[0]) {
        QVERIFY(v.toString().size() > 300);
        longOnes += v.toString().size() > 20000;
    }
    QCOMPARE(longOnes, 1);
    QVERIFY(lib4_.tables["mensili"].rows.size() > 1000);
}

void TestSampleGen::pictures() {
    const QDir dir(folder4_ + QStringLiteral("/cartograf"));
    int without = 0, upper = 0, small = 0, large = 0;
    for (const auto& s : stations_) {
        const QString lower = QStringLiteral("r_%1.jpg").arg(s.code);
        const QString up = QStringLiteral("R_%1.JPG").arg(s.code);
        const QString slower = QStringLiteral("s_%1.jpg").arg(s.code);
        const QString sup = QStringLiteral("S_%1.JPG").arg(s.code);
        if (!s.hasPictures) {
            ++without;
            QVERIFY(!dir.exists(lower) && !dir.exists(up) && !dir.exists(slower) && !dir.exists(sup));
            continue;
        }
        upper += s.upperCasePictures;
        const QString thumb = dir.filePath(s.upperCasePictures ? up : lower);
        const QString big = dir.filePath(s.upperCasePictures ? sup : slower);
        QVERIFY2(QFileInfo::exists(thumb) && QFileInfo::exists(big), qPrintable(thumb));
        QVERIFY(!dir.exists(s.upperCasePictures ? lower : up));
        QImageReader r(thumb);
        QCOMPARE(r.format(), QByteArray("jpeg"));
        QCOMPARE(r.size(), QSize(209, 273));
        const QSize bs = QImageReader(big).size();
        if (bs.width() > 748 && bs.height() > 582)
            ++large;
        else if (bs.isValid())
            ++small;
    }
    QCOMPARE(without, 1);
    QVERIFY(upper >= 2);
    QVERIFY(small >= 1);
    QVERIFY(large > small);
    QCOMPARE(large + small + without, stations_.size());
}

// The two readers see the same archive, and the Jet 3 archive holds the same content.
void TestSampleGen::bothReadersAndBothFormatsAgree() {
    const mdbcheck::Dump js4 = mdbcheck::readWithMdbReader(folder4_ + QStringLiteral("/orbeni.mdb"));
    QVERIFY2(js4.error.isEmpty(), qPrintable(js4.error));
    const mdbcheck::Dump lib3 = mdbcheck::readWithLibmdb(folder3_ + QStringLiteral("/orbeni.mdb"));
    QVERIFY2(lib3.error.isEmpty(), qPrintable(lib3.error));
    for (const auto& t : lib4_.tables) {
        QVERIFY2(js4.tables.contains(t.name), qPrintable(t.name));
        QString diff = mdbcheck::compareTables(t, js4.tables.value(t.name));
        QVERIFY2(diff.isEmpty(), qPrintable(QStringLiteral("mdb-reader: ") + diff));
        diff = mdbcheck::compareTables(t, lib3.tables.value(t.name));
        QVERIFY2(diff.isEmpty(), qPrintable(QStringLiteral("jet3: ") + diff));
    }
    QCOMPARE(lib3.tables.size(), lib4_.tables.size());
}

void TestSampleGen::lookupsAsStoredQueries() {
    samplegen::Options o;
    o.lookupsAsQueries = true;
    o.pictures = false;
    o.stations = 6;
    const QString folder = dir_.filePath(QStringLiteral("query"));
    QString error;
    QVERIFY2(samplegen::writeSample(folder, o, &error), qPrintable(error));
    const mdbcheck::Dump lib = mdbcheck::readWithLibmdb(folder + QStringLiteral("/orbeni.mdb"));
    QVERIFY2(lib.error.isEmpty(), qPrintable(lib.error));
    QStringList queries = lib.queries;
    queries.sort();
    QCOMPARE(queries, (QStringList{"Anagraficab", "Anno", "Giorno", "Mese", "anagraficaa"}));
    for (const QString& q : queries)
        QVERIFY2(!lib.tables.contains(q), qPrintable(q));
    QVERIFY(lib.tables.contains("database1") && lib.tables.contains("help"));
    QCOMPARE(lib.tables["database1"].rows.size(), 6 * 3652);
}

void TestSampleGen::sameOptionsSameFiles() {
    samplegen::Options o;
    o.stations = 3;
    const QString a = dir_.filePath(QStringLiteral("a")), b = dir_.filePath(QStringLiteral("b"));
    QString error;
    QVERIFY2(samplegen::writeSample(a, o, &error), qPrintable(error));
    QVERIFY2(samplegen::writeSample(b, o, &error), qPrintable(error));
    QCOMPARE(fileHash(a + "/orbeni.mdb"), fileHash(b + "/orbeni.mdb"));
    const QString pic = QStringLiteral("/cartograf/s_%1.jpg").arg(samplegen::stations(o).first().code);
    QVERIFY(!fileHash(a + pic).isEmpty());
    QCOMPARE(fileHash(a + pic), fileHash(b + pic));
}

void TestSampleGen::benchmarkSizeAddsStations() {
    samplegen::Options o;
    o.minDailyRows = 1000000;
    const auto list = samplegen::stations(o);
    QVERIFY(list.size() * 3652 >= 1000000);
    QVERIFY((list.size() - 1) * 3652 < 1000000);
    QSet<int> codes;
    for (const auto& s : list)
        codes.insert(s.code);
    QCOMPARE(codes.size(), list.size());
    // The first forty are the ordinary network.
    const auto base = samplegen::stations({});
    for (int i = 0; i < base.size(); ++i)
        QCOMPARE(list[i].code, base[i].code);
}

QTEST_GUILESS_MAIN(TestSampleGen)
#include "test_samplegen.moc"
