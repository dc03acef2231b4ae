#include "shell/window_arrangement.h"

#include <algorithm>

namespace WindowArrangement {

QList<QRect> tiled(int count, const QRect &area, bool horizontally)
{
    QList<QRect> rects;
    const int extent = horizontally ? area.height() : area.width();
    for (int i = 0; i < count; ++i) {
        // Spread the remainder so the strips fill the area exactly.
        const int from = extent * i / count, to = extent * (i + 1) / count;
        rects << (horizontally ? QRect(area.left(), area.top() + from, area.width(), to - from)
                               : QRect(area.left() + from, area.top(), to - from, area.height()));
    }
    return rects;
}

QList<QPoint> iconPositions(int count, const QRect &area, const QSize &iconSize)
{
    QList<QPoint> points;
    const int perRow = std::max(1, area.width() / std::max(1, iconSize.width()));
    for (int i = 0; i < count; ++i)
        points << QPoint(area.left() + (i % perRow) * iconSize.width(),
                         area.bottom() + 1 - (i / perRow + 1) * iconSize.height());
    return points;
}

} // namespace WindowArrangement
