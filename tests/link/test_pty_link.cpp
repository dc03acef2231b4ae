// The whole serial path on a real line: the simulator writes frames into a pseudo-terminal,
// the real QSerialPort reads them, and the port search and the frame assembler find, read
// and decode them.

#include "link/frame_assembler.h"
#include "link/port_search.h"
#include "platform/clock.h"
#include "platform/port_list.h"
#include "platform/qt_serial_port.h"
#include "support/fake_link_host.h"

#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QTest>
#include <QTimer>

#include <memory>

namespace {

constexpr int waitMs = 30000; // an upper bound for a loaded machine, not a measurement

// Runs the event loop as the program does, until `done` holds or the time is up. QTRY's
// waits sleep between rounds of events, which starves a fast serial line.
template <typename Condition> bool waitUntil(Condition done)
{
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (done())
            loop.quit();
    });
    QTimer::singleShot(waitMs, &loop, &QEventLoop::quit);
    poll.start(20);
    loop.exec();
    return done();
}

// The simulator as a child process on its own pseudo-terminal.
class SimulatedCharger {
public:
    explicit SimulatedCharger(QStringList arguments)
    {
        const QString program = QCoreApplication::applicationDirPath()
            + QStringLiteral("/../tools/charger-sim/charger-sim");
        // A simulator left behind by a failed test ends on its own.
        process_.start(program, arguments << QStringLiteral("--count") << QStringLiteral("20000"));
        if (process_.waitForStarted() && process_.waitForReadyRead())
            path_ = QString::fromLocal8Bit(process_.readLine()).trimmed();
    }
    ~SimulatedCharger()
    {
        process_.terminate();
        if (!process_.waitForFinished())
            process_.kill();
    }
    QString path() const { return path_; }
    QString error() const { return process_.errorString(); }

private:
    QProcess process_;
    QString path_;
};

// The link as the main window owns it, on the real serial port and port list.
struct Link {
    explicit Link(const QString &device)
    {
        qputenv("CHARGEMON_PORTS", device.toLocal8Bit());
        search.start();
    }
    ~Link() { qunsetenv("CHARGEMON_PORTS"); }

    SystemClock clock;
    SystemPortList ports;
    QtSerialPort port { ports };
    FakeLinkHost host;
    FrameAssembler assembler { port, host, clock };
    PortSearch search { port, ports, host, clock, assembler };
};

Fixed fixed(const Value &v)
{
    return v.number().value_or(Fixed::fromWhole(-1000));
}

bool between(const Value &v, double low, double high)
{
    return v.isFixed() && fixed(v) >= Fixed::fromDouble(low) && fixed(v) <= Fixed::fromDouble(high);
}

bool isZero(const Value &v)
{
    return v.isFixed() && fixed(v) == Fixed();
}

// What every charging reading of the simulator's packs must show.
void verifyCharging(const ChannelReading &r, const QString &type, int cells)
{
    QCOMPARE(r[Type].text(), type);
    QCOMPARE(r[Chg].text(), QStringLiteral("+CHG+"));
    QVERIFY(r[Time].isTime());
    QVERIFY2(between(r[In_Volt], 11, 13), qPrintable(r[In_Volt].text()));
    QVERIFY2(between(r[Bat_volt], 1, 51), qPrintable(r[Bat_volt].text()));
    QVERIFY2(between(r[Current], 0.2, 2.0), qPrintable(r[Current].text()));
    QVERIFY(r[Ext_temp].isWhole() && fixed(r[Ext_temp]) <= Fixed::fromWhole(60));
    QVERIFY(r[Cap].isWhole());
    QVERIFY(r[Power].isText());
    for (int c = 0; c < 12; ++c) {
        const Value &cell = r[C1 + c];
        QVERIFY2(c < cells ? between(cell, 3.0, 4.25) : isZero(cell), qPrintable(cell.text()));
    }
}

QList<qint64> capacities(const QList<ChannelReading> &readings)
{
    QList<qint64> caps;
    for (const ChannelReading &r : readings)
        caps << fixed(r[Cap]).roundedHalfEven();
    return caps;
}

} // namespace

class TestPtyLink : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        if (!QFile::exists(QStringLiteral("/dev/ptmx")))
            QSKIP("this system has no pseudo-terminals");
    }
    void twoChannelsFoundAndDecoded();
    void oneChannelFrames_data();
    void oneChannelFrames();
    void finishedChargeEndsTheRun();
};

