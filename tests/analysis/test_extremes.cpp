// The Gumbel fit of annual maxima, against hand computations.
#include <QtTest>

#include <cmath>

#include "analysis/extremes.h"

using analysis::GumbelMethod;

class TestExtremes : public QObject {
    Q_OBJECT

  private slots:
    // 10, 20, 30, 40, 50: mean 30, s = sqrt(1000 / 4) = 15.8114; probability-weighted moment
    // b1 = (0·10 + 1/4·20 + 2/4·30 + 3/4·40 + 1·50) / 5 = 20, so λ2 = 2·20 − 30 = 10.
    // Moments: α = π / (15.8114·√6) = 0.081116, u = 30 − 0.5772157 / α = 22.8840.
    // L-moments: α = ln 2 / 10 = 0.0693147, u = 30 − 0.5772157 / α = 21.6725.
    void handComputed_data() {
        QTest::addColumn<int>("method");
        QTest::addColumn<double>("alpha");
        QTest::addColumn<double>("u");
        QTest::addColumn<double>("h100");
        // h(100) = u − ln(−ln 0.99) / α, ln(−ln 0.99) = −4.600149.
        QTest::newRow("momenti") << int(GumbelMethod::Moments) << 0.0811160 << 22.8840
                                 << 22.8840 + 4.600149 / 0.0811160;
        QTest::newRow("lmomenti") << int(GumbelMethod::LMoments) << 0.0693147 << 21.6725
                                  << 21.6725 + 4.600149 / 0.0693147;
    }
    void handComputed() {
        QFETCH(int, method);
        QFETCH(double, alpha);
        QFETCH(double, u);
        QFETCH(double, h100);
        const analysis::SampleStats s = analysis::sampleStats({40, 10, 50, 30, 20});
        QCOMPARE(s.count, 5);
        QCOMPARE(s.mean, 30.0);
        QVERIFY(std::abs(s.sd - 15.8114) < 1e-4);
        QVERIFY(std::abs(s.lambda2 - 10.0) < 1e-12);
        const auto g = analysis::fitGumbel(s, GumbelMethod(method));
        QVERIFY(g);
        QVERIFY2(std::abs(g->alpha - alpha) < 1e-6, qPrintable(QString::number(g->alpha, 'g', 10)));
        QVERIFY2(std::abs(g->u - u) < 1e-4, qPrintable(QString::number(g->u, 'g', 10)));
        QVERIFY(std::abs(analysis::gumbelQuantile(*g, 100) - h100) < 1e-3);
        // At the mode F = exp(−1); one scale above it exp(−exp(−1)).
        QVERIFY(std::abs(analysis::gumbelCdf(*g, g->u) - 0.3678794) < 1e-7);
        QVERIFY(std::abs(analysis::gumbelCdf(*g, g->u + 1 / g->alpha) - 0.6922006) < 1e-7);
    }

    // Equal values and single values have no spread: no fit, never a division by zero.
    void noSpread() {
        for (const std::vector<double>& values :
             {std::vector<double>{}, std::vector<double>{12.5}, std::vector<double>{7, 7, 7, 7, 7}}) {
            const analysis::SampleStats s = analysis::sampleStats(values);
            QVERIFY(!analysis::fitGumbel(s, GumbelMethod::Moments));
            QVERIFY(!analysis::fitGumbel(s, GumbelMethod::LMoments));
            QVERIFY(!std::isnan(s.sd));
        }
    }
};

QTEST_APPLESS_MAIN(TestExtremes)
#include "test_extremes.moc"
