#include "run/live_runs.h"

LiveRuns::LiveRuns(const Clock &clock, const JournalPlace &journals, QObject *parent)
    : QObject(parent), clock_(clock), journals_(journals)
{
}

LiveRuns::~LiveRuns() = default;

bool implausible(const ChannelReading &r)
{
    const auto above = [&r](int field, qint64 limit) {
        const auto v = r[field].number();
        return v && *v > Fixed::fromWhole(limit);
    };
    const auto bat = r[Bat_volt].number();
    return above(Ext_temp, 150) || above(In_temp, 100) || above(In_Volt, 20) || above(Bat_volt, 51)
        || (bat && *bat < Fixed::fromWhole(1));
}

void LiveRuns::Reading_Proc(int channel, ChannelReading &reading)
{
    if ((channel != 1 && channel != 2) || implausible(reading))
        return;
    std::shared_ptr<Run> &run = runOf(channel);
    if (!run) {
        ++started_;
        run = std::make_shared<Run>(QStringLiteral("CH%1 Chart %2").arg(channel).arg(started_),
                                    clock_);
        run->goLive(channel, journals_);
        connect(run.get(), &Run::message, this, &LiveRuns::message);
        emit runStarted(channel, run);
    }
    switch (run->offer(reading)) {
    case Run::Fate::Row:
        emit readingAccepted(channel, reading);
        break;
    case Run::Fate::Skip:
        break;
    case Run::Fate::End:
        EndLiveDoc(channel);
        break;
    }
}

void LiveRuns::EndLiveDoc(int channel)
{
    if (channel != 1 && channel != 2)
        return;
    const std::shared_ptr<Run> run = std::exchange(runOf(channel), nullptr);
    if (!run)
        return;
    run->end();
    emit runEnded(channel, run, run->summary());
}

void LiveRuns::setLamp(Lamp lamp, bool on)
{
    if (lamp == Lamp::Receive)
        emit receiving(on);
    else if (on)
        emit linkFound();
    else
        emit linkLost();
}
