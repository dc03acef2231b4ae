// The link on a real line: a pseudo-terminal plays a USB serial adapter with a charger
// behind it, and the real QSerialPort, port list, port search and frame assembler find it,
// read it, lose it when it is pulled and find it again when it is plugged back.

#include "frame_builder.h"
#include "link/frame_assembler.h"
#include "link/port_search.h"
#include "platform/core/clock.h"
#include "platform/core/port_list.h"
#include "platform/core/qt_serial_port.h"
#include "support/fake_link_host.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <ctime>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

namespace {

const QString Connected = QStringLiteral("Serial port 1 was connected.");
const QString Lost = QStringLiteral("COM Port 1 was timeout,port was disconnected.");
// Pull and plug cycles; a leak of one descriptor per cycle shows after the second. Tried
// by hand with 20.
constexpr int Cycles = 5;

// Both channels charging, `capacity` mAh each.
QByteArray frame(int capacity)
{
    FrameBuilder f(Frame112Length);
    f.code(1, 2).capacity(6, capacity).pair(15, 1237);
    f.code(55, 2).capacity(60, capacity).pair(69, 840);
    return f;
}

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
        const QByteArray bytes = QByteArray("\x80\x01}", 3) + frame(++sent_);
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

class TestPtyLink : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    QString link() const { return dir.filePath(QStringLiteral("ttyUSB-charger")); }

private slots:
    void initTestCase()
    {
        if (!QFile::exists(QStringLiteral("/dev/ptmx")))
            QSKIP("this system has no pseudo-terminals");
        QVERIFY(dir.isValid());
    }

    void lineIsRaw9600BusyAndLosesNoFrame()
    {
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
    }

    void pulledAndPluggedAgain()
    {
        Adapter adapter(link());
        Link line(link());
        QTest::qWait(400); // searching a missing device
        // QSerialPort's lock file of the device, named after its path
        const QString lock = QStringLiteral("LCK..*") + QFileInfo(link()).fileName();
        // counted between search rounds, when no other port is being probed
        const auto descriptorCount = [&] {
            waitUntil([&] { return !line.search.probing(); });
            return descriptors().size();
        };
        qsizetype fds = 0;
        for (int cycle = 1; cycle <= Cycles; ++cycle) {
            adapter.plug(); // found within 2 s
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
};

QTEST_GUILESS_MAIN(TestPtyLink)
#include "test_pty_link.moc"
