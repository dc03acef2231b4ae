#pragma once

#include "link/value.h"

#include <QByteArray>

class LinkHost;

// The charger's two-byte measurement: whole part W and hundredths F, each biased by 128.
Fixed PairValue(quint8 w, quint8 f);

inline constexpr char FrameStart = '{';
inline constexpr char FrameEnd = '}';
inline constexpr int Frame36Length = 36;
inline constexpr int Frame76Length = 76;
inline constexpr int Frame112Length = 112;

// Each decoder takes one whole frame ("{" at position 0), hands a reading per active
// channel to LinkHost::Reading_Proc and tells LinkHost::EndLiveDoc of a channel the frame
// reports inactive. `time` stamps every reading of the frame. A buffer shorter than its
// frame kind is ignored.
void decode36(const QByteArray &frame, LinkHost &host, DayTime time);
void decode76(const QByteArray &frame, LinkHost &host, DayTime time);
void decode112(const QByteArray &frame, LinkHost &host, DayTime time);
