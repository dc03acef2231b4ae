#include "frame_builder.h"
#include "link/frame_assembler.h"
#include "link/port_search.h"
#include "platform/core/port_list.h"
#include "platform/scripted/scripted_serial_port.h"
#include "support/fake_clock.h"
#include "support/fake_link_host.h"
#include "support/scripted_port_list.h"

#include <QSignalSpy>
#include <QTest>

namespace {

const QString Connected3 = QStringLiteral("Serial port 3 was connected.");
const QString TimedOut3 = QStringLiteral("COM Port 3 was timeout,port was disconnected.");

struct Rig {
    ScriptedSerialPort port;
    ScriptedPortList ports;
    FakeLinkHost host;
    FakeClock clock;
    FrameAssembler assembler { port, host, clock };
    PortSearch search { port, ports, host, clock, assembler };

    Rig() { ports.list = { "COM1", "COM3" }; }
    // Lets every running probe's 30 ms wait end.
    void finishProbes()
    {
        while (search.probing())
            search.probeWaitOver();
    }
    void connectTo3()
    {
        port.sendOnOpen(3, "\x01\x02");
        search.start();
        finishProbes();
        QVERIFY(search.connected());
    }
};

// The connection ended as the watchdog ends it, both channels' runs with it.
void verifyEnded(Rig &rig)
{
    QCOMPARE(rig.host.messages.last(), TimedOut3);
    QVERIFY(!rig.search.connected() && !rig.port.isOpen());
    QVERIFY(!rig.host.lamps.values().contains(true));
    QVERIFY(!rig.search.Timer_out().isActive() && rig.search.Timer1().isActive());
    QCOMPARE(QList<int>({ int(rig.host.events.size()), rig.host.count(FakeLinkHost::Event::End, 1),
                          rig.host.count(FakeLinkHost::Event::End, 2) }),
             QList<int>({ 2, 1, 1 }));
}

} // namespace

class TestPortSearch : public QObject {
    Q_OBJECT
    std::unique_ptr<Rig> rig;

private slots:
    void init() { rig = std::make_unique<Rig>(); }

    // Names beyond COM16 and ports that will not open are passed over; each is said once per
    // device, naming it and what to do.
    void findsTheSendingPort()
    {
        using Open = SerialPort::OpenResult;
        rig->ports.list.clear();
        rig->search.start();
        QCOMPARE(rig->search.Timer1().interval(), 1200); // no ports: searched less often
        rig->ports.list
            = { "COM17", "COM16", "COMx", "COM", "COM0", "COM99", "COM2", "COM4", "COM1", "COM3" };
        rig->port.refuse(16, Open::PermissionDenied);
        rig->port.refuse(2, Open::Failed);
        rig->port.refuse(4, Open::Busy);
        rig->port.refuse(1, Open::PermissionDenied);
        rig->search.Timer1_Timer();
        rig->search.Timer1_Timer(); // a tick during the round starts nothing
        QCOMPARE(rig->port.openedPorts(), QList<int>({ 16, 2, 4, 1, 3 }));
        QVERIFY(rig->search.probeTimer().isActive()); // waits on a timer, not a sleep
        rig->finishProbes();
        QVERIFY(!rig->search.connected() && !rig->port.isOpen() && rig->search.Timer1().isActive());

        rig->port.sendOnOpen(3, FrameBuilder(Frame112Length).code(1, 2));
        rig->ports.list << "COM18";
        rig->search.Timer1_Timer();
        rig->finishProbes();
        QCOMPARE(rig->port.openedPorts(), QList<int>({ 16, 2, 4, 1, 3, 16, 2, 4, 1, 3 }));
        const QString leftOut = "Only the first 16 serial ports are searched; left out: %1.";
        const QString denied
            = "Cannot open /dev/scripted%1: permission denied. Add your user "
              "to the dialout group (sudo adduser $USER dialout) and log in again.";
        QCOMPARE(rig->host.messages,
                 QStringList({ leftOut.arg("/dev/scripted17, /dev/scripted99"), denied.arg(16),
                               "Cannot open /dev/scripted4: it is in use by another program.",
                               denied.arg(1), leftOut.arg("/dev/scripted18"), Connected3 }));
        QVERIFY(rig->host.lamps.value(LinkHost::Lamp::Connection));
        QVERIFY(!rig->search.Timer1().isActive() && rig->search.Timer_out().isActive());
        QCOMPARE(rig->search.Timer1().interval(), 1200); // not set back
        const SerialPort::LineSettings l = rig->port.lineSettings(); // 9600 8N1, no flow control
        QCOMPARE(QList<int>({ l.baudRate, l.dataBits, l.parity, l.stopBits, l.flowControl }),
                 QList<int>({ 9600, 8, QSerialPort::NoParity, 1, QSerialPort::NoFlowControl }));
        // the frame that told the port apart is read without waiting for the next one
        QCoreApplication::processEvents();
        QCOMPARE(rig->host.count(FakeLinkHost::Event::Reading, 1), 1);
    }

