#include "frame_encoder.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr char frameStart = '{';
constexpr char frameEnd = '}';
constexpr int bias = 128;

// A whole number n as the two bytes that read back as "pair value × 100".
std::array<quint8, 2> pairBytes(long n)
{
    n = std::clamp(n, -12899L, 12799L);
    return { static_cast<quint8>(bias + n / 100), static_cast<quint8>(bias + n % 100) };
}

// Cell and battery voltages are never negative, which also keeps their whole-part byte
// at 128 or above: it can never be taken for a "}" where the frame has none.
double voltage(double v)
{
    return std::max(v, 0.0);
}

class FrameWriter {
public:
    explicit FrameWriter(FrameKind kind) : bytes_(static_cast<int>(kind), static_cast<char>(bias))
    {
        bytes_[0] = frameStart;
        bytes_[bytes_.size() - 1] = frameEnd;
    }

    void byte(int pos, int value) { bytes_[pos] = static_cast<char>(value); }
    void pair(int pos, double value) { put(pos, encodePair(value)); }
    void whole(int pos, long value) { put(pos, pairBytes(value)); }
    void capacity(int pos, int mah)
    {
        const int n = std::clamp(mah, 0, 1279999);
        byte(pos, bias + n / 10000);
        byte(pos + 1, bias + n / 100 % 100);
        byte(pos + 2, bias + n % 100);
    }
    QByteArray take() { return std::move(bytes_); }

private:
    void put(int pos, std::array<quint8, 2> wf)
    {
        byte(pos, wf[0]);
        byte(pos + 1, wf[1]);
    }

    QByteArray bytes_;
};

int modeByte(ChannelSample::Mode mode)
{
    switch (mode) {
    case ChannelSample::Mode::Discharge:
        return bias + 1;
    case ChannelSample::Mode::Charge:
        return bias + 2;
    case ChannelSample::Mode::Inactive:
        break;
    }
    return bias;
}

// The channel block of the 36-byte frame and of both halves of the 112-byte frame.
void writeBlock(FrameWriter &out, int base, const ChannelSample &ch, int cellCount)
{
    out.byte(base + 1, modeByte(ch.mode));
    out.byte(base + 2, bias + (ch.chemistry == ChannelSample::Chemistry::NiMH ? 4 : 1));
    out.capacity(base + 6, ch.capacity);
    out.pair(base + 11, ch.current);
    out.pair(base + 15, voltage(ch.batteryVolts));
    out.whole(base + 17, std::lround(ch.extTemp));
    for (int k = 1; k <= cellCount; ++k)
        out.pair(base + 17 + 2 * k, voltage(ch.cells[k - 1]));
}

// The 76-byte frame knows no inactive channel: the charger shows it idle, with no battery
// voltage.
void writeMedium(FrameWriter &out, const ChannelSample &given, double inputVolts)
{
    ChannelSample ch = given;
    if (ch.mode == ChannelSample::Mode::Inactive) {
        ch.current = 0;
        ch.batteryVolts = 0;
        ch.cells.fill(0);
    }
    out.byte(8, bias + (ch.mode == ChannelSample::Mode::Discharge ? 0 : 1));
    out.byte(23, bias + (ch.chemistry == ChannelSample::Chemistry::NiMH ? 2 : 1));
    out.pair(33, ch.current);
    out.pair(35, voltage(ch.batteryVolts));
    out.whole(37, std::lround(ch.extTemp));
    out.whole(39, std::lround(ch.intTemp));
    out.pair(41, inputVolts);
    out.whole(43, std::clamp(ch.capacity, 0, 12799));
    for (int k = 1; k <= 12; ++k)
        out.pair(43 + 2 * k, voltage(ch.cells[k - 1]));
}

} // namespace

std::array<quint8, 2> encodePair(double value)
{
    return pairBytes(std::lround(value * 100));
}

QByteArray encodeFrame(FrameKind kind, const FrameSample &sample)
{
    FrameWriter out(kind);
    switch (kind) {
    case FrameKind::Short:
        writeBlock(out, 0, sample.channels[0], 8);
        out.pair(4, sample.inputVolts);
        break;
    case FrameKind::Long:
        writeBlock(out, 0, sample.channels[0], 12);
        writeBlock(out, 54, sample.channels[1], 12);
        out.pair(4, sample.inputVolts);
        break;
    case FrameKind::Medium:
        writeMedium(out, sample.channels[0], sample.inputVolts);
        break;
    }
    return out.take();
}
