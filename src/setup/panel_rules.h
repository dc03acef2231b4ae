#pragma once

#include "link/value.h"

#include <QString>
#include <array>

// The information panel's arithmetic, apart from its widgets.
namespace PanelRules {

inline constexpr int GaugeCount = 5;
inline constexpr int CellCount = 8;

// A gauge's scale: maximum, the two marks that start the warning zones, the step of its ticks.
struct GaugeScale {
    qint64 maximum = 0;
    double firstMark = 0, secondMark = 0, step = 0;
    bool operator==(const GaugeScale &) const = default;
};

GaugeScale startScale(int index);
// The scale once `value` is shown on gauge `index`: it grows past a value beyond its maximum,
// to the next multiple of 100 (capacity, current) or 10 (the others) above 1.5 x the value,
// and never shrinks.
GaugeScale grownScale(const GaugeScale &scale, int index, Fixed value);

// Charge of one cell in percent, 0 to 100, four decimals; only lithium cells count.
Fixed CellPercent(const QString &type, Fixed voltage);

enum class CellFill { Red, Yellow, Green };
struct CellShown {
    Fixed percent; // to one decimal
    int bar = 0; // the percentage as a whole number
    CellFill fill = CellFill::Red;
    bool dark = true; // below 0.01 V the digits go dark
};
CellShown cellShown(const QString &type, Fixed voltage);
// The bitmap resource of a fill: "RED", "YELLOW", "GREEN".
QString fillBitmap(CellFill fill);

// Over the first n cells, n being the number of cells that carry a voltage: the pack's
// own cells come first, so a dead first cell still counts among them.
struct CellSummary {
    int n = 0;
    Fixed highest, lowest, average, spread;
};
CellSummary summarise(const std::array<Fixed, CellCount> &cells);

// Which thermometers fit a panel of this width (twips, 15 to the pixel).
enum class Thermometers { None, InternalOnly, Both };
Thermometers thermometersShown(qint64 widthTwips);
inline constexpr int TwipsPerPixel = 15;

} // namespace PanelRules
