#include "run/live_runs.h"
#include "run/live_sample.h"
#include "run/run_file.h"
#include "support/fake_clock.h"
#include "support/readings.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

// The run core on its own, as a program without a display uses it.
class TestLiveRuns : public QObject {
    Q_OBJECT

private slots:
    void acceptanceRule()
    {
        // After a row at 100 mAh, samples that many seconds later with that capacity (-1: none).
        const QList<int> gaps = { 0, 1, 7, 8, 1, 1, 0, 1 };
        const QList<int> hundredths = { 10000, 10000, 10000, 10000, 10100, 9999, 9900, -1 };
        QString fates; // Row, Skip, End
        for (qsizetype i = 0; i < gaps.size(); ++i) {
            std::optional<Fixed> capacity;
            if (hundredths[i] >= 0)
                capacity = Fixed::fromHundredths(hundredths[i]);
            fates += "RSE"[int(liveSample(gaps[i], capacity, 100))];
        }
        QCOMPARE(fates, "SRREREER");
    }

    // Two runs of channel 1, followed as a logger would, journalled and saved.
    void runsOfAChannel()
    {
        FakeClock clock(QDateTime(QDate(2026, 12, 6), QTime(23, 59, 57, 500)));
        QTemporaryDir journals;
        LiveRuns runs(clock, journals.path());
        QStringList events;
        std::shared_ptr<Run> first;
        connect(&runs, &LiveRuns::runStarted, this, [&](int channel, const auto &run) {
            events << QStringLiteral("started %1 %2").arg(channel).arg(run->name());
            first = first ? first : run;
        });
        connect(&runs, &LiveRuns::readingAccepted, this, [&](int channel, const ChannelReading &r) {
            events << QStringLiteral("%1: %2 %3").arg(channel).arg(r[Time].text(), r[Cap].text());
        });
        connect(&runs, &LiveRuns::runEnded, this,
                [&](int channel, const auto &run, const RunSummary &summary) {
                    events << QStringLiteral("ended %1 %2 %3")
                                  .arg(channel)
                                  .arg(run->samples().count())
                                  .arg(summary.samples());
                });
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
        ChannelReading discharging = reading(1234, 4, -Fixed::fromHundredths(155));
        discharging[Bat_volt] = Fixed::fromDouble(16.805);
        feed(3, discharging);
        QVERIFY(QDir(journals.path()).entryList(QDir::Files).size() >= 1);
        feed(8, reading(1300)); // after a silence: the run ends, the sample with it
        for (int cap : { 1300, 1300, 1299 }) // a new run, until its capacity falls
            feed(1, reading(cap));
        runs.setLamp(LinkHost::Lamp::Connection, false);

        QCOMPARE(
            events,
            QStringList(
                { "started 1 CH1 Chart 1", "Communication connected.Now receive data from charger.",
                  "1: 00:00:01 100", "1: 00:00:02 101", "1: 00:00:05 1234",
                  "CH1 Completed. You can save it now.", "ended 1 3 3", "started 1 CH1 Chart 2",
                  "Communication connected.Now receive data from charger.", "1: 00:00:01 1300",
                  "CH1 Completed. You can save it now.", "ended 1 1 1", "lost" }));
        QVERIFY(!runs.run(1) && !first->isLive());
        QVERIFY(first->title().startsWith("LiIo/Po/Fe/+CHG+  S4  @CH1  ")
                && first->title().endsWith("23:59:58\r\n"));
        // Saved as the table shows the samples: times of day, voltages to the hundredth.
        const QString path = journals.filePath("saved.mdb");
        const Samples &samples = first->samples();
        QCOMPARE(RunFile::write(path, first->title(), samples.count(),
                                [&](qint64 row, int field) { return samples.text(row, field); }),
                 QString());
        RunFile::Reader reader;
        QVERIFY(reader.open(path));
        QList<QStringList> saved;
        for (ChannelReading row; reader.next(row);)
            saved << texts(row).mid(0, 11);
        QCOMPARE(saved.last().join(' '),
                 "00:00:05 LiIo/Po/Fe +CHG+ 25 0 12.00 16.81 -1.55 1234 33.60 4.20");
        QCOMPARE(saved.size(), 3);
        first.reset(); // the last of the run: its journal goes with it
        QCOMPARE(QDir(journals.path()).entryList({ "*.journal*" }, QDir::Files), QStringList());
    }
};

QTEST_GUILESS_MAIN(TestLiveRuns)
#include "test_live_runs.moc"
