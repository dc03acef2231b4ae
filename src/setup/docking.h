#pragma once

#include <QtGlobal>

class CommandBar;
class Dialogs;
class QDockWidget;
class QObject;
class QWidget;

// A form that docks itself into the main window's command bar as a pane.
class IWillDockToActiveBar {
public:
    virtual ~IWillDockToActiveBar() = default;
    // The docking area: 1 the wide area above the chart windows, 2 the tall one on their
    // left. A grab-handle style other than 0 gives the pane a title bar to hold it by. The
    // offset is the pane's place in its area, which a Qt dock area does not have. Answers no
    // object, like every form that implements it.
    virtual QObject *DockYourselfTo(CommandBar &ActiveBar, bool parmIsVisible,
                                    qint32 paramDockingarea, qint32 paramGrabHandleStyle,
                                    qint32 paramDockingOffset)
        = 0;
};

// Docks `form` (named by its object name) as the band "IWillDockToActiveBarBand_<name>".
// On failure tells the user "There was an error while docking form [<name>]." and answers
// null.
QDockWidget *dockForm(CommandBar &bar, QWidget &form, Dialogs &dialogs, bool visible, qint32 area,
                      qint32 grabHandleStyle);
