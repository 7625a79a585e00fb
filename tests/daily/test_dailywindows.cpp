// The daily-values selection form and its result window against a real archive read through libmdb.
#include "controls/dbcombo.h"
#include "controls/dbgrid.h"
#include "daily/frmaltorra.h"
#include "daily/frmtabella.h"
#include "db/datasource.h"
#include "db/global.h"
#include "db/location.h"
#include "support/queryarchive.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

using querytest::captions;
using querytest::choose;

namespace {

const QString kNoCriterion =
    QStringLiteral("Impossibile eseguire la ricerca dei dati, almeno una casella deve essere valida");

}  // namespace

class TestDailyWindows : public querytest::WindowTest {
    Q_OBJECT
  private:
    QTemporaryDir emptyDir_;

    frmAltorra* openForm() {
        runtime::Forms::show<frmAltorra>(runtime::Modality::Modal);
        return runtime::Forms::find<frmAltorra>();
    }
    void untickAll(frmAltorra* form) {
        for (QCheckBox* box : form->quantityBoxes) {
            box->setCheckState(Qt::Unchecked);
        }
    }

  private slots:
    void formAsDesigned() {
        frmAltorra* form = openForm();
        QVERIFY(form);
        QCOMPARE(form->windowTitle(), QStringLiteral("ALTORRA - Dati giornalieri"));
        QVERIFY(!(form->windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
        QCOMPARE(form->size(), runtime::twipsRect(0, 0, 8055, 3795).size());
        QCOMPARE(form->palette().color(QPalette::Window), QColor(Qt::white));
        QCOMPARE(form->findChild<QFrame*>("Shape1")->geometry(), runtime::twipsRect(120, 120, 7840, 1095));
        QCOMPARE(form->findChild<controls::DBCombo*>("DBCmbStazione")->geometry().left(),
                 runtime::twipsToPixels(1200));
        QCOMPARE(form->findChild<QLabel*>("lblGiorno")->text(), QStringLiteral("Giorno"));
        QCOMPARE(form->DBCmbStazione->count(), 4);
        QCOMPARE(form->DBCmbMese->itemText(2), QStringLiteral("Marzo"));
        QCOMPARE(form->DBcmbGiorno->count(), 31);
        QVERIFY(form->DBCmbStazione->text().isEmpty());

        QStringList names;
        QStringList texts;
        for (QCheckBox* box : form->quantityBoxes) {
            QCOMPARE(box->checkState(), Qt::Checked);
            QCOMPARE(form->findChild<QCheckBox*>(box->objectName()), box);
            names << box->objectName();
            texts << box->text();
        }
        QCOMPARE(names, QStringList({"chkPioggia", "chkTempMax", "chkTempMin", "chkTempMed", "chkAltneve",
                                     "chkVelMedia", "chkVelMax", "chkDirVento", "chkUmidità", "chkRadiazione",
                                     "Chkumidmax", "ChkUmidmin", "ChkCalme"}));
        QCOMPARE(texts.at(4), QStringLiteral("Altezza della neve al suolo"));
        QCOMPARE(texts.at(8), QStringLiteral("Umidità dell'aria"));
        QCheckBox* umidmax = form->box("Chkumidmax");
        QCOMPARE(umidmax->geometry(), runtime::twipsRect(3240, 1320, 1600, 800));
        QCOMPARE(umidmax->palette().color(QPalette::Window), QColor(224, 224, 224));
        QCOMPARE(umidmax->palette().color(QPalette::WindowText), QColor(Qt::blue));
        QCheckBox* direzione = form->box("chkDirVento");
        QCOMPARE(direzione->geometry(), runtime::twipsRect(6360, 2100, 1600, 800));
        QCOMPARE(direzione->palette().color(QPalette::Window), QColor(128, 128, 255));
        QCOMPARE(direzione->palette().color(QPalette::WindowText), QColor(Qt::white));
        QCOMPARE(form->box("ChkCalme")->geometry(), runtime::twipsRect(3240, 2890, 1600, 800));

        QCOMPARE(form->cmdSeleziona->text(), QStringLiteral("&Seleziona"));
        QCOMPARE(form->cmdAnnulla->text(), QStringLiteral("&Cancella"));
        QCOMPARE(form->CmdChiudi->text(), QStringLiteral("C&hiudi"));
        QVERIFY(form->cmdSeleziona->font().bold());
        QCOMPARE(form->CmdChiudi->geometry(), runtime::twipsRect(7080, 3000, 855, 615));

        // Tab order as designed, from the first box through the last.
        const QStringList order = {"chkPioggia",  "chkTempMax",    "chkTempMin", "chkTempMed",
                                   "chkDirVento", "chkVelMedia",   "chkAltneve", "cmdSeleziona",
                                   "cmdAnnulla",  "DBCmbStazione", "DBcmbAnno",  "DBCmbMese",
                                   "DBcmbGiorno", "chkRadiazione", "chkUmidità", "chkVelMax",
                                   "CmdChiudi",   "Chkumidmax",    "ChkUmidmin", "ChkCalme"};
        QWidget* widget = form->box("chkPioggia");
        for (int i = 1; i < order.size(); ++i) {
            QWidget* next = widget->nextInFocusChain();
            // Skip what takes no tab stop of its own: labels, the frame, the lists' edit parts.
            while (next->parentWidget() != form || !(next->focusPolicy() & Qt::TabFocus)) {
                next = next->nextInFocusChain();
            }
            QCOMPARE(next->objectName(), order[i]);
            widget = next;
        }

        seams::setMousePointer(seams::kHourglass);
        querytest::activate(form);
        QCOMPARE(seams::mousePointer(), seams::kDefaultPointer);
    }

    void allQuantitiesGiveEighteenColumns() {
        frmAltorra* form = openForm();
        QVERIFY(choose(form->DBCmbStazione, "Monte Vessa"));
        QVERIFY(choose(form->DBcmbAnno, "1995"));
        form->cmdSeleziona->click();
        QVERIFY(seams_->messages.isEmpty());
        QCOMPARE(seams::mousePointer(), seams::kHourglass);
        QCOMPARE(Global::DailyQueryOk, Global::kTrue);
        frmTabella* table = runtime::Forms::find<frmTabella>();
        QVERIFY(table);
        QCOMPARE(table->windowTitle(), QStringLiteral("Visualizzazione dati giornalieri"));
        QCOMPARE(table->DB->caption(), QStringLiteral("VALORI GIORNALIERI"));
        QCOMPARE(table->DB->geometry(), runtime::twipsRect(0, 0, 8775, 5055));
        QCOMPARE(table->Command1->text(), QStringLiteral("Esporta Dati"));
        QCOMPARE(table->CmdPrecedente->text(), QStringLiteral("Chiudi"));
        QCOMPARE(table->Timer1->interval(), 500);
        QVERIFY(table->Timer1->isActive());
        QCOMPARE(
            captions(table->DB),
            QStringList({"Denominazione", "Giorno", "Mese", "Anno", "pioggia mm", "Temperatura massima °C",
                         "Temperatura minima °C", "Temperatura media °C", "Altezza della neve cm",
                         "Velocità media del vento (Km/h)", "Velocità massima del vento (Km/h)",
                         "Direzione prevalente del vento", "Ore di permanenza della direzione prevalente",
                         "Umidità dell'aria", "Radiazione solare globale (MJ/MQ)", "Umidità massima",
                         "Umidità minima", "Calme di vento"}));
        QCOMPARE(table->DTabella->recordset()->RecordCount(), 3);
        querytest::activate(table);
        QCOMPARE(seams::mousePointer(), seams::kDefaultPointer);

        // A tick with rows finds nothing to do.
        QVERIFY(QMetaObject::invokeMethod(table->Timer1, "timeout"));
        QVERIFY(!table->isUnloaded());
        QVERIFY(seams_->messages.isEmpty());

        // "Chiudi" returns to the form with its choices intact.
        QPointer<frmTabella> guard(table);
        table->CmdPrecedente->click();
        QVERIFY(!runtime::Forms::find<frmTabella>());
        QCOMPARE(form->DBCmbStazione->text(), QStringLiteral("Monte Vessa"));
        QCOMPARE(form->DBcmbAnno->text(), QStringLiteral("1995"));
        QVERIFY(!form->isUnloaded());
    }

    void noQuantityGivesFourColumns() {
        frmAltorra* form = openForm();
        untickAll(form);
        form->box("chkPioggia")->setCheckState(Qt::PartiallyChecked);  // greyed counts as clear
        QVERIFY(choose(form->DBcmbGiorno, "1"));
        form->cmdSeleziona->click();
        QCOMPARE(
            Global::DailySql,
            QStringLiteral(
                "select  nomestaz as [Denominazione], Giorno, Mese, Anno  from  database1 where giorno = 1"));
        frmTabella* table = runtime::Forms::find<frmTabella>();
        QVERIFY(table);
        QCOMPARE(captions(table->DB), QStringList({"Denominazione", "Giorno", "Mese", "Anno"}));
        QCOMPARE(table->DTabella->recordset()->RecordCount(), 3);
    }

    void keysComeFromTheChosenRows() {
        frmAltorra* form = openForm();
        untickAll(form);
        form->box("chkPioggia")->setCheckState(Qt::Checked);
        QVERIFY(choose(form->DBCmbStazione, "Monte Vessa"));
        QVERIFY(choose(form->DBcmbAnno, "1995"));
        QVERIFY(choose(form->DBCmbMese, "Marzo"));
        form->cmdSeleziona->click();
        QCOMPARE(Global::DailySql,
                 QStringLiteral(
                     "select  nomestaz as [Denominazione], Giorno, Mese, Anno , Pioggia as [pioggia mm] "
                     "from  database1 where codStaz = 12 and anno = 1995 and mese = 3"));
        QVERIFY(runtime::Forms::find<frmTabella>());
        runtime::Forms::find<frmTabella>()->Unload();

        // A second press after changing only the month keeps nothing of the first.
        QVERIFY(choose(form->DBCmbMese, "Dicembre"));
        form->DBCmbStazione->setText(QString());
        form->cmdSeleziona->click();
        QCOMPARE(Global::DailyWhere, QStringLiteral("where anno = 1995 and mese = 12"));
        QCOMPARE(Global::DailyStationFilter, QString());
        QCOMPARE(Global::DailySql.count(QStringLiteral("select")), 1);
        QCOMPARE(Global::DailySql.count(QStringLiteral("pioggia mm")), 1);
    }

    // What a list shows is what is searched: a text equal to an entry designates it whatever was
    // picked before; any other text stops the search with the list's message.
    void listTextIsWhatIsSearched_data() { querytest::listRuleRows(); }
    void listTextIsWhatIsSearched() {
        frmAltorra* form = openForm();
        checkListRule({form->DBCmbStazione, form->DBcmbAnno, form->cmdAnnulla, form->cmdSeleziona,
                       QStringLiteral("codStaz"), &Global::DailyWhere, &Global::DailyQueryOk,
                       [] { return runtime::Forms::find<frmTabella>() != nullptr; }});
    }

    // Tab and Shift+Tab leave the grid in the order grid, "Chiudi", "Esporta Dati"; the arrows move
    // inside it.
    void tabLeavesTheGrid() {
        frmAltorra* form = openForm();
        QVERIFY(choose(form->DBcmbAnno, "1995"));
        form->cmdSeleziona->click();
        frmTabella* table = runtime::Forms::find<frmTabella>();
        QVERIFY(table);
        table->show();
        table->activateWindow();
        QVERIFY(QTest::qWaitForWindowExposed(table));
        QTableView* view = table->DB->view();
        view->setFocus();
        view->setCurrentIndex(view->model()->index(0, 0));
        QTest::keyClick(view, Qt::Key_Down);
        QCOMPARE(view->currentIndex().row(), 1);
        QTest::keyClick(view, Qt::Key_Right);
        QCOMPARE(view->currentIndex().column(), 1);
        QVERIFY(view->hasFocus());
        const QList<QWidget*> order = {table->CmdPrecedente, table->Command1, view};
        for (QWidget* next : order) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), next);
        }
        QTest::keyClick(view, Qt::Key_Backtab, Qt::ShiftModifier);
        QCOMPARE(QApplication::focusWidget(), table->Command1);
    }

    void noCriterionOpensNothing() {
        frmAltorra* form = openForm();
        QVERIFY(choose(form->DBCmbStazione, "Monte Vessa"));
        QVERIFY(choose(form->DBcmbGiorno, "2"));
        form->cmdAnnulla->click();
        QVERIFY(form->DBCmbStazione->text().isEmpty());
        QVERIFY(form->DBcmbGiorno->text().isEmpty());
        QCOMPARE(form->box("chkPioggia")->checkState(), Qt::Checked);
        form->DBCmbMese->setText(QStringLiteral("   "));
        const int runs = int(seams_->modalWindows.size());
        form->cmdSeleziona->click();
        QCOMPARE(seams_->messages, QStringList({kNoCriterion}));
        QCOMPARE(int(seams_->modalWindows.size()), runs);
        QVERIFY(!runtime::Forms::find<frmTabella>());
        QCOMPARE(Global::DailyQueryOk, Global::kFalse);
        QCOMPARE(seams::mousePointer(), seams::kDefaultPointer);
    }

    void typedTextMatchingNoEntryIsRefused() {
        frmAltorra* form = openForm();
        QTest::keyClicks(form->DBCmbStazione->lineEdit(), QStringLiteral("Nessun luogo"));
        QVERIFY(choose(form->DBcmbAnno, "1995"));
        form->cmdSeleziona->click();
        QCOMPARE(seams_->messages.size(), 1);
        QVERIFY(seams_->messages.first().contains(QStringLiteral("Stazione")));
        QVERIFY(seams_->messages.first().contains(QStringLiteral("Nessun luogo")));
        QVERIFY(!runtime::Forms::find<frmTabella>());
        QVERIFY(Global::DailySql.isEmpty());

        // Typing an entry's exact name chooses it.
        seams_->messages.clear();
        form->DBCmbStazione->setText(QString());
        QTest::keyClicks(form->DBCmbMese->lineEdit(), QStringLiteral("marzo"));
        form->cmdSeleziona->click();
        QVERIFY(seams_->messages.isEmpty());
        QCOMPARE(Global::DailyWhere, QStringLiteral("where anno = 1995 and mese = 3"));
    }

    void rejectedStatementClosesAtTheNextTick() {
        frmAltorra* form = openForm();
        QPointer<frmTabella> seen;
        // A tick arriving while the first message is open must not read the missing record set.
        seams_->onMessage = [&seen](const QString&) {
            if (frmTabella* table = runtime::Forms::find<frmTabella>()) {
                seen = table;
                table->Timer1_Timer();
            }
        };
        QVERIFY(choose(form->DBCmbStazione, "Stazione senza codice"));
        QVERIFY(choose(form->DBcmbAnno, "1995"));
        form->cmdSeleziona->click();
        QCOMPARE(Global::DailyWhere, QStringLiteral("where codStaz =  and anno = 1995"));
        QCOMPARE(seams_->messages,
                 QStringList({QStringLiteral("gestione errori in dtabella:3075"),
                              QStringLiteral("Nessun record corrisponde ai criteri di ricerca")}));
        QCOMPARE(Global::DailyQueryOk, Global::kFalse);
        QPointer<frmTabella> table = runtime::Forms::find<frmTabella>();
        QVERIFY(table);
        QCOMPARE(seen, table);
        QVERIFY(!table->DTabella->recordset());
        seams_->onMessage = nullptr;

        table->Timer1_Timer();
        QVERIFY(table.isNull() || table->isUnloaded());
        QVERIFY(!runtime::Forms::find<frmTabella>());
        if (table) {
            table->Timer1_Timer();  // a late tick: closed stays closed, silently
        }
        QCOMPARE(seams_->messages.size(), 2);
        QVERIFY(!form->isUnloaded());
    }

    void missingArchiveReportsAndCloses() {
        db::setProgramFolder(emptyDir_.path());
        Global::DailySql = QStringLiteral(
            "select  nomestaz as [Denominazione], Giorno, Mese, Anno  from  database1 "
            "where anno = 1995");
        Global::DailyQueryOk = Global::kTrue;
        runtime::Forms::show<frmTabella>(runtime::Modality::Modal);
        QCOMPARE(seams_->messages,
                 QStringList({QStringLiteral("gestione errori in dtabella:3024"),
                              QStringLiteral("Nessun record corrisponde ai criteri di ricerca")}));
        QPointer<frmTabella> table = runtime::Forms::find<frmTabella>();
        QVERIFY(table);
        QVERIFY(QMetaObject::invokeMethod(table->Timer1, "timeout"));
        QVERIFY(!runtime::Forms::find<frmTabella>());
        QCOMPARE(seams_->messages.size(), 2);
    }

    void emptyResultClosesThenSays() {
        frmAltorra* form = openForm();
        QVERIFY(choose(form->DBCmbStazione, "Borgo Nuovo"));
        bool closedFirst = false;
        seams_->onMessage = [&closedFirst](const QString&) {
            closedFirst = !runtime::Forms::find<frmTabella>();
        };
        form->cmdSeleziona->click();
        QPointer<frmTabella> table = runtime::Forms::find<frmTabella>();
        QVERIFY(table);
        QVERIFY(seams_->messages.isEmpty());
        QVERIFY(QMetaObject::invokeMethod(table->Timer1, "timeout"));
        QCOMPARE(seams_->messages, QStringList({QStringLiteral("Nessun record presente")}));
        QVERIFY(closedFirst);
        if (table) {
            table->Timer1_Timer();
        }
        QCOMPARE(seams_->messages.size(), 1);
        QCOMPARE(Global::DailyQueryOk, Global::kTrue);
    }

    void exportWritesTheShownRows() {
        frmAltorra* form = openForm();
        untickAll(form);
        form->box("chkPioggia")->setCheckState(Qt::Checked);
        form->box("chkTempMax")->setCheckState(Qt::Checked);
        QVERIFY(choose(form->DBCmbStazione, "Monte Vessa"));
        QVERIFY(choose(form->DBcmbAnno, "1995"));
        QVERIFY(choose(form->DBCmbMese, "Marzo"));
        form->cmdSeleziona->click();
        frmTabella* table = runtime::Forms::find<frmTabella>();
        QVERIFY(table);
        const QString path = QDir(folder()).filePath(QStringLiteral("giornalieri.txt"));
        seams_->saveTo = path;
        table->Command1->click();
        QCOMPARE(seams_->saveRequests.size(), 1);
        QCOMPARE(seams_->saveRequests.first().title, QStringLiteral("Esporta dati"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(),
                 QByteArray("Denominazione\tGiorno\tMese\tAnno\tpioggia mm\tTemperatura massima \xB0"
                            "C\t\r\n"
                            "Monte Vessa\t1\t3\t1995\t12,5\t14,5\t\r\n"
                            "Monte Vessa\t2\t3\t1995\t0\t14,5\t\r\n"
                            "Monte Vessa\t3\t3\t1995\t4\t14,5\t\r\n"));
        QVERIFY(!table->isUnloaded());
        QCOMPARE(table->DB->columnCount(), 6);
        QVERIFY(seams_->messages.isEmpty());
    }

    void closeUnloadsTheForm() {
        frmAltorra* form = openForm();
        QVERIFY(choose(form->DBcmbAnno, "1996"));
        form->cmdSeleziona->click();
        runtime::Forms::find<frmTabella>()->Unload();
        const QString sql = Global::DailySql;
        form->CmdChiudi->click();
        QVERIFY(!runtime::Forms::find<frmAltorra>());
        QCOMPARE(Global::DailySql, sql);
    }
};

QTEST_MAIN(TestDailyWindows)
#include "test_dailywindows.moc"
