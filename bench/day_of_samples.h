#pragma once

#include "link/channel_reading.h"

// A day of samples at 1 Hz, as the benches record them.
inline constexpr int Samples = 86'400;

inline ChannelReading sample(qint64 s)
{
    ChannelReading r;
    r[Type] = "LiIo/Po/Fe";
    r[Chg] = "+CHG+";
    r[Ext_temp] = 25 + s % 7;
    r[In_temp] = 0;
    r[In_Volt] = Fixed::fromHundredths(1200);
    r[Bat_volt] = Fixed::fromHundredths(1500 + s % 180);
    r[Current] = Fixed::fromHundredths(200 - s % 50);
    r[Cap] = s / 2;
    r[Power] = "30.00";
    for (int c = 0; c < 12; ++c)
        r[C1 + c] = Fixed::fromHundredths(c < 4 ? 380 + s % 40 : 0);
    return r;
}
