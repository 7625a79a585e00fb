// The information window against real archives: the five texts shown whole in locked boxes, the
// window opening on "Autori" at every load, an empty "help" leaving the boxes empty, and a missing
// archive reported once while the window stays usable.
#include "controls/boundtextbox.h"
#include "controls/tabcontrol.h"
#include "db/datasource.h"
#include "db/location.h"
#include "jet/jet.h"
#include "jetwriter/jetwriter.h"
#include "samplegen/samplegen.h"
#include "shell/frmapertura.h"
#include "shell/frmhelp.h"
#include "support/scriptedseams.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using testsupport::ScriptedSeams;

namespace {

// A text of about `size` characters, with accents, line breaks and a recognisable end.
QString longText(const QString& head, int size) {
    QString text = head + QStringLiteral("\r\n");
    int line = 1;
    while (text.size() < size) {
        text += QStringLiteral("Riga %1: piogge, temperature e umidità della Regione Sorvane, perché sì.\r\n")
                    .arg(line++);
    }
    return text + QStringLiteral("FINE ") + head;
}

bool writeHelpArchive(const QString& folder, const QList<jetwriter::Row>& rows, QString* error) {
    jetwriter::Database database(jetwriter::Version::Jet4);
    QList<jetwriter::Column> columns;
    for (int i = 0; i < 5; ++i) {
        columns.append({QStringLiteral("help%1").arg(i), jetwriter::ColumnType::Memo, 0});
    }
    database.addTable(QStringLiteral("help"), columns, rows);
    return database.write(folder + QStringLiteral("/orbeni.mdb"), error);
}

}  // namespace

class TestFrmHelp : public QObject {
    Q_OBJECT

  private slots:
    void init() { seams_ = std::make_unique<ScriptedSeams>(); }
    void cleanup() {
        testsupport::endScriptedTest(seams_);
        db::setProgramFolder(QString());
    }

