#pragma once

#include "platform/core/port_list.h"

// The serial ports a test says exist.
class ScriptedPortList final : public PortList {
public:
    QStringList list;
    QStringList names() const override { return list; }
    QString device(int number) const override
    {
        return QStringLiteral("/dev/scripted%1").arg(number);
    }
};
