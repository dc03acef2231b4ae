#include "frame_builder.h"
#include "link/frame_assembler.h"
#include "link/port_search.h"
#include "platform/core/clock.h"
#include "platform/core/port_list.h"
#include "platform/core/qt_serial_port.h"
#include "platform/scripted/scripted_serial_port.h"
#include "support/fake_clock.h"
#include "support/fake_link_host.h"
#include "support/scripted_port_list.h"

#include <QtTest>
#include <sys/stat.h>

#include <ctime>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

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

    PortAccess access { PortAccess::Dialout::NotMember, QStringLiteral("ann"), false };

    Rig()
    {
        ports.list = { "COM1", "COM3" };
        search.setPortAccess([this] { return access; });
    }
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

const QString Connected = QStringLiteral("Serial port 1 was connected.");
const QString Lost = QStringLiteral("COM Port 1 was timeout,port was disconnected.");
// Pull and plug cycles; a leak of one descriptor per cycle shows after the second. Tried
// by hand with 20.
constexpr int Cycles = 5;

// A pseudo-terminal named by a symbolic link, as udev names an adapter. Its charger sends a
// frame with noise every 15 ms once sending, numbering them from 1 by their capacity; pulling
// closes the charger's side, which hangs the line up, and removes the link.
struct Adapter {
    explicit Adapter(QString link) : link_(std::move(link))
    {
        timer_.setInterval(15);
        QObject::connect(&timer_, &QTimer::timeout, [this] { send(); });
    }
    ~Adapter() { pull(); }
    Q_DISABLE_COPY_MOVE(Adapter)

    void plug(bool sending = true)
    {
        master_ = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
        QVERIFY(master_ >= 0 && grantpt(master_) == 0 && unlockpt(master_) == 0);
        slave_ = QString::fromLocal8Bit(ptsname(master_));
        // The line as another program may have left it: fast, 7E2, line-edited.
        const int fd = ::open(ptsname(master_), O_RDWR | O_NOCTTY);
        termios t {};
        QVERIFY(fd >= 0 && tcgetattr(fd, &t) == 0);
        cfsetspeed(&t, B115200);
        t.c_cflag = (t.c_cflag & ~CSIZE) | CS7 | PARENB | CSTOPB;
        t.c_lflag &= ~ECHO; // nobody reads the echo
        QVERIFY(tcsetattr(fd, TCSANOW, &t) == 0);
        ::close(fd);
        QVERIFY(QFile::link(slave_, link_));
        if (sending)
            timer_.start();
    }
    void send()
    {
        ++sent_; // both channels charging, `sent_` mAh each
        const QByteArray bytes = QByteArray("\x80\x01}", 3)
            + QByteArray(charging(112).capacity(6, sent_).capacity(60, sent_));
        QCOMPARE(::write(master_, bytes.constData(), size_t(bytes.size())), bytes.size());
    }
    void pull()
    {
        timer_.stop();
        if (master_ >= 0)
            ::close(master_);
        master_ = -1;
        QFile::remove(link_);
    }
    QString link_, slave_;
    int master_ = -1, sent_ = 0;
    QTimer timer_;
};

// The link as the main window owns it, on the real serial port and port list.
struct Link {
    explicit Link(const QString &device)
    {
        qputenv("CHARGEMON_PORTS", device.toLocal8Bit());
        search.start();
    }
    ~Link() { qunsetenv("CHARGEMON_PORTS"); }

    int said(const QString &message) const { return int(host.messages.count(message)); }
    int readings(int channel) const { return host.count(FakeLinkHost::Event::Reading, channel); }

    SystemClock clock;
    SystemPortList ports;
    QtSerialPort port { ports };
    FakeLinkHost host;
    FrameAssembler assembler { port, host, clock };
    PortSearch search { port, ports, host, clock, assembler };
};

// Runs the event loop as the program does; QTRY's waits sleep between rounds of events.
template <typename Condition> bool waitUntil(Condition done, int ms = 10000)
{
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
    return done();
}

// This process's open descriptors and what each leads to.
QMap<int, QString> descriptors()
{
    QMap<int, QString> out;
    const QDir fds(QStringLiteral("/proc/self/fd"));
    for (const QString &fd : fds.entryList(QDir::NoDotAndDotDot | QDir::System | QDir::Files))
        out[fd.toInt()] = QFile::symLinkTarget(fds.filePath(fd));
    return out;
}

} // namespace

using Listed = QList<SystemPortList::Listed>;

