#pragma once

#include "platform/core/port_list.h"

// The serial ports a test says exist.
class ScriptedPortList final : public PortList {
public:
    QStringList list;
    QString devices = QStringLiteral("/dev/scripted%1"); // port number's device
    QStringList names() const override { return list; }
    QString device(int number) const override { return devices.arg(number); }
};
