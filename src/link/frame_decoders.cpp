#include "link/frame_decoders.h"

#include <array>
#include <optional>

namespace {

class FrameBytes {
public:
    explicit FrameBytes(const QByteArray &frame)
        : b_(reinterpret_cast<const quint8 *>(frame.constData()))
    {
    }
    int biased(int pos) const { return int(b_[pos]) - 128; }
    Fixed pair(int pos) const { return PairValue(b_[pos], b_[pos + 1]); }
    // The same two bytes read as one whole number (pair value x 100).
    qint64 pairTimes100(int pos) const { return qint64(biased(pos)) * 100 + biased(pos + 1); }
    // Three bytes of ten thousands, hundreds and units.
    qint64 capacity(int pos) const
    {
        return qint64(biased(pos)) * 10000 + qint64(biased(pos + 1)) * 100 + biased(pos + 2);
    }

private:
    const quint8 *b_;
};

using TypeTable = std::array<QString, 7>;

const QString &noText()
{
    static const QString empty;
    return empty;
}

// Battery type texts by code, one table per frame layout; `fallback` for other codes.
const QString &typeText(const TypeTable &table, int code, const QString &fallback)
{
    return code >= 0 && code < int(table.size()) ? table[code] : fallback;
}

const TypeTable &channel1Types()
{
    static const TypeTable t = { QStringLiteral("LiIo/Po/Fe"), QStringLiteral("LiIo/Po/Fe"),
                                 QStringLiteral("LiIo/Po/Fe"), QStringLiteral("LiIo/Po/Fe"),
                                 QStringLiteral("NiMH"),       QStringLiteral("NiCd"),
                                 QStringLiteral("Pb") };
    return t;
}

const TypeTable &channel2Types()
{
    static const TypeTable t = { QStringLiteral("Unknown"),    QStringLiteral("LiIo/Po/Fe"),
                                 QStringLiteral("LiIo/Po/Fe"), QStringLiteral("LiIo/Po/Fe"),
                                 QStringLiteral("NiMH"),       QStringLiteral("NiCd"),
                                 QStringLiteral("Pb") };
    return t;
}

const TypeTable &frame76Types()
{
    static const TypeTable t = { QString(),
                                 QStringLiteral("LiIo/Po/Fe"),
                                 QStringLiteral("Ni-MH"),
                                 QStringLiteral("Ni-Cd"),
                                 QStringLiteral("Pb"),
                                 QString(),
                                 QString() };
    return t;
}

const QString &unknownText()
{
    static const QString t = QStringLiteral("Unknown");
    return t;
}

} // namespace

const QString &chargingText()
{
    static const QString t = QStringLiteral("+CHG+");
    return t;
}

const QString &dischargingText()
{
    static const QString t = QStringLiteral("-DSC-");
    return t;
}

const QString &idleText()
{
    static const QString t = QStringLiteral("Idle");
    return t;
}

// |current x battery voltage| to the hundredth; no current counts as zero.
Fixed power(Fixed current, Fixed batVolt)
{
    return (current * batVolt).abs().hundredths();
}

namespace {

// The charge state and signed current of a channel block by its mode; no current for a
// mode that is neither discharging (1) nor charging (2).
std::optional<Fixed> blockChargeState(const FrameBytes &b, int base, ChannelReading &r)
{
    switch (b.biased(base + 1)) {
    case 1:
        r[Chg] = dischargingText();
        return -b.pair(base + 11);
    case 2:
        r[Chg] = chargingText();
        return b.pair(base + 11);
    default:
        return std::nullopt;
    }
}

// Fills `r` from the channel block at `base`, with `cells` cell voltages; the rest of
// C1..C12 stay zero. False when the mode is neither discharging nor charging.
bool decodeBlock(const FrameBytes &b, int base, int cells, const QString &type, DayTime time,
                 ChannelReading &r)
{
    r[Time] = time;
    const Fixed batVolt = b.pair(base + 15);
    r[Bat_volt] = batVolt;
    r[Type] = type;
    const std::optional<Fixed> current = blockChargeState(b, base, r);
    if (current)
        r[Current] = *current;
    r[Ext_temp] = b.pairTimes100(base + 17);
    r[In_temp] = qint64(0);
    r[In_Volt] = b.pair(4); // both channels read the input voltage at 4, 5
    r[Cap] = b.capacity(base + 6);
    r[Power] = power(current.value_or(Fixed()), batVolt);
    for (int k = 0; k < 12; ++k)
        r[C1 + k] = k < cells ? b.pair(base + 19 + 2 * k) : Fixed();
    return current.has_value();
}

// Channel 1 of a 36- or 112-byte frame: an unknown active mode is still dispatched.
void decodeChannel1(const FrameBytes &b, int cells, DayTime time, ChannelOutcome &out)
{
    if (b.biased(1) <= 0) {
        out.inactive = true;
        return;
    }
    decodeBlock(b, 0, cells, typeText(channel1Types(), b.biased(2), noText()), time,
                out.reading.emplace());
}

} // namespace

Fixed PairValue(quint8 w, quint8 f)
{
    return Fixed::fromHundredths((qint64(w) - 128) * 100 + (qint64(f) - 128));
}

FrameOutcome decode36(const QByteArray &frame, DayTime time)
{
    FrameOutcome out;
    if (frame.size() >= Frame36Length)
        decodeChannel1(FrameBytes(frame), 8, time, out[0]);
    return out;
}

FrameOutcome decode76(const QByteArray &frame, DayTime time)
{
    FrameOutcome out;
    if (frame.size() < Frame76Length)
        return out;
    const FrameBytes b(frame);
    ChannelReading &r = out[0].reading.emplace();
    r[Time] = time;
    const Fixed batVolt = b.pair(35);
    r[Bat_volt] = batVolt;
    r[Type] = typeText(frame76Types(), b.biased(23), noText());
    const bool charging = b.biased(8) >= 1;
    const Fixed current = charging ? b.pair(33) : -b.pair(33);
    r[Chg] = !charging ? dischargingText() : batVolt > Fixed() ? chargingText() : idleText();
    r[Current] = current;
    r[Ext_temp] = b.pairTimes100(37);
    r[In_temp] = b.pairTimes100(39);
    r[In_Volt] = b.pair(41);
    r[Cap] = b.pairTimes100(43);
    r[Power] = power(current, batVolt);
    for (int k = 0; k < 12; ++k)
        r[C1 + k] = b.pair(45 + 2 * k);
    return out;
}

FrameOutcome decode112(const QByteArray &frame, DayTime time)
{
    FrameOutcome out;
    if (frame.size() < Frame112Length)
        return out;
    const FrameBytes b(frame);
    decodeChannel1(b, 12, time, out[0]);

    constexpr int base = 54;
    if (b.biased(base + 1) <= 0)
        out[1].inactive = true;
    else if (!decodeBlock(b, base, 12, typeText(channel2Types(), b.biased(base + 2), unknownText()),
                          time, out[1].reading.emplace()))
        out[1].reading.reset(); // any other mode drops channel 2's half without ending its run
    return out;
}
