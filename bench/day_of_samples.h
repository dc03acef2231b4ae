#pragma once

#include "day_sample.h"

// A day of samples at 1 Hz (daySample), as the benches record them.
inline constexpr int DayRows = 86'400;
