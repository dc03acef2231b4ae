#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <functional>

// The platform's serial ports in the form the program expects: names whose characters
// from the fourth on are a number ("COM1", "COM2" ...), each mapped to a device.
class PortList {
public:
    virtual ~PortList() = default;
    // Lists the ports afresh, so a charger plugged in later is found.
    virtual QStringList names() const = 0;
    // The device of port `number` in the last listing ("" when there is none).
    virtual QString device(int number) const = 0;
};

// Devices named in CHARGEMON_PORTS (colon-separated paths) first, then USB and ACM
// devices, then the rest, numbered from 1 in that order.
//
// Asking the system costs hundreds of file opens, and the search lists the ports three times
// a second all evening. A port that comes or goes is a node that comes or goes in /dev, so
// the system is asked again only when /dev has changed, and for a few seconds after a
// change, while the node's description may still be on its way.
class SystemPortList final : public PortList {
public:
    // A port the system lists: its name ("ttyUSB0") and device ("/dev/ttyUSB0").
    struct Listed {
        QString name, device;
    };
    using Lister = std::function<QList<Listed>()>;

    explicit SystemPortList(QString nodes = QStringLiteral("/dev"), Lister lister = systemPorts);

    static QList<Listed> systemPorts();
    static QStringList ordered(const QString &fromEnv, const QList<Listed> &listed);

    QStringList names() const override;
    QString device(int number) const override;

private:
    QString nodes_;
    Lister lister_;
    mutable QList<Listed> listed_;
    mutable QDateTime nodesChanged_;
    mutable QStringList devices_;
};
