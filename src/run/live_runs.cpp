#include "run/live_runs.h"

LiveRuns::LiveRuns(RunHub &hub, const Clock &clock, const JournalPlace &journals, QObject *parent)
    : QObject(parent), hub_(hub), clock_(clock), journals_(journals)
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
    lost_ = false; // a charger that speaks is there
    std::shared_ptr<Run> &run = runOf(channel);
    if (!run) {
        ++started_;
        run = std::make_shared<Run>(QStringLiteral("CH%1 Chart %2").arg(channel).arg(started_),
                                    clock_);
        run->goLive(channel, journals_);
        connect(run.get(), &Run::message, this, &LiveRuns::message);
        hub_.start(run);
    }
    if (run->offer(reading) == Run::Fate::End)
        end(channel, RunEnd::Interrupted);
}

void LiveRuns::EndLiveDoc(int channel)
{
    // The port search ends the runs after it has put out the connection lamp.
    end(channel, lost_ ? RunEnd::LinkLost : RunEnd::Finished);
}

void LiveRuns::stop()
{
    end(1, RunEnd::Stopped);
    end(2, RunEnd::Stopped);
}

void LiveRuns::end(int channel, RunEnd why)
{
    if (channel != 1 && channel != 2)
        return;
    if (const std::shared_ptr<Run> run = std::exchange(runOf(channel), nullptr))
        hub_.end(run, why);
}

void LiveRuns::setLamp(Lamp lamp, bool on)
{
    if (lamp == Lamp::Receive) {
        emit receiving(on);
        return;
    }
    lost_ = !on;
    if (on)
        emit linkFound();
    else
        emit linkLost();
}
