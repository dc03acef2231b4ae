#include "link/frame_assembler.h"
#include "link/port_search.h"
#include "platform/port_list.h"
#include "platform/scripted_serial_port.h"
#include "support/fake_clock.h"
#include "support/fake_link_host.h"
#include "support/scripted_port_list.h"

#include <QSignalSpy>
#include <QTest>

namespace {

const QString Connected3 = QStringLiteral("Serial port 3 was connected.");
const QString TimedOut3 = QStringLiteral("COM Port 3 was timeout,port was disconnected.");

} // namespace

class TestPortSearch : public QObject {
    Q_OBJECT

    struct Rig {
        ScriptedSerialPort port;
        ScriptedPortList ports;
        FakeLinkHost host;
        FakeClock clock;
        FrameAssembler assembler { port, host, clock };
        PortSearch search { port, ports, host, clock, assembler };

        explicit Rig(QStringList names = { "COM1", "COM3" }) { ports.list = std::move(names); }
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

private slots:
    void portScanListsNamesThenEmpty()
    {
        Rig rig({ " COM2 ", "COM10" });
        QCOMPARE(rig.search.PortScan(), QStringList({ "COM2", "COM10", "" }));
        rig.ports.list.clear();
        QCOMPARE(rig.search.PortScan(), QStringList({ "" }));
    }

    void keepsTheSendingPort()
    {
        Rig rig;
        rig.port.sendOnOpen(3, "{abc");
        rig.search.start();
        QVERIFY(rig.search.Timer1().isActive());
        QCOMPARE(rig.search.Timer1().interval(), 300);
        QCOMPARE(rig.port.openedPorts(), QList<int>({ 1 }));
        QVERIFY(rig.search.probeTimer().isActive()); // waits on a timer, not a sleep
        QCOMPARE(rig.search.probeTimer().interval(), 30);
        QCOMPARE(rig.port.receiveThreshold(), 0);

        rig.search.probeWaitOver(); // COM1 silent: closed, COM3 next
        QCOMPARE(rig.port.openedPorts(), QList<int>({ 1, 3 }));
        QVERIFY(!rig.search.connected());
        rig.search.probeWaitOver();

        QVERIFY(rig.search.connected());
        QCOMPARE(rig.search.portNumber(), 3);
        QCOMPARE(rig.host.messages, QStringList({ Connected3 }));
        QVERIFY(rig.host.lamps.value(LinkHost::Lamp::Connection));
        QVERIFY(!rig.search.Timer1().isActive());
        QVERIFY(rig.search.Timer_out().isActive());
        QCOMPARE(rig.search.Timer_out().interval(), 1500);
        QVERIFY(rig.port.isOpen());
        QCOMPARE(rig.port.portNumber(), 3);
        QCOMPARE(rig.port.receiveThreshold(), 1);
        // the bytes that told the port apart are the assembler's
        rig.port.push("x");
        QVERIFY(rig.assembler.synced());
    }

    void skipsNamesOutOfRange()
    {
        Rig rig({ "COM17", "COM16", "COMx", "COM", "COM0", "COM99", "COM2" });
        rig.search.start();
        rig.finishProbes();
        QCOMPARE(rig.port.openedPorts(), QList<int>({ 16, 2 }));
        QVERIFY(!rig.port.isOpen());
        QVERIFY(rig.host.messages.isEmpty());
    }

    void noPortsSlowsTheSearch()
    {
        Rig rig(QStringList {});
        rig.search.start();
        QCOMPARE(rig.search.Timer1().interval(), 1200);
        QVERIFY(rig.search.Timer1().isActive());
        QVERIFY(rig.port.openedPorts().isEmpty());
        rig.ports.list = { "COM3" };
        rig.port.sendOnOpen(3, "a");
        rig.search.Timer1_Timer();
        rig.finishProbes();
        QVERIFY(rig.search.connected());
        QCOMPARE(rig.search.Timer1().interval(), 1200); // not set back
    }

    void lateChargerFoundAtALaterTick()
    {
        Rig rig;
        rig.search.start();
        rig.search.Timer1_Timer(); // a tick during the round starts nothing
        QCOMPARE(rig.port.openedPorts(), QList<int>({ 1 }));
        rig.finishProbes();
        QCOMPARE(rig.port.openedPorts(), QList<int>({ 1, 3 }));
        QVERIFY(!rig.search.connected());
        QVERIFY(rig.search.Timer1().isActive());

        rig.port.sendOnOpen(3, "a");
        rig.search.Timer1_Timer();
        rig.finishProbes();
        QCOMPARE(rig.port.openedPorts(), QList<int>({ 1, 3, 1, 3 }));
        QVERIFY(rig.search.connected());
        QCOMPARE(rig.host.messages, QStringList({ Connected3 }));
    }

