#pragma once

#include <QString>
#include <QtGlobal>

class CommandBar;
class Dialogs;
class QDockWidget;
class QWidget;

// A form that docks itself into the main window's command bar, as the band
// "IWillDockToActiveBarBand_<form>" holding the tool "IWillDockToActiveBarTool_<form>".
class IWillDockToActiveBar {
public:
    virtual ~IWillDockToActiveBar() = default;
    // The docking area is the command bar's number: 1 along the top, 2 along the left (the
    // advertisement pane's fold arrow sits on its right edge, beside the chart windows).
    // Grab-handle style and docking offset have no counterpart in Qt's docking.
    virtual void DockYourselfTo(CommandBar &ActiveBar, bool parmIsVisible = true,
                                qint32 paramDockingarea = 1, qint32 paramGrabHandleStyle = 0,
                                qint32 paramDockingOffset = 0)
        = 0;

    // What both forms do: dock `form` (named by its object name) as its band and tool, shown
    // or not; a failure is reported to the user once. Null on failure.
    static QDockWidget *dock(CommandBar &bar, QWidget &form, Dialogs &dialogs, bool visible,
                             qint32 area);

    static QString bandName(const QString &form)
    {
        return QStringLiteral("IWillDockToActiveBarBand_") + form;
    }
    static QString toolName(const QString &form)
    {
        return QStringLiteral("IWillDockToActiveBarTool_") + form;
    }
    static Qt::DockWidgetArea dockingArea(qint32 area)
    {
        return area == 2 ? Qt::LeftDockWidgetArea : Qt::TopDockWidgetArea;
    }
};
