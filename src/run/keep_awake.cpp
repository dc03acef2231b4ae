#include "run/keep_awake.h"

#include "platform/core/sleep_inhibitor.h"
#include "run/live_runs.h"

#include <QCoreApplication>

KeepAwake::KeepAwake(LiveRuns &runs, SleepInhibitor &inhibitor, QObject *parent)
    : QObject(parent), runs_(runs), inhibitor_(inhibitor)
{
    connect(&runs_, &LiveRuns::runStarted, this, [this] { update(); });
    connect(&runs_, &LiveRuns::runEnded, this, [this] { update(); });
    connect(&inhibitor_, &SleepInhibitor::refused, this, [this](const QString &reason) {
        if (refusalNoted_)
            return;
        refusalNoted_ = true;
        emit message(QCoreApplication::translate("LiveDispatch",
                                                 "No power manager keeps the computer awake "
                                                 "(%1); recording goes on, but the computer "
                                                 "may sleep.")
                         .arg(reason));
    });
}

KeepAwake::~KeepAwake()
{
    update(false);
}

void KeepAwake::update(bool allowed)
{
    const bool live = allowed && (runs_.run(1) || runs_.run(2));
    if (live == awake_)
        return;
    awake_ = live;
    if (live)
        inhibitor_.take();
    else
        inhibitor_.release();
}
