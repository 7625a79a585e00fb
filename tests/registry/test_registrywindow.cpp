// The registry window against sample archives of both Jet versions: opening, choosing stations,
// shared names, reopening in the same run, missing pictures and figures, and broken records.
#include "chart/chartwindow.h"
#include "forms/gridactions.h"
#include "registry/registryfixture.h"
#include "support/scriptedseams.h"

#include "db/global.h"
#include "db/location.h"
#include "jetwriter/jetwriter.h"
#include "registry/frmanagrafica.h"
#include "registry/registrypaths.h"
#include "runtime/seams.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QDate>
#include <QHeaderView>
#include <QLineEdit>
#include <QStyle>
#include <QTableView>
#include <QtTest>

#include <memory>

using namespace registrytest;

// Stops the test at the first difference instead of piling up follow-on failures.
#define VERIFY_SHOWS(form, folder, station) \
    do {                                    \
        verifyShows(form, folder, station); \
        if (QTest::currentTestFailed()) {   \
            return;                         \
        }                                   \
    } while (false)

namespace {

frmAnagrafica* openRegistry() {
    // As the main window does: busy pointer, then the window modeless.
    seams::setMousePointer(seams::kHourglass);
    return runtime::Forms::show<frmAnagrafica>(runtime::Modality::Modeless);
}

int indexOfCode(const QList<Station>& stations, int code) {
    for (int i = 0; i < stations.size(); ++i) {
        if (stations[i].code == QString::number(code)) {
            return i;
        }
    }
    return -1;
}

}  // namespace

class RegistryWindowTest : public QObject {
    Q_OBJECT

    std::unique_ptr<testsupport::ScriptedSeams> services;

    // Card, thumbnail and monthly grids all show `station` of `folder`.
    void verifyShows(frmAnagrafica* form, const QString& folder, const Station& station) {
        QCOMPARE(form->txtCod->text(), station.code);
        QCOMPARE(form->DBCombo1->text(), station.name);
        QCOMPARE(Global::MonthlyQuery, registry::monthlyStatement(station.code));

        const QImage expected = pictureFile(folder, QStringLiteral("r_%1.jpg").arg(station.code));
        if (expected.isNull()) {
            QVERIFY(form->PctUbic->picture().isNull());
        } else {
            QCOMPARE(form->PctUbic->picture().toImage().convertToFormat(QImage::Format_RGB32),
                     expected.convertToFormat(QImage::Format_RGB32));
        }

        const QList<QStringList> months = monthlyRows(folder, station.code);
        QCOMPARE(form->MSFlexGrid1->rows(), months.size() + 1);
        QCOMPARE(form->MSFlexGrid1->cols(), 14);
        for (int column = 0; column < 14; ++column) {
            QCOMPARE(form->MSFlexGrid1->textMatrix(0, column), monthlyFields()[column]);
            QCOMPARE(form->DBGrid1->columnCaption(column), monthlyFields()[column]);
        }
        for (int row = 0; row < months.size(); ++row) {
            for (int column = 0; column < 14; ++column) {
                QCOMPARE(form->MSFlexGrid1->textMatrix(row + 1, column), months[row][column]);
            }
        }
    }

  private slots:
    void init() {
        Global::reset();
        services = std::make_unique<testsupport::ScriptedSeams>();
        services->saveTo = QString();  // the dialogs cancel unless a test picks a file
        services->printTo = QString();
    }
    void cleanup() {
        runtime::Forms::unloadAll();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        services.reset();
        db::setProgramFolder(QString());
        seams::setMousePointer(seams::kDefaultPointer);
    }

    void opening_data() {
        QTest::addColumn<QString>("variant");
        for (const Variant& v : variants()) {
            QTest::newRow(qPrintable(v.name)) << v.name;
        }
    }
    void opening() {
        QFETCH(QString, variant);
        const QString folder = sampleFolder(variant);
        db::setProgramFolder(folder);
        const QList<Station> stations = registryRows(folder);
        QVERIFY(stations.size() > 5);

        frmAnagrafica* form = openRegistry();
        QVERIFY(form);
        QCOMPARE(form->windowTitle(), QStringLiteral("Anagrafica"));
        QCOMPARE(form->clientArea()->size(), runtime::twipsRect(0, 0, 11220, 8655).size());
        // The first station with its thumbnail and figures, without any choice of the user.
        VERIFY_SHOWS(form, folder, stations[0]);
        QVERIFY(form->DBCombo1->count() == stations.size());
        QVERIFY(services->messages.isEmpty());
        QVERIFY(!form->DBGrid1->isVisible());
        QCOMPARE(form->MSFlexGrid1->colWidth(0), 1800);
        QCOMPARE(form->MSFlexGrid1->colWidth(13), 600);
        // Activation hands the default pointer back.
        QApplication::setActiveWindow(form);
        QTRY_COMPARE(seams::mousePointer(), seams::kDefaultPointer);
    }

