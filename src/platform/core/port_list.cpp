#include "platform/core/port_list.h"

#include <QFileInfo>
#include <QSerialPortInfo>

namespace {
constexpr int SettleSeconds = 3;
}

SystemPortList::SystemPortList(QString nodes, Lister lister)
    : nodes_(std::move(nodes)), lister_(std::move(lister))
{
}

QList<SystemPortList::Listed> SystemPortList::systemPorts()
{
    QList<Listed> listed;
    for (const QSerialPortInfo &info : QSerialPortInfo::availablePorts())
        listed.append({ info.portName(), info.systemLocation() });
    return listed;
}

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
    const QDateTime changed = QFileInfo(nodes_).lastModified();
    if (!changed.isValid() || changed != nodesChanged_
        || changed.secsTo(QDateTime::currentDateTime()) < SettleSeconds) {
        listed_ = lister_();
        nodesChanged_ = changed;
    }
    devices_ = ordered(qEnvironmentVariable("CHARGEMON_PORTS"), listed_);
    QStringList names;
    for (qsizetype i = 1; i <= devices_.size(); ++i)
        names << QStringLiteral("COM%1").arg(i);
    return names;
}

QString SystemPortList::device(int number) const
{
    return devices_.value(number - 1);
}
