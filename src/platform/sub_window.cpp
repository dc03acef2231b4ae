#include "platform/sub_window.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QStyle>

#include <algorithm>

void addFitted(QMdiArea &area, QMdiSubWindow &window, QSize wanted)
{
    // A title bar's height down and right of the window before, back to the top left corner
    // where the next would leave the area; the area's own placing stacks windows as large as
    // these at two places.
    const int step = window.style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, &window);
    const QList<QMdiSubWindow *> before = area.subWindowList(QMdiArea::CreationOrder);
    const QSize room = area.viewport()->size();
    // Sized before it is added, with room for a few steps of the cascade.
    window.resize(area.isVisible() ? wanted.boundedTo(room - QSize(3 * step, 3 * step)) : wanted);
    area.addSubWindow(&window);
    if (!area.isVisible() || before.isEmpty())
        return;
    const QPoint next = before.last()->pos() + QPoint(step, step);
    const bool fits
        = next.x() + window.width() <= room.width() && next.y() + window.height() <= room.height();
    window.move(fits ? next : QPoint());
}