    void choices_data() { opening_data(); }
    void choices() {
        QFETCH(QString, variant);
        const QString folder = sampleFolder(variant);
        db::setProgramFolder(folder);
        const QList<Station> stations = registryRows(folder);
        const QList<samplegen::StationInfo> infos = samplegen::stations(optionsOf(variant));
        QCOMPARE(infos.size(), stations.size());

        // One of each kind the sample holds: plain, no pictures, no figures, upper-case pictures.
        QList<int> picks;
        auto firstWhere = [&](auto predicate) {
            for (int i = 1; i < infos.size(); ++i) {
                if (predicate(infos[i])) {
                    return i;
                }
            }
            return -1;
        };
        picks << firstWhere([](const samplegen::StationInfo& s) { return s.hasPictures && s.hasMonthly; })
              << firstWhere([](const samplegen::StationInfo& s) { return !s.hasPictures; })
              << firstWhere([](const samplegen::StationInfo& s) { return !s.hasMonthly; })
              << firstWhere([](const samplegen::StationInfo& s) { return s.upperCasePictures; });
        QVERIFY2(!picks.contains(-1), "the sample lacks a kind of station");

        frmAnagrafica* form = openRegistry();
        // The user's very first pick moves the card.
        for (int pick : picks) {
            choose(form->DBCombo1, pick);
            VERIFY_SHOWS(form, folder, stations[pick]);
            QCOMPARE(indexOfCode(stations, infos[pick].code), pick);
        }
        QVERIFY(!form->PctUbic->picture().isNull());  // upper-case R_code.JPG found
        // The widths outlive the refreshes.
        QCOMPARE(form->MSFlexGrid1->colWidth(0), 1800);
        QCOMPARE(form->MSFlexGrid1->colWidth(9), 800);
        QVERIFY(services->messages.isEmpty());
    }

    void sameNameAndSameEntry() {
        const QString folder = sampleFolder(QStringLiteral("jet4"));
        db::setProgramFolder(folder);
        const QList<Station> stations = registryRows(folder);
        int first = -1;
        int second = -1;
        for (int i = 0; i < stations.size() && second < 0; ++i) {
            for (int j = i + 1; j < stations.size(); ++j) {
                if (stations[i].name == stations[j].name && stations[i].code != stations[j].code) {
                    first = i;
                    second = j;
                    break;
                }
            }
        }
        QVERIFY2(second > 0, "the sample has no two stations sharing a name");

        frmAnagrafica* form = openRegistry();
        choose(form->DBCombo1, second);
        VERIFY_SHOWS(form, folder, stations[second]);
        choose(form->DBCombo1, first);
        VERIFY_SHOWS(form, folder, stations[first]);
        choose(form->DBCombo1, second);
        VERIFY_SHOWS(form, folder, stations[second]);

        // The entry already shown, chosen again: same station, figures read again.
        QSignalSpy reopened(form->DMensili, &db::DataSource::opened);
        choose(form->DBCombo1, second);
        VERIFY_SHOWS(form, folder, stations[second]);
        QCOMPARE(reopened.size(), 1);

        // The figures' chart names the station with its code, for the name says not which.
        auto* actions =
            form->MSFlexGrid1->view()->findChild<forms::GridActions*>(QStringLiteral("gridActions"));
        QVERIFY(actions && actions->chartAction());
        for (const int shown : {second, first}) {
            choose(form->DBCombo1, shown);
            actions->chartAction()->trigger();
            chart::ChartWindow* window = chart::chartWindowOf(form);
            QVERIFY(window);
            QVERIFY2(window->windowTitle().startsWith(QStringLiteral("Grafico - %1 (%2) - anno ")
                                                          .arg(stations[shown].name, stations[shown].code)),
                     qPrintable(window->windowTitle()));
            window->close();
            delete window;
        }
    }

