// The tab-separated export, byte for byte, over a record set read from an archive written by our
// own writer, with the save dialog and the message box scripted.
#include <QDir>
#include <QFile>
#include <QLocale>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include "controls/dbgrid.h"
#include "db/datasource.h"
#include "db/location.h"
#include "export/esporta.h"
#include "export/tabexport.h"
#include "jet/tabwriter.h"
#include "jetwriter/jetwriter.h"
#include "runtime/form.h"
#include "runtime/seams.h"

namespace {

// Answers with `fileName` (and, if set, the pair `filterIndex`), or cancels when it is empty.
class ScriptedSave : public seams::SaveDialog {
  public:
    bool exec(QWidget*, seams::SaveRequest& request) override {
        requests << request;
        if (fileName.isEmpty()) {
            return false;
        }
        request.fileName = fileName;
        if (filterIndex > 0) {
            request.filterIndex = filterIndex;
        }
        return true;
    }
    QString fileName;
    int filterIndex = 0;
    QList<seams::SaveRequest> requests;
};

class RecordedMessages : public seams::MessageBox {
  public:
    void show(QWidget*, const QString& text) override { texts << text; }
    QStringList texts;
};

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

const QString kTemperature = QStringLiteral("Temperatura massima °C");
const QString kWind = QStringLiteral("Velocità media del vento (Km/h)");
constexpr int kManyRows = 3000;

// A window's worth of export: a form with a data source and the grid bound to it.
struct Window {
    runtime::Form form;
    db::DataSource source{QStringLiteral("DTabella"), &form};
    controls::DBGrid grid{QStringLiteral("DB"), &form};
    exporter::SaveDialogMemory dialog;

    Window(const QString& database, const QString& statement) {
        source.setDatabaseName(database);
        source.setRecordSource(statement);
        grid.bind(&source);
        source.open();
    }
    void esporta() { exporter::Esporta(source.recordset(), &grid, dialog, &form); }
};

}  // namespace

class TestExport : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase();
    void init();
    void cleanup();

    void writesHeaderAndRowsByteForByte();
    void anyPairWritesTheSameText();
    void windows1252_data();
    void windows1252();
    void textWithTabsAndLineBreaksIsWrittenUnchanged();
    void cancelTouchesNothing();
    void emptyResultWritesNoFile();
    void unwritableFileIsReportedOnce_data();
    void unwritableFileIsReportedOnce();
    void failedWriteKeepsWhatWasWritten();
    void archiveIsNeverTheTarget();
    void targetTheLocationRuleCouldTake_data();
    void targetTheLocationRuleCouldTake();
    void secondExportStartsAgainFromFirstRow();
    void largeResultIsWrittenWhole();

  private:
    QString database() const { return dir_.filePath(QStringLiteral("orbeni.mdb")); }
    QString out(const QString& name) const { return dir_.filePath(name); }

    QString layout(const QString& name) const { return layout_.filePath(name); }

    QTemporaryDir dir_;
    QTemporaryDir layout_;  // a program folder with an upper-case archive, and links to it
    ScriptedSave save_;
    RecordedMessages messages_;
};

