#include "link/frame_assembler.h"

#include "link/link_host.h"
#include "platform/core/clock.h"
#include "platform/core/serial_port.h"

namespace {

// Channel 1's outcome first: its window may open or close before channel 2 is heard.
void dispatch(FrameOutcome &outcome, LinkHost &host)
{
    for (int channel = 1; channel <= int(outcome.size()); ++channel) {
        ChannelOutcome &o = outcome[size_t(channel - 1)];
        if (o.reading)
            host.Reading_Proc(channel, *o.reading);
        else if (o.inactive)
            host.EndLiveDoc(channel);
    }
}

} // namespace

FrameAssembler::FrameAssembler(SerialPort &port, LinkHost &host, const Clock &clock,
                               QObject *parent)
    : QObject(parent), port_(port), host_(host), clock_(clock)
{
    frame_.reserve(LongestFrameLength);
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
    process();
}

void FrameAssembler::process()
{
    // A port may hand over several frames in one piece (a pseudo-terminal does); take every
    // step that can be taken now, as a line delivering byte by byte would have raised a
    // notification for each. Otherwise the reading falls behind by a frame each time.
    for (;;) {
        if (rxState_ < Sync) {
            hunt();
            if (rxState_ < Sync)
                return;
        }
        if (!readFrame())
            return;
    }
}

void FrameAssembler::lineQuiet()
{
    // A frame still not whole on a quiet line began at a "{" of noise, or lost a byte: hunt
    // again from the byte after that "{", so that the frames behind it are read now and not
    // never. Each turn gives up one byte, so this ends with nothing held.
    while (synced()) {
        replay_.prepend(frame_.mid(1));
        ++counters_.skippedBytes;
        frame_.resize(0);
        rxState_ = Hunt;
        process();
    }
}

int FrameAssembler::waiting() const
{
    return int(replay_.size()) + port_.bytesWaiting();
}

QByteArray FrameAssembler::take(int count)
{
    QByteArray out = replay_.left(count);
    replay_.remove(0, out.size());
    if (out.size() < count) {
        port_.setReadLength(count - int(out.size()));
        out += port_.read();
    }
    return out;
}

void FrameAssembler::hunt()
{
    port_.setReceiveThreshold(0);
    while (waiting() > 0) {
        const QByteArray byte = take(1);
        if (byte.isEmpty())
            break;
        if (byte.front() == FrameStart) {
            frame_.resize(0);
            frame_.append(FrameStart);
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
    const QByteArray part = take(count);
    frame_.append(part);
    return part.size() == count;
}

void FrameAssembler::dropFrame()
{
    counters_.skippedBytes += frame_.size() + replay_.size();
    frame_.resize(0);
    replay_.clear();
    rxState_ = Hunt;
}

bool FrameAssembler::readFrame()
{
    // A frame is read as far as the next place its kind can be told, as soon as the bytes up to
    // there wait: "}" at the end of a shorter kind settles it (no data byte is "}"), the longest
    // needs no marker. Waiting for the longest frame's worth instead would hold the last frames
    // of a stream for ever once the charger stops sending.
    size_t kind = 0;
    for (;; ++kind) {
        const int length = FrameKinds[kind].length;
        const int missing = length - int(frame_.size());
        if (missing <= 0)
            continue; // read past this kind's end already: it is a longer one
        if (waiting() < missing) {
            port_.setReceiveThreshold(missing - int(replay_.size()));
            return false;
        }
        if (!readInto(missing)) {
            dropFrame();
            return true;
        }
        if (kind + 1 == FrameKinds.size() || frame_.at(length - 1) == FrameEnd)
            break;
    }
    // Decoded before the host hears of it: the host may run the event loop, and a
    // notification arriving then must find a clean hunt. The buffer keeps its capacity.
    FrameOutcome outcome = FrameKinds[kind].decode(frame_, DayTime { clock_.timeOfDay() });
    frame_.resize(0);
    rxState_ = Hunt;
    ++counters_.frames[kind];
    emit frameRead(FrameKinds[kind].length);
    dispatch(outcome, host_);
    return true;
}

void FrameAssembler::setReceiveLamp(bool on)
{
    receiveLamp_ = on;
    host_.setLamp(LinkHost::Lamp::Receive, on);
}
