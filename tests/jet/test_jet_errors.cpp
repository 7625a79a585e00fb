// The engine's numbered errors: each number with its Italian wording, the path or name kept whole.
#include <QtTest>

#include "jet/jetvalue.h"

using namespace jet;

Q_DECLARE_METATYPE(jet::Error)

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
        QTest::newRow("3145") << errors::whereSyntax() << 3145
                              << QStringLiteral("Errore di sintassi nella clausola WHERE.");
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
};

QTEST_GUILESS_MAIN(TestJetErrors)
#include "test_jet_errors.moc"
