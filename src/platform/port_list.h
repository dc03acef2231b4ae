#pragma once

#include <QString>
#include <QStringList>

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
// devices, then the rest, numbered from 1 in that order. The system is asked only by
// names(), which the search calls once per round: asking it costs hundreds of file opens.
class SystemPortList final : public PortList {
public:
    // A port the system lists: its name ("ttyUSB0") and device ("/dev/ttyUSB0").
    struct Listed {
        QString name, device;
    };
    static QStringList ordered(const QString &fromEnv, const QList<Listed> &listed);

    QStringList names() const override;
    QString device(int number) const override;

private:
    mutable QStringList devices_;
};
