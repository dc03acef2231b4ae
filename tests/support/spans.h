#pragma once

#include "run/run_file.h"
#include "support/readings.h"

#include <QStringList>
#include <optional>

// Samples as a run keeps them, one a second from `from` to `to` seconds.
struct Span {
    int from, to;
    double volts;
    std::optional<double> amps; // none while idle
    QString cells = "4.20 4.20 0";
    QString type = "LiIo/Po/Fe";
};

inline QList<ChannelReading> readingsOf(const QList<Span> &spans)
{
    QList<ChannelReading> out;
    for (const Span &p : spans)
        for (int t = p.from; t <= p.to; ++t) {
            ChannelReading r = reading(0, 0, p.amps ? Fixed::fromDouble(*p.amps) : Value());
            r[Time] = DayTime { t % 86400 / 86400.0 };
            r[Type] = p.type;
            r[Bat_volt] = Fixed::fromDouble(p.volts);
            const QStringList cells = p.cells.split(' ');
            for (int c = 0; c < cells.size(); ++c)
                r[C1 + c] = *Fixed::parse(cells[c]);
            out << r;
        }
    return out;
}

// A run file of these samples; "" when written, otherwise why not.
inline QString writeRun(const QString &path, const QString &title, const QList<Span> &spans)
{
    const QList<ChannelReading> rows = readingsOf(spans);
    return RunFile::write(path, title, rows.size(),
                          [&](qint64 r, int f) { return rows[r][f].text(); });
}
