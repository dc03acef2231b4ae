#pragma once

#include "link/channel_reading.h"

#include <functional>
#include <optional>

// Reading a run's samples off the chart with the cross line.
namespace CrossLine {

// The sample at time `t` among `count` samples whose times `x` ascend: a sample at exactly
// `t`, otherwise the first one after it; none after the last. A binary search whose middle
// rounds halves to the even index, so that among equal times the same sample is chosen as
// the program always chose.
std::optional<qsizetype> sampleAt(qsizetype count, double t,
                                  const std::function<double(qsizetype)> &x);

// The reading the information panel shows for a sample: its type trimmed, as a file may
// pad it.
ChannelReading record(ChannelReading sample);

// What a screen reader says of a sample the cross line reads: its time, voltage, current,
// capacity and temperature, then the two-point differences when a point is marked.
QString readOut(const ChannelReading &sample, const QString &twoPoints);

} // namespace CrossLine
