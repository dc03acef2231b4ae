#pragma once

#include <QByteArray>
#include <QObject>
#include <QSerialPort>
#include <QString>

// The serial port as the charger link uses it: line settings, a port number, an open flag,
// a receive threshold and a read length, and a notification carrying an event kind.
//
// Receive threshold: a notification of kind Receive is raised when new bytes arrive and
// at least `threshold` bytes are waiting; 0 switches receive notifications off. Error
// notifications come only while the port is open. A device that is gone (adapter pulled,
// line hung up) is closed by the port itself, which then notifies Gone once. Bytes are
// read raw.
class SerialPort : public QObject {
    Q_OBJECT
public:
    enum EventKind { Receive = 2, Error = 1001, Gone = 1002 };
    // Busy: another program holds the port.
    enum class OpenResult { Opened, PermissionDenied, Busy, Failed };

    // The line as the device speaks it, applied at every open. No defaults: settings nobody
    // asked for must not pass for the right ones.
    struct LineSettings {
        qint32 baudRate;
        QSerialPort::DataBits dataBits;
        QSerialPort::Parity parity;
        QSerialPort::StopBits stopBits;
        QSerialPort::FlowControl flowControl;
    };

    using QObject::QObject;

    virtual void setLineSettings(const LineSettings &settings) = 0;
    virtual void setPortNumber(int number) = 0;
    virtual int portNumber() const = 0;
    // The device behind the current port number, for messages ("" when none).
    virtual QString deviceName() const = 0;

    virtual OpenResult open() = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;

    virtual void setReceiveThreshold(int bytes) = 0;
    virtual int receiveThreshold() const = 0;
    virtual void setReadLength(int bytes) = 0;
    // Up to the read length of the waiting bytes, removed from the buffer.
    virtual QByteArray read() = 0;
    virtual int bytesWaiting() const = 0;
    // The threshold rule: the bytes waiting call for a Receive notification.
    bool receiveDue() const
    {
        return receiveThreshold() > 0 && bytesWaiting() >= receiveThreshold();
    }

signals:
    void notified(int eventKind);
};