    // A typed name moves the card on Enter or when the list loses the focus, as a choice does; any
    // other text goes back to the station shown. The card's boxes can be read, not changed.
    void typedNameMovesTheCard() {
        const QString folder = sampleFolder(QStringLiteral("jet4"));
        db::setProgramFolder(folder);
        const QList<Station> stations = registryRows(folder);
        // Two stations whose names are ASCII and shared by no other station (typed with the keyboard).
        QList<int> unique;
        for (int i = 0; i < stations.size() && unique.size() < 2; ++i) {
            bool ascii = true;
            for (const QChar c : stations[i].name) {
                ascii = ascii && c.unicode() < 128;
            }
            int same = 0;
            for (const Station& other : stations) {
                same += other.name.compare(stations[i].name, Qt::CaseInsensitive) == 0 ? 1 : 0;
            }
            if (ascii && same == 1 && i > 0) {
                unique.append(i);
            }
        }
        QCOMPARE(unique.size(), 2);

        frmAnagrafica* form = openRegistry();
        QVERIFY(QTest::qWaitForWindowExposed(form));
        choose(form->DBCombo1, unique[0]);
        VERIFY_SHOWS(form, folder, stations[unique[0]]);

        form->activateWindow();
        form->DBCombo1->setFocus();
        form->DBCombo1->lineEdit()->selectAll();
        QTest::keyClicks(form->DBCombo1->lineEdit(),
                         QStringLiteral(" ") + stations[unique[1]].name.toUpper());
        QTest::keyClick(form->DBCombo1, Qt::Key_Return);
        VERIFY_SHOWS(form, folder, stations[unique[1]]);

        form->DBCombo1->lineEdit()->selectAll();
        QTest::keyClicks(form->DBCombo1->lineEdit(), QStringLiteral("Zzz"));
        QTest::keyClick(form->DBCombo1, Qt::Key_Return);
        VERIFY_SHOWS(form, folder, stations[unique[1]]);

        // Leaving the list commits a typed name too.
        form->DBCombo1->lineEdit()->selectAll();
        QTest::keyClicks(form->DBCombo1->lineEdit(), stations[unique[0]].name);
        form->txtCom->setFocus();
        QCoreApplication::processEvents();
        VERIFY_SHOWS(form, folder, stations[unique[0]]);

        for (controls::BoundTextBox* box : form->findChildren<controls::BoundTextBox*>()) {
            QVERIFY2(box->lineEdit()->isReadOnly(), qPrintable(box->objectName()));
        }
        form->txtCod->lineEdit()->setFocus();
        QTest::keyClicks(form->txtCod->lineEdit(), QStringLiteral("4"));
        QCOMPARE(form->txtCod->text(), stations[unique[0]].code);
        QVERIFY(services->messages.isEmpty());
    }

    void secondOpeningInTheSameRun() {
        const QString folder = sampleFolder(QStringLiteral("jet3"));
        db::setProgramFolder(folder);
        const QList<Station> stations = registryRows(folder);
        const QList<samplegen::StationInfo> infos = samplegen::stations(optionsOf(QStringLiteral("jet3")));
        int chosen = -1;
        for (int i = 1; i < infos.size() && chosen < 0; ++i) {
            if (infos[i].hasMonthly) {
                chosen = i;
            }
        }
        frmAnagrafica* form = openRegistry();
        choose(form->DBCombo1, chosen);
        VERIFY_SHOWS(form, folder, stations[chosen]);
        form->mnuChiudi_Click();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!runtime::Forms::find<frmAnagrafica>());
        QCOMPARE(Global::MonthlyQuery, registry::monthlyStatement(stations[chosen].code));