void TestExport::initTestCase() {
    QVERIFY(dir_.isValid());
    // The user's regional settings: Italian, decimal comma.
    QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));

    using jetwriter::Column;
    using jetwriter::ColumnType;
    jetwriter::Database archive(jetwriter::Version::Jet4);
    archive.addTable(QStringLiteral("misure"),
                     {Column{QStringLiteral("Id"), ColumnType::Long, 0},
                      Column{QStringLiteral("Stazione"), ColumnType::Text, 50},
                      Column{kTemperature, ColumnType::Double, 0}, Column{kWind, ColumnType::Double, 0},
                      Column{QStringLiteral("Nota"), ColumnType::Memo, 0}},
                     QList<jetwriter::Row>{
                         {1, QStringLiteral("Vessa"), 12.5, QVariant(), QStringLiteral("sereno")},
                         {2, QStringLiteral("Roda"), QVariant(), 4.25, QVariant()},
                         {3, QStringLiteral("Città € Ω"), -3.0, 0.0, QStringLiteral("riga\tcon tab")},
                         {4, QStringLiteral("Colle"), 1.0, 2.0, QStringLiteral("a capo\r\nqui e\nqui")},
                     });
    int next = 0;
    archive.addTable(QStringLiteral("molte"),
                     {Column{QStringLiteral("N"), ColumnType::Long, 0},
                      Column{QStringLiteral("Testo"), ColumnType::Text, 80}},
                     [&next](jetwriter::Row& row) {
                         if (next >= kManyRows) {
                             return false;
                         }
                         row = {next, QStringLiteral("riga numero %1 con un po' di testo").arg(next)};
                         ++next;
                         return true;
                     });
    QString error;
    QVERIFY2(archive.write(database(), &error), qPrintable(error));

    // An archive copied from Windows media: its name in upper case. Beside it, links to it by
    // every road, a dangling link to the name the location rule prefers, and a FIFO.
    QVERIFY(layout_.isValid());
    QVERIFY(QDir().mkpath(layout(QStringLiteral("prog/sub"))));
    QVERIFY(QDir().mkpath(layout(QStringLiteral("altrove"))));
    QVERIFY(QFile::copy(database(), layout(QStringLiteral("prog/ORBENI.MDB"))));
    QVERIFY(QFile::link(layout(QStringLiteral("prog")), layout(QStringLiteral("alias"))));
    QVERIFY(
        QFile::link(layout(QStringLiteral("prog/ORBENI.MDB")), layout(QStringLiteral("altrove/link.txt"))));
    QCOMPARE(::link(QFile::encodeName(layout(QStringLiteral("prog/ORBENI.MDB"))).constData(),
                    QFile::encodeName(layout(QStringLiteral("altrove/hard.txt"))).constData()),
             0);
    QVERIFY(
        QFile::link(QStringLiteral("../prog/orbeni.mdb"), layout(QStringLiteral("altrove/pendente.txt"))));
    QCOMPARE(::mkfifo(QFile::encodeName(layout(QStringLiteral("altrove/fifo"))).constData(), 0600), 0);
}

void TestExport::init() {
    save_ = ScriptedSave();
    messages_.texts.clear();
    seams::setSaveDialog(&save_);
    seams::setMessageBox(&messages_);
}

void TestExport::cleanup() {
    seams::setSaveDialog(nullptr);
    seams::setMessageBox(nullptr);
}

void TestExport::writesHeaderAndRowsByteForByte() {
    Window window(database(),
                  QStringLiteral("SELECT Stazione, [Temperatura massima °C], [Velocità media del vento "
                                 "(Km/h)] FROM misure WHERE Id <= 2 ORDER BY Id"));
    QVERIFY(window.source.recordset());
    save_.fileName = out(QStringLiteral("due righe.txt"));
    window.esporta();

    QCOMPARE(save_.requests.size(), 1);
    const seams::SaveRequest& asked = save_.requests.constFirst();
    QCOMPARE(asked.title, QStringLiteral("Esporta dati"));
    QCOMPARE(asked.flags, 6);
    QCOMPARE(asked.filter, QStringLiteral("Tutti i file (*.*)|*.*|File di testo (*.txt)|*.txt|File DBase III "
                                          "(*.dbf)|*.dbf| File DBase IV (*.dbf)|*.dbf | File Excel 4.0 "
                                          "(*.xls)|.xls_ | File Excel 5.0/95 (*.xls)|.xls |File Excel 97 "
                                          "(*.xls)|*.xls"));
    QCOMPARE(asked.filterIndex, 1);
    QCOMPARE(asked.fileName, QString());

    // Three lines; a NULL is an empty cell, so two tabs stand together; "°" is 176 and "à" 224.
    QCOMPARE(readAll(save_.fileName), QByteArray("Stazione\tTemperatura massima \xB0"
                                                 "C\tVelocit\xE0 media del vento (Km/h)\t\r\n"
                                                 "Vessa\t12,5\t\t\r\n"
                                                 "Roda\t\t4,25\t\r\n"));
    QVERIFY(messages_.texts.isEmpty());
    QVERIFY(window.source.recordset()->isEOF());
}

void TestExport::anyPairWritesTheSameText() {
    Window window(database(), QStringLiteral("SELECT Id, Stazione FROM misure WHERE Id <= 2 ORDER BY Id"));
    save_.fileName = out(QStringLiteral("dati.xls"));
    save_.filterIndex = 7;  // "File Excel 97 (*.xls)"
    window.esporta();
    QCOMPARE(readAll(out(QStringLiteral("dati.xls"))),
             QByteArray("Id\tStazione\t\r\n1\tVessa\t\r\n2\tRoda\t\r\n"));
    QVERIFY(!QFile::exists(out(QStringLiteral("dati.xls.txt"))));
}

