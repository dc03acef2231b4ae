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
    void setLamp(Lamp lamp, bool on) override { lamps[lamp] = on; }
    void refreshChannelDropDown() override { dropDown << (live[0] && live[1]); }

    QList<ChannelReading> readings(int channel) const;
    int count(Event::Kind kind, int channel) const;

    QList<Event> events;
    QStringList messages;
    QMap<Lamp, bool> lamps;
    QList<bool> dropDown; // attached or not, at every refresh
    bool live[2] = { false, false };
};