    void unopenablePortsSkipped()
    {
        Rig rig({ "COM1", "COM2", "COM3", "COM4" });
        rig.port.denyPermission(1);
        rig.port.removePort(2);
        rig.port.denyPermission(4);
        rig.search.start();
        rig.finishProbes();
        rig.search.Timer1_Timer();
        rig.finishProbes();
        QCOMPARE(rig.port.openedPorts(), QList<int>({ 1, 2, 3, 4, 1, 2, 3, 4 }));
        // one hint per device and run, naming the device and the group
        QCOMPARE(
            rig.host.messages,
            QStringList({ "Cannot open /dev/scripted1: permission denied. Add your user to "
                          "the dialout group (sudo adduser $USER dialout) and log in again.",
                          "Cannot open /dev/scripted4: permission denied. Add your user to "
                          "the dialout group (sudo adduser $USER dialout) and log in again." }));
        rig.port.sendOnOpen(3, "a");
        rig.search.Timer1_Timer();
        rig.finishProbes();
        QVERIFY(rig.search.connected());
        QCOMPARE(rig.host.messages.size(), 3);
    }

    void watchdogSilence_data()
    {
        QTest::addColumn<qint64>("silenceMs");
        QTest::addColumn<bool>("trips");
        QTest::newRow("short") << qint64(1500) << false;
        QTest::newRow("exactly 10 s") << qint64(10000) << false;
        QTest::newRow("just over") << qint64(10001) << true;
        QTest::newRow("11.5 s") << qint64(11500) << true;
    }
    void watchdogSilence()
    {
        QFETCH(qint64, silenceMs);
        QFETCH(bool, trips);
        Rig rig;
        rig.connectTo3();
        rig.clock.advanceMs(4000);
        rig.port.push("z"); // last notification
        rig.clock.advanceMs(silenceMs);
        rig.search.Timer_out_Timer();
        QCOMPARE(rig.search.connected(), !trips);
        if (!trips) {
            QVERIFY(rig.port.isOpen());
            QCOMPARE(rig.host.events.size(), 0);
            return;
        }
        QCOMPARE(rig.host.messages.last(), TimedOut3);
        QVERIFY(!rig.port.isOpen());
        QCOMPARE(rig.port.portNumber(), 0);
        QCOMPARE(rig.port.receiveThreshold(), 0);
        QCOMPARE(rig.search.portNumber(), 0);
        QVERIFY(!rig.host.lamps.value(LinkHost::Lamp::Connection));
        QVERIFY(!rig.host.lamps.value(LinkHost::Lamp::Receive));
        QVERIFY(!rig.search.Timer_out().isActive());
        QVERIFY(rig.search.Timer1().isActive());
        QCOMPARE(rig.host.count(FakeLinkHost::Event::End, 1), 1);
        QCOMPARE(rig.host.count(FakeLinkHost::Event::End, 2), 1);
    }

    void silenceCountsFromTheConnection()
    {
        Rig rig;
        rig.clock.advanceMs(60000);
        rig.port.raise(SerialPort::Error); // an old notification, before the connection
        rig.clock.advanceMs(60000);
        rig.connectTo3();
        rig.clock.advanceMs(9000);
        rig.search.Timer_out_Timer();
        QVERIFY(rig.search.connected());
        rig.clock.advanceMs(1001);
        rig.search.Timer_out_Timer();
        QVERIFY(!rig.search.connected());
    }

    void silenceAcrossMidnight()
    {
        Rig rig;
        rig.clock = FakeClock(QDateTime(QDate(2026, 12, 6), QTime(23, 59, 55)));
        rig.connectTo3();
        rig.port.push("a");
        rig.clock.advanceMs(8000); // 00:00:03 the next day
        rig.search.Timer_out_Timer();
        QVERIFY(rig.search.connected());
        rig.clock.advanceMs(4000);
        rig.search.Timer_out_Timer();
        QVERIFY(!rig.search.connected());
    }

    void reconnectsAfterTimeOut()
    {
        Rig rig;
        rig.connectTo3();
        rig.clock.advanceMs(12000);
        rig.search.Timer_out_Timer();
        QVERIFY(!rig.search.connected());
        rig.port.sendOnOpen(3, "b");
        rig.search.Timer1_Timer();
        rig.finishProbes();
        QVERIFY(rig.search.connected());
        QCOMPARE(rig.host.messages, QStringList({ Connected3, TimedOut3, Connected3 }));
        // the fresh connection gets its own 10 s
        rig.clock.advanceMs(9000);
        rig.search.Timer_out_Timer();
        QVERIFY(rig.search.connected());
    }

    void channelDropDownFollowsLiveDocuments()
    {
        Rig rig;
        rig.connectTo3();
        rig.search.Timer_out_Timer();
        rig.host.live[0] = rig.host.live[1] = true;
        rig.search.Timer_out_Timer();
        rig.host.live[1] = false;
        rig.search.Timer_out_Timer();
        rig.host.live[1] = true;
        rig.clock.advanceMs(20000);
        rig.search.Timer_out_Timer(); // the time-out ends both before the drop-down step
        QCOMPARE(rig.host.dropDown, QList<bool>({ false, true, false, false }));
    }

    void timersDriveTheSearch()
    {
        // The real timers, for the wiring: a round started by start() finishes on its own.
        Rig rig;
        rig.port.sendOnOpen(3, "a");
        QSignalSpy connected(&rig.search, &PortSearch::connectedChanged);
        rig.search.start();
        QVERIFY(connected.wait(5000));
        QCOMPARE(connected.value(0).value(0).toBool(), true);
    }
};

QTEST_GUILESS_MAIN(TestPortSearch)
#include "test_port_search.moc"
