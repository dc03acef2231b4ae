#include "platform/port_list.h"

#include <QSerialPortInfo>

QStringList SystemPortList::devices() const
{
    QStringList result;
    const QString fromEnv = qEnvironmentVariable("CHARGEMON_PORTS");
    for (const QString &p : fromEnv.split(u':', Qt::SkipEmptyParts))
        result << p;
    QStringList usb, rest;
    for (const QSerialPortInfo &info : QSerialPortInfo::availablePorts()) {
        const QString dev = info.systemLocation();
        if (result.contains(dev))
            continue;
        const QString name = info.portName();
        (name.startsWith(u"ttyUSB") || name.startsWith(u"ttyACM") ? usb : rest) << dev;
    }
    return result + usb + rest;
}

QStringList SystemPortList::names() const
{
    QStringList names;
    const qsizetype count = devices().size();
    for (qsizetype i = 1; i <= count; ++i)
        names << QStringLiteral("COM%1").arg(i);
    return names;
}

QString SystemPortList::device(int number) const
{
    const QStringList all = devices();
    return number >= 1 && number <= all.size() ? all.at(number - 1) : QString();
}
