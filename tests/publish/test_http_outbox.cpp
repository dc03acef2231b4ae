// Requests to a real HTTP server on 127.0.0.1 that is not there, fails or never answers.

#include "publish/http_outbox.h"
#include "support/fake_clock.h"
#include "support/http_server.h"

#include <QtTest>

class TestHttpOutbox : public QObject {
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
        QCOMPARE(server.requests.last().header("Authorization"), "Token t");
    }
};

QTEST_GUILESS_MAIN(TestHttpOutbox)
#include "test_http_outbox.moc"
