#pragma once

#include "link/value.h"

#include <optional>

// What a live window does with a sample `gap` seconds after its last row: a silence of more
// than 7 s or a capacity below the last row's ends the run; a second sample within the same
// clock second is dropped.
enum class LiveSample { Row, Skip, End };
constexpr qint64 SilenceSeconds = 7;

inline LiveSample liveSample(qint64 gap, std::optional<Fixed> capacity, qint64 lastCapacity)
{
    if (gap > SilenceSeconds || (capacity && *capacity < Fixed::fromWhole(lastCapacity)))
        return LiveSample::End;
    return gap < 1 ? LiveSample::Skip : LiveSample::Row;
}
