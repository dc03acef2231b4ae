// The reading's JSON, and the real logger publishing to a private broker: topics, values as
// printed, retained run and status, the last will of a killed logger, a broker that goes and
// comes back, and a login the broker refuses.

#include "notify/run_notices.h"
#include "platform/core/notifier.h"
#include "platform/core/settings.h"
#include "publish/mqtt_json.h"
#include "publish/mqtt_publisher.h"
#include "publish/mqtt_watcher.h"
#include "publish/pushes.h"
#include "run/live_runs.h"
#include "support/fake_clock.h"
#include "support/http_server.h"
#include "support/hub_follower.h"
#include "support/logger_session.h"
#include "support/private_broker.h"

namespace {
// A desktop's runs and notices; the notices told to nobody, as they are heard elsewhere.
struct Desk final : Notifier {
    void notify(const QString &, const QString &) override { }
    QTemporaryDir dir;
    FakeClock clock;
    RunHub hub;
    LiveRuns runs { hub, clock, {} };
    Settings settings { dir.filePath("chargemon.ini") };
    RunNotices notices { hub, *this, settings };
};
} // namespace

class TestPublish : public QObject {
    Q_OBJECT

private slots:
    void readingJson_data() // after "time" and "elapsed_s", written with ' for "
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("json");
        const QString json = "'type':'%1','chg':'+CHG+','ext_temp':%2,'in_temp':0,'in_volt':12.00,"
                             "'bat_volt':16.80,'current':%3,'cap':1234,'power':33.60,'cells':[%4]}";
        QTest::newRow("lithium, three cells")
            << 0 << json.arg("LiIo/Po/Fe", "25", "2.00", "4.20,4.20,4.20");
        QTest::newRow("empty, four decimals, quote, cell gap")
            << 1 << json.arg("Pb \\'12\\'", "null", "1.2345", "4.20,null,4.10");
        QTest::newRow("no cells") << 2 << json.arg("LiIo/Po/Fe", "25", "2.00", "");
    }
    void readingJson()
    {
        QFETCH(int, row);
        QFETCH(QString, json);
        ChannelReading r = reading(1234, row == 2 ? 0 : 3);
        r[Time] = DayTime { 65 / 86400.0 };
        if (row == 1) {
            r[Type] = "Pb \"12\"";
            r[Ext_temp] = Value();
            r[Current] = Fixed::fromRaw(12345);
            r[C1 + 1] = Value();
            r[C1 + 2] = Fixed::fromHundredths(410);
        }
        const QByteArray sent
            = MqttJson::reading(r, QDateTime(QDate(2026, 12, 8), QTime(1, 2, 3), QTimeZone(3600)));
        QCOMPARE(sent,
                 QByteArray("{'time':'2026-12-08T01:02:03+01:00','elapsed_s':65," + json.toUtf8())
                     .replace('\'', '"'));
        QCOMPARE(MqttJson::parseReading(sent), r);
    }
    // What a hostile station sends in place of a field: refused, or read back unchanged.
    void hostileReading_data()
    {
        QTest::addColumn<QByteArray>("from");
        QTest::addColumn<QByteArray>("to");
        QTest::addColumn<bool>("taken");
        auto row = [](const char *name, const char *from, const char *to, bool taken) {
            QTest::newRow(name) << QByteArray(from) << QByteArray(to) << taken;
        };
        const char *volt = R"("bat_volt":16.80)", *cell = R"("cells":[4.20,)";
        row("time back", ":65,", ":-65,", false);
        row("whole wraps to 16.80", volt, R"("bat_volt":230584300921369412)", false);
        row("decimal wraps", volt, R"("bat_volt":999999999999999.99)", false);
        row("one past", volt, R"("bat_volt":-922337203685477.5808)", false);
        row("temperature", R"("in_temp":0)", R"("in_temp":32768)", false);
        row("cells unclosed", R"("cells":[4.20,4.20,4.20])", R"("cells":[)", false);
        row("past what a run file holds", volt, R"("bat_volt":-922337203685477.5807)", false);
        row("largest", volt, R"("bat_volt":-922337203685477)", true);
        row("largest whole", cell, R"("cells":[922337203685477,)", true);
    }
    void hostileReading()
    {
        QFETCH(QByteArray, from);
        QFETCH(QByteArray, to);
        QFETCH(bool, taken);
        ChannelReading r = reading(1234, 3);
        r[Time] = DayTime { 65 / 86400.0 };
        const QDateTime when = QDateTime::currentDateTime();
        const auto got = MqttJson::parseReading(MqttJson::reading(r, when).replace(from, to));
        QCOMPARE(bool(got), taken);
        QVERIFY(!got || MqttJson::reading(*got, when).contains(to));
    }

    void broker_data()
    {
        QTest::addColumn<QString>("trouble");
        QTest::newRow("killed") << "kill";
        QTest::newRow("broker away and back") << "away";
    }
    void broker()
    {
        QFETCH(QString, trouble);
        Broker broker;
        if (!broker.start(false))
            QSKIP("no mosquitto here");
        LoggerSession s;
        if (!s.startSim())
            QSKIP("no pseudo-terminals here");
        QProcess *sub = broker.subscribe(false);
        s.startLogger(
            { "--mqtt", QStringLiteral("127.0.0.1:%1").arg(broker.port), "--station", "pit-2" });
        QVERIFY2(s.waitFor("Communication connected", 2), qPrintable(s.said));
        if (trouble == "away") {
            QTest::qWait(1500);
            broker.stop();
            QTest::qWait(2000); // readings are dropped, the runs go on
            QVERIFY(broker.start(false));
            sub = broker.subscribe(false);
            QElapsedTimer back; // published to again within 2 s, the loss said once
            back.start();
            QVERIFY(s.waitFor("MQTT: publishing", 2) && back.elapsed() < 2000);
            QCOMPARE(s.said.count("connection lost"), 1);
        }
        QTest::qWait(2500);
        QCOMPARE(s.stop(trouble == "kill" ? SIGKILL : SIGTERM), trouble == "kill" ? -1 : 0);
        QTest::qWait(300);

        // The readings as printed, the last perhaps still in flight.
        const QString heard = QString::fromUtf8(sub->readAllStandardOutput());
        // A broker that came back empty hears the runs' states again.
        const auto runs = [](const QString &in, const char *state) {
            return in.count(
                QString("/run {\"state\":\"%1\",\"description\":\"pack A\"").arg(state));
        };
        if (trouble == "away")
            QCOMPARE(runs(heard, "live"), 2);
        std::array<QList<QStringList>, 2> published;
        for (const QString &line : heard.split('\n'))
            if (line.startsWith("chargemon/pit-2/ch") && line.mid(19).startsWith("/reading "))
                published[line[18] == '2'] << texts(
                    MqttJson::parseReading(line.mid(28).toUtf8()).value_or(ChannelReading()));
        const auto printed = s.printed();
        for (int ch = 0; ch < 2; ++ch) {
            // Those of a broker that was away are dropped, not kept for its return.
            QVERIFY2(published[ch].size() >= 2, qPrintable(s.said));
            const qsizetype at = printed[ch].indexOf(published[ch].first());
            QCOMPARE(at == 0, trouble != "away");
            QCOMPARE(published[ch], printed[ch].mid(at, published[ch].size()));
            QVERIFY(at + published[ch].size() >= printed[ch].size() - 1);
        }
        // A killed logger's runs stay live; ended ones name their file. A busy broker may still
        // be taking the last states.
        const char *state = trouble == "kill" ? "live" : "ended";
        QStringList retained;
        for (int tries = 0; tries < 5 && runs(retained.join('\n'), state) != 2; ++tries)
            retained = broker.retained();
        QVERIFY(retained.contains("chargemon/pit-2/status offline"));
        QCOMPARE(runs(retained.join('\n'), state), 2);
        QCOMPARE(retained.filter(",\"file\":\"" + s.out).size(), trouble == "kill" ? 0 : 2);
        // Nothing recorded is lost to the broker's troubles.
        if (trouble != "kill") {
            std::array<QList<QStringList>, 2> saved;
            for (const QString &name : QDir(s.out).entryList(QDir::Files, QDir::Name))
                saved[name[20] == '2'] << s.rowsOf(name);
            QCOMPARE(saved, printed);
        }
    }

    // Every way a broker fails is said once within 10 s.
    void brokerTrouble_data()
    {
        QTest::addColumn<QString>("why");
        QTest::newRow("away") << "Connection refused";
        QTest::newRow("login") << "not authorised";
        QTest::newRow("file") << "password file"; // said before it publishes without one
        QTest::newRow("tls") << "TLS|certificate signed by"; // a certificate of another
        QTest::newRow("silent") << "no answer within 10 s";
    }
    void brokerTrouble()
    {
        const QString trouble = QTest::currentDataTag();
        QFETCH(QString, why);
        Broker broker;
        MqttBroker at = broker.client("pit-2");
        int silent = -1;
        QByteArray more;
        if (trouble == "tls") { // the broker's certificate is not the client's authority's
            for (const QString name : { "ca", "broker" })
                QProcess::execute("openssl",
                                  { "req", "-x509", "-newkey", "ec", "-pkeyopt",
                                    "ec_paramgen_curve:prime256v1", "-nodes", "-subj",
                                    "/CN=127.0.0.1", "-keyout", broker.dir.filePath(name + ".key"),
                                    "-out", broker.dir.filePath(name + ".crt") });
            more = "certfile " + broker.dir.filePath("broker.crt").toUtf8() + "\nkeyfile "
                + broker.dir.filePath("broker.key").toUtf8() + '\n';
            at.caFile = broker.dir.filePath("ca.crt");
        }
        if (trouble == "login" || trouble == "file") {
            at.user = "lab";
            at.passwordFile = broker.dir.filePath("password");
            QFile password(at.passwordFile);
            QVERIFY(trouble == "file"
                    || (password.open(QIODevice::WriteOnly) && password.write("-")));
        }
        if (trouble == "away" || trouble == "silent")
            at.port = Broker::freePort(trouble == "silent" ? &silent : nullptr);
        else if (!broker.start(trouble == "login", more))
            QSKIP("no mosquitto here");
        else
            at.port = broker.port;
        const auto closeSilent = qScopeGuard([silent] { silent < 0 || ::close(silent); });
        FakeClock clock;
        RunHub hub;
        MqttPublisher publisher(hub, clock, at);
        QStringList said;
        connect(&publisher, &MqttPublisher::message, this, [&](const QString &m) { said << m; });
        if (trouble == "silent" || trouble == "tls") { // heard of within 10 s, whatever else
            QTest::qWait(500);
            clock.advanceSeconds(10);
        }
        QTRY_VERIFY_WITH_TIMEOUT(!said.isEmpty(), 1000);
        QTest::qWait(1500); // tried again, not said again
        QVERIFY2(said.size() == 1 + (trouble == "file")
                     && said[0].contains(QRegularExpression(why)),
                 qPrintable(said.join(" | ")));
    }

    // The desktop's publisher: a run's state takes the file of a save once the run ended, never
    // the file of an older run; discovery reads the readings' figures, the runs' states and the
    // notices, whatever the station's name; a name that cannot be a topic publishes nothing.
    void desktop_data()
    {
        QTest::addColumn<QString>("station");
        QTest::newRow("host name") << "lab.pc 2";
        QTest::newRow("not a topic") << "lab/2";
    }
    void desktop()
    {
        QFETCH(QString, station);
        Broker broker;
        if (!broker.start(false))
            QSKIP("no mosquitto here");
        MqttBroker at = broker.client(station);
        at.haDiscovery = true;
        Desk d;
        MqttPublisher publisher(d.hub, d.clock, at);
        publisher.follow(d.notices);
        QSignalSpy said(&publisher, &MqttPublisher::message);
        QTRY_COMPARE(said.size(), 1);
        if (station == "lab/2") {
            QVERIFY2(said[0][0].toString().contains("\"lab/2\" cannot be used"),
                     qPrintable(said[0][0].toString()));
            QCOMPARE(broker.retained("#"), QStringList());
            return;
        }
        QProcess *readings = broker.subscribe(false, 30, "chargemon/+/ch1/reading");
        QProcess *events = broker.subscribe(false, 30, "chargemon/+/event");
        const auto endedRun = [&] { // of channel 1
            for (ChannelReading r : { reading(1), reading(2), reading(3) }) {
                d.clock.advanceSeconds(1);
                d.runs.Reading_Proc(1, r);
            }
            const std::shared_ptr<Run> run = d.runs.run(1);
            run->setTitle("pack A\r\n"); // as a run's first sample ends its own
            d.runs.EndLiveDoc(1);
            return run;
        };
        // The retained state's file ("file" for null), once no state is in flight: a
        // subscriber that comes before one arrives hears it as not retained.
        const auto file = [&](const QString &expected) {
            QString got;
            for (int tries = 0; tries < 5 && got != expected; ++tries)
                got = broker.retained("chargemon/+/ch1/run").value(0).section('"', -2, -2);
            return got;
        };
        const std::shared_ptr<Run> first = endedRun();
        emit first->saved("a.mdb");
        QCOMPARE(file("a.mdb"), "a.mdb");
        QVERIFY(
            broker.retained("chargemon/+/ch1/run").value(0).contains(R"("description":"pack A",)"));
        const std::shared_ptr<Run> second = endedRun();
        emit second->saved("b.mdb");
        emit first->saved("a.mdb");
        QCOMPARE(file("b.mdb"), "b.mdb");

        const QStringList configs = broker.retained("homeassistant/#");
        QCOMPARE(configs.size(), 13);
        // The last message of each topic a configuration reads.
        QHash<QString, QJsonObject> last;
        const auto heard = [&last](const QString &line) {
            const qsizetype brace = line.indexOf('{');
            last[line.left(brace - 1)] = QJsonDocument::fromJson(line.mid(brace).toUtf8()).object();
        };
        QTRY_VERIFY(readings->canReadLine() && events->canReadLine());
        heard(QString::fromUtf8(readings->readLine())); // of the second run, at least
        const QString event = QString::fromUtf8(events->readLine()).trimmed(); // the first run's
        heard(event);
        QCOMPARE(
            event.section(',', 1),
            R"("kind":"run_ended","event_type":"run_ended","channel":1,"station":null,"pack":null,)"
            R"("reason":"finished","priority":"default","title":"chargemon CH1","text":)"
            R"("CH1: charge complete: 3 mAh in 0:00:01","mah":3,"seconds":1,)"
            R"("temperature":null,"limit":null,"spread":null})");
        for (const QString &line : broker.retained("chargemon/+/+/run"))
            heard(line);
        QCOMPARE(last["chargemon/lab.pc 2/ch2/run"]["activity"], "idle");
        static const QRegularExpression id("^homeassistant/(sensor|event)/([\\w-]+)/config (.+)$"),
            key("^\\{\\{ value_json\\.(\\w+) \\}\\}$");
        for (const QString &line : configs) {
            const auto m = id.match(line);
            QVERIFY2(m.hasMatch(), qPrintable(line));
            const QJsonObject c = QJsonDocument::fromJson(m.captured(3).toUtf8()).object();
            QCOMPARE(c["unique_id"].toString(), m.captured(2));
            QCOMPARE(c["availability_topic"].toString(), "chargemon/lab.pc 2/status");
            // Every entity reads what its topic carries: a figure, one of its states, one of
            // its event types.
            const QString from = c["state_topic"].toString();
            const QString field = m.captured(1) == "event"
                ? "event_type"
                : key.match(c["value_template"].toString()).captured(1);
            const QJsonValue value
                = last[QString(from).replace("ch2/reading", "ch1/reading")][field];
            const QJsonValue among = c[m.captured(1) == "event" ? "event_types" : "options"];
            QVERIFY2(among.isUndefined() ? value.isDouble() : among.toArray().contains(value),
                     qPrintable(line));
        }
    }

    // The notices as a phone and a webhook receive them from a real HTTP server's point of
    // view: a charge that completes, a charger pulled, a watched station's hot pack, a pack
    // of the battery book left full.
    void pushes()
    {
        HttpServer server;
        Desk d;
        QFile token(d.dir.filePath("token"));
        QVERIFY(token.open(QIODevice::WriteOnly) && token.write("tk_1\n") && token.flush());
        const QString stored = "Pack S: stored full for 4 days";
        PushTargets to;
        QCOMPARE(PushTargets::parse(server.url("/garage").toString(), true, to.ntfy), "");
        QVERIFY(!PushTargets::parse("ntfy.sh/", true, to.webhook).isEmpty());
        QCOMPARE(PushTargets::parse(server.url("/hook").toString(), false, to.webhook), "");
        to.ntfyTokenFile = token.fileName();
        Pushes pushes(d.clock, to);
        pushes.follow(d.notices);
        for (const bool lost : { false, true }) {
            for (ChannelReading r : { reading(2150), reading(2151) })
                d.runs.Reading_Proc(1, r), d.clock.advanceSeconds(1);
            d.runs.setLamp(LinkHost::Lamp::Connection, !lost), d.runs.EndLiveDoc(1);
        }
        d.clock.advanceMs(LiveRuns::ReconnectWaitMs); // the charger stays away
        auto station = std::make_shared<Run>("Garáž CH2 Chart 1", d.clock);
        station->goLive(2, {}, Run::Source::Station);
        d.hub.start(station);
        ChannelReading sample = reading(1);
        sample[Ext_temp] = 60;
        sample[Time] = DayTime { 1 / 86400.0 };
        station->relay(sample);
        d.notices.packsNeedCare({ "Pack S" }, stored, true);
        QTRY_COMPARE(server.requests.size(), 8);
        const auto header = [](const HttpServer::Request &r, const char *name) {
            static const QString line = "\r\n%1: ([^\r]*)";
            return QRegularExpression(line.arg(name)).match(QString::fromUtf8(r.head)).captured(1);
        };
        QStringList got;
        for (const HttpServer::Request &r : server.requests)
            got << QStringList { r.target,
                                 header(r, "Title"),
                                 header(r, "Priority"),
                                 header(r, "Tags"),
                                 header(r, "Authorization"),
                                 header(r, "Content-Type"),
                                 QJsonDocument::fromJson(r.body)["text"].toString()
                                     + (r.target == "/garage" ? QString::fromUtf8(r.body) : "") }
                       .join('|');
        // Each server's in the order told; the two outboxes go their own ways.
        std::stable_sort(got.begin(), got.end(), [](const QString &a, const QString &b) {
            return a.section('|', 0, 0) < b.section('|', 0, 0);
        });
        const QString complete = "CH1: charge complete: 2,151 mAh in 0:00:00",
                      lost = "CH1: charger lost during the charge: 2,151 mAh in 0:00:00",
                      hot = "Garáž CH2: pack temperature 60 °C, at or above the limit of 50 °C",
                      ntfy = "/garage|%1|%2|Bearer tk_1|text/plain; charset=utf-8|",
                      hook = "/hook|||||application/json|";
        QCOMPARE(got,
                 QStringList({ ntfy.arg("chargemon CH1", "default|white_check_mark") + complete,
                               ntfy.arg("chargemon CH1", "high|warning") + lost,
                               ntfy.arg("=?UTF-8?B?R2Fyw6HFviBDSDI=?=", "high|warning") + hot,
                               ntfy.arg("chargemon Pack S", "default|") + stored, hook + complete,
                               hook + lost, hook + hot, hook + stored }));
    }

    // A logger's runs watched through the broker and saved here are its own files, until it
    // goes offline.
    void watched()
    {
        Broker broker;
        if (!broker.start(false))
            QSKIP("no mosquitto here");
        const MqttBroker at = broker.client("pit-2");
        FakeClock clock;
        RunHub hub;
        MqttWatcher watcher(hub, clock, at);
        QList<std::shared_ptr<Run>> watched;
        connect(&hub, &RunHub::runStarted, this,
                [&](const std::shared_ptr<Run> &run) { watched << run; });
        QStringList said;
        connect(&watcher, &MqttWatcher::message, this, [&](const QString &m) { said << m; });
        QTRY_VERIFY(watcher.listed());
        watcher.watch("pit-2");
        LoggerSession s;
        // Publishing before the charger speaks: the runs' first readings reach the broker.
        s.startLogger(
            { "--mqtt", QStringLiteral("127.0.0.1:%1").arg(broker.port), "--station", "pit-2" });
        QVERIFY2(s.waitFor("MQTT: publishing", 1), qPrintable(s.said));
        if (!s.startSim())
            QSKIP("no pseudo-terminals here");
        QVERIFY2(s.waitFor("Communication connected", 2), qPrintable(s.said));
        // A few samples in each run, however slow the machine.
        const auto both = [&](const auto &enough) {
            return watched.size() == 2 && enough(*watched[0]) && enough(*watched[1]);
        };
        const auto story
            = [&] { return QString("%1 runs: %2").arg(watched.size()).arg(said.join(" | ")); };
        QTRY_VERIFY2_WITH_TIMEOUT(both([](const Run &r) { return r.samples().count() >= 3; }),
                                  qPrintable(story()), 30000);
        QCOMPARE(s.stop(SIGTERM), 0);
        QTRY_VERIFY2_WITH_TIMEOUT(both([](const Run &r) { return !r.isLive(); }),
                                  qPrintable(story()), 20000);
        QCOMPARE(said.filter("pit-2 went offline").size() + said.filter(" completed.").size(), 2);
        const QStringList files = QDir(s.out).entryList(QDir::Files, QDir::Name);
        QCOMPARE(files.size(), 2);
        for (const auto &run : watched) {
            const QString mine = "../" + run->name() + ".mdb";
            const QString theirs
                = files.filter(QRegularExpression(QString("^.{20}%1").arg(run->channel())))[0];
            const Samples &got = run->samples();
            QCOMPARE(RunFile::write(QDir(s.out).filePath(mine), run->title(), got.count(),
                                    [&](qint64 r, int f) { return got.text(r, f); }),
                     QString());
            QCOMPARE(s.rowsOf(mine), s.rowsOf(theirs));
            QVERIFY(s.rowsOf(theirs).size() >= 3);
            RunFile::Reader a, b;
            QVERIFY(a.open(QDir(s.out).filePath(mine)) && b.open(QDir(s.out).filePath(theirs)));
            QCOMPARE(a.title(), b.title());
        }
    }

    // A broker's restart brings the station's last will: its run goes on in the same run with
    // a gap once the station is back with it, and ends as lost when it stays away.
    void watchedThroughRestart()
    {
        Broker broker;
        if (!broker.start(false))
            QSKIP("no mosquitto here");
        const MqttBroker at = broker.client("pit-2");
        FakeClock clock;
        RunHub hub, stationHub;
        HubFollower follower(hub);
        LiveRuns runs(stationHub, clock, {});
        MqttPublisher station(stationHub, clock, at);
        MqttWatcher watcher(hub, clock, at);
        QStringList said;
        connect(&watcher, &MqttWatcher::message, this, [&](const QString &m) { said << m; });
        QTRY_VERIFY(watcher.listed());
        watcher.watch("pit-2");
        int capacity = 0;
        const auto feed = [&](int samples) {
            const qsizetype before = follower.events.size();
            for (int s = 0; s < samples; ++s) {
                clock.advanceSeconds(1);
                ChannelReading r = reading(capacity++);
                runs.Reading_Proc(1, r);
                QTest::qWait(100);
            }
            QTRY_VERIFY(follower.events.size() > before);
        };
        feed(3);
        broker.stop();
        clock.advanceSeconds(5); // missed
        QVERIFY(broker.start(false));
        QTRY_COMPARE(said.filter("pit-2 went offline").size(), 1);
        QTest::qWait(1500); // the station is back
        feed(3);
        QCOMPARE(follower.events.filter(QRegularExpression("^(started|ended) ")),
                 QStringList { "started pit-2 CH1 Chart 1" });
        QCOMPARE(follower.events.filter(": 00:00:").join(' ').remove("pit-2 CH1 Chart 1: "),
                 "00:00:01 1 00:00:02 2 00:00:08 3 00:00:09 4 00:00:10 5"); // a gap
        // Away for good: lost.
        broker.stop();
        QTRY_COMPARE(said.filter("pit-2 went offline").size(), 2);
        clock.advanceSeconds(299);
        QCOMPARE(follower.events.last().left(5), "pit-2");
        clock.advanceSeconds(1);
        QVERIFY2(follower.events.last().endsWith(" link lost"), qPrintable(follower.events.last()));
    }
};

QTEST_GUILESS_MAIN(TestPublish)
#include "test_publish.moc"
