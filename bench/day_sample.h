#pragma once

#include "support/readings.h"

// Second `s` of a day-long run, every value moving.
inline ChannelReading daySample(qint64 s)
{
    ChannelReading r = reading(s / 2, 4, Fixed::fromHundredths(200 - s % 50));
    r[Ext_temp] = 25 + s % 7;
    r[Bat_volt] = Fixed::fromHundredths(1500 + s % 180);
    r[Power] = Fixed::fromHundredths(3000);
    for (int c = 0; c < 4; ++c)
        r[C1 + c] = Fixed::fromHundredths(380 + s % 40);
    return r;
}
