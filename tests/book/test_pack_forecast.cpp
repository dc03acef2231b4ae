#include "book/pack_forecast.h"

#include <QtTest>
#include <random>

namespace {
// A pack of 2200 mAh that loses a fifth by cycle 300, discharged in full every `every` cycles
// from the first, `n` times, read with `noise` mAh of scatter.
std::vector<PackForecast::Point> fading(int n, double every, double noise, unsigned seed)
{
    std::mt19937 random(seed);
    std::normal_distribution<double> scatter(0, noise);
    std::vector<PackForecast::Point> points;
    const QDateTime start(QDate(2026, 1, 1), QTime(12, 0));
    for (int i = 0; i < n; ++i) {
        const double cycles = i * every;
        points.push_back({ cycles, 2200 * (1 - 0.2 * cycles / 300) + scatter(random),
                           start.addDays(qint64(cycles)) });
    }
    return points;
}
} // namespace

class TestPackForecast : public QObject {
    Q_OBJECT
private slots:
    // Over fixed seeds the 80 % interval holds the true crossing about 80 times in 100: fewer
    // would be overconfident, more uselessly wide.
    void intervalHoldsTheTrueCrossing()
    {
        QCOMPARE(qRound(studentT(0.8, 3) * 1000), 1638);
        QCOMPARE(qRound(studentT(0.8, 10) * 1000), 1372);
        int held = 0;
        for (unsigned seed = 1; seed <= 100; ++seed) {
            const PackForecast f = PackForecast::of(fading(8, 15, 25, seed));
            QVERIFY2(f.refusal.isEmpty(), qPrintable(f.refusal));
            QVERIFY(*f.low < *f.cycles && *f.cycles < *f.high);
            held += *f.low <= 300 && 300 <= *f.high;
        }
        QVERIFY2(held >= 70 && held <= 90, qPrintable(QString::number(held)));
        const PackForecast f = PackForecast::of(fading(8, 15, 0, 1));
        QCOMPARE(qRound(*f.cycles), 300);
        QCOMPARE(f.date.date(), QDate(2026, 10, 28)); // a cycle a day
        QVERIFY(!f.farBeyond && PackForecast::of(fading(6, 8, 0, 1)).farBeyond);
    }
    void refusals_data()
    {
        QTest::addColumn<int>("n");
        QTest::addColumn<double>("every");
        QTest::addColumn<double>("noise");
        QTest::addColumn<QString>("refusal");
        QTest::newRow("four discharges") << 4 << 30.0 << 0.0 << "4 of the 5 full discharges needed";
        QTest::newRow("too little drop") << 6 << 2.0 << 0.0 << "a tenth of the way to 80 %";
        QTest::newRow("lost in scatter") << 5 << 10.0 << 120.0 << "not yet clear of the scatter";
    }
    void refusals()
    {
        QFETCH(int, n);
        QFETCH(double, every);
        QFETCH(double, noise);
        QFETCH(QString, refusal);
        const PackForecast f = PackForecast::of(fading(n, every, noise, 4));
        QVERIFY2(f.refusal.contains(refusal) && f.text() == f.refusal && !f.cycles,
                 qPrintable(f.refusal));
    }
};

QTEST_GUILESS_MAIN(TestPackForecast)
#include "test_pack_forecast.moc"
