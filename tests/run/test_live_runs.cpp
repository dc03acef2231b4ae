#include "platform/core/background.h"
#include "run/live_runs.h"
#include "run/run.h"
#include "run/run_journal.h"
#include "run/run_summary.h"
#include "run/samples.h"
#include "support/fake_clock.h"
#include "support/hub_follower.h"
#include "support/readings.h"
#include "support/spans.h"

#include <QtTest>

namespace {
RunSummary summaryOf(const QList<Span> &spans)
{
    RunSummary s;
    for (const ChannelReading &r : readingsOf(spans))
        s.add(r);
    return s;
}
} // namespace

// The run core on its own, as a program without a display uses it.
class TestLiveRuns : public QObject {
    Q_OBJECT
    static bool near(double a, double b) { return std::abs(a - b) < 1e-6 * (1 + std::abs(b)); }

private slots:
    // A watched station's samples keep their times: a gap stays in the run, a second recorded
    // already is skipped, a time that goes back ends the run.
    void relayed()
    {
        FakeClock clock;
        Run run("pit-2 CH1 Chart 1", clock);
        run.goLive(1, {});
        QString fates;
        for (int s : { 1, 2, 2, 30, 5 }) {
            ChannelReading r = reading(100 + s);
            r[Time] = DayTime { s / 86400.0 };
            fates += "RSE"[int(run.relay(r))];
        }
        QCOMPARE(fates, "RRSRE");
        QCOMPARE(run.samples().text(2, Time), "00:00:30");
    }

    // Two runs of channel 1, followed as a logger would, journalled (synced in a silence too)
    // and saved.
    void runsOfAChannel()
    {
        FakeClock clock(QDateTime(QDate(2026, 12, 6), QTime(23, 59, 57, 500)));
        QTemporaryDir journals;
        Background work;
        RunHub hub;
        LiveRuns runs(hub, clock, { journals.path(), &work });
        HubFollower follower(hub);
        QStringList &events = follower.events;
        std::shared_ptr<Run> first;
        connect(&hub, &RunHub::runStarted, this,
                [&](const auto &run) { first = first ? first : run; });
        connect(&runs, &LiveRuns::message, this, [&](const QString &m) { events << m; });
        connect(&runs, &LiveRuns::linkLost, this, [&] { events << "lost"; });
        const auto feed = [&](double seconds, ChannelReading r) {
            clock.advanceSeconds(seconds);
            runs.Reading_Proc(1, r);
        };

        ChannelReading noise = reading(100);
        noise[Bat_volt] = Fixed::fromHundredths(5200);
        feed(0.4, reading(100)); // the first second of the run: no row
        feed(0.6, reading(100)); // past midnight, times from the start of the run
        feed(1, noise); // no charger reads 52 V
        feed(0.3, reading(101));
        work.finish();
        const int synced = runs.run(1)->journal()->syncs();
        clock.advanceSeconds(6); // the charger silent: its last sample is synced all the same
        work.finish();
        QCOMPARE(runs.run(1)->journal()->syncs(), synced + 1);
        ChannelReading discharging = reading(1234, 4, -Fixed::fromHundredths(155));
        discharging[Bat_volt] = Fixed::fromDouble(16.805);
        feed(1, discharging); // 7 s on: no silence yet
        QVERIFY(QDir(journals.path()).entryList(QDir::Files).size() >= 1);
        feed(8, reading(1300)); // after a silence: the run ends, the sample with it
        for (int cap : { 1300, 1300, 1299 }) // a new run, until its capacity falls
            feed(1, reading(cap));
        runs.setLamp(LinkHost::Lamp::Connection, true);
        for (int cap : { 1299, 1299 })
            feed(1, reading(cap));
        runs.EndLiveDoc(1); // the charger says the channel is idle
        for (int cap : { 1300, 1300 })
            feed(1, reading(cap));
        const auto lose = [&] {
            runs.setLamp(LinkHost::Lamp::Connection, false);
            runs.EndLiveDoc(1); // after the port went silent: the run waits for the charger
        };
        lose();
        feed(30, reading(1310)); // back with the same run: the gap stays in it
        lose();
        for (int cap : { 1200, 1201 }) // back counting from another capacity: another run
            feed(5, reading(cap));
        lose();
        clock.advanceSeconds(59);
        QVERIFY(runs.run(1));
        clock.advanceSeconds(1);

        QStringList want;
        const auto run = [&](int n, const QStringList &rows, const char *why) {
            const QString name = QString("CH1 Chart %1").arg(n);
            want << "started " + name << "Communication connected.Now receive data from charger.";
            for (const QString &row : rows)
                want << (row == "lost" ? QStringList { row,
                                                       "CH1: the charger is lost: its run "
                                                       "ends unless it is back within 60 s." }
                                       : QStringList { name + ": " + row });
            want << "CH1 Completed. You can save it now."
                 << QString("ended %1 %2 %3")
                        .arg(name)
                        .arg(rows.size() - rows.count("lost"))
                        .arg(why);
        };
        run(1, { "00:00:01 100", "00:00:02 101", "00:00:09 1234" }, "interrupted");
        run(2, { "00:00:01 1300" }, "interrupted");
        run(3, { "00:00:01 1299" }, "finished");
        run(4, { "00:00:01 1300", "lost", "00:00:31 1310", "lost" }, "link lost");
        run(5, { "00:00:05 1201", "lost" }, "link lost");
        QCOMPARE(events, want);
        QVERIFY(!runs.run(1) && !first->isLive());
        QVERIFY(first->title().startsWith("LiIo/Po/Fe/+CHG+  S4  @CH1  ")
                && first->title().endsWith("23:59:58\r\n"));
        // Kept as the table shows and a save writes them: times of day, voltages to the hundredth.
        QStringList last;
        for (int field = 0; field < 11; ++field)
            last << first->samples().text(2, field);
        QCOMPARE(last.join(' '),
                 "00:00:09 LiIo/Po/Fe +CHG+ 25 0 12.00 16.81 -1.55 1234 33.60 4.20");
        first.reset(); // the last of the run: its journal goes with it
        QCOMPARE(QDir(journals.path()).entryList({ "*.journal*" }, QDir::Files), QStringList());
    }

