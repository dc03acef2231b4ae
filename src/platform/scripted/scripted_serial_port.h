#pragma once

#include "platform/core/serial_port.h"

#include <QMap>

// A serial port fed by a program instead of a device: tests script which ports exist and
// what they send, and frame-dump replays a capture through it. Bytes pushed while the
// port is open raise notifications by the same threshold rule as the real port.
class ScriptedSerialPort final : public SerialPort {
    Q_OBJECT
public:
    using SerialPort::SerialPort;

    // Port `number` fails to open with this answer (permission denied, busy, missing).
    void refuse(int number, OpenResult why) { refused_[number] = why; }
    // Bytes that port `number` delivers as soon as it is opened (a charger already sending).
    void sendOnOpen(int number, const QByteArray &bytes) { onOpen_[number] += bytes; }

    // Bytes arriving now on the open port; one notification at the end of the chunk if
    // the threshold rule says so.
    void push(const QByteArray &bytes);
    // Bytes arriving one at a time, as a slow line delivers them.
    void pushBytewise(const QByteArray &bytes);
    void raise(int eventKind) { emit notified(eventKind); }
    // The device goes away while open, as a pulled adapter: closed, then Gone.
    void pull();
    // The next read hands one byte fewer than asked, as a driver may.
    void shortenNextRead() { shortRead_ = true; }

    // Every port number that open() was called with, in order.
    const QList<int> &openedPorts() const { return opened_; }
    // The line settings last asked for; all zero before.
    const LineSettings &lineSettings() const { return settings_; }

    void setLineSettings(const LineSettings &settings) override { settings_ = settings; }
    void setPortNumber(int number) override { number_ = number; }
    int portNumber() const override { return number_; }
    QString deviceName() const override { return QStringLiteral("/dev/scripted%1").arg(number_); }
    OpenResult open() override;
    void close() override;
    bool isOpen() const override { return open_; }
    void setReceiveThreshold(int bytes) override { threshold_ = bytes; }
    int receiveThreshold() const override { return threshold_; }
    void setReadLength(int bytes) override { readLength_ = bytes; }
    QByteArray read() override;
    int bytesWaiting() const override { return static_cast<int>(buffer_.size()); }

private:
    QMap<int, OpenResult> refused_;
    QMap<int, QByteArray> onOpen_;
    QList<int> opened_;
    QByteArray buffer_;
    LineSettings settings_ {};
    int number_ = 0;
    int threshold_ = 0;
    int readLength_ = 0;
    bool open_ = false;
    bool shortRead_ = false;
};
