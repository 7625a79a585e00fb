// The engine's numbered errors: each number with its Italian wording, the path or name kept whole.
#include <QtTest>

#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

#include "jet/jet.h"
#include "jetwriter/jetwriter.h"

using namespace jet;

Q_DECLARE_METATYPE(jet::Error)

namespace {

const QString kRegistry = QStringLiteral("anagrafica compl");

// What a window meets opening the archive and its registry: the first error, or none.
Error openError(const QString& path) {
    Error error;
    std::shared_ptr<Database> db = Database::open(path, &error);
    if (db && db->openRecordSet(kRegistry, &error)) {
        return Error{};
    }
    return error;
}

// A registry over several pages, as the archive holds it.
bool writeArchive(const QString& path, jetwriter::Version version) {
    using jetwriter::Column;
    jetwriter::Database archive(version);
    int next = 0;
    archive.addTable(kRegistry,
                     {Column{QStringLiteral("codstaz"), jetwriter::ColumnType::Long, 0},
                      Column{QStringLiteral("NomeStaz"), jetwriter::ColumnType::Text, 50},
                      Column{QStringLiteral("Note"), jetwriter::ColumnType::Memo, 0}},
                     [&next](jetwriter::Row& row) {
                         if (next >= 2000) {
                             return false;
                         }
                         row = {next, QStringLiteral("Stazione %1").arg(next), QString(300, u'n')};
                         ++next;
                         return true;
                     });
    QString error;
    return archive.write(path, &error);
}

}  // namespace

class TestJetErrors : public QObject {
    Q_OBJECT
  private slots:
    void texts_data() {
        QTest::addColumn<Error>("error");
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("message");
        const QString path = QStringLiteral("/media/CD ROM/Dati àè/ORBENI.MDB");
        QTest::newRow("3024") << errors::fileNotFound(path) << 3024
                              << QStringLiteral("Impossibile trovare il file '%1'.").arg(path);
        QTest::newRow("3044") << errors::invalidPath(path) << 3044
                              << QStringLiteral(
                                     "'%1' non è un percorso valido. Verificare che il nome del percorso sia "
                                     "stato digitato correttamente e di essere connessi al server in cui "
                                     "risiede il file.")
                                     .arg(path);
        QTest::newRow("3051")
            << errors::cannotOpen(path) << 3051
            << QStringLiteral(
                   "Il motore di database non è in grado di aprire il file '%1'. Il file è "
                   "già aperto in modalità esclusiva da un altro utente oppure è necessaria "
                   "l'autorizzazione per visualizzarne i dati.")
                   .arg(path);
        QTest::newRow("3051 permission")
            << errors::noReadPermission(path) << 3051
            << QStringLiteral(
                   "Il motore di database non è in grado di aprire il file '%1'. Non si dispone "
                   "dell'autorizzazione per leggerlo: verificare i permessi del file e della cartella che lo "
                   "contiene.")
                   .arg(path);
        QTest::newRow("3049") << errors::damagedArchive(path) << 3049
                              << QStringLiteral(
                                     "Impossibile aprire il database '%1'. Potrebbe non essere un database "
                                     "riconosciuto dall'applicazione oppure il file potrebbe essere "
                                     "danneggiato.")
                                     .arg(path);
        QTest::newRow("3031") << errors::invalidPassword() << 3031 << QStringLiteral("Password non valida.");
        QTest::newRow("3343") << errors::unrecognizedFormat(path) << 3343
                              << QStringLiteral("Formato di database '%1' non riconosciuto.").arg(path);
        QTest::newRow("3078")
            << errors::missingSource(QStringLiteral("anagrafica compl")) << 3078
            << QStringLiteral(
                   "Il motore di database non è in grado di trovare la tabella o la query di "
                   "input 'anagrafica compl'. Verificare che esista e che il nome sia stato "
                   "digitato correttamente.");
        QTest::newRow("3075 operator")
            << errors::missingOperator(QStringLiteral("codStaz =")) << 3075
            << QStringLiteral(
                   "Errore di sintassi (operatore mancante) nell'espressione della query 'codStaz ='.");
        QTest::newRow("3075 string")
            << errors::badString(QStringLiteral("nomestaz = 'abc")) << 3075
            << QStringLiteral(
                   "Errore di sintassi nella stringa nell'espressione della query 'nomestaz = 'abc'.");
        QTest::newRow("3075 date")
            << errors::badDate(QStringLiteral("data = #1/")) << 3075
            << QStringLiteral("Errore di sintassi nella data nell'espressione della query 'data = #1/'.");
        QTest::newRow("3126") << errors::badBracketing(QStringLiteral("[Anno")) << 3126
                              << QStringLiteral("Parentesi non valide nel nome '[Anno'.");
        QTest::newRow("3141")
            << errors::selectSyntax() << 3141
            << QStringLiteral(
                   "L'istruzione SELECT include una parola riservata o un nome di argomento "
                   "con errori di ortografia o mancante, oppure la punteggiatura non è "
                   "corretta.");
        QTest::newRow("3131") << errors::fromSyntax() << 3131
                              << QStringLiteral("Errore di sintassi nella clausola FROM.");
        QTest::newRow("3138") << errors::orderBySyntax() << 3138
                              << QStringLiteral("Errore di sintassi nella clausola ORDER BY.");
        QTest::newRow("3142") << errors::afterEnd() << 3142
                              << QStringLiteral(
                                     "Sono stati trovati caratteri dopo la fine dell'istruzione SQL.");
        QTest::newRow("3061") << errors::tooFewParameters(3) << 3061
                              << QStringLiteral("Parametri insufficienti. Previsto 3.");
        QTest::newRow("3464") << errors::typeMismatch() << 3464
                              << QStringLiteral("Tipo di dati non corrispondente nell'espressione criterio.");
        QTest::newRow("3360") << errors::tooComplex() << 3360 << QStringLiteral("Query troppo complessa.");
        QTest::newRow("3219") << errors::invalidOperation() << 3219
                              << QStringLiteral("Operazione non valida.");
        QTest::newRow("3251") << errors::notSupported() << 3251
                              << QStringLiteral("Operazione non supportata per questo tipo di oggetto.");
        QTest::newRow("3000")
            << errors::unknown(QStringLiteral("memoria insufficiente")) << 3000
            << QStringLiteral(
                   "Errore riservato (memoria insufficiente). Non esiste alcun messaggio per "
                   "questo errore.");
    }
    void texts() {
        QFETCH(Error, error);
        QFETCH(int, number);
        QFETCH(QString, message);
        QCOMPARE(error.number, number);
        QCOMPARE(error.message, message);
    }
    // A file that cannot be read as an archive is reported as such, naming the file, never as a
    // missing table: cut short (a copy that stopped part-way), or with zeros over it.
    void damagedArchive_data() {
        QTest::addColumn<int>("version");
        QTest::addColumn<QString>("damage");
        for (const auto& [name, version] :
             {std::pair{"Jet 3", jetwriter::Version::Jet3}, std::pair{"Jet 4", jetwriter::Version::Jet4}}) {
            for (const char* damage :
                 {"empty", "header only", "half", "quarter", "zeroed", "zeroed after the header"}) {
                QTest::newRow(
                    qPrintable(QStringLiteral("%1, %2").arg(QLatin1String(name), QLatin1String(damage))))
                    << int(version) << QString::fromLatin1(damage);
            }
        }
    }
    void damagedArchive() {
        QFETCH(int, version);
        QFETCH(QString, damage);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = dir.filePath(QStringLiteral("orbeni.mdb"));
        QVERIFY(writeArchive(path, jetwriter::Version(version)));
        QCOMPARE(openError(path).number, 0);

        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QByteArray bytes = file.readAll();
        file.close();
        const int page = jetwriter::Version(version) == jetwriter::Version::Jet3 ? 2048 : 4096;
        if (damage == QLatin1String("empty")) {
            bytes.clear();
        } else if (damage == QLatin1String("header only")) {
            bytes.truncate(page);
        } else if (damage == QLatin1String("half")) {
            bytes.truncate(bytes.size() / 2);
        } else if (damage == QLatin1String("quarter")) {
            bytes.truncate(bytes.size() / 4);
        } else if (damage == QLatin1String("zeroed")) {
            bytes.fill('\0');
        } else {
            std::fill(bytes.begin() + page, bytes.end(), '\0');
        }
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        QCOMPARE(file.write(bytes), bytes.size());
        file.close();

        const Error error = openError(path);
        const QList<int> notAnArchive{errors::damagedArchive(path).number,
                                      errors::unrecognizedFormat(path).number};
        QVERIFY2(notAnArchive.contains(error.number),
                 qPrintable(QString::number(error.number) + u' ' + error.message));
        QVERIFY2(error.message.contains(QStringLiteral("'%1'").arg(path)), qPrintable(error.message));
    }

