#include "support/queryarchive.h"

#include "controls/dbgrid.h"
#include "db/global.h"
#include "db/location.h"
#include "jetwriter/jetwriter.h"
#include "runtime/form.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QEvent>
#include <QLineEdit>
#include <QLocale>
#include <QTest>

namespace querytest {

namespace {

using jetwriter::Column;
using jetwriter::ColumnType;
using jetwriter::Row;

const QString kVessaName = QStringLiteral("Monte Vessa");
const QString kRodaName = QStringLiteral("Pian di Roda");
const QString kBorgoName = QStringLiteral("Borgo Nuovo");
const QString kColleName = QStringLiteral("Colle Alto");
const QString kNoCodeName = QStringLiteral("Stazione senza codice");

QList<Row> dailyRows() {
    // Station, day, month, year, then the fifteen quantities; values keep their text form simple.
    const auto row = [](int code, const QString& name, int day, int month, int year, double rain) {
        return Row{code, name, day,   month, year, rain, 14.5, 3.0, 8.75, 0, 6.0, 21.0, QStringLiteral("NE"),
                   5,    72,   11.25, 90,    40,   2};
    };
    return {row(kVessa, kVessaName, 1, 3, 1995, 12.5), row(kVessa, kVessaName, 2, 3, 1995, 0.0),
            row(kVessa, kVessaName, 3, 3, 1995, 4.0), row(kRoda, kRodaName, 1, 3, 1995, 7.0),
            row(kVessa, kVessaName, 1, 3, 1996, 1.0)};
}

QList<Row> intenseRows() {
    Row vessa94{kVessa, kVessaName, 1994};
    Row vessa95{kVessa, kVessaName, 1995};
    Row roda95{kRoda, kRodaName, 1995};
    for (int i = 0; i < 10; ++i) {
        vessa94 << 10.0 + i << QStringLiteral("0%1/09/1994").arg(i);
        vessa95 << 20.5 + i << QStringLiteral("1%1/10/1995").arg(i);
        roda95 << 30.0 + i << QStringLiteral("2%1/11/1995").arg(i);
    }
    return {vessa94, vessa95, roda95};
}

}  // namespace

QString writeArchive(const QString& folder) {
    jetwriter::Database db(jetwriter::Version::Jet4);
    const QList<Column> stationColumns = {{"NomeStaz", ColumnType::Text, 50}, {"codstaz", ColumnType::Long}};
    db.addTable(
        "Anagraficab", stationColumns,
        QList<Row>{
            {kVessaName, kVessa}, {kRodaName, kRoda}, {kBorgoName, kBorgo}, {kNoCodeName, QVariant()}});
    db.addTable(
        "anagraficaa", stationColumns,
        QList<Row>{
            {kVessaName, kVessa}, {kRodaName, kRoda}, {kColleName, kColle}, {kNoCodeName, QVariant()}});
    db.addTable("Anno", {{"Anno", ColumnType::Integer}}, QList<Row>{{1994}, {1995}, {1996}});
    const QStringList months = {"Gennaio", "Febbraio", "Marzo",     "Aprile",  "Maggio",   "Giugno",
                                "Luglio",  "Agosto",   "Settembre", "Ottobre", "Novembre", "Dicembre"};
    QList<Row> monthRows;
    for (int m = 0; m < months.size(); ++m) {
        monthRows.append(Row{m + 1, months[m]});
    }
    db.addTable("Mese", {{"mese", ColumnType::Integer}, {"TESTO", ColumnType::Text, 20}}, monthRows);
    QList<Row> dayRows;
    for (int d = 1; d <= 31; ++d) {
        dayRows.append(Row{d});
    }
    db.addTable("Giorno", {{"Giorno", ColumnType::Integer}}, dayRows);

    db.addTable("database1",
                {{"codStaz", ColumnType::Long},
                 {"nomestaz", ColumnType::Text, 50},
                 {"Giorno", ColumnType::Integer},
                 {"Mese", ColumnType::Integer},
                 {"Anno", ColumnType::Integer},
                 {"Pioggia", ColumnType::Double},
                 {"TempMax", ColumnType::Double},
                 {"TempMin", ColumnType::Double},
                 {"TempMed", ColumnType::Double},
                 {"AltNeve", ColumnType::Integer},
                 {"VelMedia", ColumnType::Double},
                 {"VelMax", ColumnType::Double},
                 {"DirVento", ColumnType::Text, 10},
                 {"OreDir", ColumnType::Integer},
                 {"Umidità", ColumnType::Integer},
                 {"Radiazione", ColumnType::Double},
                 {"Umidmax", ColumnType::Integer},
                 {"Umidmin", ColumnType::Integer},
                 {"calme", ColumnType::Integer}},
                dailyRows());

    QList<Column> intenseColumns = {
        {"codstaz", ColumnType::Long}, {"Nomestaz", ColumnType::Text, 50}, {"Anno", ColumnType::Integer}};
    const QStringList amounts = {"unhh", "trehh", "seihh", "dodhh", "venhh",
                                 "ungg", "duegg", "tregg", "quagg", "cingg"};
    for (int i = 0; i < amounts.size(); ++i) {
        intenseColumns.append({amounts[i], ColumnType::Double});
        intenseColumns.append(
            {i == 0 ? QStringLiteral("Data") : QStringLiteral("Data%1").arg(i), ColumnType::Text, 10});
    }
    db.addTable("piog9099", intenseColumns, intenseRows());

    QString error;
    if (!QDir().mkpath(folder) || !db.write(QDir(folder).filePath("orbeni.mdb"), &error)) {
        return error.isEmpty() ? QStringLiteral("cannot write the archive") : error;
    }
    return QString();
}

void WindowTest::initTestCase() {
    QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
    QVERIFY(dir_.isValid());
    const QString error = writeArchive(dir_.path());
    QVERIFY2(error.isEmpty(), qPrintable(error));
    scripted_ = std::make_unique<testsupport::ScriptedSeams>();
    scripted_->onModal = [](QWidget*) {};
    scripted_->closeAfterModal = false;
    seams_ = scripted_.get();
}

void WindowTest::cleanupTestCase() {
    runtime::Forms::unloadAll();
    seams_ = nullptr;
    scripted_.reset();
}

void WindowTest::init() {
    Global::reset();
    db::setProgramFolder(dir_.path());
    seams_->messages.clear();
    seams_->onMessage = nullptr;
    seams_->saveTo = QString();  // the save dialog cancels unless a test picks a file
    seams_->saveRequests.clear();
}

void WindowTest::cleanup() {
    runtime::Forms::unloadAll();
    seams::setMousePointer(seams::kDefaultPointer);
}

bool choose(QComboBox* list, const QString& text) {
    const int index = list->findText(text);
    if (index < 0) {
        return false;
    }
    list->setCurrentIndex(index);
    emit list->activated(index);
    return true;
}

void listRuleRows() {
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<int>("code");
    QTest::addColumn<int>("year");
    QTest::addColumn<bool>("refused");
    QTest::newRow("year typed after cancel")
        << QStringList{"year pick 1994", "cancel", "year type 1995"} << 0 << 1995 << false;
    QTest::newRow("station typed over a pick")
        << QStringList{"station pick Monte Vessa", "station type Pian di Roda"} << kRoda << 0 << false;
    QTest::newRow("case and blanks ignored")
        << QStringList{"station type  pian di RODA ", "year type 1996 "} << kRoda << 1996 << false;
    QTest::newRow("unknown station after cancel")
        << QStringList{"station pick Monte Vessa", "cancel", "station type Zzz"} << 0 << 0 << true;
    QTest::newRow("unknown station on a fresh form") << QStringList{"station type Zzz"} << 0 << 0 << true;
    QTest::newRow("other text over a pick")
        << QStringList{"station pick Monte Vessa", "station type   Vessa alta "} << 0 << 0 << true;
}

namespace {

void runListRuleSteps(QComboBox* station, QComboBox* year, QAbstractButton* cancel,
                      const QStringList& steps) {
    for (const QString& step : steps) {
        if (step == QStringLiteral("cancel")) {
            cancel->click();
            continue;
        }
        QComboBox* list = step.startsWith(QStringLiteral("station ")) ? station : year;
        const QString action = step.section(QLatin1Char(' '), 1, 1);
        const QString text = step.section(QLatin1Char(' '), 2, -1);
        if (action == QStringLiteral("pick")) {
            QVERIFY2(choose(list, text), qPrintable(step));
        } else {
            list->lineEdit()->selectAll();
            QTest::keyClick(list->lineEdit(), Qt::Key_Backspace);
            QTest::keyClicks(list->lineEdit(), text);
            QCOMPARE(list->currentText(), text);
        }
    }
}

}  // namespace

void WindowTest::checkListRule(const ListRuleForm& form) {
    QFETCH(QStringList, steps);
    QFETCH(int, code);
    QFETCH(int, year);
    QFETCH(bool, refused);
    runListRuleSteps(form.station, form.year, form.cancel, steps);
    if (QTest::currentTestFailed()) {
        return;
    }
    form.select->click();
    if (refused) {
        QCOMPARE(seams_->messages.size(), 1);
        QVERIFY(seams_->messages.first().contains(QStringLiteral("Stazione")));
        QVERIFY(!form.resultsShown());
        QCOMPARE(*form.queryOk, Global::kFalse);
        return;
    }
    QVERIFY(seams_->messages.isEmpty());
    QStringList criteria;
    if (code) {
        criteria << QStringLiteral("%1 = %2").arg(form.codeColumn).arg(code);
    }
    if (year) {
        criteria << QStringLiteral("anno = %1").arg(year);
    }
    QCOMPARE(*form.where, QStringLiteral("where ") + criteria.join(QStringLiteral(" and ")));
    QVERIFY(form.resultsShown());
}

void activate(QWidget* window) {
    QEvent event(QEvent::WindowActivate);
    QApplication::sendEvent(window, &event);
}

QStringList captions(const controls::DBGrid* grid) {
    QStringList list;
    for (int i = 0; i < grid->columnCount(); ++i) {
        list << grid->columnCaption(i);
    }
    return list;
}

}  // namespace querytest
