#include "link/port_search.h"

#include "link/frame_assembler.h"
#include "link/link_host.h"
#include "platform/core/clock.h"
#include "platform/core/port_list.h"
#include "platform/core/serial_port.h"

#include <QCoreApplication>
#include <algorithm>

namespace {

// The charger's line, fixed: 9600 baud, 8N1, no flow control.
constexpr SerialPort::LineSettings ChargerLine { 9600, QSerialPort::Data8, QSerialPort::NoParity,
                                                 QSerialPort::OneStop, QSerialPort::NoFlowControl };

// "COM3" is port 3: the characters from the fourth on; 0 when they are not a number.
int portNumberOf(const QString &name)
{
    bool ok = false;
    const int n = name.mid(3).toInt(&ok);
    return ok ? n : 0;
}
} // namespace

PortSearch::PortSearch(SerialPort &port, const PortList &ports, LinkHost &host, const Clock &clock,
                       FrameAssembler &assembler, QObject *parent)
    : QObject(parent), port_(port), ports_(ports), host_(host), clock_(clock), assembler_(assembler)
{
    timer1_.setInterval(SearchIntervalMs);
    timerOut_.setInterval(WatchdogIntervalMs);
    probeTimer_.setInterval(ProbeWaitMs);
    probeTimer_.setSingleShot(true);
    connect(&timer1_, &QTimer::timeout, this, &PortSearch::Timer1_Timer);
    connect(&timerOut_, &QTimer::timeout, this, &PortSearch::Timer_out_Timer);
    connect(&probeTimer_, &QTimer::timeout, this, &PortSearch::probeWaitOver);
    connect(&port_, &SerialPort::notified, this, &PortSearch::onPortEvent);
    port_.setLineSettings(ChargerLine);
}

QStringList PortSearch::PortScan() const
{
    QStringList list;
    for (const QString &name : ports_.names())
        list << name.trimmed();
    list << QString();
    return list;
}

int PortSearch::portNumber() const
{
    return connected_ ? port_.portNumber() : 0;
}

void PortSearch::start()
{
    timer1_.start();
    Timer1_Timer();
}

void PortSearch::Timer1_Timer()
{
    if (probing_ || connected_)
        return;
    if (port_.isOpen())
        port_.close();
    const QStringList list = PortScan();
    watchAdapters(list);
    if (list.size() == 1) {
        timer1_.setInterval(NoPortsIntervalMs);
        return;
    }
    pending_.clear();
    for (qsizetype i = 0; i < list.size() - 1; ++i) {
        const int n = portNumberOf(list.at(i));
        if (n >= 1 && n <= HighestPortNumber)
            pending_ << n;
    }
    noteLeftOut(list);
    probing_ = true;
    probeNext();
}

void PortSearch::probeNext()
{
    while (!pending_.isEmpty()) {
        const int n = pending_.takeFirst();
        port_.setPortNumber(n);
        port_.setReceiveThreshold(0);
        switch (port_.open()) {
        case SerialPort::OpenResult::Opened:
            probeTimer_.start();
            return;
        case SerialPort::OpenResult::PermissionDenied:
            hint(permissionHint(port_.deviceName()));
            break;
        case SerialPort::OpenResult::Busy:
            hint(QCoreApplication::translate("PortSearch",
                                             "Cannot open %1: it is in use by another program.")
                     .arg(port_.deviceName()));
            break;
        case SerialPort::OpenResult::Failed:
            break;
        }
    }
    probing_ = false; // nothing heard; Timer1 searches again at its next tick
}

void PortSearch::probeWaitOver()
{
    if (!probing_)
        return;
    probeTimer_.stop();
    if (port_.isOpen() && port_.bytesWaiting() > 0)
        return connectTo(port_.portNumber());
    port_.close();
    probeNext();
}

void PortSearch::connectTo(int number)
{
    probing_ = false;
    pending_.clear();
    connected_ = true;
    connectedAtMs_ = clock_.monotonicMs();
    timerOut_.start();
    timer1_.stop();
    port_.setReceiveThreshold(1);
    host_.setLamp(LinkHost::Lamp::Connection, true);
    host_.State_add(QStringLiteral("Serial port %1 was connected.").arg(number));
    emit connectedChanged(true);
    // The bytes that told the port apart are waiting already, and the port notifies only
    // when more arrive; without this the first frame would wait for the next one. Posted,
    // so that it comes once the connection is in place; by the threshold rule then, as a
    // notification that came first may have read them or the connection may have ended.
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (port_.receiveDue())
                assembler_.onNotification(SerialPort::Receive);
        },
        Qt::QueuedConnection);
}

