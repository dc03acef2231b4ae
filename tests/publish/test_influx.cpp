// Readings written to a real influxd and read back, and a 2.x server's address and token.

#include "platform/core/clock.h"
#include "publish/influx_writer.h"
#include "run/live_runs.h"
#include "support/fake_clock.h"
#include "support/http_server.h"
#include "support/private_influx.h"
#include "support/readings.h"

#include <QtTest>

class TestInflux : public QObject {
    Q_OBJECT

private slots:
    void writtenAndReadBack()
    {
        Influx influx;
        QVERIFY(influx.start());
        FakeClock clock(QDateTime(QDate(2026, 12, 6), QTime(10, 0, 0), QTimeZone::utc()));
        RunHub hub;
        LiveRuns runs(hub, clock, {});
        InfluxWriter writer(hub, clock, { influx.url(), "lab", {}, {}, "bench 2,a" });
        for (int i = 1; i <= 150; ++i) {
            clock.advanceSeconds(1);
            ChannelReading r = reading(i, 3);
            r[Type] = "Pb \"12\"\\";
            runs.Reading_Proc(2, r);
        }
        clock.advanceSeconds(5);
        const QByteArray expected
            = QByteArray("'series':[{'name':'chargemon','columns':['time','bat_volt','c1','c2',"
                         "'c3','cap','channel','chg','current','elapsed_s','ext_temp','in_temp',"
                         "'in_volt','power','run','station','type'],'values':[['2026-12-06T10:02:"
                         "30Z',16.8,4.2,4.2,4.2,150,'2','+CHG+',2,149,25,0,12,33.6,'2026-12-"
                         "06T10:00:01Z','bench 2,a','Pb \\'12\\'\\\\']]}]")
                  .replace('\'', '"');
        QTRY_VERIFY2_WITH_TIMEOUT(
            influx.query("SELECT * FROM chargemon ORDER BY time DESC LIMIT 1").contains(expected),
            influx.query("SELECT * FROM chargemon ORDER BY time DESC LIMIT 1"), 10000);
        // The first reading only starts the run.
        QVERIFY(influx.query("SELECT count(cap) FROM chargemon").contains(",149]]"));
    }

    void secondVersion()
    {
        FakeClock clock;
        HttpServer server;
        QTemporaryDir dir;
        QFile token(dir.filePath("token"));
        QVERIFY(token.open(QIODevice::WriteOnly) && token.write("s3cret\n"));
        token.close();
        RunHub hub;
        LiveRuns runs(hub, clock, {});
        InfluxWriter writer(hub, clock,
                            { server.url("/db/").toString(), "b", "o", token.fileName(), "st" });
        for (int i = 1; i <= 2; ++i) { // the first only starts the run
            clock.advanceSeconds(1);
            ChannelReading r = reading(i);
            runs.Reading_Proc(1, r);
        }
        runs.stop(); // its last readings go at once
        QTRY_COMPARE(server.requests.size(), 1);
        QCOMPARE(server.requests[0].target, "/db/api/v2/write?org=o&bucket=b&precision=ms");
        QCOMPARE(server.requests[0].header("Authorization"), "Token s3cret");
    }
};

QTEST_GUILESS_MAIN(TestInflux)
#include "test_influx.moc"
