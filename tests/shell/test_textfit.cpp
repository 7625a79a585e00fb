// Every text of every window shows whole whatever the desktop's font size: each label, button,
// box, list entry, tab and grid caption measured in the type the control draws with, against the
// rectangle it draws in, with the application's font at 9, 10, 11 and 12 points as a desktop
// (its platform theme or qt6ct) sets it.
#include "forms/formkit.h"
#include "shell/everywindow.h"
#include "shell/textfit.h"

#include <QApplication>
#include <QtTest>

class TestTextFit : public QObject {
    Q_OBJECT

    QFont desktop_;

  private slots:
    void initTestCase() { desktop_ = QApplication::font(); }
    void cleanup() { QApplication::setFont(desktop_); }

    void textsShowWhole_data() {
        QTest::addColumn<int>("points");
        QTest::addColumn<int>("window");
        const QList<windowtest::Opening> windows = windowtest::everyWindow();
        for (int points : {9, 10, 11, 12}) {
            for (int i = 0; i < windows.size(); ++i) {
                QTest::addRow("%s %d pt", qPrintable(windows[i].name), points) << points << i;
            }
        }
    }
    void textsShowWhole() {
        QFETCH(int, points);
        QFETCH(int, window);
        QFont font = desktop_;
        font.setPointSize(points);
        QApplication::setFont(font);
        windowtest::Archive archive;
        QVERIFY2(archive.isValid(), qPrintable(archive.error()));
        const windowtest::Opening opening = windowtest::everyWindow().at(window);
        QWidget* shown = opening.open();
        QVERIFY2(shown, qPrintable(opening.name));
        QCOMPARE(shown->objectName(), opening.name);
        const QStringList cut = windowtest::cutTexts(shown);
        QVERIFY2(cut.isEmpty(), qPrintable(cut.join(QLatin1Char('\n'))));
        // The windows keep the type their layout is made for.
        QCOMPARE(shown->font().pointSize(), forms::formFont().pointSize());
        QVERIFY2(archive.seams().messages.isEmpty(),
                 qPrintable(archive.seams().messages.join(QLatin1Char('\n'))));
    }
};

QTEST_MAIN(TestTextFit)
#include "test_textfit.moc"