    // An archive the user may not read is reported as a permission problem. The superuser reads
    // any file, so the check then runs in a child that has given up the superuser's rights.
    void noReadPermission() {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QVERIFY(QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                      QFileDevice::ExeOwner | QFileDevice::ExeGroup |
                                                      QFileDevice::ExeOther));
        const QString path = dir.filePath(QStringLiteral("orbeni.mdb"));
        QVERIFY(writeArchive(path, jetwriter::Version::Jet4));
        QVERIFY(QFile::setPermissions(path, QFileDevice::Permissions()));

        Error error;
        if (::geteuid() != 0) {
            error = openError(path);
        } else {
            int channel[2];
            QCOMPARE(::pipe(channel), 0);
            const pid_t child = ::fork();
            QVERIFY(child >= 0);
            if (child == 0) {
                ::close(channel[0]);
                constexpr uid_t kNobody = 65534;
                if (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0) {
                    ::_exit(3);
                }
                const Error seen = openError(path);
                const QByteArray out = QByteArray::number(seen.number) + '\n' + seen.message.toUtf8();
                const bool sent = ::write(channel[1], out.constData(), size_t(out.size())) == out.size();
                ::_exit(sent ? 0 : 4);
            }
            ::close(channel[1]);
            QByteArray got;
            char buffer[512];
            for (ssize_t n; (n = ::read(channel[0], buffer, sizeof buffer)) > 0;) {
                got.append(buffer, n);
            }
            ::close(channel[0]);
            int status = 0;
            QCOMPARE(::waitpid(child, &status, 0), child);
            QVERIFY2(WIFEXITED(status) && WEXITSTATUS(status) == 0, "the child could not give up its rights");
            const qsizetype end = got.indexOf('\n');
            QVERIFY(end > 0);
            error = Error{got.left(end).toInt(), QString::fromUtf8(got.mid(end + 1))};
        }
        QCOMPARE(error.number, errors::noReadPermission(path).number);
        QCOMPARE(error.message, errors::noReadPermission(path).message);
    }
};

QTEST_GUILESS_MAIN(TestJetErrors)
#include "test_jet_errors.moc"
