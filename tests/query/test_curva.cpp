// altorra-query --curva against hand computations, on an archive written by our own writer; its
// statement against the rainfall search's.
#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>

#include "intense/intensestatement.h"
#include "jetwriter/jetwriter.h"
#include "query/query.h"

namespace {

using jetwriter::ColumnType;
using jetwriter::Row;

constexpr double kHours[5] = {1, 3, 6, 12, 24};

// Val Chiara (7), 1990-1995: the 1-hour maxima 10, 20, ..., 60 and each longer duration those
// times √t (t in hours), so every quantile is √t times the 1-hour one: h = a·t^0.5 exactly. The
// 1-day maxima 15, 25, ..., 65 and the longer ones times t^0.25 (t in days).
// Colle Rotto (10), 1990-1995: as Val Chiara, but no 1-hour maximum in 1995.
// Poggio Secco (8): four years. Piana Uguale (9): six years of 25 mm everywhere.
QList<Row> rainRows() {
    QList<Row> rows;
    const auto add = [&rows](int code, const QString& name, int year, double hour, double day, bool noHour) {
        Row row{code, name, year};
        for (int d = 0; d < 5; ++d) {
            row << (noHour && d == 0 ? QVariant() : QVariant(hour * std::sqrt(kHours[d])))
                << QStringLiteral("01/07/%1").arg(year);
        }
        for (int d = 0; d < 5; ++d) {
            row << QVariant(day * std::pow(d + 1.0, 0.25)) << QStringLiteral("02/07/%1").arg(year);
        }
        rows << row;
    };
    for (int i = 0; i < 6; ++i) {
        add(7, QStringLiteral("Val Chiara"), 1990 + i, 10.0 * (i + 1), 15.0 + 10 * i, false);
        add(10, QStringLiteral("Colle Rotto"), 1990 + i, 10.0 * (i + 1), 15.0 + 10 * i, i == 5);
        add(9, QStringLiteral("Piana Uguale"), 1990 + i, 25, 25, false);
    }
    for (int i = 0; i < 4; ++i) {
        add(8, QStringLiteral("Poggio Secco"), 1990 + i, 10.0 * (i + 1), 15.0 + 10 * i, false);
    }
    return rows;
}

QString writeArchive(const QString& path) {
    jetwriter::Database db(jetwriter::Version::Jet4);
    QList<jetwriter::Column> columns = {
        {"codstaz", ColumnType::Long}, {"Nomestaz", ColumnType::Text, 50}, {"Anno", ColumnType::Integer}};
    const QStringList amounts = {"unhh", "trehh", "seihh", "dodhh", "venhh",
                                 "ungg", "duegg", "tregg", "quagg", "cingg"};
    for (int i = 0; i < amounts.size(); ++i) {
        columns.append({amounts[i], ColumnType::Double});
        columns.append(
            {i == 0 ? QStringLiteral("Data") : QStringLiteral("Data%1").arg(i), ColumnType::Text, 10});
    }
    db.addTable("piog9099", columns, rainRows());
    QString error;
    return db.write(path, &error) ? QString() : error;
}

// The Gumbel quantile by moments, with the mean and the N − 1 variance worked out by hand.
double byMoments(double mean, double variance, double T) {
    const double scale = std::sqrt(variance) * std::sqrt(6.0) / 3.14159265358979;  // 1/α
    return mean - 0.5772156649 * scale - std::log(-std::log(1 - 1 / T)) * scale;
}
// The same by L-moments, with λ2 worked out by hand.
double byLMoments(double mean, double lambda2, double T) {
    const double scale = lambda2 / std::log(2.0);
    return mean - 0.5772156649 * scale - std::log(-std::log(1 - 1 / T)) * scale;
}

QString mm(double v) {
    return QString::number(v, 'f', 2);
}

const int kPeriods[7] = {2, 5, 10, 20, 50, 100, 200};

}  // namespace

