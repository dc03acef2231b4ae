#include "simulator.h"

#include "output_line.h"

#include <cmath>

namespace {

using Mode = ChannelSample::Mode;
using Chemistry = BatteryPack::Chemistry;

// A USB serial adapter hands on what it received every 16 ms or so: 16 bytes at 9600 baud.
constexpr int chunkBytes = 16;
constexpr double chunkMs = chunkBytes * 1000 / 960.0;

// A 3S lithium pack of 1300 mAh charged at 2 A and discharged at 2 A; a 6-cell NiMH pack of
// 2000 mAh charged at 1C and discharged at 1 A.
const ChargerChannel::Program liIonCharge { Mode::Charge, Chemistry::LiIon, 3, 1300, 2.0, 0.60 };
const ChargerChannel::Program liIonDischarge {
    Mode::Discharge, Chemistry::LiIon, 3, 1300, 2.0, 0.95
};
const ChargerChannel::Program niMhCharge { Mode::Charge, Chemistry::NiMH, 6, 2000, 2.0, 0.30 };
const ChargerChannel::Program niMhDischarge { Mode::Discharge, Chemistry::NiMH, 6, 2000, 1.0, 1.0 };

} // namespace

Simulator::Simulator(const SimulatorOptions &options, OutputLine &line, QObject *parent)
    : QObject(parent), options_(options), line_(line), random_(options.seed)
{
    if (options.kind == FrameKind::Long) {
        channels_.emplace_back(std::vector { liIonCharge, liIonDischarge }, options.seed + 1);
        channels_.emplace_back(std::vector { niMhCharge, niMhDischarge }, options.seed + 2);
    } else {
        channels_.emplace_back(std::vector { liIonCharge, liIonDischarge, niMhCharge },
                               options.seed + 1);
    }
    frameTimer_.setTimerType(Qt::PreciseTimer);
    frameTimer_.setInterval(std::max(1, static_cast<int>(std::lround(1000 / options.speed))));
    connect(&frameTimer_, &QTimer::timeout, this, &Simulator::tick);
    sendTimer_.setTimerType(Qt::PreciseTimer);
    sendTimer_.setInterval(std::max(1, static_cast<int>(std::lround(chunkMs / options.speed))));
    connect(&sendTimer_, &QTimer::timeout, this, &Simulator::sendChunk);
}

void Simulator::start()
{
    frameTimer_.start();
    tick();
}

void Simulator::tick()
{
    // Silent to the nearest whole frame interval.
    const bool silent = silence_.isValid()
        && silence_.elapsed() + frameTimer_.interval() / 2.0 < options_.pauseSeconds * 1000;
    if (!silent && sent_ + 1 == options_.resetAt) {
        for (ChargerChannel &channel : channels_)
            channel.restart();
    }
    FrameSample sample;
    double load = 0;
    for (std::size_t i = 0; i < channels_.size(); ++i) {
        sample.channels[i] = channels_[i].step();
        load += std::abs(channels_[i].current());
    }
    std::normal_distribution<double> ripple(0, 0.01);
    sample.inputVolts = 12.0 - 0.04 * load + ripple(random_);
    if (silent)
        return;

    pending_ += encodeFrame(options_.kind, sample);
    if (options_.noise)
        pending_ += noise();
    ++sent_;
    if (sent_ == options_.pauseAt)
        silence_.start();
    if (sent_ == options_.count)
        frameTimer_.stop();
    if (!sendTimer_.isActive()) {
        sendTimer_.start();
        sendChunk();
    }
}

void Simulator::sendChunk()
{
    // Faster than the line can go, it falls no more than two frames behind: the rest goes
    // in one piece.
    const qsizetype behind = pending_.size() - 2 * static_cast<qsizetype>(options_.kind);
    const qsizetype n = std::min(pending_.size(), std::max<qsizetype>(chunkBytes, behind));
    line_.write(pending_.first(n));
    pending_.remove(0, n);
    if (!pending_.isEmpty())
        return;
    sendTimer_.stop();
    // The last bytes still have to reach the reader before the line closes and hangs up.
    if (!frameTimer_.isActive())
        QTimer::singleShot(250, this, &Simulator::finished);
}

// A few random bytes now and then, as a noisy line adds them. Never a "{": the monitor would
// take it for the start of a frame, and the protocol has no checksum to find it out.
QByteArray Simulator::noise()
{
    std::uniform_int_distribution<int> length(-4, 6);
    std::uniform_int_distribution<int> value(0, 254);
    QByteArray bytes;
    for (int n = length(random_); n > 0; --n) {
        const int b = value(random_);
        bytes += static_cast<char>(b < '{' ? b : b + 1);
    }
    return bytes;
}
