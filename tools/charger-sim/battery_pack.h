#pragma once

#include "frame_encoder.h"

#include <random>
#include <vector>

// A pack of series cells with slightly different capacities, charge levels and internal
// resistances, as real packs have. Current is positive into the pack.
class BatteryPack {
public:
    using Chemistry = ChannelSample::Chemistry;

    BatteryPack(Chemistry chemistry, int cells, double capacityMah, double charge,
                std::mt19937 &random);

    Chemistry chemistry() const { return chemistry_; }
    int cellCount() const { return static_cast<int>(cells_.size()); }
    double capacityMah() const { return capacityMah_; }

    // Terminal voltage of each cell while `current` flows.
    std::vector<double> cellVolts(double current) const;
    double packVolts(double current) const;
    // The current that brings the highest cell to `cellVolts` (the constant-voltage phase
    // of a charger that watches every cell).
    double currentAt(double cellVolts) const;
    // Mean state of charge; above 1 while a NiMH pack is overcharged.
    double charge() const;

    void pass(double current, double seconds);

private:
    struct Cell {
        double capacityMah;
        double charge;
        double resistance;
    };

    double restVolts(const Cell &cell, double current) const;

    Chemistry chemistry_;
    double capacityMah_;
    std::vector<Cell> cells_;
};
