#pragma once

#include "book/run_figures.h"

#include <QString>

#include <optional>
#include <vector>

// How a pack's constant-voltage share goes over its charges: a worn pack reaches the change to
// constant voltage sooner and spends more of a charge there. Only charges of at least half the
// pack's largest count: a top-up spends most of itself at constant voltage whatever the pack.
struct CvShareTrend {
    // The mean share (0 to 1) of the first three and of the last three such charges, six at least.
    std::optional<double> first, last;
    // last - first, where the rise is clear: every one of the last three above every one of the
    // first three, and by RisePoints on average.
    std::optional<double> rise;
    static constexpr double RisePoints = 0.05;

    // `runs` by date.
    static CvShareTrend of(const std::vector<const RunFigures *> &runs);
    // "constant-voltage share up from 12 % to 21 %", or "" without a clear rise.
    QString note() const;
};