class TestCurva : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    QString archive_;
    QString program_;

    struct Run {
        int status = -1;
        QStringList lines;  // stdout split at CRLF, the last (empty) piece dropped
        QString err;
    };
    Run run(const QStringList& args) {
        QProcess p;
        p.start(program_, args);
        Run r;
        if (!p.waitForFinished(60000)) {
            return r;
        }
        r.status = p.exitCode();
        QString out = QString::fromUtf8(p.readAllStandardOutput());
        r.lines = out.split(QStringLiteral("\r\n"));
        if (!r.lines.isEmpty() && r.lines.last().isEmpty()) {
            r.lines.removeLast();
        }
        r.err = QString::fromUtf8(p.readAllStandardError());
        return r;
    }

  private slots:
    void initTestCase() {
        QVERIFY(dir_.isValid());
        archive_ = dir_.filePath(QStringLiteral("orbeni.mdb"));
        const QString error = writeArchive(archive_);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        program_ = qEnvironmentVariable("ALTORRA_BINARY_DIR") + QStringLiteral("/program/altorra-query");
        QVERIFY(QFileInfo::exists(program_));
    }

    // The statement is the rainfall search's for that station with both groups ticked.
    void statement() {
        intense::IntenseChoice choice;
        choice.stationText = QStringLiteral("Val Chiara");
        choice.stationKey = QStringLiteral("7");
        QCOMPARE(query::curvaStatement(7), intense::buildIntenseStatement(choice).sql);
    }

    // Val Chiara by moments: the 1-hour sample has mean 35 and variance 1750 / 5 = 350, the 1-day one
    // mean 40 and the same variance; every other duration is the same sample times t^n, so the
    // curve is h = h1(T)·t^0.5 over the hours and h = h1day(T)·t^0.25 over the days, R² = 1.
    void handComputed_data() {
        QTest::addColumn<QString>("method");
        QTest::addColumn<bool>("lmoments");
        QTest::newRow("momenti (predefinito)") << QString() << false;
        QTest::newRow("momenti") << QStringLiteral("momenti") << false;
        // L-moments: b1 = (0·10 + 1·20 + 2·30 + 3·40 + 4·50 + 5·60) / (6·5) = 70/3, λ2 = 2·b1 − 35 = 35/3;
        // for the days b1 = (0·15 + 1·25 + ... + 5·65) / 30 = 775/30, λ2 = 2·b1 − 40 = 35/3 as well.
        QTest::newRow("lmomenti") << QStringLiteral("lmomenti") << true;
    }
    void handComputed() {
        QFETCH(QString, method);
        QFETCH(bool, lmoments);
        QStringList args{QStringLiteral("--curva"), QStringLiteral("7")};
        if (!method.isEmpty()) {
            args << QStringLiteral("--metodo") << method;
        }
        const Run r = run(args << archive_);
        QCOMPARE(r.status, 0);
        QVERIFY(r.err.isEmpty());
        QCOMPARE(r.lines.size(), 16);
        QCOMPARE(r.lines[0],
                 QStringLiteral("T (anni)\t1 ora\t3 ore\t6 ore\t12 ore\t24 ore\t1 giorno\t2 giorni\t"
                                "3 giorni\t4 giorni\t5 giorni\t"));
        QCOMPARE(r.lines[8], QStringLiteral("T (anni)\ta (mm) 1-24 ore\tn 1-24 ore\tR² 1-24 ore\t"
                                            "a (mm) 1-5 giorni\tn 1-5 giorni\tR² 1-5 giorni\t"));
        for (int t = 0; t < 7; ++t) {
            const double h1 =
                lmoments ? byLMoments(35, 35.0 / 3, kPeriods[t]) : byMoments(35, 350, kPeriods[t]);
            const double d1 =
                lmoments ? byLMoments(40, 35.0 / 3, kPeriods[t]) : byMoments(40, 350, kPeriods[t]);
            QString quantiles = QString::number(kPeriods[t]) + QLatin1Char('\t');
            for (double hours : kHours) {
                quantiles += mm(h1 * std::sqrt(hours)) + QLatin1Char('\t');
            }
            for (int days = 1; days <= 5; ++days) {
                quantiles += mm(d1 * std::pow(days, 0.25)) + QLatin1Char('\t');
            }
            QCOMPARE(r.lines[1 + t], quantiles);
            QCOMPARE(r.lines[9 + t], QStringLiteral("%1\t%2\t0.5000\t1.0000\t%3\t0.2500\t1.0000\t")
                                         .arg(kPeriods[t])
                                         .arg(mm(h1), mm(d1)));
        }
    }

    // A missing maximum leaves out that year for that duration only: Colle Rotto's 1 hour has five
    // years, 10 to 50 (mean 30, variance 1000 / 4 = 250); its other durations keep six, so the
    // 3-hour column is Val Chiara's. With one duration from another sample the hours are no
    // longer a power law; the days still are.
    void missingYear() {
        const Run r = run({QStringLiteral("--curva"), QStringLiteral("10"), archive_});
        QCOMPARE(r.status, 0);
        QCOMPARE(r.lines.size(), 16);
        const QStringList t2 = r.lines[1].split(QLatin1Char('\t'));
        QCOMPARE(t2[1], mm(byMoments(30, 250, 2)));
        QCOMPARE(t2[2], mm(byMoments(35, 350, 2) * std::sqrt(3.0)));
        const QStringList curve = r.lines[9].split(QLatin1Char('\t'));
        QVERIFY(curve[3] != QStringLiteral("1.0000"));
        QCOMPARE(curve[6], QStringLiteral("1.0000"));
    }

    // Too few years, or no spread: no figure is printed, never a zero or a NaN.
    void noFit_data() {
        QTest::addColumn<QString>("station");
        QTest::newRow("quattro anni") << QStringLiteral("8");
        QTest::newRow("valori uguali") << QStringLiteral("9");
    }
    void noFit() {
        QFETCH(QString, station);
        const Run r = run({QStringLiteral("--curva"), station, archive_});
        QCOMPARE(r.status, 0);
        QCOMPARE(r.lines.size(), 16);
        for (int t = 0; t < 7; ++t) {
            QCOMPARE(r.lines[1 + t],
                     QString::number(kPeriods[t]) + QString(10, QLatin1Char('\t')) + QLatin1Char('\t'));
            QCOMPARE(r.lines[9 + t], QString::number(kPeriods[t]) + QString(7, QLatin1Char('\t')));
        }
    }

    // Wrong arguments (2), a station without rows and a missing file (1), with their messages.
    void failures_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("message");
        const QString usage =
            QStringLiteral("uso: altorra-query --curva CODSTAZ [--metodo momenti|lmomenti] FILE\n");
        QTest::newRow("senza file") << QStringList{"--curva", "7"} << 2 << usage;
        QTest::newRow("codice non numerico") << QStringList{"--curva", "7 or 1=1", "F"} << 2 << usage;
        QTest::newRow("metodo sconosciuto")
            << QStringList{"--curva", "7", "--metodo", "ml", "F"} << 2 << usage;
        QTest::newRow("opzione sconosciuta")
            << QStringList{"--curva", "7", "--modo", "momenti", "F"} << 2 << usage;
        QTest::newRow("stazione senza righe")
            << QStringList{"--curva", "99", "ARCHIVE"} << 1 << QStringLiteral("Nessun record presente\n");
        QTest::newRow("file mancante") << QStringList{"--curva", "7", "MISSING"} << 1
                                       << QStringLiteral("3024 Impossibile trovare il file 'MISSING'.\n");
    }
    void failures() {
        QFETCH(QStringList, args);
        QFETCH(int, status);
        QFETCH(QString, message);
        const QString missing = dir_.filePath(QStringLiteral("manca.mdb"));
        args.replaceInStrings(QStringLiteral("ARCHIVE"), archive_);
        args.replaceInStrings(QStringLiteral("MISSING"), missing);
        message.replace(QStringLiteral("MISSING"), missing);
        const Run r = run(args);
        QCOMPARE(r.status, status);
        QVERIFY(r.lines.isEmpty());
        QCOMPARE(r.err, message);
    }
};

QTEST_GUILESS_MAIN(TestCurva)
#include "test_curva.moc"