    void watchdogSilence_data()
    {
        QTest::addColumn<QTime>("start");
        QTest::addColumn<bool>("heardBeforeConnecting"); // else 4 s after
        QTest::addColumn<qint64>("silenceMs");
        QTest::addColumn<bool>("trips");
        const QTime ten(10, 0);
        QTest::newRow("exactly 10 s") << ten << false << qint64(10000) << false;
        QTest::newRow("just over") << ten << false << qint64(10001) << true;
        QTest::newRow("across midnight") << QTime(23, 59, 55) << false << qint64(10001) << true;
        // silence counts from the connection when nothing was heard since
        QTest::newRow("old, 10 s") << ten << true << qint64(10000) << false;
        QTest::newRow("old, just over") << ten << true << qint64(10001) << true;
    }
    void watchdogSilence()
    {
        QFETCH(QTime, start);
        QFETCH(bool, heardBeforeConnecting);
        QFETCH(qint64, silenceMs);
        QFETCH(bool, trips);
        rig->clock = FakeClock(QDateTime(QDate(2026, 12, 6), start));
        if (heardBeforeConnecting) {
            rig->port.raise(SerialPort::Error);
            rig->clock.advanceMs(60000);
        }
        rig->connectTo3();
        if (!heardBeforeConnecting) {
            rig->clock.advanceMs(4000);
            rig->port.push("z");
        }
        rig->host.live[0] = rig->host.live[1] = true;
        rig->clock.advanceMs(silenceMs);
        rig->search.Timer_out_Timer();
        QCOMPARE(rig->search.connected(), !trips);
        // the channel drop-down follows the live runs, refreshed after a time-out ends them
        QCOMPARE(rig->host.dropDown, QList<bool>({ !trips }));
        if (!trips) {
            QVERIFY(rig->port.isOpen() && rig->host.events.isEmpty());
            return;
        }
        verifyEnded(*rig);

        // the search finds the charger again, and the new connection gets its own 10 s
        rig->port.sendOnOpen(3, "b");
        rig->search.Timer1_Timer();
        rig->finishProbes();
        QCOMPARE(rig->host.messages, QStringList({ Connected3, TimedOut3, Connected3 }));
        rig->clock.advanceMs(9000);
        rig->search.Timer_out_Timer();
        QVERIFY(rig->search.connected());
    }

    void pulledAdapterEndsTheRunAtOnce()
    {
        rig->connectTo3();
        rig->host.live[0] = rig->host.live[1] = true;
        rig->port.push("{ab"); // a frame begun
        QVERIFY(rig->assembler.synced());
        const auto heard = rig->assembler.lastReceiveMs();
        rig->clock.advanceMs(500);
        rig->port.pull();
        verifyEnded(*rig);
        QCOMPARE(rig->host.dropDown, QList<bool>({ false }));
        QCOMPARE(rig->assembler.lastReceiveMs(), heard); // going away is not receiving
        QVERIFY(!rig->assembler.synced());

        // searching again at once, not at the next tick, and hearing nothing of the lost port
        rig->port.sendOnOpen(3, "{");
        QCoreApplication::processEvents();
        QVERIFY(!rig->host.lamps.value(LinkHost::Lamp::Receive));
        rig->finishProbes();
        QVERIFY(rig->search.connected());
        rig->port.pull();
        rig->port.pull(); // a device pulled twice ends one run
        QCOMPARE(rig->host.messages, QStringList({ Connected3, TimedOut3, Connected3, TimedOut3 }));
    }

    // On the real timer (the search's own rounds run on theirs in the pseudo-terminal test).
    void watchdogRunsOnItsTimer()
    {
        rig->connectTo3();
        QSignalSpy connected(&rig->search, &PortSearch::connectedChanged);
        QCoreApplication::processEvents(); // hears the bytes it found the port by
        rig->clock.advanceMs(10001);
        QVERIFY(connected.wait(5000));
        QVERIFY(!rig->search.connected());
    }
};

QTEST_GUILESS_MAIN(TestPortSearch)
#include "test_port_search.moc"
