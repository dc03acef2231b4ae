#pragma once

#include "platform/core/port_access.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QSet>
#include <QStringList>
#include <QTimer>

#include <functional>

class Clock;
class FrameAssembler;
class LinkHost;
class PortList;
class SerialPort;

// Finds the charger's port and watches it. While searching, Timer1 probes the listed ports
// in order: open, wait 30 ms without blocking, keep the first with bytes waiting. While
// connected, Timer_out closes the port after more than 10 s without a notification and
// the search starts over; a device that goes away (adapter pulled) ends the connection the
// same way at once.
class PortSearch : public QObject {
    Q_OBJECT
public:
    static constexpr int SearchIntervalMs = 300;
    static constexpr int NoPortsIntervalMs = 1200;
    static constexpr int WatchdogIntervalMs = 1500;
    static constexpr int ProbeWaitMs = 30;
    static constexpr qint64 SilenceLimitMs = 10000;
    // Twice a frame's interval: what is still held then will not be completed.
    static constexpr qint64 QuietMs = 2000;
    static constexpr int HighestPortNumber = 16;
    // A USB adapter gone this soon after it came was most likely taken by brltty.
    static constexpr qint64 BriefAdapterMs = 2000;

    PortSearch(SerialPort &port, const PortList &ports, LinkHost &host, const Clock &clock,
               FrameAssembler &assembler, QObject *parent = nullptr);

    // The listed port names in list order, then one empty entry.
    QStringList PortScan() const;
    // Enables Timer1 and runs the first search round now.
    void start();
    // One search round; a tick that comes while a round is still probing does nothing,
    // and so does a tick while connected.
    void Timer1_Timer();
    void Timer_out_Timer();
    // Ends the running probe's 30 ms wait now; the probe timer calls it otherwise.
    void probeWaitOver();

    QTimer &Timer1() { return timer1_; }
    QTimer &Timer_out() { return timerOut_; }
    const QTimer &probeTimer() const { return probeTimer_; }
    bool probing() const { return probing_; }
    bool connected() const { return connected_; }
    // The charger's port number while connected, otherwise 0.
    int portNumber() const;
    // Where the hints learn about group membership and brltty; the system by default.
    void setPortAccess(std::function<PortAccess()> access) { access_ = std::move(access); }

signals:
    void connectedChanged(bool connected);

private:
    void probeNext();
    void connectTo(int number);
    void onPortEvent(int eventKind);
    void timeOut();
    void noteLeftOut(const QStringList &list);
    void watchAdapters(const QStringList &list);
    QString permissionHint(const QString &device) const;
    // Posts `message` unless it was posted before.
    void hint(const QString &message);

    SerialPort &port_;
    const PortList &ports_;
    LinkHost &host_;
    const Clock &clock_;
    FrameAssembler &assembler_;
    QTimer timer1_;
    QTimer timerOut_;
    QTimer probeTimer_;
    QList<int> pending_; // port numbers still to probe in this round
    QSet<QString> hinted_; // hints and left-out devices already posted
    QHash<QString, qint64> adapters_; // USB serial devices listed, and since when
    std::function<PortAccess()> access_ = systemPortAccess;
    qint64 connectedAtMs_ = 0;
    bool probing_ = false;
    bool connected_ = false;
};
