#pragma once

#include "link/channel_reading.h"

#include <QString>

class Clipboard;
class Clock;
class Dialogs;
class Printer;

// What a chart window needs of the main window it lives in.
class DocumentHost {
public:
    virtual ~DocumentHost() = default;
    virtual void State_add(const QString &str1) = 0;
    virtual void Channel_Proc(int channel) = 0;
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
    // Where live windows keep their recovery journals; "" keeps none.
    virtual QString journalFolder() const = 0;
};

// The program-wide cross-line flag, shared by the CrossLine command and the chart windows.
inline bool CrossLineFlag = false;
