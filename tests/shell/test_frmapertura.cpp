// The main window: caption, size, picture and menu; the menu handlers and the mouse-pointer
// handshake with the windows they open; closing from the frame.
#include "daily/frmaltorra.h"
#include "db/location.h"
#include "intense/frmpioggia.h"
#include "registry/frmanagrafica.h"
#include "shell/artwork.h"
#include "shell/frmapertura.h"
#include "shell/frmhelp.h"
#include "shell/frmsplash.h"
#include "support/scriptedseams.h"

#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using testsupport::ScriptedSeams;

class TestFrmApertura : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() {
        // An empty program folder: the windows opened here find no archive and say so.
        QVERIFY(folder_.isValid());
        db::setProgramFolder(folder_.path());
    }
    void init() { seams_ = std::make_unique<ScriptedSeams>(); }
    void cleanup() {
        testsupport::endScriptedTest(seams_);
        seams::setMousePointer(seams::kDefaultPointer);
    }

    void window() {
        frmApertura main;
        main.load();
        main.show();
        QVERIFY(QTest::qWaitForWindowExposed(&main));
        QCOMPARE(main.windowTitle(), QStringLiteral("Altorra della Regione Sorvane"));
        QCOMPARE(main.objectName(), QStringLiteral("frmApertura"));
        const Qt::WindowFlags flags = main.windowFlags();
        QVERIFY(flags.testFlag(Qt::WindowMinimizeButtonHint));
        QVERIFY(!flags.testFlag(Qt::WindowMaximizeButtonHint));
        QVERIFY(flags.testFlag(Qt::WindowCloseButtonHint));
        QVERIFY(main.minimumSize() != main.maximumSize());  // a sizable border

        // The client area below the menu bar is 11220 x 8310 twips, all of it the picture box.
        const QSize client(runtime::twipsToPixels(11220), runtime::twipsToPixels(8310));
        QCOMPARE(main.Picture1->size(), client);
        QCOMPARE(main.Picture1->pos(), QPoint(0, main.menuBar->height()));
        QCOMPARE(main.size(), QSize(client.width(), client.height() + main.menuBar->height()));
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        QVERIFY((main.frameGeometry().center() - screen.center()).manhattanLength() <= 2);

        // The icon in both sizes.
        const QList<QSize> sizes = main.windowIcon().availableSizes();
        QVERIFY(sizes.contains(QSize(32, 32)));
        QVERIFY(sizes.contains(QSize(16, 16)));
    }

    // The title picture: 746 x 564, 24-bit, drawn at its own size from the top-left corner.
    void titlePicture() {
        const QImage title = shell::titlePicture().toImage();
        QCOMPARE(title.size(), QSize(746, 564));
        QVERIFY(!title.hasAlphaChannel());
        QCOMPARE(QImage(":/altorra/title.png").depth() >= 24, true);

        frmApertura main;
        main.show();
        QVERIFY(QTest::qWaitForWindowExposed(&main));
        const QImage shown = main.Picture1->grab().toImage().convertToFormat(QImage::Format_RGB32);
        const QImage expected = title.convertToFormat(QImage::Format_RGB32);
        const int w = qMin(shown.width(), 746);
        const int h = qMin(shown.height(), 564);
        for (const QPoint& p : {QPoint(0, 0), QPoint(w - 1, 0), QPoint(0, h - 1), QPoint(w - 1, h - 1),
                                QPoint(w / 2, h / 3), QPoint(100, 60)}) {
            QCOMPARE(shown.pixel(p), expected.pixel(p));
        }

        // The client area shows the picture's first 554 rows: the ten below, and a few above them,
        // hold no drawing, each row only the band's plain colour (over the meadow's shading).
        const int clientRows = runtime::twipsToPixels(8310);
        QCOMPARE(clientRows, 554);
        for (int y = clientRows - 4; y < title.height(); ++y) {
            for (int x = 0; x < title.width(); ++x) {
                QVERIFY2(expected.pixel(x, y) == expected.pixel(0, y),
                         qPrintable(QStringLiteral("%1,%2").arg(x).arg(y)));
            }
        }
    }

    void menu() {
        frmApertura main;
        const QList<QAction*> top = main.menuBar->actions();
        QCOMPARE(top.size(), 3);
        QCOMPARE(top[0], main.mnuFile->menuAction());
        QCOMPARE(top[1], main.mnuVisualizza->menuAction());
        QCOMPARE(top[2], main.mnuInformazioni);
        QCOMPARE(main.mnuInformazioni->menu(), nullptr);  // a command, not a sub-menu
        QCOMPARE(main.mnuFile->actions(), QList<QAction*>{main.mnuEsci});
        QCOMPARE(main.mnuVisualizza->actions(),
                 (QList<QAction*>{main.mnuAnagrafica, main.mnuDati_giornalieri, main.mnuPiogge_intense}));

        const QList<std::tuple<QObject*, QString, QString, QKeySequence>> expected = {
            {main.mnuFile, "mnuFile", "&File", QKeySequence(Qt::ALT | Qt::Key_F)},
            {main.mnuEsci, "mnuEsci", "&Esci", QKeySequence(Qt::ALT | Qt::Key_E)},
            {main.mnuVisualizza, "mnuVisualizza", "&Visualizza", QKeySequence(Qt::ALT | Qt::Key_V)},
            {main.mnuAnagrafica, "mnuAnagrafica", "&Anagrafica", QKeySequence(Qt::ALT | Qt::Key_A)},
            {main.mnuDati_giornalieri, "mnuDati_giornalieri", "&Dati giornalieri",
             QKeySequence(Qt::ALT | Qt::Key_D)},
            {main.mnuPiogge_intense, "mnuPiogge_intense", "&Piogge intense",
             QKeySequence(Qt::ALT | Qt::Key_P)},
            {main.mnuInformazioni, "mnuInformazioni", "&Informazioni", QKeySequence(Qt::ALT | Qt::Key_I)},
        };
        for (const auto& [object, name, caption, key] : expected) {
            QCOMPARE(object->objectName(), name);
            const QString text = qobject_cast<QMenu*>(object) ? qobject_cast<QMenu*>(object)->title()
                                                              : qobject_cast<QAction*>(object)->text();
            QCOMPARE(text, caption);
            QCOMPARE(QKeySequence::mnemonic(text), key);
        }
        QCOMPARE(main.findChild<QAction*>("mnuDati_giornalieri"), main.mnuDati_giornalieri);
    }

    // Alt+I on the main window runs the top-level command, after the menu has done its work.
    void accessKeyRunsTheCommand() {
        frmApertura main;
        main.show();
        main.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&main));
        seams_->onModal = [](QWidget*) {};
        QTest::keyClick(&main, Qt::Key_I, Qt::AltModifier);
        QTRY_COMPARE(seams_->modalWindows, QStringList{"frmHelp"});
    }

    // The data windows open under the hourglass, modal or modeless as each should be.
    void dataWindows() {
        frmApertura main;
        main.show();
        QString shownType;
        seams_->onModal = [&](QWidget* window) {
            if (dynamic_cast<frmAltorra*>(window)) {
                shownType = "frmAltorra";
            } else if (dynamic_cast<frmPioggia*>(window)) {
                shownType = "frmPioggia";
            } else {
                shownType = "other";
            }
        };
        main.mnuDati_giornalieri_Click();
        QCOMPARE(shownType, QStringLiteral("frmAltorra"));
        main.mnuPiogge_intense_Click();
        QCOMPARE(shownType, QStringLiteral("frmPioggia"));
        QCOMPARE(seams_->pointerAtModal, (QList<int>{seams::kHourglass, seams::kHourglass}));
        // Once the modal form has closed no hourglass is left, whatever the form did.
        QCOMPARE(seams::mousePointer(), seams::kDefaultPointer);
        QVERIFY(!QApplication::overrideCursor());

        // The registry is modeless: no modal display, the main window stays usable beside it. It
        // loads under the hourglass, and its activation puts the default pointer back.
        main.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&main));
        main.mnuAnagrafica_Click();
        frmAnagrafica* registry = runtime::Forms::find<frmAnagrafica>();
        QVERIFY(registry);
        QVERIFY(registry->isVisible());
        QVERIFY(!registry->isModal());
        QCOMPARE(seams_->modalWindows.size(), 2);
        QVERIFY(main.isEnabled());
        QTRY_COMPARE(seams::mousePointer(), seams::kDefaultPointer);
        QVERIFY(!QApplication::overrideCursor());

        // Chosen again from the main window: the same window comes to the front, no second one,
        // and again no hourglass is left once it is active.
        main.activateWindow();
        QTRY_VERIFY(main.isActiveWindow());
        main.mnuAnagrafica_Click();
        QCOMPARE(runtime::Forms::find<frmAnagrafica>(), registry);
        QTRY_VERIFY(registry->isActiveWindow());
        QTRY_COMPARE(seams::mousePointer(), seams::kDefaultPointer);
        int registries = 0;
        for (QWidget* w : QApplication::topLevelWidgets()) {
            registries += dynamic_cast<frmAnagrafica*>(w) && w->isVisible() ? 1 : 0;
        }
        QCOMPARE(registries, 1);
        QVERIFY(!QApplication::overrideCursor());
    }

    // "&Informazioni" and "&Esci" never show the hourglass.
    void informationAndExitKeepThePointer() {
        frmApertura main;
        main.show();
        QStringList shown;
        seams_->onModal = [&](QWidget* window) {
            shown.append(window->objectName());
            if (QApplication::overrideCursor()) {
                shown.append("override cursor");
            }
        };
        main.mnuInformazioni_Click();
        main.mnuEsci_Click();
        QCOMPARE(shown, (QStringList{"frmHelp", "frmSplash"}));
        QCOMPARE(seams_->pointerAtModal, (QList<int>{seams::kDefaultPointer, seams::kDefaultPointer}));
        QCOMPARE(seams::mousePointer(), seams::kDefaultPointer);
        QVERIFY(!QApplication::overrideCursor());
        QCOMPARE(seams_->programEnds, 0);
    }

    // Closing the main window from its frame: no closing screen, and the registry goes with it.
    void closingFromTheFrame() {
        auto* main = new frmApertura();
        main->show();
        main->mnuAnagrafica_Click();
        QPointer<frmAnagrafica> registry = runtime::Forms::find<frmAnagrafica>();
        QVERIFY(registry);
        QPointer<frmApertura> guard(main);
        QVERIFY(main->close());
        QVERIFY(seams_->modalWindows.isEmpty());
        QCOMPARE(seams_->programEnds, 0);
        QVERIFY(!registry || registry->isUnloaded());
        QCOMPARE(runtime::Forms::find<frmAnagrafica>(), nullptr);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(guard.isNull());
        seams::setMousePointer(seams::kDefaultPointer);
    }

  private:
    QTemporaryDir folder_;
    std::unique_ptr<ScriptedSeams> seams_;
};

QTEST_MAIN(TestFrmApertura)
#include "test_frmapertura.moc"
