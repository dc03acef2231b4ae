#include "run/run_hub.h"

void RunHub::start(const std::shared_ptr<Run> &run)
{
    runs_ << run;
    emit runStarted(run);
    connect(run.get(), &Run::recorded, this,
            [this, r = run.get()](const ChannelReading &sample) { emit recorded(*r, sample); });
}

void RunHub::end(const std::shared_ptr<Run> &run, RunEnd why)
{
    if (!runs_.removeOne(run))
        return;
    run->disconnect(this);
    run->end();
    emit runEnded(run, run->summary(), why);
}
