#include "platform/sub_window.h"

#include <QMdiArea>
#include <QMdiSubWindow>

void addFitted(QMdiArea &area, QMdiSubWindow &window, QSize wanted)
{
    // Sized before it is added: the area places a new window where its size fits.
    window.resize(area.isVisible() ? wanted.boundedTo(area.viewport()->size()) : wanted);
    area.addSubWindow(&window);
}
