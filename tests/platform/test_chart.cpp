#include "platform/chart.h"

#include <qcustomplot.h>

#include <QRegularExpression>
#include <QTest>

class TestChart : public QObject {
    Q_OBJECT
private slots:
    void timeTicks_data() // for labels 60 pixels wide
    {
        QTest::addColumn<double>("range");
        QTest::addColumn<int>("width");
        QTest::addColumn<double>("step");
        QTest::newRow("2 min, wide") << 120.0 << 1000 << 30.0;
        QTest::newRow("2 min, narrow") << 120.0 << 200 << 60.0;
        QTest::newRow("a week") << 7 * 86400.0 << 1000 << 2 * 86400.0;
    }
    void timeTicks()
    {
        QFETCH(double, range);
        QFETCH(int, width);
        QTEST(timeTickStep(range, width, 60), "step");
    }

    void printFillsWidth() // A4 within 1 % margins, in points; a wide chart and a tall one
    {
        for (const auto &[page, screen] : { std::pair(QSizeF(583, 826), QSize(1214, 500)),
                                            std::pair(QSizeF(826, 583), QSize(530, 500)) }) {
            const PrintPlan plan = printPlan(page, screen, 12);
            QVERIFY(plan.target.width() == page.width() && plan.target.height() <= page.height());
            QVERIFY(12 * plan.target.width() / plan.layout.width() >= 8); // points
        }
    }

    void drawnForItsSize()
    {
        Chart chart;
        chart.resize(1400, 420);
        chart.show();
        chart.setSubtitleLine(QString(300, u'x'));
        chart.resize(500, 420);
        // The summary's text, as drawn, ends inside the chart.
        auto *summary = static_cast<QCPTextElement *>(chart.plot()->plotLayout()->element(1, 0));
        QCOMPARE(summary->selectTest(QPointF(-1, summary->rect().center().y()), false), -1);
        const QRect inside
            = chart.plot()->axisRect()->rect(); // the two-point label keeps off the axes
        for (QPoint at : { inside.topLeft(), inside.bottomRight(), inside.topRight() }) {
            chart.showCrossHair(at, QStringLiteral("Δt 0:01:17\nΔV -1.33\nΔA 0.00"));
            auto *label = chart.plot()->findChild<QCPItemText *>();
            QVERIFY(inside.contains(
                QRectF(label->topLeft->pixelPosition(), label->bottomRight->pixelPosition())
                    .toRect()));
        }
        const QRegularExpressionMatch declared // the copy's size is the size on screen
            = QRegularExpression(R"(width="([\d.]+)mm")").match(QString::fromUtf8(chart.toSvg()));
        QCOMPARE(qRound(declared.captured(1).toDouble()), qRound(500 * 25.4 / chart.logicalDpiX()));
    }
};

QTEST_MAIN(TestChart)
#include "test_chart.moc"