    void figures()
    {
        // seconds, charged mAh, discharged mAh, Wh, average A, end V
        const auto row = [](const char *run, const QList<Span> &spans, QList<double> figures) {
            const RunSummary s = summaryOf(spans);
            const auto got = QList<double>({ s.seconds(), s.chargedMah(), s.dischargedMah(),
                                             s.chargedWh() + s.dischargedWh(), s.averageAmps(),
                                             s.endVolts() });
            for (int i = 0; i < figures.size(); ++i)
                QVERIFY2(near(got[i], figures[i]),
                         qPrintable(QString::asprintf("%s: figure %d is %g", run, i, got[i])));
            // From the first sample to the last, the read-out's differences are the run's totals.
            const RunSummary::Difference d = s.between(Samples(), 0, s.samples() - 1);
            QVERIFY2(d.seconds == figures[0] && near(d.mAh, figures[1] + figures[2]), run);
        };
        row("2 A for an hour at 12 V", { { 0, 3600, 12, 2 } }, { 3600, 2000, 0, 24, 2, 12 });
        // Idle samples carry no current; each edge of the gap counts half a second at 2 A.
        row("idle gap", { { 0, 1800, 12, 2 }, { 1801, 2400, 12, {} }, { 2401, 4201, 12, 2 } },
            { 4201, 7202 / 3.6, 0, 12 * 7202 / 3600.0, 7202 / 4201.0, 12 });
        row("discharge", { { 0, 1800, 12, -3 } }, { 1800, 0, 1500, 18, 3, 12 });
        row("one sample", { { 5, 5, 12.5, 1.5 } }, { 0, 0, 0, 0, 1.5, 12.5 });
        row("past midnight", { { 86398, 86401, 12, 3.6 } }, { 3, 3, 0, 0.036, 3.6, 12 });
    }

