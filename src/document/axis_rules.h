#pragma once

#include "platform/chart.h"

// The arithmetic of a chart window's axes, apart from any drawing.
namespace AxisRules {
// The range of a series' value axis from the smallest and largest y of its points (none
// when it has no points, read as 0).
Chart::Range rescaled(int series, std::optional<Chart::Range> extremes);
// The time axis stays at least a minute ahead of the newest point, growing two minutes at
// a time (days).
double grownTimeMax(double maxDays, double newestDays);
} // namespace AxisRules
