#pragma once

#include <QByteArray>

#include <array>

// What the charger shows of one channel in one frame, in physical units. The encoder
// rounds every measurement to the hundredth the line carries.
struct ChannelSample {
    enum class Mode { Inactive, Discharge, Charge };
    enum class Chemistry { LiIon, NiMH };

    Mode mode = Mode::Inactive;
    Chemistry chemistry = Chemistry::LiIon;
    double current = 0; // magnitude, A
    double batteryVolts = 0;
    double extTemp = 25; // °C
    double intTemp = 30; // °C, only the 76-byte frame carries it
    int capacity = 0; // mAh
    std::array<double, 12> cells {}; // V, 0 where the pack has no such cell
};

struct FrameSample {
    double inputVolts = 12;
    std::array<ChannelSample, 2> channels; // the second only travels in a 112-byte frame
};

// The charger's frame kinds, by length.
enum class FrameKind { Short = 36, Medium = 76, Long = 112 };

// The two bytes of a pair value: whole part and hundredths part, each biased by 128.
// Values beyond what two bytes can carry are clamped.
std::array<quint8, 2> encodePair(double value);

QByteArray encodeFrame(FrameKind kind, const FrameSample &sample);