void TestPtyLink::twoChannelsFoundAndDecoded()
{
    // Frame 150 restarts both runs: their capacity goes back to zero.
    SimulatedCharger sim({ "--kind", "112", "--speed", "100", "--noise", "--reset-at", "150" });
    QVERIFY2(!sim.path().isEmpty(), qPrintable(sim.error()));
    Link link(sim.path());

    QVERIFY(waitUntil([&] { return link.search.connected(); }));
    QCOMPARE(link.host.messages.value(0), QStringLiteral("Serial port 1 was connected."));
    QVERIFY(waitUntil([&] {
        return link.host.count(FakeLinkHost::Event::Reading, 1) >= 200
            && link.host.count(FakeLinkHost::Event::Reading, 2) >= 200;
    }));

    QCOMPARE(link.assembler.counters().frames112, qint64(link.host.readings(1).size()));
    QCOMPARE(link.host.count(FakeLinkHost::Event::End, 1), 0);
    QCOMPARE(link.host.count(FakeLinkHost::Event::End, 2), 0);
    QVERIFY(link.assembler.counters().skippedBytes > 0); // the noise
    for (int channel : { 1, 2 }) {
        const QList<ChannelReading> readings = link.host.readings(channel);
        for (const ChannelReading &r : readings) {
            if (channel == 1)
                verifyCharging(r, QStringLiteral("LiIo/Po/Fe"), 3);
            else
                verifyCharging(r, QStringLiteral("NiMH"), 0);
            if (QTest::currentTestFailed())
                return;
        }
        // The capacity climbs, falls back once at the restart, and climbs again.
        const QList<qint64> caps = capacities(readings);
        qsizetype drops = 0;
        for (qsizetype i = 1; i < caps.size(); ++i) {
            if (caps[i] < caps[i - 1]) {
                ++drops;
                QVERIFY2(caps[i] <= 1 && caps[i - 1] > caps.first(),
                         qPrintable(QString::number(i)));
            }
        }
        QCOMPARE(drops, 1);
        QVERIFY(caps.last() > 0);
    }
}

void TestPtyLink::oneChannelFrames_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<bool>("internalTemperature");
    QTest::newRow("36 bytes") << "36" << false;
    QTest::newRow("76 bytes") << "76" << true;
}

void TestPtyLink::oneChannelFrames()
{
    QFETCH(QString, kind);
    QFETCH(bool, internalTemperature);
    SimulatedCharger sim({ "--kind", kind, "--speed", "100" });
    QVERIFY2(!sim.path().isEmpty(), qPrintable(sim.error()));
    Link link(sim.path());

    QVERIFY(waitUntil([&] { return link.host.count(FakeLinkHost::Event::Reading, 1) >= 40; }));
    const FrameAssembler::Counters &counters = link.assembler.counters();
    QCOMPARE(kind == "36" ? counters.frames36 : counters.frames76,
             qint64(link.host.readings(1).size()));
    QCOMPARE(counters.frames112, qint64(0));
    QCOMPARE(link.host.count(FakeLinkHost::Event::Reading, 2), 0);
    for (const ChannelReading &r : link.host.readings(1)) {
        verifyCharging(r, QStringLiteral("LiIo/Po/Fe"), 3);
        if (QTest::currentTestFailed())
            return;
        QCOMPARE(r[In_temp].isWhole() && fixed(r[In_temp]) > Fixed::fromWhole(20),
                 internalTemperature);
    }
}

void TestPtyLink::finishedChargeEndsTheRun()
{
    // The first lithium charge completes after some 1200 simulated seconds.
    SimulatedCharger sim({ "--kind", "36", "--speed", "500" });
    QVERIFY2(!sim.path().isEmpty(), qPrintable(sim.error()));
    Link link(sim.path());

    QVERIFY(waitUntil([&] { return link.host.count(FakeLinkHost::Event::End, 1) > 0; }));
    QList<ChannelReading> readings;
    for (const FakeLinkHost::Event &e : std::as_const(link.host.events)) {
        if (e.kind == FakeLinkHost::Event::End)
            break;
        readings << e.reading;
    }
    // Constant current first, then the current falls off at constant voltage.
    QVERIFY(!readings.isEmpty());
    QCOMPARE(readings.first()[Current].text(), QStringLiteral("2.00"));
    QVERIFY(fixed(readings.last()[Current]) < Fixed::fromDouble(0.5));
    QVERIFY(between(readings.last()[C1], 4.1, 4.2));
}

QTEST_GUILESS_MAIN(TestPtyLink)
#include "test_pty_link.moc"
