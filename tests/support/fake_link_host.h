#pragma once

#include "link/link_host.h"

#include <QMap>
#include <QStringList>

#include <algorithm>

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

    void Reading_Proc(int channel, ChannelReading &reading) override
    {
        events << Event { Event::Reading, channel, reading };
        if (channel == 1 || channel == 2)
            live[channel - 1] = true;
    }
    void EndLiveDoc(int channel) override
    {
        events << Event { Event::End, channel, {} };
        if (channel == 1 || channel == 2)
            live[channel - 1] = false;
    }
    void State_add(const QString &str1) override { messages << str1; }
    void setLamp(Lamp lamp, bool on) override { lamps[lamp] = on; }
    void refreshChannelDropDown() override { dropDown << (live[0] && live[1]); }

    QList<ChannelReading> readings(int channel) const
    {
        QList<ChannelReading> out;
        for (const Event &e : events)
            if (e.kind == Event::Reading && e.channel == channel)
                out << e.reading;
        return out;
    }
    int count(Event::Kind kind, int channel) const
    {
        return int(std::count_if(events.begin(), events.end(), [&](const Event &e) {
            return e.kind == kind && e.channel == channel;
        }));
    }

    QList<Event> events;
    QStringList messages;
    QMap<Lamp, bool> lamps;
    QList<bool> dropDown; // attached or not, at every refresh
    bool live[2] = { false, false };
};
