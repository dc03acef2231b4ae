#pragma once

#include <optional>

// What the user counts as worn, for every pack of the book: the share of its first capacity a
// pack may wear down to, a resistance past which it is worn (none: twice its first), and the
// cells' spread at the end of a charge worth a warning (none: never).
struct HealthLimits {
    double capacityShare = 0.8;
    std::optional<double> resistanceMohm;
    std::optional<double> spreadVolts;
};
