#pragma once

#include "link/channel_reading.h"

#include <QStringList>
#include <QTime>

// A lithium pack charging: `capacity` mAh so far, `cells` cells at 4.20 V.
inline ChannelReading reading(qint64 capacity, int cells = 4,
                              Value current = Fixed::fromHundredths(200))
{
    ChannelReading r;
    r[Type] = "LiIo/Po/Fe";
    r[Chg] = "+CHG+";
    r[Ext_temp] = 25;
    r[In_temp] = 0;
    r[In_Volt] = Fixed::fromHundredths(1200);
    r[Bat_volt] = Fixed::fromHundredths(1680);
    r[Current] = current;
    r[Cap] = capacity;
    r[Power] = Fixed::fromHundredths(3360);
    for (int c = 0; c < 12; ++c)
        r[C1 + c] = Fixed::fromHundredths(c < cells ? 420 : 0);
    return r;
}

// Sample rows as a run file holds them: `reading(row)` at 00:00:01 and a second a row on.
inline QString rowText(qint64 row, int field)
{
    return field == Time ? QTime(0, 0, 1).addSecs(int(row)).toString(u"hh:mm:ss")
                         : reading(row)[field].text();
}

// Every field as its text, for comparing whole readings.
inline QStringList texts(const ChannelReading &r)
{
    QStringList out;
    for (const Value &v : r)
        out << v.text();
    return out;
}
