#include "platform/scripted/scripted_serial_port.h"

#include <utility>

SerialPort::OpenResult ScriptedSerialPort::open()
{
    if (open_)
        return OpenResult::Opened;
    opened_ << number_;
    if (refused_.contains(number_))
        return refused_.value(number_);
    open_ = true;
    buffer_ += onOpen_.take(number_);
    return OpenResult::Opened;
}

void ScriptedSerialPort::close()
{
    open_ = false;
    buffer_.clear();
}

void ScriptedSerialPort::pull()
{
    if (!open_)
        return;
    close();
    emit notified(Gone);
}

void ScriptedSerialPort::push(const QByteArray &bytes)
{
    if (!open_ || bytes.isEmpty())
        return;
    buffer_ += bytes;
    if (receiveDue())
        emit notified(Receive);
}

void ScriptedSerialPort::pushBytewise(const QByteArray &bytes)
{
    for (char c : bytes)
        push(QByteArray(1, c));
}

QByteArray ScriptedSerialPort::read()
{
    const int length = std::exchange(shortRead_, false) ? readLength_ - 1 : readLength_;
    const QByteArray out = buffer_.left(std::max(length, 0));
    buffer_.remove(0, out.size());
    return out;
}
