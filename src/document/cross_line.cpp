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

QString readOut(const ChannelReading &sample, const QString &twoPoints)
{
    QString text = QStringLiteral("%1, %2 V, %3 A, %4 mAh, %5 ℃")
                       .arg(sample[Time].text(), sample[Bat_volt].text(), sample[Current].text(),
                            sample[Cap].text(), sample[Ext_temp].text());
    if (!twoPoints.isEmpty())
        text += QStringLiteral(", ") + QString(twoPoints).replace(u'\n', QStringLiteral(", "));
    return text;
}

} // namespace CrossLine
