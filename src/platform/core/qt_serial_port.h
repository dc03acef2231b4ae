#pragma once

#include "platform/core/serial_port.h"

#include <QSerialPort>

class PortList;

// The real port over QSerialPort; port numbers map to devices through a PortList.
class QtSerialPort final : public SerialPort {
    Q_OBJECT
public:
    explicit QtSerialPort(const PortList &ports, QObject *parent = nullptr);

    void setLineSettings(const LineSettings &settings) override;
    void setPortNumber(int number) override { number_ = number; }
    int portNumber() const override { return number_; }
    QString deviceName() const override;
    OpenResult open() override;
    void close() override;
    bool isOpen() const override { return port_.isOpen(); }
    void setReceiveThreshold(int bytes) override { threshold_ = bytes; }
    int receiveThreshold() const override { return threshold_; }
    void setReadLength(int bytes) override { readLength_ = bytes; }
    QByteArray read() override { return port_.read(readLength_); }
    int bytesWaiting() const override { return static_cast<int>(port_.bytesAvailable()); }

private:
    void onReadyRead();
    void onError(QSerialPort::SerialPortError error);

    const PortList &ports_;
    QSerialPort port_;
    int number_ = 0;
    int threshold_ = 0;
    int readLength_ = 0;
    bool closing_ = false;
};
