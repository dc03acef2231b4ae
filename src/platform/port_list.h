#pragma once

#include <QString>
#include <QStringList>

// The platform's serial ports in the form the program expects: names whose characters
// from the fourth on are a number ("COM1", "COM2" ...), each mapped to a device.
class PortList {
public:
    virtual ~PortList() = default;
    virtual QStringList names() const = 0;
    // The device of port `number` ("" when there is none).
    virtual QString device(int number) const = 0;
};

// Devices named in CHARGEMON_PORTS (colon-separated paths) first, then USB and ACM
// devices, then the rest, numbered from 1 in that order. Read afresh at every call, so a
// charger plugged in later is found.
class SystemPortList final : public PortList {
public:
    QStringList names() const override;
    QString device(int number) const override;

private:
    QStringList devices() const;
};
