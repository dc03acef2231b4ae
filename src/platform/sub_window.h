#pragma once

#include <QSize>

class QMdiArea;
class QMdiSubWindow;

// Adds `window` to `area` at `wanted` size, or smaller where the area is smaller (a small screen,
// or 200 %), so that it opens wholly inside the area: a title bar or an axis below the area's
// edge is out of reach. Each new window cascades from the one added before it.
void addFitted(QMdiArea &area, QMdiSubWindow &window, QSize wanted);
