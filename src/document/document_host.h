#pragma once

#include "run/run_summary.h"

#include "link/channel_reading.h"

#include <QString>

class Background;
class Clipboard;
class Clock;
class Dialogs;
class Printer;
class Run;
class RunHub;

// What the chart windows share, kept by the main window.
struct ViewState {
    // The "CrossLine" switch: the cross line follows the mouse without a button held.
    bool crossLineOn = false;
    // The cross line reads samples onto the information panel, which live samples then
    // leave alone: while the switch is on or a button is held on a chart.
    bool crossLineHeld = false;
};

// What a chart window needs of the main window it lives in.
class DocumentHost {
public:
    virtual ~DocumentHost() = default;
    virtual void State_add(const QString &str1) = 0;
    // The information panel follows `run`, which is live: a channel's, or a watched station's.
    virtual void followRun(const Run &run) = 0;
    virtual ViewState &viewState() = 0;
    // The information panel's reading display and series lamps; may do nothing until the
    // panel exists.
    virtual void ShowReading(const ChannelReading &reading) = 0;
    virtual void setSeriesLamp(int series, bool on) = 0;
    // Cascade the chart windows (after the full-screen view ends).
    virtual void cascade() = 0;
    // The main window is closing: its chart windows close with it, live ones too.
    virtual bool closingAll() const = 0;
    virtual const Clock &clock() const = 0;
    virtual Dialogs &dialogs() = 0;
    virtual Clipboard &clipboard() = 0;
    virtual Printer &printer() = 0;
    // Where reads and saves of run files run, waited for at the program's end.
    virtual Background &background() = 0;
    // Every run being fed, whatever its source: what feeds runs starts them here.
    virtual RunHub &runHub() = 0;
    // The capacity the pack of a run so described is rated at: the user's in the battery book,
    // else one the description names.
    virtual std::optional<double> ratedMah(const QString &description) const
    {
        return RunSummary::ratedMahIn(description);
    }
    // The name of the pack with the ID `id` in the battery book; "" for none.
    virtual QString packName(const QString &id) const
    {
        Q_UNUSED(id);
        return {};
    }
};

// What an export to `path` came to: the failure in a message box, else the folder it went to
// on the status line.
void tellExport(DocumentHost &host, const QString &path, const QString &failure);
