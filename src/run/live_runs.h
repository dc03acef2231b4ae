#pragma once

#include "link/link_host.h"
#include "platform/core/clock.h"
#include "run/run_hub.h"

#include <QObject>

#include <array>
#include <memory>

// The charger as a source of runs, one per channel at most, for the whole program. The link
// hands it every reading; it drops what a working charger cannot produce, starts and ends runs
// through the hub and lets each run accept or refuse a sample. What follows the charger itself
// (its lamps, the status line) attaches to its signals and never to the link; what follows
// runs attaches to the hub.
class LiveRuns final : public QObject, public LinkHost {
    Q_OBJECT
public:
    // Live runs keep recovery journals in `journals`.
    LiveRuns(RunHub &hub, const Clock &clock, const JournalPlace &journals,
             QObject *parent = nullptr);
    ~LiveRuns() override;

    // A flaky adapter drops out for seconds and is found again within a second or two of
    // coming back; a charger away for a minute was unplugged or switched off, and whatever it
    // did meanwhile is not this run.
    static constexpr qint64 ReconnectWaitMs = 60'000;

    // The live run of channel 1 or 2, if any; one that waits for its charger to come back too.
    const std::shared_ptr<Run> &run(int channel) const { return runs_[channel == 2]; }
    bool bothLive() const { return runs_[0] && runs_[1]; }
    // Ends both channels' runs: the program stops recording.
    void stop();

    // LinkHost
    void Reading_Proc(int channel, ChannelReading &reading) override;
    void EndLiveDoc(int channel) override;
    void State_add(const QString &str1) override { emit message(str1); }
    void setLamp(Lamp lamp, bool on) override;
    void refreshChannelDropDown() override { emit channelsChecked(); }

signals:
    // The charger was found on a serial port, or its port went silent or away.
    void linkFound();
    void linkLost();
    // Frames arrive (the receive lamp), or have stopped arriving.
    void receiving(bool on);
    // The link's watchdog looked at the channels (about once a second).
    void channelsChecked();
    // A line for the status line, from the link or a live run.
    void message(const QString &text);

private:
    std::shared_ptr<Run> &runOf(int channel) { return runs_[channel == 2]; }
    // Ends the channel's run; one that waits for its charger ends as lost, whatever `why`.
    void end(int channel, RunEnd why);

    RunHub &hub_;
    const Clock &clock_;
    JournalPlace journals_;
    std::array<std::shared_ptr<Run>, 2> runs_;
    std::array<Waiting, 2> away_; // the runs waiting for their charger, lost with its port
    int started_ = 0; // runs started so far, which number their names
    bool lost_ = false; // the charger's port went away, and has not been found since
};

// Readings a working charger cannot produce: line noise that passed as a frame.
bool implausible(const ChannelReading &r);
