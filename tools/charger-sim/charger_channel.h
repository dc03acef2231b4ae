#pragma once

#include "battery_pack.h"
#include "frame_encoder.h"

#include <optional>
#include <random>
#include <vector>

// One channel of the charger: it runs its programs one after the other, shows the channel
// inactive for a while after each, and starts over.
class ChargerChannel {
public:
    struct Program {
        ChannelSample::Mode mode; // Charge or Discharge
        BatteryPack::Chemistry chemistry;
        int cells;
        double capacityMah;
        double current; // A: the constant-current phase of a charge, or the discharge
        double startCharge; // of a pack newly put on the charger for this program
    };

    ChargerChannel(std::vector<Program> programs, quint32 seed);

    // One second of the charger's work, and what the next frame shows of it.
    ChannelSample step();
    // The user stops and restarts the program: a new run, its capacity counted from zero.
    void restart();
    // Current into the pack (negative while discharging), for the supply's sag.
    double current() const { return current_; }

private:
    void begin(std::size_t program);
    // The current of this second, or nothing once the program is complete.
    std::optional<double> nextCurrent();
    void warm();
    ChannelSample sample(ChannelSample::Mode mode) const;

    std::mt19937 random_;
    std::vector<Program> programs_;
    std::size_t program_ = 0;
    std::optional<BatteryPack> pack_;
    int restLeft_ = 0; // seconds still to rest; 0 while a program runs
    double capacity_ = 0; // mAh moved in this run
    double peakVolts_ = 0; // of a NiMH charge, for the -dV end
    double current_ = 0;
    double extTemp_;
    double intTemp_;
};
