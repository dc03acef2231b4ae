// Frames decoded per second through the frame assembler and decoders, for each frame kind,
// as a multiple of what the serial line can carry (9600 baud, 10 bits a byte: 960 bytes/s).
// The bytes go through the scripted port, one push per frame plus the notification that
// follows it, with the port's buffer kept as full as on a live line. Time is this
// thread's CPU time, so a busy machine does not skew the figures.

#include "link/frame_assembler.h"
#include "link/frame_decoders.h"
#include "link/link_host.h"
#include "platform/core/clock.h"
#include "platform/scripted/scripted_serial_port.h"
#include "thread_cpu.h"

#include <cstdio>
#include <numeric>

namespace {

class CountingHost final : public NullLinkHost {
public:
    qint64 readings = 0;
    void Reading_Proc(int, ChannelReading &) override { ++readings; }
};

// A frame of `length` with every channel charging and plausible values throughout.
QByteArray chargingFrame(int length)
{
    QByteArray f(length, char(128 + 45));
    f[0] = FrameStart;
    f[length - 1] = FrameEnd;
    const int modePositions[] = { 1, 8, 55 };
    for (int pos : modePositions)
        if (pos < length)
            f[pos] = char(128 + 2);
    if (length == Frame112Length) // neither end position may look like a shorter frame
        f[35] = f[75] = char(130);
    return f;
}

void run(int length, qint64 frames)
{
    ScriptedSerialPort port;
    CountingHost host;
    SystemClock clock;
    FrameAssembler assembler(port, host, clock);
    port.setPortNumber(1);
    port.open();
    port.setReceiveThreshold(1);
    const QByteArray frame = chargingFrame(length);

    const auto framesRead = [&] {
        const auto &frames = assembler.counters().frames;
        return std::accumulate(frames.begin(), frames.end(), qint64(0));
    };
    const qint64 before = framesRead();
    const double start = threadCpuNs() / 1e9;
    for (qint64 i = 0; i < frames; ++i) {
        port.push(frame);
        port.raise(SerialPort::Receive);
    }
    const double seconds = threadCpuNs() / 1e9 - start;
    const qint64 decoded = framesRead() - before;

    const double perSecond = decoded / seconds;
    const double lineRate = 960.0 / length;
    std::printf("%3d-byte frames: %10.0f frames/s (%lld frames, %lld readings, %.2f s CPU), "
                "%8.0f x line rate (%.2f frames/s)\n",
                length, perSecond, static_cast<long long>(decoded),
                static_cast<long long>(host.readings), seconds, perSecond / lineRate, lineRate);
}

} // namespace

int main()
{
    run(Frame36Length, 4000000);
    run(Frame76Length, 2'000'000);
    run(Frame112Length, 1'500'000);
    return 0;
}
