// The platform seams: the mouse pointer is one state (never a stack of override cursors), the
// real message box, and the real modal display, which returns when its window goes.
#include "runtime/seams.h"

#include <QApplication>
#include <QMessageBox>
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

    // The real message box: titled with the program's name, one OK button, and the arrow over it
    // while a window loads under the hourglass; the hourglass comes back after OK.
    void realMessageBox() {
        QCoreApplication::setApplicationName("Altorra");
        seams::setMousePointer(seams::kHourglass);
        QString title;
        QString text;
        int buttons = 0;
        int shape = -1;
        int ticks = 0;
        QTimer watcher;
        connect(&watcher, &QTimer::timeout, this, [&] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                title = box->windowTitle();
                text = box->text();
                buttons = box->buttons().size();
                shape = QApplication::overrideCursor() ? QApplication::overrideCursor()->shape() : -1;
                watcher.stop();
                box->accept();
            } else if (++ticks > 1000) {
                // Never left waiting: close whatever box is there.
                for (QWidget* w : QApplication::topLevelWidgets()) {
                    if (qobject_cast<QMessageBox*>(w)) {
                        w->close();
                    }
                }
            }
        });
        watcher.start(10);
        seams::msgBox("Impossibile trovare il file 'orbeni.mdb'.");
        watcher.stop();
        QCOMPARE(title, QStringLiteral("Altorra"));
        QCOMPARE(text, QStringLiteral("Impossibile trovare il file 'orbeni.mdb'."));
        QCOMPARE(buttons, 1);
        QCOMPARE(shape, int(Qt::ArrowCursor));
        QVERIFY(QApplication::overrideCursor());
        QCOMPARE(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
        QCOMPARE(seams::mousePointer(), seams::kHourglass);
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
