#include "shell/live_dispatch.h"

#include "platform/command_bar.h"
#include "platform/command_names.h"
#include "platform/core/sleep_inhibitor.h"
#include "run/live_runs.h"
#include "shell/status_line.h"

#include <QCoreApplication>

LiveDispatch::LiveDispatch(LiveRuns &runs, CommandBar &bar, StatusLine &status,
                           DocumentFactory newDocument, SleepInhibitor *inhibitor)
    : runs_(runs), bar_(bar), status_(status), newDocument_(std::move(newDocument)),
      inhibitor_(inhibitor)
{
    connect(&runs_, &LiveRuns::runStarted, this,
            [this](int channel, const std::shared_ptr<Run> &run) {
                setLamp(LinkHost::Lamp::Connection, true);
                IMDIDocument *doc = newDocument_();
                ref(channel) = doc;
                doc->InitDoc(&bar_, run->name(), true);
                doc->showRun(run);
                keepAwake();
            });
    connect(&runs_, &LiveRuns::runEnded, this, [this](int channel) {
        ref(channel).clear();
        keepAwake();
    });
    connect(&runs_, &LiveRuns::message, &status_, &StatusLine::State_add);
    connect(&runs_, &LiveRuns::linkFound, this,
            [this] { setLamp(LinkHost::Lamp::Connection, true); });
    connect(&runs_, &LiveRuns::linkLost, this,
            [this] { setLamp(LinkHost::Lamp::Connection, false); });
    connect(&runs_, &LiveRuns::receiving, this,
            [this](bool on) { setLamp(LinkHost::Lamp::Receive, on); });
    connect(&runs_, &LiveRuns::channelsChecked, this, &LiveDispatch::refreshChannelDropDown);
    if (!inhibitor_)
        return;
    connect(inhibitor_, &SleepInhibitor::refused, &status_, [this](const QString &reason) {
        if (sleepRefusalNoted_)
            return;
        sleepRefusalNoted_ = true;
        status_.State_add(
            QCoreApplication::translate("LiveDispatch",
                                        "No power manager keeps the computer awake (%1); "
                                        "recording goes on, but the computer may sleep.")
                .arg(reason));
    });
}

LiveDispatch::~LiveDispatch()
{
    keepAwake(false);
}

void LiveDispatch::keepAwake(bool allowed)
{
    const bool live = allowed && (runs_.run(1) || runs_.run(2));
    if (!inhibitor_ || live == awake_)
        return;
    awake_ = live;
    if (live)
        inhibitor_->take();
    else
        inhibitor_->release();
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
