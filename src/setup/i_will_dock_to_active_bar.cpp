#include "setup/i_will_dock_to_active_bar.h"

#include "platform/command_bar.h"
#include "platform/dialogs.h"

#include <QDockWidget>

QDockWidget *IWillDockToActiveBar::dock(CommandBar &bar, QWidget &form, Dialogs &dialogs,
                                        bool visible, qint32 area)
{
    const QString name = form.objectName();
    QDockWidget *pane = bar.dockPane(bandName(name), toolName(name), &form, dockingArea(area));
    if (!pane) {
        dialogs.message(QStringLiteral("There was an error while docking form [%1].").arg(name),
                        QStringLiteral("Error"), Dialogs::Icon::Information);
        return nullptr;
    }
    bar.tool(bandName(name), toolName(name)).setVisible(visible);
    return pane;
}
