#pragma once

#include "link/channel_reading.h"
#include "platform/command_target.h"

#include <QString>

#include <memory>

class CommandBar;
class QMdiSubWindow;
class Run;
class RunJournal;
struct JournalPlace;

// How the main window drives a chart window; members in slot order, the first,
// CommandHandler, that of every window that answers commands.
class IMDIDocument : public CommandTarget {
public:
    virtual bool InitDoc(CommandBar *ab, const QString &sFile, bool bNew) = 0;
    virtual bool Proc(ChannelReading &cell, bool isOpen) = 0;
    virtual bool DBSave() = 0;
    virtual bool ChartTitle(const QString &Str) = 0;
    virtual bool deCaption() = 0;
    virtual bool show() = 0;
    // Accepted samples + 1 (the caption row); wide enough for any run.
    virtual qint64 RtnGridRows() = 0;
    virtual bool active() = 0;
    virtual bool reset() = 0;
    virtual bool RePaint(bool flag) = 0;

    // The window itself, for the MDI area.
    virtual QMdiSubWindow *window() = 0;
    // A recovered run takes over the journal it was read from, which then goes with it.
    virtual void adoptJournal(std::unique_ptr<RunJournal> journal) = 0;
    // A recovered run whose journal cannot be taken over gets one of its own there.
    virtual void keepSafe(const JournalPlace &journals) = 0;
    // The information panel's lamps switch the chart's four curves.
    virtual void setSeriesShown(int series, bool shown) = 0;
    // The window shows `run` from now on instead of its own: a live one, or one a file is
    // being read into.
    virtual void showRun(const std::shared_ptr<Run> &run) = 0;
};