        // Loaded as the window registry loads it, watching what the monthly source opens on.
        auto* again = new frmAnagrafica;
        QList<QPair<QString, int>> opened;
        connect(again->DMensili, &db::DataSource::opened, again, [&] {
            const db::Recordset* rows = again->DMensili->recordset();
            opened << qMakePair(again->DMensili->recordSource(), rows ? rows->RecordCount() : -1);
        });
        again->load();
        again->show();
        QCOMPARE(opened.size(), 2);
        QCOMPARE(opened[0].first, registry::monthlyStatement(stations[chosen].code));
        QCOMPARE(opened[0].second, monthlyRows(folder, stations[chosen].code).size());
        QCOMPARE(opened[1].first, registry::monthlyStatement(stations[0].code));
        VERIFY_SHOWS(again, folder, stations[0]);
        // The first pick of this opening moves the card too.
        choose(again->DBCombo1, chosen);
        VERIFY_SHOWS(again, folder, stations[chosen]);
        again->Unload();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    // The monthly grid at its columns' widths: every field name and every figure shows whole, the
    // parameter names with their units (wrapping onto more lines), in a type not below 6 points;
    // the grid stands inside the client area, so its scroll bars show whole.
    void monthlyGridShowsItsTextsWhole() {
        const QString folder = sampleFolder(QStringLiteral("jet4"));
        db::setProgramFolder(folder);
        const QList<Station> stations = registryRows(folder);
        // The station whose parameter names are the longest.
        int chosen = 0;
        int longest = 0;
        for (int i = 0; i < stations.size(); ++i) {
            for (const QStringList& row : monthlyRows(folder, stations[i].code)) {
                if (row.first().size() > longest) {
                    longest = row.first().size();
                    chosen = i;
                }
            }
        }
        QVERIFY(longest > 20);

        frmAnagrafica* form = openRegistry();
        choose(form->DBCombo1, chosen);
        VERIFY_SHOWS(form, folder, stations[chosen]);

        QTableView* view = form->MSFlexGrid1->view();
        const QHeaderView* header = view->horizontalHeader();
        QVERIFY(view->font().pointSizeF() >= 6.0);
        QFont captionFont = header->font();
        captionFont.setBold(header->highlightSections());
        const QFontMetrics captions(captionFont);
        const QFontMetrics cells(view->font());
        QStyle* style = view->style();
        const int headerMargin = 2 * style->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header);
        const int cellMargin = 2 * (style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, view) + 1) + 1;
        for (int column = 0; column < form->MSFlexGrid1->cols(); ++column) {
            const QString caption = form->MSFlexGrid1->textMatrix(0, column);
            QVERIFY2(captions.horizontalAdvance(caption) + headerMargin <= view->columnWidth(column),
                     qPrintable(caption));
        }
        for (int column = 0; column < form->MSFlexGrid1->cols(); ++column) {
            for (int row = 1; row < form->MSFlexGrid1->rows(); ++row) {
                const QString text = form->MSFlexGrid1->textMatrix(row, column);
                const int width = view->columnWidth(column) - cellMargin;
                if (cells.horizontalAdvance(text) <= width) {
                    continue;
                }
                const QRect needed = cells.boundingRect(QRect(0, 0, width, 1000), Qt::TextWordWrap, text);
                QVERIFY2(view->wordWrap() && needed.width() <= width &&
                             needed.height() <= view->rowHeight(row - 1),
                         qPrintable(text));
            }
        }
        QVERIFY(form->clientArea()->rect().contains(form->MSFlexGrid1->geometry()));
    }

    // A registry with a station that has no code, and one archive without the monthly table.
    void brokenRecords_data() {
        QTest::addColumn<bool>("withMonthly");
        QTest::newRow("station without code") << true;
        QTest::newRow("monthly table missing") << false;
    }
    void brokenRecords() {
        QFETCH(bool, withMonthly);
        QTemporaryDir dir;
        writeBrokenArchive(dir.path(), withMonthly);
        if (QTest::currentTestFailed()) {
            return;
        }
        db::setProgramFolder(dir.path());

        frmAnagrafica* form = openRegistry();
        QCOMPARE(form->txtCod->text(), QStringLiteral("501"));
        QVERIFY(!form->PctUbic->picture().isNull());
        if (withMonthly) {
            QVERIFY(services->messages.isEmpty());
            QCOMPARE(form->MSFlexGrid1->rows(), 3);
            // No code: one clear message; the card, an empty box and an empty grid on that station.
            choose(form->DBCombo1, 1);
            QCOMPARE(services->messages.size(), 1);
            QVERIFY(services->messages[0].contains(QStringLiteral("Senza codice")));
            QCOMPARE(form->DBCombo1->text(), QStringLiteral("Senza codice"));
            QCOMPARE(form->txtCod->text(), QString());
            QCOMPARE(form->txtCom->text(), QStringLiteral("Nessuno"));
            QVERIFY(form->PctUbic->picture().isNull());
            QVERIFY(form->MSFlexGrid1->rows() <= 1);
            QVERIFY(Global::MonthlyQuery.endsWith(QStringLiteral("codstaz = ")));
            // Back to a sound station: everything comes back, no further message.
            choose(form->DBCombo1, 0);
            QCOMPARE(services->messages.size(), 1);
            QCOMPARE(form->txtCod->text(), QStringLiteral("501"));
            QVERIFY(!form->PctUbic->picture().isNull());
            QCOMPARE(form->MSFlexGrid1->rows(), 3);
        } else {
            // The statement fails: reported once, naming the station; card and thumbnail stay.
            QCOMPARE(services->messages.size(), 1);
            QVERIFY(services->messages[0].contains(QStringLiteral("501")));
            QVERIFY(form->MSFlexGrid1->rows() <= 1);
            QCOMPARE(form->DBGrid1->columnCount(), 0);
        }
    }

    void missingArchive() {
        // No orbeni.mdb at all: the data source's own report, once; the window stays usable.
        QTemporaryDir dir;
        db::setProgramFolder(dir.path());
        frmAnagrafica* form = openRegistry();
        QVERIFY(form);
        QCOMPARE(services->messages.size(), 1);
        QCOMPARE(form->DBCombo1->count(), 0);
        QVERIFY(form->PctUbic->picture().isNull());
        QVERIFY(form->MSFlexGrid1->rows() <= 1);
        services->saveTo = dir.filePath(QStringLiteral("mensili.txt"));
        form->mnuEsporta_Click();
        QVERIFY(!QFile::exists(*services->saveTo));
        QTest::mouseClick(form->PctUbic, Qt::LeftButton, {}, QPoint(10, 10));
        QCOMPARE(services->modalWindows, QStringList{QStringLiteral("frmDettaglio")});
        QCOMPARE(services->messages.size(), 1);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(runtime::Forms::find<frmAnagrafica>());
    }

  private:
    static void writeBrokenArchive(const QString& folder, bool withMonthly) {
        using jetwriter::Column;
        using jetwriter::ColumnType;
        jetwriter::Database database(jetwriter::Version::Jet4);
        const QList<Column> registryColumns = {
            {QStringLiteral("Codstaz"), ColumnType::Long},
            {QStringLiteral("Denominazione"), ColumnType::Text, 50},
            {QStringLiteral("Comune"), ColumnType::Text, 50},
            {QStringLiteral("Provincia"), ColumnType::Text, 20},
            {QStringLiteral("Quota"), ColumnType::Long},
            {QStringLiteral("Data validità"), ColumnType::DateTime},
            {QStringLiteral("UTM X"), ColumnType::Double},
            {QStringLiteral("UTM Y"), ColumnType::Double},
            {QStringLiteral("Indirizzo_localita"), ColumnType::Text, 50},
            {QStringLiteral("BACINO"), ColumnType::Text, 50},
            {QStringLiteral("tipo staz"), ColumnType::Text, 30},
            {QStringLiteral("Latitudine N"), ColumnType::Text, 20},
            {QStringLiteral("Longitudine W"), ColumnType::Text, 20},
        };
        const QList<jetwriter::Row> registryData = {
            {501, QStringLiteral("Alfa"), QStringLiteral("Borgo"), QStringLiteral("SV"), 120,
             QDate(1990, 1, 1), 1500000.5, 4900000.25, QStringLiteral("Piazza"), QStringLiteral("Fiume"),
             QStringLiteral("meccanica"), QStringLiteral("44 10 00"), QStringLiteral("8 20 00")},
            {QVariant(), QStringLiteral("Senza codice"), QStringLiteral("Nessuno"), QVariant(), QVariant(),
             QVariant(), QVariant(), QVariant(), QVariant(), QVariant(), QVariant(), QVariant(), QVariant()},
        };
        database.addTable(QStringLiteral("anagrafica compl"), registryColumns, registryData);
        if (withMonthly) {
            QList<Column> monthly = {{QStringLiteral("codstaz"), ColumnType::Long},
                                     {QStringLiteral("parametro"), ColumnType::Text, 50}};
            for (int month = 1; month <= 12; ++month) {
                monthly << Column{monthlyFields()[month], ColumnType::Double};
            }
            monthly << Column{QStringLiteral("anno"), ColumnType::Integer};
            QList<jetwriter::Row> rows;
            for (const QString& statistic :
                 {QStringLiteral("Pioggia"), QStringLiteral("Temperatura media")}) {
                jetwriter::Row row = {501, statistic};
                for (int month = 1; month <= 12; ++month) {
                    row << month * 1.5;
                }
                row << 1995;
                rows << row;
            }
            database.addTable(QStringLiteral("mensili"), monthly, rows);
        }
        QString error;
        QVERIFY2(database.write(QDir(folder).filePath(QStringLiteral("orbeni.mdb")), &error),
                 qPrintable(error));
        QDir(folder).mkpath(QStringLiteral("cartograf"));
        QImage thumbnail(60, 40, QImage::Format_RGB32);
        thumbnail.fill(Qt::darkGreen);
        QVERIFY(thumbnail.save(QDir(folder).filePath(QStringLiteral("cartograf/r_501.jpg")), "JPG"));
        // What the station without a code would load: a file that is no picture at all.
        QFile unreadable(QDir(folder).filePath(QStringLiteral("cartograf/r_.jpg")));
        QVERIFY(unreadable.open(QIODevice::WriteOnly));
        unreadable.write("not a picture");
    }
};

QTEST_MAIN(RegistryWindowTest)
#include "test_registrywindow.moc"
