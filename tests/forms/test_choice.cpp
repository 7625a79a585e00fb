// The list-choice rules the selection forms share.
#include "forms/choice.h"

#include <QtTest>

class TestChoice : public QObject {
    Q_OBJECT
  private slots:
    // Blanks only, at both ends: tabs and blanks inside stay.
    void trimmingTouchesBlanksOnly_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("trimmed");
        QTest::newRow("blanks around") << QStringLiteral("  a b  ") << QStringLiteral("a b");
        QTest::newRow("blanks only") << QStringLiteral("    ") << QString();
        QTest::newRow("tabs kept") << QStringLiteral("\ta\t") << QStringLiteral("\ta\t");
    }
    void trimmingTouchesBlanksOnly() {
        QFETCH(QString, text);
        QFETCH(QString, trimmed);
        QCOMPARE(forms::trimBlanks(text), trimmed);
    }
};

QTEST_GUILESS_MAIN(TestChoice)
#include "test_choice.moc"
