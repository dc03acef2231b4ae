#pragma once

#include "link/value.h"

#include <array>

// Field positions of a reading; the sample table's columns and the run file's fields
// follow the same order.
enum Field : int {
    Time,
    Type,
    Chg,
    Ext_temp,
    In_temp,
    In_Volt,
    Bat_volt,
    Current,
    Cap,
    Power,
    C1,
    C12 = C1 + 11,
    FieldCount
};

// The 22 values of one channel in one frame.
using ChannelReading = std::array<Value, FieldCount>;

// Field names as the run file's columns spell them.
inline constexpr std::array<const char *, FieldCount> FieldNames
    = { "Time", "type",  "Chg", "Ext_temp", "In_temp", "In_Volt", "Bat_volt", "Current",
        "Cap",  "Power", "C1",  "C2",       "C3",      "C4",      "C5",       "C6",
        "C7",   "C8",    "C9",  "C10",      "C11",     "C12" };

// How many cells, from C1 on, up to the last one that shows a voltage: those an outlet sends.
inline int cellsShown(const ChannelReading &reading)
{
    int shown = 0;
    for (int c = C1; c <= C12; ++c)
        if (const auto v = reading[c].number(); v && *v != Fixed())
            shown = c - C1 + 1;
    return shown;
}
