// The intense-rainfall selection form and its result window against a real archive read through libmdb.
#include "controls/dbcombo.h"
#include "controls/dbgrid.h"
#include "db/datasource.h"
#include "db/global.h"
#include "intense/frmintense.h"
#include "intense/frmpioggia.h"
#include "support/queryarchive.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

using querytest::captions;
using querytest::choose;

namespace {

bool tick(frmIntense* window) {
    return QMetaObject::invokeMethod(window->Timer1, "timeout");
}

}  // namespace

class TestIntenseWindows : public querytest::WindowTest {
    Q_OBJECT
  private:
    frmPioggia* openForm() {
        runtime::Forms::show<frmPioggia>(runtime::Modality::Modal);
        return runtime::Forms::find<frmPioggia>();
    }
    // Chooses the criteria and boxes, presses "&Seleziona" and returns the result window.
    frmIntense* search(const QString& station, const QString& year, bool hours, bool days) {
        frmPioggia* form = openForm();
        if (!form) {
            return nullptr;
        }
        form->DBCmbStazione->setText(QString());
        form->DBcmbAnno->setText(QString());
        if (!station.isEmpty() && !choose(form->DBCmbStazione, station)) {
            return nullptr;
        }
        if (!year.isEmpty() && !choose(form->DBcmbAnno, year)) {
            return nullptr;
        }
        form->chkore->setCheckState(hours ? Qt::Checked : Qt::Unchecked);
        form->Chkgiorni->setCheckState(days ? Qt::Checked : Qt::Unchecked);
        form->cmdSeleziona->click();
        return runtime::Forms::find<frmIntense>();
    }

