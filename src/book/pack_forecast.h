#pragma once

#include <QDateTime>
#include <QString>

#include <optional>
#include <vector>

// When a pack wears out: a straight line fitted by least squares to a figure (the full
// discharges' capacities, or its resistances) against the pack's equivalent full cycles, and
// the cycles where it crosses the threshold with an interval for that crossing.
struct PackForecast {
    struct Point {
        double cycles = 0; // equivalent full cycles at the run
        double value = 0; // mAh or mΩ
        QDateTime date;
    };
    // Capacity falls to its threshold, resistance rises to it; each is told in its own words.
    enum class Measure { Capacity, Resistance };
    static constexpr int FewestPoints = 5;
    static constexpr double Level = 0.8; // of the interval
    // Farther past the last discharge than this many times the cycles the discharges span is
    // far beyond the data.
    static constexpr double FarBeyond = 3;

    // "" when forecast, otherwise why not.
    QString refusal;
    // The fit, its capacity at the first discharge and the threshold: known from two points.
    double intercept = 0, slope = 0, first = 0, threshold = 0;
    double firstCycles = 0; // of the first full discharge
    std::optional<double> cycles, low, high; // at the threshold
    QDateTime date; // of `cycles`, at the pace the discharges came; invalid when not known
    bool farBeyond = false;

    // `points` by cycles; the threshold is `limit`, or else `share` of the fit's first figure.
    static PackForecast of(const std::vector<Point> &points, double share = 0.8,
                           Measure measure = Measure::Capacity, std::optional<double> limit = {});
    double fitAt(double cycles) const { return intercept + slope * cycles; }
    // Half the width of the interval of the fitted line at `cycles`: the band on the chart.
    double bandAt(double cycles) const;
    // "80 % at about 140 cycles (110–175), around March 2027" ("124 mΩ at …" for a
    // resistance), or the refusal.
    QString text() const;
    // The refusal, or that the forecast is far beyond the data, or "".
    QString note() const;

private:
    double share_ = 0.8;
    Measure measure_ = Measure::Capacity;
    int n_ = 0;
    double meanCycles_ = 0, sxx_ = 0, spread_ = 0, t_ = 0; // spread_: residuals' s
};

// The two-sided quantile of Student's t with `freedom` degrees at `level` (0.8: t at 0.9).
double studentT(double level, int freedom);
