#pragma once

#include <QList>
#include <QRect>

#include <optional>

class QMdiArea;

// Where the chart windows go when the user arranges them.
namespace WindowArrangement {
enum class Mode { Cascade, TileHorizontally, TileVertically, ArrangeIcons };
// The mode of a "Windows" menu command; none for other tools.
std::optional<Mode> modeOf(const QString &tool);
void arrange(QMdiArea &area, Mode mode);

// `count` windows in `area`: horizontally tiled windows lie one above the other, each the
// full width; vertically tiled ones stand side by side, each the full height.
QList<QRect> tiled(int count, const QRect &area, bool horizontally);
// Minimised windows of `iconSize` in a row along the bottom of `area`, wrapping upwards.
QList<QPoint> iconPositions(int count, const QRect &area, const QSize &iconSize);
} // namespace WindowArrangement
