#pragma once

#include "link/frame_decoders.h"

#include <QByteArray>

// Builds charger frames byte by byte: every unset position holds 128 (a zero value), "{"
// at 0 and "}" at the end, so a test states only the bytes it is about.
class FrameBuilder {
public:
    explicit FrameBuilder(int length) : bytes_(length, char(128))
    {
        bytes_[0] = FrameStart;
        bytes_[length - 1] = FrameEnd;
    }

    FrameBuilder &byte(int pos, int value)
    {
        bytes_[pos] = char(quint8(value));
        return *this;
    }
    // A mode or type byte: the code biased by 128.
    FrameBuilder &code(int pos, int value) { return byte(pos, value + 128); }
    // Pair value of `hundredths` / 100 at pos, pos + 1; also the "pair value x 100" fields.
    FrameBuilder &pair(int pos, int hundredths)
    {
        return byte(pos, 128 + hundredths / 100).byte(pos + 1, 128 + hundredths % 100);
    }
    // Three-byte capacity of the channel block: the hundreds of mAh as a pair, then the rest.
    FrameBuilder &capacity(int pos, int mAh)
    {
        return pair(pos, mAh / 100).byte(pos + 2, 128 + mAh % 100);
    }

    operator QByteArray() const { return bytes_; }

private:
    QByteArray bytes_;
};

// Channel blocks charging at 2.05 A, 12.37 V, 25 degrees, 1234 mAh from 12.00 V in: one in a
// 36-byte frame, two in a 112-byte frame.
inline FrameBuilder charging(int length)
{
    FrameBuilder f(length);
    for (int base = 0; base + Frame36Length <= length; base += 54) {
        f.code(base + 1, 2).code(base + 2, 0).capacity(base + 6, 1234);
        f.pair(base + 11, 205).pair(base + 15, 1237).pair(base + 17, 25);
    }
    return f.pair(4, 1200);
}
// Charging at 1.50 A, 8.40 V.
inline FrameBuilder frame76()
{
    return FrameBuilder(Frame76Length).code(8, 1).code(23, 1).pair(33, 150).pair(35, 840);
}