class TestPortSearch : public QObject {
    Q_OBJECT
    std::unique_ptr<Rig> rig;
    QTemporaryDir dir;
    QString link() const { return dir.filePath(QStringLiteral("ttyUSB-charger")); }

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
        const QString denied = "Cannot open /dev/scripted%1: permission denied. Add your user to "
                               "the dialout group (sudo usermod -aG dialout ann), then log out "
                               "and back in.";
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

    // A refused port's hint follows the group membership; an adapter that comes and goes
    // within 2 s while brltty is installed is said once to be brltty's doing.
    void accessHints_data()
    {
        QTest::addColumn<int>("dialout");
        QTest::addColumn<bool>("brltty");
        QTest::addColumn<qint64>("goneAfterMs"); // -1: stays
        QTest::addColumn<QString>("says"); // besides "permission denied."
        using D = PortAccess::Dialout;
        QTest::newRow("not in the group") << int(D::NotMember) << true << qint64(-1)
                                          << "(sudo usermod -aG dialout ann), then log out";
        QTest::newRow("in the group from the next login")
            << int(D::FromNextLogin) << false << qint64(-1) << "not yet in this login: log out";
        QTest::newRow("gone within 2 s, brltty")
            << int(D::InThisLogin) << true << qint64(2000) << "(sudo apt remove brltty)";
        QTest::newRow("gone later")
            << int(D::InThisLogin) << true << qint64(2001) << "ModemManager probing it";
        QTest::newRow("gone at once, no brltty")
            << int(D::InThisLogin) << false << qint64(300) << "(ls -l /dev/scripted1 shows";
    }
    void accessHints()
    {
        QFETCH(int, dialout);
        QFETCH(bool, brltty);
        QFETCH(qint64, goneAfterMs);
        QFETCH(QString, says);
        rig->access = { PortAccess::Dialout(dialout), "ann", brltty };
        rig->ports.devices = "/dev/ttyUSB%1";
        rig->port.refuse(1, SerialPort::OpenResult::PermissionDenied);
        for (int twice = 0; twice < 2; ++twice) {
            rig->ports.list = { "COM1" };
            rig->search.Timer1_Timer();
            rig->finishProbes();
            if (goneAfterMs >= 0) {
                rig->clock.advanceMs(goneAfterMs / 2); // still there: it counts from its coming
                rig->search.Timer1_Timer();
                rig->finishProbes();
                rig->clock.advanceMs(goneAfterMs - goneAfterMs / 2);
                rig->ports.list.clear();
                rig->search.Timer1_Timer();
            }
        }
        const QString all = rig->host.messages.join(u'\n');
        QVERIFY2(all.startsWith("Cannot open /dev/scripted1: permission denied.")
                     && all.contains(says)
                     && rig->host.messages.size() == (says.contains("brltty") ? 2 : 1),
                 qPrintable(all));
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
            rig->port.push("{z"); // a frame begun, given up once the line is quiet
        }
        rig->host.live[0] = rig->host.live[1] = true;
        rig->clock.advanceMs(silenceMs);
        rig->search.Timer_out_Timer();
        QVERIFY(!rig->assembler.synced());
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

