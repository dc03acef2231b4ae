#pragma once

#include "link/channel_reading.h"

#include <QString>

#include <array>
#include <optional>
#include <vector>

class Samples;

// A length of time as "1:02:10".
QString runClock(double seconds);

// The figures of a run at a glance, worked out from its samples as the run keeps them. Current is
// in amperes, negative while discharging; an idle sample without a current counts 0 A. Charge and
// energy are integrated with the trapezoid rule over the samples' times.
class RunSummary {
public:
    struct CellSpread {
        double volts = 0;
        double atSeconds = 0; // the sample's time, as the chart's time axis shows it
    };
    // What changed from sample `from` to sample `to`.
    struct Difference {
        double seconds = 0, volts = 0, amps = 0, mAh = 0, wh = 0;
        // A line per figure, signed, for the read-out beside the cross-hair.
        QString text() const;
    };

    // Adds the next sample; every sample of a run in order gives the run's figures.
    void add(const ChannelReading &sample);
    // A full pass over a run's samples.
    static RunSummary of(const Samples &samples);

    qsizetype samples() const { return qsizetype(points_.size()); }
    double seconds() const { return points_.empty() ? 0 : points_.back().seconds; }
    double chargedMah() const { return charged_ / 3.6; }
    double dischargedMah() const { return discharged_ / 3.6; }
    double chargedWh() const { return chargedEnergy_ / 3600; }
    double dischargedWh() const { return dischargedEnergy_ / 3600; }
    // Over the run's time, idle time included; one sample's own current for a run of one.
    double averageAmps() const;
    double peakAmps() const { return peak_; }
    std::optional<double> highestExtTemp() const { return extMax_; }
    std::optional<double> highestIntTemp() const { return intMax_; }
    double startVolts() const { return points_.empty() ? 0 : points_.front().volts; }
    double endVolts() const { return points_.empty() ? 0 : points_.back().volts; }
    // Lithium packs only: the largest highest-minus-lowest cell voltage over the cells with a
    // voltage (C1 to C12), and the first sample that showed it.
    std::optional<CellSpread> largestCellSpread() const { return spread_; }
    // The pack's internal resistance from a current step after a plateau of at least 10 s, the
    // first two-level one, else the first: R = (U2 - U1) / (I2 - I1), U1 and I1 at the
    // plateau's end, U2 and I2 one sample (at most 2 s) after the step; none without a step
    // whose figure outweighs its uncertainty.
    struct Resistance {
        double milliohm = 0;
        double plusMinus = 0; // from the readings' 0.01 V
        double fromAmps = 0, toAmps = 0; // signed
        // Per cell from the balance leads; none for a cell whose figure is within its ±.
        std::vector<std::optional<double>> cells;
        // One way, I1 about a fifth of I2: a pair the method could give, whatever the pack's C.
        bool twoLevel() const;
        // The two-level method proper: I1 about 0.2 C and I2 about 1 C (within 20 %).
        bool iec61960(std::optional<double> ratedMah) const;
        QString label(std::optional<double> ratedMah) const;
        // The label, the figure and its ±, as the summary line shows it.
        QString text(std::optional<double> ratedMah) const;
    };
    const std::optional<Resistance> &resistance() const { return resistance_; }

    enum class Kind { Idle, Charge, Discharge, Both };
    Kind kind() const;
    // The first sample's battery type, as the charger names it.
    const QString &chemistry() const { return chemistry_; }
    // The most cells with a voltage in one sample.
    int cells() const { return cells_; }
    // Lithium packs only: the cell spread of the last sample that charged.
    std::optional<double> endOfChargeSpread() const { return endSpread_; }
    // The lowest voltage while discharging, none without a discharge.
    std::optional<double> loadedVolts() const { return loadedVolts_; }
    // The last sample with a current charged the pack.
    bool endsCharging() const { return endsCharging_; }
    // Lithium packs only, a cell by its number (1 for C1), 0 where no one cell stands out: the
    // highest at the change to constant voltage (the first charging sample whose current fell
    // a tenth below the charge's highest), the lowest at the last discharging sample, and the
    // first to leave the others (a step's 0.05 V from their median).
    int highestAtCv() const { return cvHigh_; }
    int lowestAtEnd() const { return endLow_; }
    int firstOut() const { return firstOut_; }
    // Lithium packs only, C1 on: the cells of the last charging and last discharging sample.
    const std::vector<double> &chargedCells() const { return chargedCells_; }
    const std::vector<double> &dischargedCells() const { return dischargedCells_; }
    // A capacity in a description ("2200mAh", "2200 mAh"), none without.
    static std::optional<double> ratedMahIn(const QString &description);

    Difference between(qsizetype from, qsizetype to) const;
    // At sample `i`, since the first: seconds, and charge in and out.
    struct Elapsed {
        double seconds = 0, chargedMah = 0, dischargedMah = 0;
    };
    Elapsed at(qsizetype i) const;
    // The figures as one compact line for the chart; the pack's rated capacity labels the
    // resistance.
    QString line(std::optional<double> ratedMah = std::nullopt) const;

private:
    struct Fields; // what the summary reads of a sample
    void add(const Fields &sample);
    // The cells that stand out in a sample of a lithium pack.
    void cellsStandingOut(const std::array<Fixed, 12> &cells, double amps);
    // A step from (u1, i1) to (u2, i2), `cells` the cell voltages after it.
    void step(double u1, double i1, double u2, double i2, const std::array<Fixed, 12> &cells);

    struct Point {
        double seconds = 0; // since the first sample
        // Volts, amps and the charge (A·s) and energy (W·s) since the first sample as the
        // chart counts them, whichever way the current flows.
        double volts = 0, amps = 0;
        double charged = 0, discharged = 0, energy = 0;
    };

    std::vector<Point> points_;
    double startTime_ = 0; // the first sample's time of day, s
    double lastTimeOfDay_ = 0;
    double lastAmps_ = 0; // signed
    double charged_ = 0, discharged_ = 0; // A·s
    double chargedEnergy_ = 0, dischargedEnergy_ = 0; // W·s
    double peak_ = 0;
    std::optional<double> extMax_, intMax_;
    std::optional<CellSpread> spread_;
    Fixed spreadExact_; // the largest spread as the cells give it
    std::optional<Resistance> resistance_;
    // The current plateau the samples are on: its first time and current, its last sample.
    double plateauFrom_ = 0, plateauAmps_ = 0;
    std::array<Fixed, 12> lastCells_ {};
    QString chemistry_;
    int cells_ = 0;
    std::optional<double> endSpread_, loadedVolts_;
    bool endsCharging_ = false;
    double chargeAmps_ = 0; // the highest charging current until the change to constant voltage
    int cvHigh_ = 0, endLow_ = 0, firstOut_ = 0;
    bool cvSeen_ = false;
    std::vector<double> chargedCells_, dischargedCells_;
};
