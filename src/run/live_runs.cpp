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

namespace {
// A charger back from a lost link goes on with the same run when it charges as it did, and has
// not counted its capacity from nought again.
bool continues(const Run &run, const ChannelReading &reading)
{
    const Samples &samples = run.samples();
    const qint64 last = samples.count() - 1;
    const auto capacity = reading[Cap].number();
    return last < 0
        || (reading[Type].text() == samples.text(last, Type)
            && reading[Chg].text() == samples.text(last, Chg) && capacity
            && *capacity >= samples.number(last, Cap).value_or(Fixed()));
}
} // namespace

void LiveRuns::Reading_Proc(int channel, ChannelReading &reading)
{
    if ((channel != 1 && channel != 2) || implausible(reading))
        return;
    lost_ = false; // a charger that speaks is there
    std::shared_ptr<Run> &run = runOf(channel);
    Waiting &away = away_[channel == 2];
    const bool resumed = away.waiting() && continues(*run, reading);
    if (away.waiting() && !resumed)
        end(channel, RunEnd::LinkLost);
    away.cancel();
    if (!run) {
        ++started_;
        run = std::make_shared<Run>(QStringLiteral("CH%1 Chart %2").arg(channel).arg(started_),
                                    clock_);
        run->goLive(channel, journals_);
        connect(run.get(), &Run::message, this, &LiveRuns::message);
        hub_.start(run);
    }
    if (run->offer(reading, resumed) == Run::Fate::End)
        end(channel, RunEnd::Interrupted);
}

void LiveRuns::EndLiveDoc(int channel)
{
    // The port search ends the runs after it has put out the connection lamp: a run then waits
    // for its charger to come back with it.
    if (!lost_) {
        end(channel, RunEnd::Finished);
        return;
    }
    const std::shared_ptr<Run> &run = runOf(channel);
    Waiting &away = away_[channel == 2];
    if (!run || away.waiting())
        return;
    emit message(tr("CH%1: the charger is lost: its run ends unless it is back within %2 s.")
                     .arg(channel)
                     .arg(ReconnectWaitMs / 1000));
    away.start(clock_, ReconnectWaitMs, this, [this, channel] { end(channel, RunEnd::LinkLost); });
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
    Waiting &away = away_[channel == 2];
    if (away.waiting())
        why = RunEnd::LinkLost;
    away.cancel();
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