void TestExport::windows1252_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("ascii and controls") << QStringLiteral("a\tb\r\n\x01") << QByteArray("a\tb\r\n\x01");
    QTest::newRow("latin-1") << QStringLiteral("°Cà èÿ ©") << QByteArray("\xB0\x43\xE0 \xE8\xFF \xA9");
    QTest::newRow("euro and the 0x80 block")
        << QStringLiteral("€‚ƒ„…†‡ˆ‰Š‹ŒŽ‘’“”•–—˜™š›œžŸ")
        << QByteArray(
               "\x80\x82\x83\x84\x85\x86\x87\x88\x89\x8A\x8B\x8C\x8E\x91\x92\x93\x94\x95\x96\x97\x98\x99"
               "\x9A\x9B\x9C\x9E\x9F");
    QTest::newRow("C1 controls have no byte") << QStringLiteral("\u0080\u0081\u009F") << QByteArray("???");
    QTest::newRow("outside the code page") << QStringLiteral("ΩЖ中") << QByteArray("???");
    QTest::newRow("beyond the basic plane, one character") << QStringLiteral("x😀y") << QByteArray("x?y");
    QTest::newRow("lone surrogate") << QString(QChar(0xD800)) << QByteArray("?");
}

void TestExport::windows1252() {
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    QByteArray written;
    jet::appendWindows1252(text, &written);
    QCOMPARE(written, bytes);
}

void TestExport::textWithTabsAndLineBreaksIsWrittenUnchanged() {
    Window window(database(), QStringLiteral("SELECT Stazione, Nota FROM misure WHERE Id >= 3 ORDER BY Id"));
    save_.fileName = out(QStringLiteral("note.txt"));
    window.esporta();
    QCOMPARE(readAll(save_.fileName), QByteArray("Stazione\tNota\t\r\n"
                                                 "Citt\xE0 \x80 ?\triga\tcon tab\t\r\n"
                                                 "Colle\ta capo\r\nqui e\nqui\t\r\n"));
}

void TestExport::cancelTouchesNothing() {
    const QString existing = out(QStringLiteral("esistente.txt"));
    {
        QFile file(existing);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("contenuto di prima");
    }
    Window window(database(), QStringLiteral("misure"));
    window.dialog.lastFileName = existing;
    save_.fileName.clear();  // the user cancels
    window.esporta();
    QCOMPARE(save_.requests.size(), 1);
    QCOMPARE(save_.requests.constFirst().fileName, existing);
    QCOMPARE(readAll(existing), QByteArray("contenuto di prima"));
    QVERIFY(messages_.texts.isEmpty());
    QCOMPARE(window.dialog.lastFileName, existing);
}

void TestExport::emptyResultWritesNoFile() {
    Window window(database(), QStringLiteral("SELECT Id, Stazione FROM misure WHERE Id > 100"));
    QVERIFY(window.source.recordset());
    QCOMPARE(window.source.recordset()->RecordCount(), 0);
    save_.fileName = out(QStringLiteral("vuoto.txt"));
    window.esporta();
    QCOMPARE(save_.requests.size(), 1);
    QVERIFY(!QFile::exists(save_.fileName));
    QVERIFY(messages_.texts.isEmpty());
}

void TestExport::unwritableFileIsReportedOnce_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("message");
    // What the open dialog already says of the name (empty: only the writing can tell).
    QTest::addColumn<QString>("inDialog");
    const QString missing = out(QStringLiteral("non esiste/dati.txt"));
    QTest::newRow("folder that does not exist")
        << missing
        << QStringLiteral("Impossibile creare il file «%1»: la cartella indicata non esiste.").arg(missing)
        << QStringLiteral("la cartella indicata non esiste");
    const QString folder = out(QStringLiteral("una cartella"));
    QDir().mkpath(folder);
    QTest::newRow("name of a folder")
        << folder
        << QStringLiteral("Impossibile creare il file «%1»: il nome indicato è quello di una cartella.")
               .arg(folder)
        << QString();
    const QString plainFile = out(QStringLiteral("un file"));
    QFile(plainFile).open(QIODevice::WriteOnly);
    const QString underFile = plainFile + QStringLiteral("/dati.txt");
    QTest::newRow("a file taken for a folder")
        << underFile
        << QStringLiteral("Impossibile creare il file «%1»: il percorso indicato non è valido.")
               .arg(underFile)
        << QStringLiteral("il percorso indicato non è valido");
    const QString locked = out(QStringLiteral("sola lettura"));
    QDir().mkpath(locked);
    QFile::setPermissions(locked, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    const QString inLocked = locked + QStringLiteral("/dati.txt");
    QTest::newRow("read-only folder")
        << inLocked << QStringLiteral("Impossibile creare il file «%1»: accesso negato.").arg(inLocked)
        << QString();
    QTest::newRow("disk full")
        << QStringLiteral("/dev/full")
        << QStringLiteral(
               "Impossibile scrivere il file «/dev/full»: spazio su disco esaurito. Il "
               "file contiene solo i dati scritti prima dell'errore.")
        << QString();
}

