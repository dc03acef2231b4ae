#include "shell/window_arrangement.h"

#include "platform/command_names.h"

#include <QMdiArea>
#include <QMdiSubWindow>

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

std::optional<Mode> modeOf(const QString &tool)
{
    const std::pair<const QString &, Mode> modes[]
        = { { ToolName::Cascade, Mode::Cascade },
            { ToolName::TileH, Mode::TileHorizontally },
            { ToolName::TileV, Mode::TileVertically },
            { ToolName::ArrangeIcons, Mode::ArrangeIcons } };
    for (const auto &[name, mode] : modes)
        if (name == tool)
            return mode;
    return std::nullopt;
}

void arrange(QMdiArea &area, Mode mode)
{
    if (mode == Mode::Cascade) {
        area.cascadeSubWindows();
        return;
    }
    QList<QMdiSubWindow *> normal, minimised;
    for (QMdiSubWindow *w : area.subWindowList())
        (w->isMinimized() ? minimised : normal) << w;
    const QRect space = area.viewport()->rect();
    if (mode == Mode::ArrangeIcons) {
        const QSize icon = minimised.isEmpty() ? QSize() : minimised.first()->size();
        const QList<QPoint> at = iconPositions(int(minimised.size()), space, icon);
        for (int i = 0; i < minimised.size(); ++i)
            minimised[i]->move(at[i]);
        return;
    }
    const QList<QRect> rects = tiled(int(normal.size()), space, mode == Mode::TileHorizontally);
    for (int i = 0; i < normal.size(); ++i) {
        normal[i]->showNormal();
        normal[i]->setGeometry(rects[i]);
    }
}

} // namespace WindowArrangement
