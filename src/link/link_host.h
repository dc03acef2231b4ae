#pragma once

#include "link/channel_reading.h"

#include <QString>

// What the charger link needs of the main window: the live dispatch per channel, the
// status line, the two lamps and the "Channel" drop-down of the tool bar.
class LinkHost {
public:
    virtual ~LinkHost() = default;
    virtual void Reading_Proc(int channel, ChannelReading &reading) = 0;
    virtual void EndLiveDoc(int channel) = 0;
    virtual void State_add(const QString &str1) = 0;
    // "L1" connection lamp, "L2" receive lamp.
    virtual bool lamp(const QString &name) const = 0;
    virtual void setLamp(const QString &name, bool on) = 0;
    // Both channels have a live document (Newdoc and CH2Doc set).
    virtual bool bothChannelsLive() const = 0;
    virtual void setChannelDropDown(bool attached) = 0;
};
