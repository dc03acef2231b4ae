#pragma once

#include "link/channel_reading.h"

#include <QString>

// What the charger link feeds: the readings and ends of each channel's run, the status line,
// the two lamps and the "Channel" drop-down of the tool bar. The live runs take it in the
// program and the logger; a tool may take it itself.
class LinkHost {
public:
    enum class Lamp { Connection, Receive };

    virtual ~LinkHost() = default;
    virtual void Reading_Proc(int channel, ChannelReading &reading) = 0;
    virtual void EndLiveDoc(int channel) = 0;
    virtual void State_add(const QString &str1) = 0;
    virtual void setLamp(Lamp lamp, bool on) = 0;
    // The drop-down is attached while both channels have a live window, detached otherwise.
    virtual void refreshChannelDropDown() = 0;
};

// A host that ignores everything; tools and tests override what they watch.
class NullLinkHost : public LinkHost {
public:
    void Reading_Proc(int, ChannelReading &) override { }
    void EndLiveDoc(int) override { }
    void State_add(const QString &) override { }
    void setLamp(Lamp, bool) override { }
    void refreshChannelDropDown() override { }
};
