// The Gumbel fit of annual maxima, against hand computations.
#include <QtTest>

#include <cmath>

#include "analysis/extremes.h"
#include "analysis/goodness.h"

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

    // Kolmogorov-Smirnov on 10, 20, 30, 40, 50 with the moment fit above: F(x) = exp(−exp(−α(x − u)))
    // at the values is 0.058212, 0.282644, 0.570376, 0.779205, 0.895068 against the Weibull
    // positions 1/6 ... 5/6; the largest gap is at 40: |0.779205 − 0.666667| = 0.112538. The 5 %
    // critical value for N = 5: 1.358 / (√5 + 0.12 + 0.11/√5) = 0.564596.
    void kolmogorovSmirnov() {
        const auto g =
            analysis::fitGumbel(analysis::sampleStats({10, 20, 30, 40, 50}), GumbelMethod::Moments);
        QVERIFY(g);
        const analysis::KolmogorovSmirnov ks = analysis::kolmogorovSmirnov({50, 10, 40, 20, 30}, *g);
        QVERIFY2(std::abs(ks.d - 0.112538) < 1e-6, qPrintable(QString::number(ks.d, 'g', 10)));
        QVERIFY(std::abs(ks.critical - 0.564596) < 1e-6);
        QVERIFY(ks.accepted());
    }

    // χ² on the values 1 to 20: mean 10.5, s² = 665/19 = 35, α = π/(√35·√6) = 0.216790,
    // u = 10.5 − 0.5772157/α = 7.837449. Four classes of equal probability (20/5), bounded where F is
    // 1/4, 1/2, 3/4: x = u − ln(−ln F)/α = 6.3308, 9.5281, 13.5845. Observed 6, 3, 4, 7 against 5
    // each: χ² = (1 + 4 + 1 + 4) / 5 = 2; one degree of freedom (4 − 1 − 2), critical 3.841459.
    // Nineteen values are too few for four classes of five.
    void chiSquare() {
        std::vector<double> values;
        for (int i = 20; i >= 1; --i) {
            values.push_back(i);
        }
        const auto g = analysis::fitGumbel(analysis::sampleStats(values), GumbelMethod::Moments);
        QVERIFY(g);
        QVERIFY(std::abs(g->alpha - 0.216790) < 1e-6);
        QVERIFY(std::abs(g->u - 7.837449) < 1e-6);
        const analysis::ChiSquare chi = analysis::chiSquare(values, *g);
        QVERIFY(chi.applicable);
        QCOMPARE(chi.classes, 4);
        QCOMPARE(chi.degrees, 1);
        QCOMPARE(chi.expected, 5.0);
        QCOMPARE(chi.observed, (std::vector<int>{6, 3, 4, 7}));
        QVERIFY(std::abs(chi.statistic - 2.0) < 1e-12);
        QVERIFY(std::abs(chi.critical - 3.841459) < 1e-6);
        QVERIFY(chi.accepted());
        values.pop_back();
        QVERIFY(!analysis::chiSquare(values, *g).applicable);
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
