// Jet's error numbers and messages, type classes, date serials.
#include <cmath>

#include "jet/internal/types.h"

namespace jet {

TypeClass typeClassOf(int columnType) {
    switch (columnType) {
        case TypeBoolean:
        case TypeByte:
        case TypeInteger:
        case TypeLong:
        case TypeCurrency:
        case TypeSingle:
        case TypeDouble:
        case TypeDateTime:
        case TypeNumeric:
            return TypeClass::Number;
        case TypeText:
        case TypeMemo:
        case TypeGuid:
            return TypeClass::Text;
        case TypeBinary:
        case TypeOle:
            return TypeClass::Binary;
        default:
            return TypeClass::Unknown;
    }
}

TypeClass typeClassOf(const Value& v) {
    switch (v.kind()) {
        case Value::Kind::Null:
            return TypeClass::Unknown;
        case Value::Kind::Text:
            return TypeClass::Text;
        case Value::Kind::Binary:
            return TypeClass::Binary;
        default:
            return TypeClass::Number;
    }
}

double dateSerial(const QDate& date, int seconds) {
    const double day = double(QDate(1899, 12, 30).daysTo(date));
    const double fraction = seconds / 86400.0;
    // Before the epoch the time of day is subtracted from the (negative) day number.
    return day < 0 ? day - fraction : day + fraction;
}

namespace errors {

namespace {
Error make(int number, const QString& message) {
    return Error{number, message};
}
}  // namespace

Error fileNotFound(const QString& path) {
    return make(3024, QStringLiteral("Impossibile trovare il file '%1'.").arg(path));
}
Error invalidPath(const QString& path) {
    return make(
        3044, QStringLiteral("'%1' non è un percorso valido. Verificare che il nome del percorso sia stato "
                             "digitato correttamente e di essere connessi al server in cui risiede il file.")
                  .arg(path));
}
Error cannotOpen(const QString& path) {
    return make(3051,
                QStringLiteral("Il motore di database non è in grado di aprire il file '%1'. Il file è già "
                               "aperto in modalità esclusiva da un altro utente oppure è necessaria "
                               "l'autorizzazione per visualizzarne i dati.")
                    .arg(path));
}
Error noReadPermission(const QString& path) {
    // Same number the engine gives for a file it may not open; the text names the actual cause.
    return make(3051,
                QStringLiteral("Il motore di database non è in grado di aprire il file '%1'. Non si dispone "
                               "dell'autorizzazione per leggerlo: verificare i permessi del file e della "
                               "cartella che lo contiene.")
                    .arg(path));
}
Error damagedArchive(const QString& path) {
    return make(3049,
                QStringLiteral("Impossibile aprire il database '%1'. Potrebbe non essere un database "
                               "riconosciuto dall'applicazione oppure il file potrebbe essere danneggiato.")
                    .arg(path));
}
Error damagedCatalogEntry(const QString& path, const QString& name) {
    return make(3049, QStringLiteral("Impossibile leggere '%1' nel database '%2': una voce del catalogo del "
                                     "database è danneggiata.")
                          .arg(name, path));
}

Error invalidPassword() {
    return make(3031, QStringLiteral("Password non valida."));
}
Error unrecognizedFormat(const QString& path) {
    return make(3343, QStringLiteral("Formato di database '%1' non riconosciuto.").arg(path));
}
Error missingSource(const QString& name) {
    return make(
        3078, QStringLiteral("Il motore di database non è in grado di trovare la tabella o la query di input "
                             "'%1'. Verificare che esista e che il nome sia stato digitato correttamente.")
                  .arg(name));
}
Error missingOperator(const QString& expression) {
    return make(3075,
                QStringLiteral("Errore di sintassi (operatore mancante) nell'espressione della query '%1'.")
                    .arg(expression));
}
Error badString(const QString& expression) {
    return make(3075, QStringLiteral("Errore di sintassi nella stringa nell'espressione della query '%1'.")
                          .arg(expression));
}
Error badDate(const QString& expression) {
    return make(
        3075,
        QStringLiteral("Errore di sintassi nella data nell'espressione della query '%1'.").arg(expression));
}
Error badBracketing(const QString& name) {
    return make(3126, QStringLiteral("Parentesi non valide nel nome '%1'.").arg(name));
}
Error selectSyntax() {
    return make(3141,
                QStringLiteral("L'istruzione SELECT include una parola riservata o un nome di argomento con "
                               "errori di ortografia o mancante, oppure la punteggiatura non è corretta."));
}
Error fromSyntax() {
    return make(3131, QStringLiteral("Errore di sintassi nella clausola FROM."));
}
Error orderBySyntax() {
    return make(3138, QStringLiteral("Errore di sintassi nella clausola ORDER BY."));
}
Error afterEnd() {
    return make(3142, QStringLiteral("Sono stati trovati caratteri dopo la fine dell'istruzione SQL."));
}
Error tooFewParameters(int expected) {
    return make(3061, QStringLiteral("Parametri insufficienti. Previsto %1.").arg(expected));
}
Error typeMismatch() {
    return make(3464, QStringLiteral("Tipo di dati non corrispondente nell'espressione criterio."));
}
Error tooComplex() {
    return make(3360, QStringLiteral("Query troppo complessa."));
}
Error invalidOperation() {
    return make(3219, QStringLiteral("Operazione non valida."));
}
Error notSupported() {
    return make(3251, QStringLiteral("Operazione non supportata per questo tipo di oggetto."));
}
Error unknown(const QString& detail) {
    return make(
        3000,
        QStringLiteral("Errore riservato (%1). Non esiste alcun messaggio per questo errore.").arg(detail));
}

Error unsupportedColumn(const QString& column) {
    return make(3251,
                QStringLiteral("Impossibile mostrare il campo '%1': il suo tipo di dati (allegato, valori "
                               "multipli o sconosciuto) non è supportato.")
                    .arg(column));
}

QString fieldLeftOut(const QString& column) {
    return QStringLiteral(
               "Campo '%1' non mostrato: il suo tipo di dati (allegato, valori multipli o "
               "sconosciuto) non è supportato.")
        .arg(column);
}

}  // namespace errors
}  // namespace jet
