#include "shell/live_dispatch.h"

#include "platform/command_bar.h"
#include "platform/command_names.h"
#include "run/keep_awake.h"
#include "run/live_runs.h"
#include "run/run_hub.h"
#include "shell/status_line.h"

LiveDispatch::LiveDispatch(RunHub &hub, LiveRuns &runs, CommandBar &bar, StatusLine &status,
                           DocumentFactory newDocument, SleepInhibitor *inhibitor)
    : runs_(runs), bar_(bar), status_(status), newDocument_(std::move(newDocument))
{
    connect(&hub, &RunHub::runStarted, this, [this](const std::shared_ptr<Run> &run) {
        if (run->source() == Run::Source::File)
            return; // its window opened it
        IMDIDocument *doc = newDocument_();
        if (run->source() == Run::Source::Charger) {
            setLamp(LinkHost::Lamp::Connection, true);
            ref(run->channel()) = doc;
        }
        doc->InitDoc(&bar_, run->name(), true);
        doc->showRun(run);
    });
    connect(&hub, &RunHub::runEnded, this, [this](const std::shared_ptr<Run> &run) {
        if (run->source() == Run::Source::Charger)
            ref(run->channel()).clear();
    });
    connect(&runs_, &LiveRuns::message, &status_, &StatusLine::State_add);
    connect(&runs_, &LiveRuns::linkFound, this,
            [this] { setLamp(LinkHost::Lamp::Connection, true); });
    connect(&runs_, &LiveRuns::linkLost, this,
            [this] { setLamp(LinkHost::Lamp::Connection, false); });
    connect(&runs_, &LiveRuns::receiving, this,
            [this](bool on) { setLamp(LinkHost::Lamp::Receive, on); });
    connect(&runs_, &LiveRuns::channelsChecked, this, &LiveDispatch::refreshChannelDropDown);
    if (inhibitor) {
        awake_ = std::make_unique<KeepAwake>(hub, *inhibitor);
        connect(awake_.get(), &KeepAwake::message, &status_, &StatusLine::State_add);
    }
}

LiveDispatch::~LiveDispatch() = default;

void LiveDispatch::keepAwake(bool allowed)
{
    if (awake_)
        awake_->update(allowed);
}

void LiveDispatch::setLamp(LinkHost::Lamp lamp, bool on)
{
    bar_.tool(Band::State,
              lamp == LinkHost::Lamp::Connection ? ToolName::ConnectionLamp : ToolName::ReceiveLamp)
        .setOn(on);
}

void LiveDispatch::refreshChannelDropDown()
{
    bar_.tool(Band::Tools, ToolName::Channel)
        .setSubBand(runs_.bothLive() ? Band::Channel : QString());
}
