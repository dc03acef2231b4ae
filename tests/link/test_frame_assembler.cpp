#include "frame_builder.h"
#include "link/frame_assembler.h"
#include "platform/scripted/scripted_serial_port.h"
#include "support/fake_clock.h"
#include "support/fake_link_host.h"

#include <QTest>

namespace {

// Line noise that never holds "{".
QByteArray noise(int n)
{
    QByteArray out;
    for (int i = 0; i < n; ++i)
        out += char(i * 37 % 251 == FrameStart ? 0 : i * 37 % 251);
    return out;
}

// A port that claims 111 bytes waiting but delivers only what it holds, like a device
// vanishing mid-read.
class VanishingPort final : public SerialPort {
public:
    QByteArray held;
    void setLineSettings(const LineSettings &) override { }
    void setPortNumber(int) override { }
    int portNumber() const override { return 1; }
    QString deviceName() const override { return {}; }
    OpenResult open() override { return OpenResult::Opened; }
    void close() override { }
    bool isOpen() const override { return true; }
    void setReceiveThreshold(int bytes) override { threshold = bytes; }
    int receiveThreshold() const override { return threshold; }
    void setReadLength(int bytes) override { length = bytes; }
    QByteArray read() override
    {
        const QByteArray out = held.left(length);
        held.remove(0, out.size());
        return out;
    }
    int bytesWaiting() const override { return held.isEmpty() ? 0 : 111; }
    int threshold = 0, length = 0;
};

} // namespace

class TestFrameAssembler : public QObject {
    Q_OBJECT

    // Distinct frames of each kind, told apart by their battery voltage in hundredths; a
    // 112-byte frame's channel 2 is inactive.
    QByteArray frame36(int v) { return FrameBuilder(Frame36Length).code(1, 2).pair(15, v); }
    QByteArray frame76(int v) { return FrameBuilder(Frame76Length).code(8, 1).pair(35, v); }
    QByteArray frame112(int v) { return FrameBuilder(Frame112Length).code(1, 2).pair(15, v); }

    struct Rig {
        ScriptedSerialPort port;
        FakeLinkHost host;
        FakeClock clock;
        FrameAssembler assembler;
        Rig() : assembler(port, host, clock)
        {
            port.setPortNumber(1);
            port.open();
            port.setReceiveThreshold(1); // as the port search leaves it
        }
        // Battery voltages of channel 1's readings, in order.
        QList<qint64> volts() const
        {
            QList<qint64> out;
            for (const ChannelReading &r : host.readings(1))
                out << r[Bat_volt].number()->raw() / 100;
            return out;
        }
    };

    std::unique_ptr<Rig> rig;

private slots:
    void init() { rig = std::make_unique<Rig>(); }

    void syncWaitsFor111Bytes()
    {
        const QByteArray stream = frame36(1111) + noise(80);
        rig->port.push(stream.left(1)); // the "{"
        QVERIFY(rig->assembler.synced());
        QCOMPARE(rig->port.receiveThreshold(), FrameAssembler::SyncThreshold);
        rig->port.push(stream.mid(1, 110));
        rig->port.raise(SerialPort::Receive); // a notification with 110 waiting reads nothing
        QCOMPARE(rig->port.bytesWaiting(), 110);
        QVERIFY(rig->assembler.synced() && rig->host.events.isEmpty());
        rig->port.push(stream.mid(111, 1));
        QCOMPARE(rig->volts(), QList<qint64>({ 1111 }));
        QCOMPARE(rig->host.readings(1)[0][Time].time()->secondsOfDay(), 10 * 3600);
        QVERIFY(!rig->assembler.synced());
        // the bytes after the frame are hunted through at once
        QCOMPARE(rig->assembler.counters().skippedBytes, 111 - 35);
        QCOMPARE(rig->port.receiveThreshold(), 1);
    }

    // The same mixed stream, with noise between frames, arrives in chunks of many sizes, and
    // then the line goes on in one piece; every frame comes out once, in order. Frames that
    // arrive together are all read at once, not one per notification. The end markers at 35
    // and 75 tell the kind; a 112-byte frame needs none.
    void chunkedStream_data()
    {
        QTest::addColumn<int>("chunk");
        for (int chunk : { 1, 2, 7, 35, 36, 64, 111, 1000 })
            QTest::addRow("%d", chunk) << chunk;
    }
    void chunkedStream()
    {
        QFETCH(int, chunk);
        const QByteArray stream = noise(9) + frame36(1201) + frame112(1202) + noise(3)
            + frame76(1203) + frame76(1204) + noise(1) + frame36(1205) + frame112(1206).chopped(1)
            + noise(1);
        for (qsizetype i = 0; i < stream.size(); i += chunk)
            rig->port.push(stream.mid(i, chunk));
        rig->port.push(noise(400));
        QCOMPARE(rig->volts(), QList<qint64>({ 1201, 1202, 1203, 1204, 1205, 1206 }));
        const auto &frames = rig->assembler.counters().frames;
        QCOMPARE(QList<qint64>(frames.begin(), frames.end()), QList<qint64>({ 2, 2, 2 }));
        QCOMPARE(rig->host.count(FakeLinkHost::Event::End, 2), 2);
    }

    // Status notifications count as hearing from the line, but neither read nor blink.
    void otherNotifications()
    {
        rig->clock.advanceMs(500);
        rig->port.raise(SerialPort::Error);
        QCOMPARE(rig->assembler.lastReceiveMs(), std::optional<qint64>(500));
        QVERIFY(!rig->host.lamps.value(LinkHost::Lamp::Receive));
        rig->clock.advanceMs(500);
        rig->port.push("x");
        QVERIFY(rig->host.lamps.value(LinkHost::Lamp::Receive));
        QCOMPARE(rig->assembler.lastReceiveMs(), std::optional<qint64>(1000));
        rig->port.push("y");
        QVERIFY(!rig->host.lamps.value(LinkHost::Lamp::Receive));
        rig->port.push("{" + noise(100));
        rig->port.raise(SerialPort::Error);
        QVERIFY(rig->assembler.synced());
        QCOMPARE(rig->port.bytesWaiting(), 100);
    }

    void systemClockTellsTheLocalTimeOfDay()
    {
        const int before = QTime::currentTime().msecsSinceStartOfDay() / 1000;
        const int told = qRound(SystemClock().timeOfDay() * 86400);
        QVERIFY(told - before == 0 || told - before == 1);
    }

    void shortReadDropsTheFrame()
    {
        VanishingPort port;
        FakeLinkHost host;
        FakeClock clock;
        FrameAssembler assembler(port, host, clock);
        port.held = "{";
        emit port.notified(SerialPort::Receive);
        QVERIFY(assembler.synced());
        port.held = frame112(900).mid(1, 50);
        emit port.notified(SerialPort::Receive);
        QVERIFY(!assembler.synced() && host.events.isEmpty());
        QCOMPARE(assembler.counters().skippedBytes, 51);
    }
};

QTEST_APPLESS_MAIN(TestFrameAssembler)
#include "test_frame_assembler.moc"
