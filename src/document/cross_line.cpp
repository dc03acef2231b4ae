#include "document/cross_line.h"

namespace CrossLine {

std::optional<qsizetype> sampleAt(qsizetype count, double t,
                                  const std::function<double(qsizetype)> &x)
{
    qsizetype lo = 0, hi = count - 1;
    while (lo <= hi) {
        const qsizetype sum = lo + hi;
        const qsizetype mid = sum / 2 + (sum % 2 != 0 && (sum / 2) % 2 != 0 ? 1 : 0);
        const double at = x(mid);
        if (at < t)
            lo = mid + 1;
        else if (at > t)
            hi = mid - 1;
        else
            return mid;
    }
    return lo < count ? std::optional(lo) : std::nullopt;
}

ChannelReading record(ChannelReading sample)
{
    if (sample[Type].isText())
        sample[Type] = sample[Type].text().trimmed();
    return sample;
}

} // namespace CrossLine
