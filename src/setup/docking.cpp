#include "setup/docking.h"

#include "platform/command_bar.h"
#include "platform/dialogs.h"

#include <QDockWidget>
#include <QHBoxLayout>

QDockWidget *dockForm(CommandBar &bar, QWidget &form, Dialogs &dialogs, bool visible, qint32 area,
                      qint32 grabHandleStyle)
{
    const QString name = form.objectName();
    QDockWidget *dock = bar.dockPane(QStringLiteral("IWillDockToActiveBarBand_") + name, &form,
                                     area == 2 ? Qt::LeftDockWidgetArea : Qt::TopDockWidgetArea);
    if (!dock) {
        dialogs.message(QStringLiteral("There was an error while docking form [%1].").arg(name),
                        QStringLiteral("Error"), Dialogs::Icon::Information);
        return nullptr;
    }
    // A docked form stays where it was docked: it is neither closed nor floated.
    dock->setFeatures(QDockWidget::NoDockWidgetFeatures);
    if (grabHandleStyle == 0) {
        // No title bar: an empty widget that asks for no room.
        auto *none = new QWidget(dock);
        (new QHBoxLayout(none))->setContentsMargins(0, 0, 0, 0);
        dock->setTitleBarWidget(none);
    }
    dock->setVisible(visible);
    return dock;
}