void TestExport::unwritableFileIsReportedOnce() {
    QFETCH(QString, path);
    QFETCH(QString, message);
    QFETCH(QString, inDialog);
    if (path.endsWith(QLatin1String("sola lettura/dati.txt")) && ::geteuid() == 0) {
        QSKIP("the superuser writes in read-only folders");
    }
    if (path == QLatin1String("/dev/full") && !QFile::exists(path)) {
        QSKIP("no /dev/full here");
    }
    Window window(database(), QStringLiteral("misure"));
    save_.fileName = path;
    window.esporta();
    QVERIFY(!save_.requests.isEmpty() && save_.requests.constLast().refusal);
    QCOMPARE(save_.requests.constLast().refusal(path), inDialog);
    // Past the dialog (a folder removed meanwhile), the writing still says why.
    QCOMPARE(messages_.texts, QStringList{message});
    // The window goes on: the next export to a good name works.
    save_.fileName = out(QStringLiteral("dopo.txt"));
    window.esporta();
    QCOMPARE(messages_.texts.size(), 1);
    QVERIFY(readAll(save_.fileName).startsWith("Id\tStazione\t"));
}

void TestExport::failedWriteKeepsWhatWasWritten() {
    Window window(database(), QStringLiteral("molte"));
    save_.fileName = out(QStringLiteral("intero.txt"));
    window.esporta();
    const QByteArray whole = readAll(save_.fileName);
    QVERIFY(whole.size() > 100000);

    // A file size limit stops the writing part-way, as a full disk does.
    constexpr rlim_t kLimit = 70000;
    rlimit before{};
    QCOMPARE(::getrlimit(RLIMIT_FSIZE, &before), 0);
    rlimit limited = before;
    limited.rlim_cur = kLimit;
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    QCOMPARE(::setrlimit(RLIMIT_FSIZE, &limited), 0);
    save_.fileName = out(QStringLiteral("troncato.txt"));
    window.esporta();
    ::setrlimit(RLIMIT_FSIZE, &before);
    std::signal(SIGXFSZ, previousHandler);

    QCOMPARE(messages_.texts.size(), 1);
    QCOMPARE(messages_.texts.constFirst(),
             QStringLiteral(
                 "Impossibile scrivere il file «%1»: il file è troppo grande. Il file contiene solo i dati "
                 "scritti prima dell'errore.")
                 .arg(save_.fileName));
    QCOMPARE(readAll(save_.fileName), whole.left(kLimit));
}

void TestExport::archiveIsNeverTheTarget() {
    // The archive is the program folder's orbeni.mdb; it is reached here by name and by a link.
    db::setProgramFolder(dir_.path());
    const QString link = out(QStringLiteral("collegamento.mdb"));
    QVERIFY(QFile::link(database(), link));
    const QByteArray archive = readAll(database());
    Window window(database(), QStringLiteral("misure"));
    for (const QString& target : {database(), link}) {
        messages_.texts.clear();
        save_.fileName = target;
        window.esporta();
        QCOMPARE(messages_.texts,
                 QStringList{QStringLiteral("Impossibile creare il file «%1»: è l'archivio dei dati, che il "
                                            "programma non modifica.")
                                 .arg(target)});
    }
    db::setProgramFolder(QString());
    QVERIFY(readAll(database()) == archive);
}

void TestExport::targetTheLocationRuleCouldTake_data() {
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("reason");  // empty: the export is written
    const QString archive = QStringLiteral("è l'archivio dei dati, che il programma non modifica");
    const QString special = QStringLiteral("è un file speciale, non un file di dati");
    QTest::newRow("the archive") << layout(QStringLiteral("prog/ORBENI.MDB")) << archive;
    QTest::newRow("exact name beside it") << layout(QStringLiteral("prog/orbeni.mdb")) << archive;
    QTest::newRow("mixed case") << layout(QStringLiteral("prog/Orbeni.Mdb")) << archive;
    QTest::newRow("linked folder") << layout(QStringLiteral("alias/orbeni.MDB")) << archive;
    QTest::newRow("dotted path") << layout(QStringLiteral("prog/sub/../orbeni.mdb")) << archive;
    QTest::newRow("symbolic link") << layout(QStringLiteral("altrove/link.txt")) << archive;
    QTest::newRow("hard link") << layout(QStringLiteral("altrove/hard.txt")) << archive;
    QTest::newRow("dangling link to the name") << layout(QStringLiteral("altrove/pendente.txt")) << archive;
    QTest::newRow("fifo") << layout(QStringLiteral("altrove/fifo")) << special;
    QTest::newRow("kernel file") << QStringLiteral("/proc/self/comm")
                                 << QStringLiteral("è un file di sistema, non un file di dati");
    QTest::newRow("longer name") << layout(QStringLiteral("prog/orbeni.mdb.txt")) << QString();
    QTest::newRow("sub-folder") << layout(QStringLiteral("prog/sub/orbeni.mdb")) << QString();
    QTest::newRow("other folder") << layout(QStringLiteral("altrove/ORBENI.MDB")) << QString();
}

