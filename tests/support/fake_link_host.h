#pragma once

#include "link/link_host.h"

#include <QList>
#include <QMap>
#include <QStringList>

// A LinkHost that records what the link asks of the main window, in order. Like the main
// window, it keeps a live document per channel: a reading makes the channel live, an end
// ends it.
class FakeLinkHost final : public LinkHost {
public:
    struct Event {
        enum Kind { Reading, End } kind;
        int channel;
        ChannelReading reading; // for Reading
    };

    void Reading_Proc(int channel, ChannelReading &reading) override;
    void EndLiveDoc(int channel) override;
    void State_add(const QString &str1) override { messages << str1; }
    bool lamp(const QString &name) const override { return lamps.value(name, false); }
    void setLamp(const QString &name, bool on) override { lamps[name] = on; }
    bool bothChannelsLive() const override { return live[0] && live[1]; }
    void setChannelDropDown(bool attached) override { dropDown << attached; }

    // The readings of one channel, in order.
    QList<ChannelReading> readings(int channel) const;
    // Events of one kind and channel.
    int count(Event::Kind kind, int channel) const;

    QList<Event> events;
    QStringList messages;
    QMap<QString, bool> lamps;
    QList<bool> dropDown; // every setChannelDropDown call
    bool live[2] = { false, false };
};
