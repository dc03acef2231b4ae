#include "setup/panel_rules.h"

#include <algorithm>

namespace PanelRules {

namespace {
// numerator / denominator, halves to the even quotient; denominator > 0.
qint64 divideHalfEven(qint64 numerator, qint64 denominator)
{
    qint64 q = numerator / denominator;
    qint64 r = numerator % denominator;
    if (r < 0) {
        --q;
        r += denominator;
    }
    if (2 * r > denominator || (2 * r == denominator && q % 2 != 0))
        ++q;
    return q;
}

constexpr qint64 Full = 42000, Empty = 30000; // raw volts of a lithium cell
} // namespace

GaugeScale startScale(int index)
{
    static constexpr std::array<GaugeScale, GaugeCount> Start = { {
        { 18, 16, 17, 1 },
        { 10, 7.52, 8.5, 1 },
        { 10, 7.5, 8.5, 1 },
        { 10, 7.5, 8.5, 1 },
        { 20, 15, 17.5, 2 },
    } };
    return Start.at(index);
}

GaugeScale grownScale(const GaugeScale &scale, int index, Fixed value)
{
    if (value <= Fixed::fromWhole(scale.maximum))
        return scale;
    const qint64 t = value.raw() * 3 / 20000 + 1; // floor(1.5 x value) + 1, value > 0
    const qint64 round = (index == 2 || index == 3) ? 100 : 10;
    GaugeScale grown;
    grown.maximum = t + (round - t % round);
    grown.firstMark = 0.75 * double(grown.maximum);
    grown.secondMark = 0.85 * double(grown.maximum);
    grown.step = double(grown.maximum) / 10;
    return grown;
}

Fixed CellPercent(const QString &type, Fixed voltage)
{
    if (type != QLatin1String("LiIo/Po/Fe"))
        return Fixed();
    const qint64 raw = divideHalfEven((voltage.raw() - Empty) * 100 * 10000, Full - Empty);
    return Fixed::fromRaw(std::clamp<qint64>(raw, 0, 100 * 10000));
}

CellShown cellShown(const QString &type, Fixed voltage)
{
    CellShown shown;
    shown.percent = Fixed::fromRaw(divideHalfEven(CellPercent(type, voltage).raw(), 1000) * 1000);
    shown.bar = int(shown.percent.roundedHalfEven());
    const Fixed p = shown.percent;
    shown.fill = p < Fixed::fromWhole(18) ? CellFill::Red
        : p <= Fixed::fromWhole(45)       ? CellFill::Yellow
                                          : CellFill::Green;
    shown.dark = voltage < Fixed::fromHundredths(1);
    return shown;
}

QString fillBitmap(CellFill fill)
{
    switch (fill) {
    case CellFill::Yellow:
        return QStringLiteral("YELLOW");
    case CellFill::Green:
        return QStringLiteral("GREEN");
    case CellFill::Red:
        break;
    }
    return QStringLiteral("RED");
}

CellSummary summarise(const std::array<Fixed, CellCount> &cells)
{
    CellSummary s;
    for (Fixed c : cells)
        s.n += c.raw() != 0;
    s.highest = s.lowest = s.average = cells[0];
    if (s.n < 2)
        return s;
    qint64 sum = 0;
    for (int i = 0; i < s.n; ++i) {
        s.highest = std::max(s.highest, cells[i]);
        s.lowest = std::min(s.lowest, cells[i]);
        sum += cells[i].raw();
    }
    s.average = Fixed::fromRaw(divideHalfEven(sum, s.n));
    s.spread = Fixed::fromRaw(s.highest.raw() - s.lowest.raw());
    return s;
}

Thermometers thermometersShown(qint64 widthTwips)
{
    if (widthTwips > 17500)
        return Thermometers::Both;
    return widthTwips > 16200 ? Thermometers::InternalOnly : Thermometers::None;
}

} // namespace PanelRules
