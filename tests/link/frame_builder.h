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

    QByteArray bytes() const { return bytes_; }
    operator QByteArray() const { return bytes_; }

private:
    QByteArray bytes_;
};
