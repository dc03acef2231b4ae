// Requests to a real HTTP server on 127.0.0.1 that is not there, fails or never answers, and
// readings written to a real influxd and read back.

#include "publish/http_outbox.h"
#include "publish/influx_writer.h"
#include "run/live_runs.h"
#include "support/fake_clock.h"
#include "support/http_server.h"
#include "support/private_influx.h"
#include "support/readings.h"

#include <QtTest>

class TestHttpOutlets : public QObject {
    Q_OBJECT

private slots:
    void failsThenRecovers_data()
    {
        QTest::addColumn<int>("status"); // -1: nothing listening
        QTest::newRow("nothing listening") << -1;
        QTest::newRow("server error") << 500;
        QTest::newRow("no answer") << 0;
    }
    void failsThenRecovers()
    {
        QFETCH(int, status);
        FakeClock clock;
        HttpServer server;
        const QUrl url = server.url("/in");
        server.status = status;
        if (status < 0)
            server.close();
        HttpOutbox outbox(clock, "Lab", { 1, 2, 1000, 16000, 5000 });
        QSignalSpy said(&outbox, &HttpOutbox::message);
        for (const char *body : { "A", "B", "C" }) // B waits behind C, one too many
            outbox.post(url, { { "Content-Type", "text/plain" }, { "Authorization", "Token t" } },
                        body);
        const auto attempt = [&](int n) {
            if (status == 0) { // the timeout ends it
                QTRY_COMPARE(server.requests.size(), n);
                QTest::qWait(50);
                QCOMPARE(server.requests.size(), n); // one at a time
                clock.advanceMs(5000);
            }
        };
        attempt(1);
        QTRY_COMPARE(said.size(), 1);
        clock.advanceMs(1000);
        attempt(2);
        QTRY_COMPARE(outbox.dropped(), 2); // A tried twice
        if (status < 0)
            QVERIFY(server.listen(QHostAddress::LocalHost, url.port()));
        server.status = 200;
        clock.advanceMs(1999); // the pause grew
        QTest::qWait(100);
        QCOMPARE(said.size(), 1);
        clock.advanceMs(1);
        QTRY_COMPARE(said.size(), 2);
        QVERIFY2(said.at(1).at(0).toString().endsWith("answers again; 2 requests were given up"),
                 qPrintable(said.at(1).at(0).toString()));
        QCOMPARE(server.requests.last().body, "C");
        QVERIFY(server.requests.last().head.contains("\r\nAuthorization: Token t"));
    }

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
        const QString last = "SELECT * FROM chargemon ORDER BY time DESC LIMIT 1";
        QTRY_VERIFY2_WITH_TIMEOUT(influx.query(last).contains(expected), influx.query(last), 10000);
        // The first reading only starts the run.
        QVERIFY(influx.query("SELECT count(cap) FROM chargemon").contains(",149]]"));
    }
};

QTEST_GUILESS_MAIN(TestHttpOutlets)
#include "test_http_outlets.moc"
