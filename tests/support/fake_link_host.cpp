#include "support/fake_link_host.h"

#include <algorithm>

void FakeLinkHost::Reading_Proc(int channel, ChannelReading &reading)
{
    events << Event { Event::Reading, channel, reading };
    if (channel == 1 || channel == 2)
        live[channel - 1] = true;
}

void FakeLinkHost::EndLiveDoc(int channel)
{
    events << Event { Event::End, channel, {} };
    if (channel == 1 || channel == 2)
        live[channel - 1] = false;
}

QList<ChannelReading> FakeLinkHost::readings(int channel) const
{
    QList<ChannelReading> out;
    for (const Event &e : events)
        if (e.kind == Event::Reading && e.channel == channel)
            out << e.reading;
    return out;
}

int FakeLinkHost::count(Event::Kind kind, int channel) const
{
    return int(std::count_if(events.begin(), events.end(), [&](const Event &e) {
        return e.kind == kind && e.channel == channel;
    }));
}
