#include "platform/core/qt_serial_port.h"

#include "platform/core/port_list.h"

#include <QFileInfo>
#include <QScopedValueRollback>

QtSerialPort::QtSerialPort(const PortList &ports, QObject *parent)
    : SerialPort(parent), ports_(ports)
{
    connect(&port_, &QSerialPort::readyRead, this, &QtSerialPort::onReadyRead);
    connect(&port_, &QSerialPort::errorOccurred, this, &QtSerialPort::onError);
}

void QtSerialPort::setLineSettings(const LineSettings &settings)
{
    // Kept by QSerialPort while closed and applied when it opens.
    port_.setBaudRate(settings.baudRate);
    port_.setDataBits(settings.dataBits);
    port_.setParity(settings.parity);
    port_.setStopBits(settings.stopBits);
    port_.setFlowControl(settings.flowControl);
}

QString QtSerialPort::deviceName() const
{
    return ports_.device(number_);
}

SerialPort::OpenResult QtSerialPort::open()
{
    if (port_.isOpen())
        return OpenResult::Opened;
    const QString dev = deviceName();
    if (dev.isEmpty())
        return OpenResult::Failed;
    port_.setPortName(dev);
    if (port_.open(QIODevice::ReadOnly))
        return OpenResult::Opened;
    if (port_.error() != QSerialPort::PermissionError)
        return OpenResult::Failed;
    // Another program's lock file or exclusive open is reported as a permission error too;
    // a device that we may read is busy, not forbidden.
    return QFileInfo(dev).isReadable() ? OpenResult::Busy : OpenResult::PermissionDenied;
}

void QtSerialPort::close()
{
    if (!port_.isOpen())
        return;
    // Closing a hung-up device may report another error; it belongs to this close.
    const QScopedValueRollback closing(closing_, true);
    port_.close();
}

void QtSerialPort::onReadyRead()
{
    if (receiveDue())
        emit notified(Receive);
}

void QtSerialPort::onError(QSerialPort::SerialPortError error)
{
    // A failed open answers through open().
    if (error == QSerialPort::NoError || closing_ || !port_.isOpen())
        return;
    if (error != QSerialPort::ReadError && error != QSerialPort::ResourceError) {
        emit notified(Error);
        return;
    }
    // A read that fails or finds the end of the line (a hang-up) means the device is gone:
    // it would only fail again, as fast as it is asked.
    close();
    emit notified(Gone);
}