void TestExport::targetTheLocationRuleCouldTake() {
    QFETCH(QString, target);
    QFETCH(QString, reason);
    const QString archivePath = layout(QStringLiteral("prog/ORBENI.MDB"));
    const QByteArray archive = readAll(archivePath);
    // What a failed row left in the program folder would otherwise fail the rows after it.
    QDir prog(layout(QStringLiteral("prog")));
    const QStringList leftOver = prog.entryList({QStringLiteral("orbeni*")}, QDir::Files | QDir::Hidden);
    for (const QString& name : leftOver) {
        if (name != QLatin1String("ORBENI.MDB")) {
            prog.remove(name);
        }
    }
    // A reader on the FIFO: a write that got through lands in it instead of blocking.
    const int fifo =
        ::open(QFile::encodeName(layout(QStringLiteral("altrove/fifo"))).constData(), O_RDONLY | O_NONBLOCK);
    QVERIFY(fifo >= 0);

    db::setProgramFolder(layout(QStringLiteral("prog")));
    Window window(database(), QStringLiteral("misure"));
    save_.fileName = target;
    window.esporta();
    db::setProgramFolder(QString());

    char byte = 0;
    const bool fifoReceived = ::read(fifo, &byte, 1) > 0;
    ::close(fifo);
    QVERIFY(!fifoReceived);
    QVERIFY(readAll(archivePath) == archive);
    if (reason.isEmpty()) {
        QVERIFY(messages_.texts.isEmpty());
        QVERIFY(readAll(target).startsWith("Id\tStazione\t"));
        QVERIFY(QFile::remove(target));
    } else {
        QCOMPARE(messages_.texts,
                 QStringList{QStringLiteral("Impossibile creare il file «%1»: %2.").arg(target, reason)});
    }
    const QStringList expected{QStringLiteral("ORBENI.MDB"), QStringLiteral("sub")};
    QCOMPARE(QDir(layout(QStringLiteral("prog")))
                 .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
             expected);
    QVERIFY(QDir(layout(QStringLiteral("prog/sub"))).isEmpty());
    QVERIFY(!QFileInfo::exists(layout(QStringLiteral("altrove/pendente.txt"))));
}

void TestExport::secondExportStartsAgainFromFirstRow() {
    Window window(database(), QStringLiteral("SELECT Id, Stazione FROM misure ORDER BY Id"));
    save_.fileName = out(QStringLiteral("prima.txt"));
    window.esporta();
    QVERIFY(window.source.recordset()->isEOF());
    save_.fileName = out(QStringLiteral("seconda.txt"));
    window.esporta();

    const QByteArray expected(
        "Id\tStazione\t\r\n1\tVessa\t\r\n2\tRoda\t\r\n3\tCitt\xE0 \x80 ?\t\r\n4\tColle\t\r\n");
    QCOMPARE(readAll(out(QStringLiteral("prima.txt"))), expected);
    QCOMPARE(readAll(out(QStringLiteral("seconda.txt"))), expected);
    // The dialog offers the name chosen the time before in the same window.
    QCOMPARE(save_.requests.size(), 2);
    QCOMPARE(save_.requests[1].fileName, out(QStringLiteral("prima.txt")));

    // Exporting again over the same name empties the file first.
    window.dialog.lastFileName.clear();
    window.esporta();
    QCOMPARE(readAll(out(QStringLiteral("seconda.txt"))), expected);
}

void TestExport::largeResultIsWrittenWhole() {
    Window window(database(), QStringLiteral("SELECT N AS Numero, Testo FROM molte ORDER BY N"));
    save_.fileName = out(QStringLiteral("molte.txt"));
    window.esporta();
    QByteArray expected("Numero\tTesto\t\r\n");
    for (int n = 0; n < kManyRows; ++n) {
        expected +=
            QByteArray::number(n) + "\triga numero " + QByteArray::number(n) + " con un po' di testo\t\r\n";
    }
    const QByteArray written = readAll(save_.fileName);
    QCOMPARE(written.size(), expected.size());
    QVERIFY(written == expected);
}

QTEST_MAIN(TestExport)
#include "test_export.moc"
