#include "platform/qt_serial_port.h"

#include "platform/port_list.h"

QtSerialPort::QtSerialPort(const PortList &ports, QObject *parent)
    : SerialPort(parent), ports_(ports)
{
    connect(&port_, &QSerialPort::readyRead, this, &QtSerialPort::onReadyRead);
    connect(&port_, &QSerialPort::errorOccurred, this, &QtSerialPort::onError);
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
    port_.setBaudRate(QSerialPort::Baud9600);
    port_.setDataBits(QSerialPort::Data8);
    port_.setParity(QSerialPort::NoParity);
    port_.setStopBits(QSerialPort::OneStop);
    port_.setFlowControl(QSerialPort::NoFlowControl);
    if (port_.open(QIODevice::ReadOnly))
        return OpenResult::Opened;
    return port_.error() == QSerialPort::PermissionError ? OpenResult::PermissionDenied
                                                         : OpenResult::Failed;
}

void QtSerialPort::close()
{
    if (port_.isOpen())
        port_.close();
}

void QtSerialPort::onReadyRead()
{
    if (threshold_ > 0 && port_.bytesAvailable() >= threshold_)
        emit notified(Receive);
}

void QtSerialPort::onError(QSerialPort::SerialPortError error)
{
    if (error == QSerialPort::NoError)
        return;
    // A vanished device (cable pulled) keeps failing; close it and let the watchdog see
    // the silence.
    if (error == QSerialPort::ResourceError)
        port_.close();
    emit notified(Error);
}