    // A step after a plateau of 10 s: (U2 - U1) / (I2 - I1) over the samples after it (up to
    // 10 s) and as many of the plateau's last, ± from half of 0.01 V and 0.01 A each level, per
    // cell too; shown within a quarter of the figure, a shown one beating a refused one.
    void resistance_data()
    {
        QTest::addColumn<QList<Span>>("spans");
        QTest::addColumn<double>("rated"); // mAh, 0: unknown
        QTest::addColumn<QString>("figure"); // the summary line's, then the cells'
        const QString rest = "4.00 3.90 3.80", up = "4.10 3.93 3.80"; // each cell against its own
        // 0 A to 2 A with 100 mV more: 50 mΩ ± 5.25 (10.5 %); the second cell's 15 ± 5 is not
        // shown.
        QTest::newRow("from rest")
            << QList<Span> { { 0, 10, 12, 0, rest }, { 11, 20, 12.1, 2, up } } << 0.0
            << "R estimate, 0.00 A → 2.00 A step over 10 s 50 ± 5 mΩ | 50 - -";
        // Readings that differ each level average their roundings away: (2 × 0.005 / √10 + 0.05 ×
        // 0.01) / 2.
        QTest::newRow("averaged") << QList<Span> {
            { 0, 5, 12, 0 }, { 6, 10, 12.01, 0 }, { 11, 15, 12.1, 2 }, { 16, 20, 12.11, 2 }
        } << 0.0 << "R estimate, 0.00 A → 2.00 A step over 10 s 50 ± 2 mΩ | - -";
        QTest::newRow("step too small")
            << QList<Span> { { 0, 10, 12, 0 }, { 11, 20, 12.04, 1 } } << 0.0
            << "step too small: 1.0 A gives ± 26 % for a pack of 40 mΩ | - -";
        // 0.2 C then 1 C of a 2200 mAh pack for 2 s, discharging: 100 mV / 1.76 A.
        const QList<Span> iec { { 0, 10, 12, -0.44, rest }, { 11, 12, 11.9, -2.2, rest } };
        QTest::newRow("IEC levels")
            << iec << 2200.0 << "DCIR 57 ± 6 mΩ at 0.2C → 1C over 2 s | - - -";
        // From rest the first step is refused (45 ± 24), the one after 0.2 C is shown: 90 mV / 1.76
        // A.
        QTest::newRow("IEC after rest")
            << QList<Span> { { 0, 10, 12.1, 0 }, { 11, 30, 12.08, -0.44 }, { 31, 40, 11.99, -2.2 } }
            << 2200.0 << "DCIR 51 ± 6 mΩ at 0.2C → 1C over 10 s | - -";
        QTest::newRow("another pack's C")
            << iec << 1000.0 << "R estimate, -0.44 A → -2.20 A step over 2 s 57 ± 6 mΩ | - - -";
        QTest::newRow("plateau of 9 s")
            << QList<Span> { { 1, 10, 12, 0 }, { 11, 20, 12.1, 2 } } << 0.0 << "";
        QTest::newRow("voltage still")
            << QList<Span> { { 0, 10, 12, 0 }, { 11, 20, 12, 2 } } << 0.0 << "";
        QTest::newRow("step 3 s on")
            << QList<Span> { { 0, 10, 12, 0 }, { 13, 20, 12.1, 2 } } << 0.0 << "";
        QTest::newRow("first step wins")
            << QList<Span> { { 0, 10, 12, 0 }, { 11, 30, 12.1, 1 }, { 31, 40, 12.3, 2 } } << 0.0
            << "R estimate, 0.00 A → 1.00 A step over 10 s 100 ± 11 mΩ | - -";
    }
    void resistance()
    {
        QFETCH(QList<Span>, spans);
        QFETCH(double, rated);
        const auto mAh = rated ? std::optional(rated) : std::nullopt;
        const RunSummary s = summaryOf(spans);
        const auto &r = s.resistance();
        QString got;
        if (r) {
            QStringList cells;
            for (const auto &c : r->cells)
                cells << (c ? QString::number(*c) : "-");
            got = r->text(mAh) + " | " + cells.join(' ');
            QVERIFY(s.line(mAh).endsWith(r->text(mAh)));
        }
        QTEST(got, "figure");
    }

