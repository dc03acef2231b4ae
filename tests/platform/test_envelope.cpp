#include "platform/envelope.h"

#include <QRandomGenerator>
#include <QtTest>

#include <cmath>
#include <map>

namespace {
// Per line (between breaks), per pixel column: its first and last y, least and greatest.
struct Column {
    double first, last, min, max;
    bool operator==(const Column &) const = default;
};
using Lines = std::vector<std::map<double, Column>>;

void add(Lines &lines, double column, double y)
{
    auto [at, added] = lines.back().try_emplace(column, Column { y, y, y, y });
    Column &c = at->second;
    c = { c.first, y, std::min(c.min, y), std::max(c.max, y) };
}
} // namespace

class TestEnvelope : public QObject {
    Q_OBJECT
private slots:
    // What a view draws, against every sample drawn: the same columns, each spanning the same
    // values from the same first to the same last, lines broken where they were.
    void drawnAsEverySample_data()
    {
        QTest::addColumn<int>("samples");
        QTest::addColumn<double>("lower");
        QTest::addColumn<double>("upper");
        QTest::addColumn<QList<int>>("breaks");
        QTest::newRow("few") << 7 << 0.0 << 10.0 << QList<int> {};
        QTest::newRow("a day, all") << 86'400 << 0.0 << 86'400.0 << QList<int> { 5000, 5001 };
        QTest::newRow("zoomed, uneven") << 100'003 << 12'345.6 << 54'321.0 << QList<int> { 30'000 };
    }
    void drawnAsEverySample()
    {
        QFETCH(int, samples);
        QFETCH(double, lower);
        QFETCH(double, upper);
        QFETCH(QList<int>, breaks);
        const Envelope::View view { lower, upper, 37, 641 };
        QRandomGenerator random(samples);
        Envelope e;
        for (int i = 0; i < samples; ++i) {
            if (breaks.contains(i))
                e.breakLine();
            // Two samples a second at times, so that x repeats.
            e.append(i - (i % 3 == 1 ? 1 : 0), random.bounded(1000.0) - 500);
        }
        // Every sample in the view, and one either side where the line leaves it.
        const auto &x = e.xs();
        const qsizetype from
            = std::max<qsizetype>(0, std::lower_bound(x.begin(), x.end(), lower) - x.begin() - 1);
        const qsizetype to = std::min<qsizetype>(
            samples, std::upper_bound(x.begin(), x.end(), upper) - x.begin() + 1);
        Lines expected(1);
        for (qsizetype i = from; i < to; ++i) {
            if (breaks.contains(int(i)) && i > from)
                expected.emplace_back();
            add(expected, std::floor(view.pixel(e.x(i))), e.y(i));
        }
        Lines drawn(1);
        for (const QPointF p : e.drawn(view))
            if (std::isnan(p.y()))
                drawn.emplace_back();
            else
                add(drawn, std::floor(view.pixel(p.x())), p.y());
        QVERIFY(drawn == expected);
        QVERIFY(e.drawn(view).size() <= 4 * (view.width + 3) + breaks.size());
    }
};

QTEST_GUILESS_MAIN(TestEnvelope)
#include "test_envelope.moc"
