#pragma once

#include "run/run_hub.h"

#include <QStringList>

// Whatever a hub tells its followers, as lines, the same for runs of every source.
class HubFollower : public QObject {
public:
    explicit HubFollower(RunHub &hub)
    {
        connect(&hub, &RunHub::runStarted, this,
                [this](const std::shared_ptr<Run> &run) { events << "started " + run->name(); });
        connect(&hub, &RunHub::recorded, this, [this](const Run &run, const ChannelReading &r) {
            events << run.name() + ": " + r[Time].text() + ' ' + r[Cap].text();
        });
        connect(&hub, &RunHub::runEnded, this,
                [this](const std::shared_ptr<Run> &run, const RunSummary &summary, RunEnd why) {
                    static const char *const Why[]
                        = { "finished", "interrupted", "link lost", "stopped", "loaded" };
                    events << QStringLiteral("ended %1 %2 %3")
                                  .arg(run->name())
                                  .arg(summary.samples())
                                  .arg(Why[int(why)]);
                });
    }
    QStringList events;
};
