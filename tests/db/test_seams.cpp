// The platform seams: the mouse pointer is one state (never a stack of override cursors),
// scripted services replace the real ones and nullptr puts the real ones back, and the real modal
// display returns when its window goes.
#include "seams.h"
#include "shell/scriptedseams.h"

#include <QApplication>
#include <QPrinter>
#include <QTimer>
#include <QtTest>

class TestSeams : public QObject {
    Q_OBJECT

  private slots:
    void cleanup() {
        seams::setMousePointer(seams::kDefaultPointer);
        QVERIFY(!QApplication::overrideCursor());
    }

    void pointerIsOneState() {
        QCOMPARE(seams::mousePointer(), seams::kDefaultPointer);
        seams::setMousePointer(seams::kHourglass);
        seams::setMousePointer(seams::kHourglass);
        QCOMPARE(seams::mousePointer(), seams::kHourglass);
        QVERIFY(QApplication::overrideCursor());
        QCOMPARE(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
        // Set twice, yet one restore is enough: there is only one override.
        QApplication::restoreOverrideCursor();
        QVERIFY(!QApplication::overrideCursor());
        QApplication::setOverrideCursor(Qt::WaitCursor);  // back to the state the seam believes in

        seams::setMousePointer(seams::kDefaultPointer);
        QCOMPARE(seams::mousePointer(), seams::kDefaultPointer);
        QVERIFY(!QApplication::overrideCursor());
        seams::setMousePointer(seams::kDefaultPointer);
        QVERIFY(!QApplication::overrideCursor());
    }

    // Codes other than the hourglass give the default pointer.
    void otherPointerCodes() {
        seams::setMousePointer(seams::kHourglass);
        seams::setMousePointer(1);
        QCOMPARE(seams::mousePointer(), seams::kDefaultPointer);
        QVERIFY(!QApplication::overrideCursor());
        seams::setMousePointer(99);
        QCOMPARE(seams::mousePointer(), seams::kDefaultPointer);
        QVERIFY(!QApplication::overrideCursor());
    }

    void scriptedServicesAndBack() {
        QWidget parent;
        {
            ScriptedSeams scripted;
            seams::msgBox("Nessun record presente", &parent);
            QCOMPARE(scripted.messages, QStringList{"Nessun record presente"});

            seams::SaveRequest request;
            request.title = "Esporta";
            QVERIFY(!seams::runSaveDialog(&parent, request));
            QPrinter printer;
            QVERIFY(!seams::runPrintDialog(&parent, printer));
            QCOMPARE(scripted.unexpected, (QStringList{"save dialog Esporta", "print dialog"}));

            seams::endProgram();
            seams::endProgram();
            QCOMPARE(scripted.programEnds, 2);

            QWidget window;
            window.setObjectName("finestra");
            bool visible = false;
            scripted.onModal = [&](QWidget* w) { visible = w->isVisible(); };
            seams::runModal(&window);
            QCOMPARE(scripted.modalWindows, QStringList{"finestra"});
            QVERIFY(visible);
            QVERIFY(!window.isVisible());  // the script closed it
        }
        // The scripted object is gone and the real services are back: the real modal display
        // runs (and is ended below) instead of reaching the destroyed script.
        QWidget window;
        QTimer::singleShot(0, &window, [&window] { window.hide(); });
        seams::runModal(&window);
        QVERIFY(!window.isVisible());
    }

    // The real modal display shows the window application-modal and returns when it is hidden,
    // closed or destroyed.
    void realModalDisplay() {
        QWidget hidden;
        bool wasModal = false;
        QTimer::singleShot(0, &hidden, [&] {
            wasModal = QApplication::activeModalWidget() == &hidden || hidden.isModal();
            hidden.close();
        });
        seams::runModal(&hidden);
        QVERIFY(wasModal);
        QVERIFY(!hidden.isVisible());

        QPointer<QWidget> destroyed = new QWidget;
        QTimer::singleShot(0, destroyed, [destroyed] { destroyed->deleteLater(); });
        seams::runModal(destroyed);
        QVERIFY(destroyed.isNull());
    }
};

QTEST_MAIN(TestSeams)
#include "test_seams.moc"
