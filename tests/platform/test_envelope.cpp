#include "platform/decimated_graph.h"

#include <QRandomGenerator>
#include <QtTest>

#include <cmath>

namespace {
// The pixels a line through `points` (x in keys, y in pixels) lights in the view.
QRegion lit(const Envelope::View &view, const QVector<QPointF> &points)
{
    QVector<QPointF> pixels;
    for (const QPointF p : points)
        pixels << QPointF(view.pixel(p.x()), p.y());
    QRegion region;
    for (const QRect &r : columnSpans(pixels, 1))
        region += r;
    return region;
}
} // namespace

class TestEnvelope : public QObject {
    Q_OBJECT
private slots:
    // What a view draws lights the same pixels as every sample drawn: each column spans its
    // samples' least to greatest and joins its neighbours as they do, lines broken where they
    // were.
    void drawnAsEverySample_data()
    {
        QTest::addColumn<int>("samples");
        QTest::addColumn<double>("lower");
        QTest::addColumn<double>("upper");
        QTest::addColumn<QList<int>>("breaks");
        QTest::addColumn<bool>("assigned"); // all at once rather than sample by sample
        QTest::newRow("few") << 7 << 0.0 << 10.0 << QList<int> {} << false;
        QTest::newRow("a day, all")
            << 86'400 << 0.0 << 86'400.0 << QList<int> { 5000, 5001 } << false;
        QTest::newRow("zoomed, uneven")
            << 100'003 << 12'345.6 << 54'321.0 << QList<int> { 30'000 } << false;
        QTest::newRow("zoomed, assigned")
            << 100'003 << 12'345.6 << 54'321.0 << QList<int> {} << true;
    }
    void drawnAsEverySample()
    {
        QFETCH(int, samples);
        QFETCH(double, lower);
        QFETCH(double, upper);
        QFETCH(QList<int>, breaks);
        QFETCH(bool, assigned);
        const Envelope::View view { lower, upper, 37, 641 };
        QRandomGenerator random(samples);
        Envelope e;
        std::vector<double> xs, ys;
        for (int i = 0; i < samples; ++i) {
            if (breaks.contains(i))
                e.breakLine();
            // Two samples a second at times, so that x repeats.
            xs.push_back(i - (i % 3 == 1 ? 1 : 0));
            ys.push_back(random.bounded(300.0) + 0.5);
            if (!assigned)
                e.append(xs.back(), ys.back());
        }
        if (assigned)
            e.assign(xs, ys);
        // Every sample in the view, and one either side where the line leaves it.
        const auto &x = xs;
        const qsizetype from
            = std::max<qsizetype>(0, std::lower_bound(x.begin(), x.end(), lower) - x.begin() - 1);
        const qsizetype to = std::min<qsizetype>(
            samples, std::upper_bound(x.begin(), x.end(), upper) - x.begin() + 1);
        QVector<QPointF> every;
        for (qsizetype i = from; i < to; ++i) {
            if (breaks.contains(int(i)) && i > from)
                every << QPointF(e.x(i - 1), qQNaN());
            every << QPointF(e.x(i), e.y(i));
        }
        const QRegion drawn = lit(view, e.drawn(view));
        QCOMPARE(drawn, lit(view, every));
        for (const QPointF p : every) // every sample on its pixel
            QVERIFY(std::isnan(p.y())
                    || drawn.contains(QPoint(int(std::floor(view.pixel(p.x()))), int(p.y()))));
        QVERIFY(e.drawn(view).size() <= 4 * (view.width + 3) + breaks.size());
    }

    // Curves that share their x's each read as many as they hold, and after a clear take the
    // new ones, whichever curve gets its sample first.
    void sharedKeys()
    {
        const auto keys = std::make_shared<std::vector<double>>();
        Envelope a(keys), b(keys);
        for (double x : { 1.0, 2.0, 3.0 })
            a.append(x, x), b.append(x, -x);
        a.clear(), b.clear();
        b.append(10, 2);
        b.append(11, 3);
        a.append(10, 1);
        const Envelope::View view { 0, 20, 0, 100 };
        QCOMPARE(a.drawn(view), QVector<QPointF>({ { 10, 1 } }));
        QCOMPARE(b.drawn(view), QVector<QPointF>({ { 10, 2 }, { 11, 3 } }));
    }
};

QTEST_GUILESS_MAIN(TestEnvelope)
#include "test_envelope.moc"
