#include "link/frame_assembler.h"

#include "link/frame_decoders.h"
#include "link/link_host.h"
#include "platform/clock.h"
#include "platform/serial_port.h"

#include <cstring>

FrameAssembler::FrameAssembler(SerialPort &port, LinkHost &host, const Clock &clock,
                               QObject *parent)
    : QObject(parent), port_(port), host_(host), clock_(clock)
{
    frame_.reserve(Frame112Length);
    connect(&port_, &SerialPort::notified, this, &FrameAssembler::onNotification);
}

void FrameAssembler::onNotification(int eventKind)
{
    if (eventKind == SerialPort::Gone) {
        // A device that went away has said nothing, and the rest of its frame never comes.
        if (synced())
            dropFrame();
        return;
    }
    lastReceiveMs_ = clock_.monotonicMs();
    if (eventKind != SerialPort::Receive)
        return;
    setReceiveLamp(!receiveLamp_);
    // A port may hand over several frames in one piece (a pseudo-terminal does); take every
    // step that can be taken now, as a line delivering byte by byte would have raised a
    // notification for each. Otherwise the reading falls behind by a frame each time.
    for (;;) {
        if (rxState_ < Sync) {
            hunt();
            if (rxState_ < Sync)
                return;
        }
        if (port_.bytesWaiting() < SyncThreshold)
            return;
        readFrame();
    }
}

void FrameAssembler::hunt()
{
    port_.setReceiveThreshold(0);
    port_.setReadLength(1);
    while (port_.bytesWaiting() > 0) {
        const QByteArray byte = port_.read();
        if (byte.isEmpty())
            break;
        if (byte.front() == FrameStart) {
            frame_.resize(0);
            frame_.append(FrameStart);
            port_.setReceiveThreshold(SyncThreshold);
            rxState_ = Sync;
            return;
        }
        ++counters_.skippedBytes;
    }
    // Dry: the next arriving byte resumes the hunt.
    port_.setReceiveThreshold(1);
}

bool FrameAssembler::readInto(int count)
{
    port_.setReadLength(count);
    const QByteArray part = port_.read();
    frame_.append(part);
    return part.size() == count;
}

void FrameAssembler::dropFrame()
{
    counters_.skippedBytes += frame_.size();
    frame_.resize(0);
    rxState_ = Hunt;
}

void FrameAssembler::readFrame()
{
    // 111 bytes were waiting, so each read is whole unless the port failed meanwhile.
    int length = Frame36Length;
    if (!readInto(Frame36Length - 1))
        return dropFrame();
    if (frame_.at(Frame36Length - 1) != FrameEnd) {
        length = Frame76Length;
        if (!readInto(Frame76Length - Frame36Length))
            return dropFrame();
        if (frame_.at(Frame76Length - 1) != FrameEnd) {
            length = Frame112Length;
            if (!readInto(Frame112Length - Frame76Length))
                return dropFrame();
        }
    }
    // The decoder reads a copy: its host may run the event loop, and a notification arriving
    // then must find a clean hunt. The buffer keeps its capacity for the next frame.
    char bytes[Frame112Length];
    std::memcpy(bytes, frame_.constData(), size_t(length));
    const QByteArray frame = QByteArray::fromRawData(bytes, length);
    frame_.resize(0);
    rxState_ = Hunt;

    emit frameRead(length);
    const DayTime time { clock_.timeOfDay() };
    switch (length) {
    case Frame36Length:
        ++counters_.frames36;
        decode36(frame, host_, time);
        break;
    case Frame76Length:
        ++counters_.frames76;
        decode76(frame, host_, time);
        break;
    default:
        ++counters_.frames112;
        decode112(frame, host_, time);
        break;
    }
}

void FrameAssembler::setReceiveLamp(bool on)
{
    receiveLamp_ = on;
    host_.setLamp(LinkHost::Lamp::Receive, on);
}