  private slots:
    void formAsDesigned() {
        frmPioggia* form = openForm();
        QVERIFY(form);
        QCOMPARE(form->windowTitle(), QStringLiteral("ALTORRA - Piogge intense"));
        QVERIFY(!(form->windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
        QCOMPARE(form->size(), runtime::twipsRect(0, 0, 8055, 3495).size());
        QCOMPARE(
            form->Chkgiorni->text(),
            QStringLiteral("Precipitazioni di massima intensità per  giorni consecutivi (da 1 a 5 giorni)"));
        QCOMPARE(form->chkore->text(),
                 QStringLiteral(
                     "Precipitazioni di massima intensità per unità temporali di 1 -3 - 6 - 12 - 24 ore"));
        QCOMPARE(form->Chkgiorni->checkState(), Qt::Checked);
        QCOMPARE(form->chkore->checkState(), Qt::Checked);
        QCOMPARE(form->Chkgiorni->geometry(), runtime::twipsRect(120, 1320, 7840, 800));
        QCOMPARE(form->chkore->palette().color(QPalette::Window), QColor(128, 128, 255));
        QCOMPARE(form->Chkgiorni->palette().color(QPalette::WindowText), QColor(Qt::blue));
        QCOMPARE(form->CmdChiudi->text(), QStringLiteral("Chiudi"));
        QCOMPARE(form->CmdChiudi->geometry(), runtime::twipsRect(6780, 3000, 1215, 375));
        QVERIFY(form->cmdAnnulla->font().bold());
        QCOMPARE(form->findChild<QFrame*>("Shape1")->geometry(), runtime::twipsRect(120, 120, 7840, 1095));
        QCOMPARE(form->DBCmbStazione->count(), 4);
        QCOMPARE(form->DBcmbAnno->count(), 3);
        seams::setMousePointer(seams::kHourglass);
        querytest::activate(form);
        QCOMPARE(seams::mousePointer(), seams::kDefaultPointer);
    }

    void criteriaAndColumns_data() {
        QTest::addColumn<QString>("station");
        QTest::addColumn<QString>("year");
        QTest::addColumn<bool>("hours");
        QTest::addColumn<bool>("days");
        QTest::addColumn<QString>("where");
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("columns");
        QTest::newRow("station only, neither box") << "Monte Vessa"
                                                   << "" << false << false << "where codstaz = 12" << 2 << 2;
        QTest::newRow("year only, days") << ""
                                         << "1995" << false << true << "where anno = 1995" << 2 << 12;
        QTest::newRow("both, hours") << "Pian di Roda"
                                     << "1995" << true << false << "where codstaz = 27 and anno = 1995" << 1
                                     << 12;
        QTest::newRow("both, both boxes")
            << "Monte Vessa"
            << "1994" << true << true << "where codstaz = 12 and anno = 1994" << 1 << 22;
    }
    void criteriaAndColumns() {
        QFETCH(QString, station);
        QFETCH(QString, year);
        QFETCH(bool, hours);
        QFETCH(bool, days);
        QFETCH(QString, where);
        QFETCH(int, rows);
        QFETCH(int, columns);
        frmIntense* window = search(station, year, hours, days);
        QVERIFY(window);
        QCOMPARE(Global::IntenseWhere, where);
        QCOMPARE(Global::IntenseQueryOk, Global::kTrue);
        QCOMPARE(window->dpioggia->recordset()->RecordCount(), rows);
        QCOMPARE(window->DBpioggia->columnCount(), columns);
        QVERIFY(tick(window));
        QVERIFY(!window->isUnloaded());
        QVERIFY(seams_->messages.isEmpty());
    }

    void captionsOfBothGroups() {
        frmIntense* window = search("Monte Vessa", "", true, true);
        QVERIFY(window);
        QCOMPARE(window->windowTitle(), QStringLiteral("Visualizzazione piogge intense"));
        QCOMPARE(window->DBpioggia->caption(), QStringLiteral("PIOGGE INTENSE (mm)"));
        QCOMPARE(window->DBpioggia->geometry(), runtime::twipsRect(120, 240, 8775, 5055));
        QCOMPARE(window->Timer1->interval(), 50);
        QCOMPARE(window->CmdChiudi->text(), QStringLiteral("Chiudi"));
        QCOMPARE(
            captions(window->DBpioggia),
            QStringList({"Nomestaz", "Anno",  "1 ora",    "Data",  "3 ore",    "Data1", "6 ore",    "Data2",
                         "12 ore",   "Data3", "24 ore",   "Data4", "1 giorno", "Data5", "2 giorni", "Data6",
                         "3 giorni", "Data7", "4 giorni", "Data8", "5 giorni", "Data9"}));
        querytest::activate(window);
        QCOMPARE(seams::mousePointer(), seams::kDefaultPointer);
        window->CmdChiudi->click();
        QVERIFY(!runtime::Forms::find<frmIntense>());
        QCOMPARE(runtime::Forms::find<frmPioggia>()->DBCmbStazione->text(), QStringLiteral("Monte Vessa"));
    }

    void secondPressAfterChangingOnlyTheYear() {
        frmIntense* first = search("Monte Vessa", "1994", true, false);
        QVERIFY(first);
        first->Unload();
        frmPioggia* form = runtime::Forms::find<frmPioggia>();
        QVERIFY(choose(form->DBcmbAnno, "1995"));
        form->cmdSeleziona->click();
        QCOMPARE(Global::IntenseSql,
                 QStringLiteral(
                     "select Nomestaz , Anno , unhh as [1 ora], Data, trehh as [3 ore], Data1, seihh as "
                     "[6 ore], Data2, dodhh as [12 ore], Data3, venhh as [24 ore], Data4 from piog9099 "
                     "where codstaz = 12 and anno = 1995"));
        frmIntense* second = runtime::Forms::find<frmIntense>();
        QVERIFY(second);
        QCOMPARE(second->dpioggia->recordset()->text(0, 1), QStringLiteral("1995"));
    }

    void stationYearWithoutRows() {
        frmIntense* window = search("Colle Alto", "1995", true, true);
        QVERIFY(window);
        QPointer<frmIntense> guard(window);
        QVERIFY(tick(window));
        QVERIFY(!runtime::Forms::find<frmIntense>());
        QCOMPARE(seams_->messages, QStringList({QStringLiteral("Nessun record presente")}));
        if (guard) {
            QVERIFY(tick(guard));
        }
        QCOMPARE(seams_->messages.size(), 1);
    }

    void rejectedStatement() {
        int ticksDuringMessages = 0;
        seams_->onMessage = [&ticksDuringMessages](const QString&) {
            if (frmIntense* window = runtime::Forms::find<frmIntense>()) {
                window->Timer1_Timer();
                ++ticksDuringMessages;
            }
        };
        frmIntense* window = search("Stazione senza codice", "", false, false);
        QVERIFY(window);
        QCOMPARE(Global::IntenseSql,
                 QStringLiteral("select Nomestaz , Anno  from piog9099 where codstaz = "));
        QCOMPARE(seams_->messages.size(), 2);
        QVERIFY(seams_->messages.at(0).startsWith(QStringLiteral("gestione errori in dpioggia:")));
        bool numeric = false;
        seams_->messages.at(0).mid(28).toInt(&numeric);
        QVERIFY(numeric);
        QCOMPARE(seams_->messages.at(1), QStringLiteral("Nessun record corrisponde ai criteri di ricerca"));
        QCOMPARE(ticksDuringMessages, 2);
        QCOMPARE(Global::IntenseQueryOk, Global::kFalse);
        QVERIFY(tick(window));
        QVERIFY(!runtime::Forms::find<frmIntense>());
        QCOMPARE(seams_->messages.size(), 2);
    }

    // The same rule for the lists as in the daily form.
    void listTextIsWhatIsSearched_data() { querytest::listRuleRows(); }
    void listTextIsWhatIsSearched() {
        frmPioggia* form = openForm();
        checkListRule({form->DBCmbStazione, form->DBcmbAnno, form->cmdAnnulla, form->cmdSeleziona,
                       QStringLiteral("codstaz"), &Global::IntenseWhere, &Global::IntenseQueryOk,
                       [] { return runtime::Forms::find<frmIntense>() != nullptr; }});
    }

    void noCriterionAfterCancel() {
        frmPioggia* form = openForm();
        QVERIFY(choose(form->DBCmbStazione, "Monte Vessa"));
        QVERIFY(choose(form->DBcmbAnno, "1995"));
        form->cmdAnnulla->click();
        QVERIFY(form->DBCmbStazione->text().isEmpty());
        QVERIFY(form->DBcmbAnno->text().isEmpty());
        form->cmdSeleziona->click();
        QCOMPARE(
            seams_->messages,
            QStringList({"Impossibile eseguire la ricerca dei dati, almeno una casella deve essere valida"}));
        QVERIFY(!runtime::Forms::find<frmIntense>());
        QCOMPARE(Global::IntenseQueryOk, Global::kFalse);

        // A year typed in a fresh form, matching no entry, is refused with a message naming the list.
        form->CmdChiudi->click();
        form = openForm();
        seams_->messages.clear();
        QTest::keyClicks(form->DBcmbAnno->lineEdit(), QStringLiteral("1887"));
        form->cmdSeleziona->click();
        QCOMPARE(seams_->messages.size(), 1);
        QVERIFY(seams_->messages.first().contains(QStringLiteral("Anno")));
        QVERIFY(!runtime::Forms::find<frmIntense>());
    }

    // Alt with a letter no control answers (this form's "Chiudi" has none) types nothing into the
    // list that has the focus; the letters the form's buttons carry still work.
    void altLettersTypeNothing() {
        frmPioggia* form = openForm();
        QLineEdit* station = form->DBCmbStazione->lineEdit();
        QTest::keyClicks(station, QStringLiteral("Roda"));
        for (const Qt::Key key : {Qt::Key_H, Qt::Key_I, Qt::Key_Z}) {
            QTest::keyClick(station, key, Qt::AltModifier);
        }
        QTest::keyClick(form->DBcmbAnno->lineEdit(), Qt::Key_X, Qt::AltModifier);
        QCOMPARE(station->text(), QStringLiteral("Roda"));
        QVERIFY(form->DBcmbAnno->text().isEmpty());
        QTest::keyClick(station, Qt::Key_A);
        QCOMPARE(station->text(), QStringLiteral("Rodaa"));
    }

    void exportWritesTheShownRows() {
        frmIntense* window = search("Pian di Roda", "", false, true);
        QVERIFY(window);
        const QString path = QDir(folder()).filePath(QStringLiteral("piogge.xls"));
        seams_->saveTo = path;
        window->Command1->click();
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(
            file.readAll(),
            QByteArray(
                "Nomestaz\tAnno\t1 giorno\tData5\t2 giorni\tData6\t3 giorni\tData7\t4 giorni\tData8\t"
                "5 giorni\tData9\t\r\n"
                "Pian di Roda\t1995\t35\t25/11/1995\t36\t26/11/1995\t37\t27/11/1995\t38\t28/11/1995\t39\t"
                "29/11/1995\t\r\n"));
        QVERIFY(!window->isUnloaded());
        // A second export starts again from the first row.
        window->Command1->click();
        QVERIFY(file.seek(0));
        QCOMPARE(file.readAll().count('\n'), 2);
    }

    void closeUnloadsTheForm() {
        frmPioggia* form = openForm();
        form->CmdChiudi->click();
        QVERIFY(!runtime::Forms::find<frmPioggia>());
    }
};

QTEST_MAIN(TestIntenseWindows)
#include "test_intensewindows.moc"
