#include "platform/port_list.h"

#include <QSerialPortInfo>

QStringList SystemPortList::ordered(const QString &fromEnv, const QList<Listed> &listed)
{
    QStringList result = fromEnv.split(u':', Qt::SkipEmptyParts);
    QStringList usb, rest;
    for (const Listed &port : listed) {
        if (result.contains(port.device))
            continue;
        const bool isUsb = port.name.startsWith(u"ttyUSB") || port.name.startsWith(u"ttyACM");
        (isUsb ? usb : rest) << port.device;
    }
    return result + usb + rest;
}

QStringList SystemPortList::names() const
{
    QList<Listed> listed;
    for (const QSerialPortInfo &info : QSerialPortInfo::availablePorts())
        listed.append({ info.portName(), info.systemLocation() });
    devices_ = ordered(qEnvironmentVariable("CHARGEMON_PORTS"), listed);
    QStringList names;
    for (qsizetype i = 1; i <= devices_.size(); ++i)
        names << QStringLiteral("COM%1").arg(i);
    return names;
}

QString SystemPortList::device(int number) const
{
    return devices_.value(number - 1);
}