void PortSearch::hint(const QString &message)
{
    if (hinted_.contains(message))
        return;
    hinted_.insert(message);
    host_.State_add(message);
}

void PortSearch::noteLeftOut(const QStringList &list)
{
    QStringList devices;
    for (const QString &name : list) {
        const int n = portNumberOf(name);
        const QString device = n > HighestPortNumber ? ports_.device(n) : QString();
        if (!device.isEmpty() && !hinted_.contains(device)) {
            hinted_.insert(device);
            devices << device;
        }
    }
    if (!devices.isEmpty())
        host_.State_add(
            QCoreApplication::translate(
                "PortSearch", "Only the first %1 serial ports are searched; left out: %2.")
                .arg(HighestPortNumber)
                .arg(devices.join(QStringLiteral(", "))));
}

QString PortSearch::permissionHint(const QString &device) const
{
    const PortAccess access = access_();
    switch (access.dialout) {
    case PortAccess::Dialout::NotMember:
        return QCoreApplication::translate("PortSearch",
                                           "Cannot open %1: permission denied. Add your user to "
                                           "the dialout group (sudo usermod -aG dialout %2), "
                                           "then log out and back in.")
            .arg(device, access.user);
    case PortAccess::Dialout::FromNextLogin:
        return QCoreApplication::translate("PortSearch",
                                           "Cannot open %1: permission denied. You are in the "
                                           "dialout group, but not yet in this login: log out "
                                           "and back in.")
            .arg(device);
    case PortAccess::Dialout::InThisLogin:
        break;
    }
    // The group is not what keeps the port: say what else can.
    return QCoreApplication::translate("PortSearch", "Cannot open %1: permission denied.")
               .arg(device)
        + u' '
        + QCoreApplication::translate(
              "PortSearch",
              "You are in the dialout group, so something else keeps the port from you: "
              "another program holding it, ModemManager probing it as a modem, or a udev "
              "rule that gives it another group (ls -l %1 shows its group).")
              .arg(device);
}

void PortSearch::watchAdapters(const QStringList &list)
{
    const qint64 now = clock_.monotonicMs();
    QHash<QString, qint64> listed;
    for (const QString &name : list) {
        const QString device = ports_.device(portNumberOf(name));
        if (device.contains(QLatin1String("ttyUSB")))
            listed.insert(device, adapters_.value(device, now));
    }
    for (auto it = adapters_.cbegin(); it != adapters_.cend(); ++it)
        if (!listed.contains(it.key()) && now - it.value() <= BriefAdapterMs && access_().brltty)
            hint(QCoreApplication::translate(
                "PortSearch",
                "A USB serial adapter came and went at once: brltty, the braille display "
                "service, may be taking it. Without a braille display, remove it (sudo apt "
                "remove brltty) and plug the adapter in again."));
    adapters_ = listed;
}

void PortSearch::onPortEvent(int eventKind)
{
    if (eventKind != SerialPort::Gone || !connected_)
        return;
    // What the watchdog would do after the silence, now, and the search at once. The search
    // waits for the port's notification to return before it opens the port again.
    timeOut();
    host_.refreshChannelDropDown();
    QMetaObject::invokeMethod(this, &PortSearch::Timer1_Timer, Qt::QueuedConnection);
}

void PortSearch::Timer_out_Timer()
{
    if (connected_) {
        // Silence counts from the connection when no notification came since.
        const qint64 last
            = std::max(assembler_.lastReceiveMs().value_or(connectedAtMs_), connectedAtMs_);
        const qint64 silence = clock_.monotonicMs() - last;
        if (silence >= QuietMs)
            assembler_.lineQuiet();
        if (silence > SilenceLimitMs)
            timeOut();
    }
    host_.refreshChannelDropDown();
}

void PortSearch::timeOut()
{
    host_.State_add(
        QStringLiteral("COM Port %1 was timeout,port was disconnected.").arg(port_.portNumber()));
    port_.setPortNumber(0);
    port_.setReceiveThreshold(0);
    port_.close();
    connected_ = false;
    timerOut_.stop();
    timer1_.start();
    host_.setLamp(LinkHost::Lamp::Connection, false);
    assembler_.setReceiveLamp(false);
    host_.EndLiveDoc(1);
    host_.EndLiveDoc(2);
    emit connectedChanged(false);
}