    void layout() {
        QTemporaryDir folder;
        db::setProgramFolder(folder.path());
        seams_->onModal = [](QWidget*) {};  // a missing archive: only the layout is looked at here
        frmHelp* help = runtime::Forms::show<frmHelp>(runtime::Modality::Modeless);
        QVERIFY(help);
        QCOMPARE(help->windowTitle(), QStringLiteral("Informazioni"));
        QVERIFY(!help->windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
        QVERIFY(!help->windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
        QCOMPARE(help->minimumSize(), help->maximumSize());  // a fixed border
        QCOMPARE(help->size(), QSize(runtime::twipsToPixels(9120), runtime::twipsToPixels(6330)));

        QCOMPARE(help->SSTab1->count(), 8);
        const QStringList captions = {"Configurazione", "Generalità", " Dati giornalieri", "Piogge intense",
                                      "Autori",         "Indirizzi",  "Anagrafica",        "Tab 7"};
        for (int i = 0; i < 8; ++i) {
            QCOMPARE(help->SSTab1->tabCaption(i), captions[i]);
        }
        QCOMPARE(help->SSTab1->geometry(), runtime::twipsRect(0, 0, 9135, 6375));

        // Each box on its tab, bound by field, 120 twips in and 720 down from the tab control's top.
        const QList<std::tuple<controls::BoundTextBox*, int, QString>> boxes = {
            {help->Text2[0], 0, "Text2"}, {help->Text1, 1, "Text1"},    {help->Text3, 2, "Text3"},
            {help->Text4[0], 3, "Text4"}, {help->Text4[1], 6, "Text4"},
        };
        for (const auto& [box, tab, name] : boxes) {
            QCOMPARE(box->objectName(), name);
            QVERIFY(help->SSTab1->page(tab)->isAncestorOf(box));
            const QRect r(box->mapTo(help->SSTab1, QPoint(0, 0)), box->size());
            QCOMPARE(r, runtime::twipsRect(120, 720, 8775, 5535));
            QPlainTextEdit* edit = box->textEdit();
            QVERIFY(edit);
            QVERIFY(edit->isReadOnly());
            QCOMPARE(edit->palette().color(QPalette::Base), QColor(192, 192, 192));
            QCOMPARE(edit->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
        }
        QCOMPARE(help->Text4[1]->property("Index").toInt(), 1);

        QVERIFY(help->SSTab1->page(4)->isAncestorOf(help->imgLogo));
        QCOMPARE(QRect(help->imgLogo->mapTo(help->SSTab1, QPoint(0, 0)), help->imgLogo->size()),
                 runtime::twipsRect(120, 720, 3135, 2355));
        QVERIFY(help->imgLogo->hasScaledContents());
        QCOMPARE(help->creditLabels.size(), 8);
        QCOMPARE(help->addressLabels.size(), 8);
        for (const QList<QLabel*>& labels : {help->creditLabels, help->addressLabels}) {
            for (QLabel* label : labels) {
                QVERIFY(!label->text().isEmpty());
                // The whole text fits, and no line covers another or the picture.
                const int needed =
                    label->wordWrap() ? label->heightForWidth(label->width()) : label->sizeHint().height();
                QVERIFY2(needed <= label->height(), qPrintable(label->text()));
                QVERIFY2(label->sizeHint().width() <= label->width() || label->wordWrap(),
                         qPrintable(label->text()));
                QVERIFY(label->parentWidget() != help->imgLogo->parentWidget() ||
                        !label->geometry().intersects(help->imgLogo->geometry()));
                for (QLabel* other : labels) {
                    QVERIFY(other == label || !other->geometry().intersects(label->geometry()));
                }
            }
        }
        // "Tab 7" can be chosen and is empty.
        help->SSTab1->setTab(7);
        QCOMPARE(help->SSTab1->Tab(), 7);
        QVERIFY(help->SSTab1->page(7)->findChildren<QWidget*>().isEmpty());
    }

    // Escape closes the window as its frame's close box does, wherever the focus is: in a text,
    // on the tab bar, or nowhere; the next "&Informazioni" loads it again.
    void escapeCloses_data() {
        QTest::addColumn<int>("focus");  // 0: a text box, 1: the tab bar, 2: the window itself
        QTest::newRow("text box") << 0;
        QTest::newRow("tab bar") << 1;
        QTest::newRow("window") << 2;
    }
    void escapeCloses() {
        QFETCH(int, focus);
        QTemporaryDir folder;
        QString error;
        QVERIFY2(writeHelpArchive(folder.path(), {jetwriter::Row{"a", "b", "c", "d", "e"}}, &error),
                 qPrintable(error));
        db::setProgramFolder(folder.path());
        seams_->closeAfterModal = false;
        bool closed = false;
        seams_->onModal = [&](QWidget* window) {
            auto* help = qobject_cast<frmHelp*>(window);
            if (!help) {
                return;
            }
            help->activateWindow();
            if (!QTest::qWaitFor([help] { return QApplication::activeWindow() == help; })) {
                return;
            }
            QWidget* target = help;
            if (focus == 0) {
                help->SSTab1->setTab(0);
                target = help->Text2[0]->textEdit();
            } else if (focus == 1) {
                target = help->SSTab1->findChild<QAbstractButton*>();
            }
            target->setFocus();
            QTest::keyClick(target, Qt::Key_Escape);
            closed = help->isUnloaded() && !help->isVisible();
        };
        runtime::Forms::show<frmHelp>(runtime::Modality::Modal);
        QVERIFY(closed);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!runtime::Forms::find<frmHelp>());
        QVERIFY(seams_->messages.isEmpty());
    }

    // Exact texts, one of them over 20 KB, shown whole; the boxes are locked but the caret moves.
    void textsShownWhole() {
        QTemporaryDir folder;
        QStringList texts;
        for (int i = 0; i < 5; ++i) {
            texts.append(longText(QStringLiteral("Testo %1").arg(i), i == 2 ? 24000 : 1500 + i * 700));
        }
        jetwriter::Row row;
        for (const QString& text : texts) {
            row.append(text);
        }
        QString error;
        QVERIFY2(writeHelpArchive(folder.path(), {row}, &error), qPrintable(error));
        db::setProgramFolder(folder.path());

        frmHelp* help = runtime::Forms::show<frmHelp>(runtime::Modality::Modeless);
        QVERIFY(help);
        QVERIFY(seams_->messages.isEmpty());
        const QList<controls::BoundTextBox*> boxes = {help->Text2[0], help->Text1, help->Text3,
                                                      help->Text4[0], help->Text4[1]};
        for (int i = 0; i < 5; ++i) {
            QCOMPARE(boxes[i]->textEdit()->toPlainText().size(), QString(texts[i]).remove(u'\r').size());
            QCOMPARE(boxes[i]->textEdit()->toPlainText(), QString(texts[i]).remove(u'\r'));
        }
        QVERIFY(texts[2].size() > 20 * 1024);

        // Typing changes nothing; the keyboard reaches the end of the text.
        help->SSTab1->setTab(2);
        QPlainTextEdit* edit = help->Text3->textEdit();
        edit->setFocus();
        const QString before = edit->toPlainText();
        QTest::keyClicks(edit, "abc");
        QTest::keyClick(edit, Qt::Key_Delete);
        QTest::keyClick(edit, Qt::Key_Backspace);
        QCOMPARE(edit->toPlainText(), before);
        QTest::keyClick(edit, Qt::Key_End, Qt::ControlModifier);
        QCOMPARE(edit->textCursor().position(), before.size());
    }

    // The archive the program ships: its five texts, the general notes over 20 KB, shown whole
    // (as the reader gives them); the window opens on "Autori" at every load, whichever tab was
    // shown when it closed, and reads the texts again.
    void sampleArchiveFromTheMenu() {
        QTemporaryDir folder;
        samplegen::Options options;
        options.pictures = false;
        QString error;
        QVERIFY2(samplegen::writeSample(folder.path(), options, &error), qPrintable(error));
        db::setProgramFolder(folder.path());

        QStringList stored;
        {
            jet::Error jetError;
            auto database = jet::Database::open(folder.path() + "/orbeni.mdb", &jetError);
            QVERIFY2(database, qPrintable(jetError.message));
            auto rows = database->openRecordSet("help", &jetError);
            QVERIFY2(rows && rows->recordCount() == 1, qPrintable(jetError.message));
            for (int i = 0; i < 5; ++i) {
                QString text = rows->value(0, rows->fieldIndex(QStringLiteral("help%1").arg(i))).text();
                stored.append(text.remove(u'\r'));
            }
        }
        QVERIFY(
            std::any_of(stored.begin(), stored.end(), [](const QString& t) { return t.size() > 20 * 1024; }));

        frmApertura main;
        main.show();
        QList<int> tabAtOpening;
        QList<QStringList> shown;
        seams_->onModal = [&](QWidget* window) {
            auto* help = qobject_cast<frmHelp*>(window);
            if (!help) {
                return;
            }
            tabAtOpening.append(help->SSTab1->Tab());
            QStringList texts;
            for (controls::BoundTextBox* box :
                 {help->Text2[0], help->Text1, help->Text3, help->Text4[0], help->Text4[1]}) {
                texts.append(box->textEdit()->toPlainText());
            }
            shown.append(texts);
            help->SSTab1->setTab(1);  // the user looks elsewhere, then closes the window
        };
        main.mnuInformazioni_Click();
        main.mnuInformazioni_Click();
        QCOMPARE(seams_->modalWindows, (QStringList{"frmHelp", "frmHelp"}));
        QCOMPARE(tabAtOpening, (QList<int>{4, 4}));
        QCOMPARE(shown.size(), 2);
        for (int i = 0; i < 5; ++i) {
            QVERIFY(!stored[i].isEmpty());
            QCOMPARE(shown[0][i].size(), stored[i].size());
            QCOMPARE(shown[0][i], stored[i]);
        }
        QCOMPARE(shown[1], shown[0]);
        QVERIFY(seams_->messages.isEmpty());
    }

    void emptyHelp() {
        QTemporaryDir folder;
        QString error;
        QVERIFY2(writeHelpArchive(folder.path(), {}, &error), qPrintable(error));
        db::setProgramFolder(folder.path());
        frmHelp* help = runtime::Forms::show<frmHelp>(runtime::Modality::Modeless);
        QVERIFY(help);
        QVERIFY(seams_->messages.isEmpty());
        for (controls::BoundTextBox* box :
             {help->Text2[0], help->Text1, help->Text3, help->Text4[0], help->Text4[1]}) {
            QCOMPARE(box->textEdit()->toPlainText(), QString());
        }
        QCOMPARE(help->SSTab1->Tab(), 4);
        QVERIFY(!help->creditLabels.first()->text().isEmpty());
    }

    // No archive: one message from the data source, naming the file; the window stays usable.
    void missingArchive() {
        QTemporaryDir folder;
        db::setProgramFolder(folder.path());
        frmApertura main;
        main.show();
        bool usable = false;
        seams_->onModal = [&](QWidget* window) {
            auto* help = qobject_cast<frmHelp*>(window);
            if (!help) {
                return;
            }
            help->SSTab1->setTab(0);
            usable = help->isVisible() && help->SSTab1->Tab() == 0 && help->Text2[0]->text().isEmpty();
        };
        main.mnuInformazioni_Click();
        QVERIFY(usable);
        QCOMPARE(seams_->messages.size(), 1);
        QVERIFY2(seams_->messages.first().contains("orbeni.mdb"), qPrintable(seams_->messages.first()));
        QCOMPARE(seams::mousePointer(), seams::kDefaultPointer);
    }

  private:
    std::unique_ptr<ScriptedSeams> seams_;
};

QTEST_MAIN(TestFrmHelp)
#include "test_frmhelp.moc"