    // The change to constant voltage after the last sample at the charge's current: the share of
    // the charge after it and the seconds to the charge's last sample. 2 A to 1500 s, 1 A to
    // 2500 s: 999 A·s of 3000 + 1.5 + 999.
    void constantVoltage_data()
    {
        QTest::addColumn<QList<Span>>("spans");
        QTest::addColumn<QString>("figures");
        const QString share = QString::number(999 / 4000.5, 'f', 4);
        const Span cc { 0, 1500, 12.2, 2 }, cv { 1501, 2500, 12.6, 1 };
        QTest::newRow("charge") << QList<Span> { cc, cv, { 2501, 2600, 12.5, {} } }
                                << share + " 999";
        // 1200 + 1.5 + 9 + 1.5 + 1778 + 1.5 + 999 A·s: the dip is no change.
        QTest::newRow("dip and back")
            << QList<Span> { { 0, 600, 12, 2 }, { 601, 610, 12, 1 }, { 611, 1500, 12.2, 2 }, cv }
            << QString::number(999 / 3990.5, 'f', 4) + " 999";
        QTest::newRow("then discharged")
            << QList<Span> { cc, cv, { 2501, 2600, 12, -2 } } << share + " 999";
        QTest::newRow("constant current to the end") << QList<Span> { cc } << "";
        QTest::newRow("nickel") << QList<Span> { { 0, 1500, 12, 2, "0", "NiMH" },
                                                 { 1501, 2500, 12, 1, "0", "NiMH" } }
                                << "";
    }
    void constantVoltage()
    {
        QFETCH(QList<Span>, spans);
        const auto cv = summaryOf(spans).constantVoltage();
        QTEST(cv ? QString::number(cv->share, 'f', 4) + " " + QString::number(cv->taperSeconds)
                 : QString(),
              "figures");
    }

    void cellSpread()
    {
        const auto spread = [](const QList<Span> &spans) {
            const auto s = summaryOf(spans).largestCellSpread();
            return s ? QStringLiteral("%1 V @%2").arg(s->volts).arg(s->atSeconds) : QString();
        };
        QCOMPARE(spread({ { 10, 10, 12, 1, "3.70 3.75 3.72" },
                          { 11, 12, 12, 1, "3.70 3.80 3.72" },
                          { 13, 13, 12, 1, "3.70 3.71 3.72" } }),
                 "0.1 V @11"); // the largest, first seen
        // Equal in hundredths, whatever binary fractions make of 4.07 - 3.78 and 4.05 - 3.76.
        QCOMPARE(spread({ { 10, 10, 12, 1, "4.05 3.76" }, { 11, 11, 12, 1, "4.07 3.78" } }),
                 "0.29 V @10");
        // Two cells with a voltage make the first two count, the 0 V cell among them.
        QCOMPARE(spread({ { 10, 10, 12, 1, "0 3.70 3.80" } }), "3.7 V @10");
        QCOMPARE(spread({ { 10, 10, 12, 1, "3.70 0 0" } }), QString()); // one cell
        // Only lithium packs are balanced cell by cell.
        QCOMPARE(spread({ { 10, 10, 12, 1, "3.70 3.80 0", "NiMH" } }), QString());
    }

    // An opened run is summed up in one pass that looks at a row's type only where it changes:
    // as the samples one by one. A cell 0.05 V from the others' median has left them.
    void fullPass()
    {
        const QList<Span> spans { { 0, 10, 12, 2, "4.00 4.05 4.00" },
                                  { 11, 20, 12, 2, "3.70 4.00 3.90", "NiMH" },
                                  { 21, 30, 12, 1, "4.10 4.20 4.00" } };
        Samples table;
        for (const ChannelReading &r : readingsOf(spans))
            table.append(r);
        const RunSummary full = RunSummary::of(table);
        QCOMPARE(full.line(), summaryOf(spans).line());
        QCOMPARE(full.firstOut(), 2);
    }
};

QTEST_GUILESS_MAIN(TestLiveRuns)
#include "test_live_runs.moc"
