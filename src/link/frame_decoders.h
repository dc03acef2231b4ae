#pragma once

#include "link/channel_reading.h"

#include <QByteArray>
#include <array>
#include <optional>

// The charger's two-byte measurement: whole part W and hundredths F, each biased by 128.
Fixed PairValue(quint8 w, quint8 f);

// The charge states a reading's Chg field names.
const QString &chargingText();
const QString &dischargingText();
const QString &idleText();
// The power a reading shows: |current x battery voltage| to the hundredth.
Fixed power(Fixed current, Fixed batVolt);

inline constexpr char FrameStart = '{';
inline constexpr char FrameEnd = '}';
inline constexpr int Frame36Length = 36;
inline constexpr int Frame76Length = 76;
inline constexpr int Frame112Length = 112;

// What one frame says of one channel: a reading to dispatch, that the channel is inactive
// (its run ends), or neither. An optional, as it costs nothing while empty.
struct ChannelOutcome {
    std::optional<ChannelReading> reading;
    bool inactive = false;
};
// Channel 1's outcome, then channel 2's.
using FrameOutcome = std::array<ChannelOutcome, 2>;

// Each decoder takes one whole frame ("{" at position 0) and the time that stamps every
// reading of it. A buffer shorter than its frame kind says nothing.
FrameOutcome decode36(const QByteArray &frame, DayTime time);
FrameOutcome decode76(const QByteArray &frame, DayTime time);
FrameOutcome decode112(const QByteArray &frame, DayTime time);

struct FrameKindRow {
    int length; // markers included; "}" stands last
    FrameOutcome (*decode)(const QByteArray &frame, DayTime time);
};

// Shortest first, as the assembler reads them: a frame is of the first kind whose last byte
// is "}", and of the longest kind when none is.
inline constexpr std::array<FrameKindRow, 3> FrameKinds = { {
    { Frame36Length, decode36 },
    { Frame76Length, decode76 },
    { Frame112Length, decode112 },
} };
inline constexpr int LongestFrameLength = FrameKinds.back().length;
