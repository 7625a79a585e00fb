// The closing screen: the timer, a click on the background or on the picture end the program
// (through a scripted program end); a click on a label does nothing; a character key closes the
// screen and returns; a second showing is a fresh screen with a fresh timer.
#include "shell/frmapertura.h"
#include "shell/frmsplash.h"
#include "support/scriptedseams.h"

#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QScreen>
#include <QTimer>
#include <QtTest>

#include <memory>

using testsupport::ScriptedSeams;

class TestFrmSplash : public QObject {
    Q_OBJECT

  private slots:
    void init() { seams_ = std::make_unique<ScriptedSeams>(); }
    void cleanup() { testsupport::endScriptedTest(seams_); }

    void layout() {
        frmSplash* splash = showSplash();
        QVERIFY(splash->windowFlags().testFlag(Qt::FramelessWindowHint));
        QCOMPARE(splash->windowFlags() & Qt::WindowType_Mask, Qt::Tool);  // no taskbar entry
        QCOMPARE(splash->size(), QSize(runtime::twipsToPixels(9075), runtime::twipsToPixels(6570)));
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        QVERIFY((splash->frameGeometry().center() - screen.center()).manhattanLength() <= 2);

        QCOMPARE(splash->Frame1->geometry(), runtime::twipsRect(0, -120, 9165, 6660));
        QCOMPARE(splash->Frame1->palette().color(QPalette::Window), QColor(192, 192, 192));
        QCOMPARE(splash->imgLogo->parentWidget(), splash->Frame1);
        QCOMPARE(splash->imgLogo->geometry(), runtime::twipsRect(120, 240, 3270, 2475));
        QVERIFY(splash->imgLogo->hasScaledContents());
        QCOMPARE(splash->imgLogo->pixmap().size(), QSize(746, 564));

        QCOMPARE(splash->labels.size(), 13);
        for (QLabel* label : splash->labels) {
            QVERIFY(!label->text().isEmpty());
            QCOMPARE(label->parentWidget(), splash->Frame1);
            // Every line is inside the window and clear of the picture.
            QVERIFY(splash->rect().contains(label->geometry().translated(splash->Frame1->pos())));
            QVERIFY(!label->geometry().intersects(splash->imgLogo->geometry()));
            // The whole text fits, and no line covers another.
            QVERIFY2(label->heightForWidth(label->width()) <= label->height(), qPrintable(label->text()));
            for (QLabel* other : splash->labels) {
                QVERIFY(other == label || !other->geometry().intersects(label->geometry()));
            }
        }
        QCOMPARE(splash->Timer1->interval(), 10000);
        QVERIFY(splash->Timer1->isActive());
        QCOMPARE(seams_->programEnds, 0);
    }

    // Ten seconds after showing, never sooner (a coarse timer once fired at 9.62 s); the clock is the
    // test's own, so no real time passes.
    void timerEndsTheProgram() {
        qint64 now = 5000;
        const auto realClock = frmSplash::clock;
        frmSplash::clock = [&now] { return now; };
        frmSplash* splash = showSplash();
        QCOMPARE(splash->Timer1->timerType(), Qt::PreciseTimer);
        now += 9620;
        QMetaObject::invokeMethod(splash->Timer1, "timeout");
        QCOMPARE(seams_->programEnds, 0);
        QVERIFY(splash->Timer1->isActive());
        QCOMPARE(splash->Timer1->interval(), 380);
        now += 380;
        QMetaObject::invokeMethod(splash->Timer1, "timeout");
        frmSplash::clock = realClock;
        QCOMPARE(seams_->programEnds, 1);
    }

