#include "document/run_summary.h"

#include <QtTest>

namespace {
// Sample rows as the sample table keeps them: one a second from `from` to `to` seconds.
struct Rows {
    QList<QByteArray> rows;
    Rows &add(int from, int to, double volts, const QByteArray &amps,
              const QByteArray &cells = "4.20\t4.20\t0", const QByteArray &type = "LiIo/Po/Fe")
    {
        for (int s = from; s <= to; ++s) {
            const QByteArray time = QTime(0, 0).addSecs(s).toString("hh:mm:ss").toLatin1();
            rows << time + '\t' + type + "\t+CHG+\t25\t30\t15.00\t"
                    + QByteArray::number(volts, 'f', 2) + '\t' + amps + "\t100\t0.00\t" + cells;
        }
        return *this;
    }
};
} // namespace

class TestRunSummary : public QObject {
    Q_OBJECT
private slots:
    void figures_data()
    {
        QTest::addColumn<QList<QByteArray>>("rows");
        QTest::addColumn<double>("seconds");
        QTest::addColumn<double>("chargedMah");
        QTest::addColumn<double>("dischargedMah");
        QTest::addColumn<double>("wh");
        QTest::addColumn<double>("averageAmps");
        QTest::addColumn<double>("endVolts");
        QTest::addColumn<double>("milliohm"); // -1: no estimate

        QTest::newRow("2 A for an hour at 12 V") << Rows().add(0, 3600, 12, "2.00").rows << 3600.0
                                                 << 2000.0 << 0.0 << 24.0 << 2.0 << 12.0 << -1.0;
        // Idle samples carry no current; each edge of the gap counts half a second at 2 A.
        QTest::newRow("idle gap") << Rows()
                                         .add(0, 1800, 12, "2.00")
                                         .add(1801, 2400, 12, "")
                                         .add(2401, 4201, 12, "2.00")
                                         .rows
                                  << 4201.0 << 7202 / 3.6 << 0.0 << 12 * 7202 / 3600.0
                                  << 7202 / 4201.0 << 12.0 << -1.0;
        QTest::newRow("discharge") << Rows().add(0, 1800, 12, "-3.00").rows << 1800.0 << 0.0
                                   << 1500.0 << 18.0 << 3.0 << 12.0 << -1.0;
        QTest::newRow("one sample") << Rows().add(5, 5, 12.5, "1.50").rows << 0.0 << 0.0 << 0.0
                                    << 0.0 << 1.5 << 12.5 << -1.0;
        QTest::newRow("past midnight") << Rows().add(86398, 86401, 12, "3.60").rows << 3.0 << 3.0
                                       << 0.0 << 0.036 << 3.6 << 12.0 << -1.0;
        // 0 A, then 1 A a second later with 50 mV more: 50 mΩ.
        QTest::newRow("step from rest")
            << Rows()
                   .add(0, 1, 12.00, "0.00")
                   .add(2, 2, 12.05, "1.00")
                   .add(3, 3, 12.05, "1.00")
                   .rows
            << 3.0 << 1.5 / 3.6 << 0.0 << (6.025 + 12.05) / 3600 << 0.5 << 12.05 << 50.0;
        QTest::newRow("ramp, no step")
            << Rows()
                   .add(0, 0, 12.00, "0.00")
                   .add(1, 1, 12.02, "0.40")
                   .add(2, 2, 12.05, "1.00")
                   .rows
            << 2.0 << 0.9 / 3.6 << 0.0 << (0.2 * 12.02 + (12.02 * 0.4 + 12.05) / 2) / 3600 << 0.45
            << 12.05 << -1.0;
        QTest::newRow("step 3 s apart")
            << Rows().add(0, 0, 12.00, "0.00").add(3, 3, 12.05, "1.00").rows << 3.0 << 1.5 / 3.6
            << 0.0 << 12.05 * 1.5 / 3600 << 0.5 << 12.05 << -1.0;
    }
    void figures()
    {
        QFETCH(QList<QByteArray>, rows);
        RunSummary s;
        for (const QByteArray &row : rows)
            s.add(row);
        QFETCH(double, seconds);
        QFETCH(double, chargedMah);
        QFETCH(double, dischargedMah);
        QFETCH(double, wh);
        QFETCH(double, averageAmps);
        QFETCH(double, endVolts);
        QFETCH(double, milliohm);
        const auto near
            = [](double a, double b) { return std::abs(a - b) < 1e-6 * (1 + std::abs(b)); };
        QCOMPARE(s.seconds(), seconds);
        QVERIFY2(near(s.chargedMah(), chargedMah), qPrintable(QString::number(s.chargedMah())));
        QVERIFY2(near(s.dischargedMah(), dischargedMah),
                 qPrintable(QString::number(s.dischargedMah())));
        QVERIFY2(near(s.chargedWh() + s.dischargedWh(), wh),
                 qPrintable(QString::number(s.chargedWh() + s.dischargedWh())));
        QVERIFY(near(s.averageAmps(), averageAmps));
        QCOMPARE(s.endVolts(), endVolts);
        QCOMPARE(s.resistanceMilliohm().has_value(), milliohm >= 0);
        if (milliohm >= 0)
            QVERIFY(near(*s.resistanceMilliohm(), milliohm));
        // From the first sample to the last, the read-out's differences are the run's totals.
        const RunSummary::Difference d = s.between(0, s.samples() - 1);
        QCOMPARE(d.seconds, seconds);
        QVERIFY(near(d.mAh, chargedMah + dischargedMah));
    }

    void cellSpread_data()
    {
        QTest::addColumn<QList<QByteArray>>("rows");
        QTest::addColumn<double>("volts"); // -1: none
        QTest::addColumn<double>("at");

        QTest::newRow("largest, first seen") << Rows()
                                                    .add(10, 10, 12, "1.00", "3.70\t3.75\t3.72")
                                                    .add(11, 12, 12, "1.00", "3.70\t3.80\t3.72")
                                                    .add(13, 13, 12, "1.00", "3.70\t3.71\t3.72")
                                                    .rows
                                             << 0.1 << 11.0;
        // Two cells with a voltage make the first two count, the 0 V cell among them.
        QTest::newRow("0 V first cell")
            << Rows().add(10, 10, 12, "1.00", "0\t3.70\t3.80").rows << 3.7 << 10.0;
        QTest::newRow("one cell") << Rows().add(10, 10, 12, "1.00", "3.70\t0\t0").rows << -1.0
                                  << 0.0;
        QTest::newRow("not lithium")
            << Rows().add(10, 10, 12, "1.00", "3.70\t3.80\t0", "NiMH").rows << -1.0 << 0.0;
    }
    void cellSpread()
    {
        QFETCH(QList<QByteArray>, rows);
        QFETCH(double, volts);
        QFETCH(double, at);
        RunSummary s;
        for (const QByteArray &row : rows)
            s.add(row);
        const auto spread = s.largestCellSpread();
        QCOMPARE(spread.has_value(), volts >= 0);
        if (spread) {
            QVERIFY(std::abs(spread->volts - volts) < 1e-9);
            QCOMPARE(spread->atSeconds, at);
        }
    }
};

QTEST_GUILESS_MAIN(TestRunSummary)
#include "test_run_summary.moc"