    // On a real line: a pseudo-terminal plays a USB serial adapter with a charger behind it,
    // and the real QSerialPort, port list, port search and frame assembler find it, read it,
    // lose it when it is pulled and find it again when it is plugged back.
    void realLine()
    {
        if (!QFile::exists(QStringLiteral("/dev/ptmx")))
            QSKIP("this system has no pseudo-terminals");
        Adapter adapter(link());
        adapter.plug(false);
        Link line(link()); // probes the port at once
        QSignalSpy notified(&line.port, &SerialPort::notified);
        adapter.send(); // heard by the probe, and read without waiting for a next frame
        QVERIFY(waitUntil([&] { return line.readings(2) == 1; }, 2000));
        QCOMPARE(notified.size(), 0); // a probing port, at threshold 0, does not notify
        adapter.timer_.start();
        QVERIFY(waitUntil([&] { return line.readings(2) >= 20; }));

        // A pseudo-terminal keeps 8 data bits and no parity whatever is asked of it; those
        // are checked where the link asks its port for them.
        termios t {};
        QVERIFY(tcgetattr(descriptors().key(adapter.slave_, -1), &t) == 0);
        QCOMPARE(QList<speed_t>({ cfgetispeed(&t), cfgetospeed(&t) }), QList<speed_t>(2, B9600));
        QCOMPARE(QList<tcflag_t>({ t.c_cflag & CSTOPB, t.c_lflag & (ICANON | ECHO | ISIG | IEXTEN),
                                   t.c_iflag & (ICRNL | INLCR | IGNCR | ISTRIP | IXON | PARMRK) }),
                 QList<tcflag_t>(3, 0));
        // every frame whole, in order, on both channels, from the first sent
        const QList<ChannelReading> readings = line.host.readings(2);
        for (qsizetype i = 0; i < readings.size(); ++i)
            QCOMPARE(readings[i][Cap].number()->roundedHalfEven(), i + 1);

        QtSerialPort other(line.ports); // another program
        other.setPortNumber(1);
        QCOMPARE(other.open(), SerialPort::OpenResult::Busy);

        // Pulled and plugged again, each time lost and found within 2 s, leaking nothing.
        // QSerialPort's lock file of the device, named after its path
        const QString lock = QStringLiteral("LCK..*") + QFileInfo(link()).fileName();
        // counted between search rounds, when no other port is being probed
        const auto descriptorCount = [&] {
            waitUntil([&] { return !line.search.probing(); });
            return descriptors().size();
        };
        qsizetype fds = 0;
        for (int cycle = 1; cycle <= Cycles; ++cycle) {
            if (cycle > 1)
                adapter.plug();
            QVERIFY(waitUntil([&] { return line.said(Connected) == cycle; }, 2000));
            const int before = line.readings(1);
            QVERIFY(waitUntil([&] { return line.readings(1) >= before + 3; }));

            const std::clock_t cpu = std::clock();
            adapter.pull(); // lost within 2 s
            QVERIFY(waitUntil([&] { return line.said(Lost) == cycle; }, 2000));
            QVERIFY(!descriptors().values().contains(adapter.slave_));
            QTest::qWait(200); // searching, and quiet about it
            QVERIFY2(std::clock() - cpu < CLOCKS_PER_SEC / 5,
                     qPrintable(QString::number(std::clock() - cpu)));
            QCOMPARE(QDir(QStringLiteral("/var/lock")).entryList({ lock }), QStringList());
            if (cycle == 1)
                fds = descriptorCount();
        }
        QCOMPARE(descriptorCount(), fds);
    }

    // The platform's list of ports, in the order they are searched.
    // The environment's devices, then USB and ACM adapters, then the rest; each once.
    void order()
    {
        Listed mixed;
        for (const QString name : { "ttyS0", "ttyUSB1", "ttyS1", "ttyACM0" })
            mixed.append({ name, "/dev/" + name });
        QCOMPARE(SystemPortList::ordered("/tmp/b:/tmp/a", mixed),
                 QStringList({ "/tmp/b", "/tmp/a", "/dev/ttyUSB1", "/dev/ttyACM0", "/dev/ttyS0",
                               "/dev/ttyS1" }));
        QCOMPARE(SystemPortList::ordered("/dev/ttyS1", mixed),
                 QStringList({ "/dev/ttyS1", "/dev/ttyUSB1", "/dev/ttyACM0", "/dev/ttyS0" }));
        QCOMPARE(SystemPortList::ordered(":/tmp/a::", {}), QStringList({ "/tmp/a" }));
    }

    void systemAskedWhenNodesChange()
    {
        QTemporaryDir nodes;
        const auto age = [&](int seconds) {
            const timespec then[2]
                = { { time(nullptr) - seconds, 0 }, { time(nullptr) - seconds, 0 } };
            QVERIFY(utimensat(AT_FDCWD, qPrintable(nodes.path()), then, 0) == 0);
        };
        int asked = 0;
        SystemPortList ports(nodes.path(), [&] {
            ++asked;
            return Listed { { "ttyUSB0", "/dev/ttyUSB0" } };
        });
        age(60);
        ports.names();
        ports.names();
        QCOMPARE(asked, 1);
        QCOMPARE(ports.device(1), QStringLiteral("/dev/ttyUSB0"));
        QFile node(nodes.filePath("ttyUSB1")); // plugged
        QVERIFY(node.open(QIODevice::WriteOnly));
        ports.names();
        ports.names(); // settling
        QCOMPARE(asked, 3);
        age(30);
        ports.names();
        ports.names();
        QCOMPARE(asked, 4);
    }

    void namesNumberTheDevices()
    {
        qputenv("CHARGEMON_PORTS", "/tmp/charger");
        SystemPortList ports(QString(), [] { return Listed(); });
        QCOMPARE(ports.device(1), QString()); // nothing listed yet
        QCOMPARE(ports.names().value(0), QStringLiteral("COM1"));
        qunsetenv("CHARGEMON_PORTS");
        QCOMPARE(ports.device(1), QStringLiteral("/tmp/charger"));
        QVERIFY(ports.device(0).isEmpty() && ports.device(ports.names().size() + 1).isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestPortSearch)
#include "test_port_search.moc"