    void clicks() {
        frmSplash* splash = showSplash();
        QWindow* window = splash->windowHandle();
        QVERIFY(window);

        // On every label: nothing.
        for (QLabel* label : splash->labels) {
            QTest::mouseClick(window, Qt::LeftButton, {}, label->mapTo(splash, label->rect().center()));
        }
        QCOMPARE(seams_->programEnds, 0);
        QVERIFY(splash->isVisible());

        // The right button is no click.
        QTest::mouseClick(window, Qt::RightButton, {}, freeSpot(splash));
        QCOMPARE(seams_->programEnds, 0);

        // Pressed on a label and released on the background: no click either.
        QLabel* first = splash->labels.first();
        QTest::mousePress(window, Qt::LeftButton, {}, first->mapTo(splash, first->rect().center()));
        QTest::mouseRelease(window, Qt::LeftButton, {}, freeSpot(splash));
        QCOMPARE(seams_->programEnds, 0);

        // The background between the labels.
        QTest::mouseClick(window, Qt::LeftButton, {}, freeSpot(splash));
        QCOMPARE(seams_->programEnds, 1);

        // The picture.
        QTest::mouseClick(window, Qt::LeftButton, {}, splash->imgLogo->mapTo(splash, QPoint(10, 10)));
        QCOMPARE(seams_->programEnds, 2);
    }

    void keys() {
        QPointer<frmSplash> splash = showSplash();
        // Keys that give no character leave the screen alone.
        QTest::keyClick(splash, Qt::Key_Left);
        QTest::keyClick(splash, Qt::Key_Shift);
        QTest::keyClick(splash, Qt::Key_F5);
        QVERIFY(!splash->isUnloaded());

        // A character key reaches the screen whichever control it is sent to.
        QTest::keyClick(splash->labels.at(3), Qt::Key_X);
        QVERIFY(splash->isUnloaded());
        QVERIFY(!splash->isVisible());
        QCOMPARE(runtime::Forms::find<frmSplash>(), nullptr);
        QCOMPARE(seams_->programEnds, 0);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(splash.isNull());  // its timer went with it
    }

    // From the main window: "&Esci" shows the screen modal with the pointer unchanged; a key
    // returns to a working main window; the next "&Esci" shows a fresh screen.
    void fromTheMainWindow() {
        frmApertura main;
        main.show();
        QPointer<frmSplash> first;
        QPointer<frmSplash> second;
        bool secondTimerRunning = false;
        seams_->closeAfterModal = false;
        seams_->onModal = [&](QWidget* window) {
            auto* splash = qobject_cast<frmSplash*>(window);
            if (seams_->modalWindows.size() == 1) {
                first = splash;
            } else {
                second = splash;
                secondTimerRunning = splash && splash->Timer1->isActive();
            }
            if (splash) {
                QTest::keyClick(splash, Qt::Key_Escape);  // Esc gives a character too
            }
        };
        main.mnuEsci_Click();
        QVERIFY(first);
        QVERIFY(first->isUnloaded());
        QCOMPARE(seams_->pointerAtModal, QList<int>{seams::kDefaultPointer});
        QVERIFY(!QApplication::overrideCursor());
        QVERIFY(main.isVisible());

        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(first.isNull());
        main.mnuEsci_Click();
        QVERIFY(second);
        QVERIFY(secondTimerRunning);
        QCOMPARE(seams_->modalWindows, (QStringList{"frmSplash", "frmSplash"}));
        QCOMPARE(seams_->programEnds, 0);
    }

  private:
    frmSplash* showSplash() {
        frmSplash* splash = runtime::Forms::show<frmSplash>(runtime::Modality::Modeless);
        if (splash && !QTest::qWaitForWindowExposed(splash)) {
            qWarning("the closing screen was not exposed");
        }
        return splash;
    }

    // A point of the frame where neither the picture nor a label lies.
    static QPoint freeSpot(frmSplash* splash) {
        for (int y = splash->height() - 4; y > 0; y -= 3) {
            for (int x = splash->width() - 4; x > 0; x -= 7) {
                const QPoint p(x, y);
                if (splash->childAt(p) == splash->Frame1) {
                    return p;
                }
            }
        }
        return QPoint(-1, -1);
    }

    std::unique_ptr<ScriptedSeams> seams_;
};

QTEST_MAIN(TestFrmSplash)
#include "test_frmsplash.moc"
