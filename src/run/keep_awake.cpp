#include "run/keep_awake.h"

#include "platform/core/sleep_inhibitor.h"
#include "run/run_hub.h"

#include <QCoreApplication>

#include <algorithm>

KeepAwake::KeepAwake(RunHub &hub, SleepInhibitor &inhibitor, QObject *parent)
    : QObject(parent), hub_(hub), inhibitor_(inhibitor)
{
    connect(&hub_, &RunHub::runStarted, this, [this] { update(); });
    connect(&hub_, &RunHub::runEnded, this, [this] { update(); });
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
    const bool live
        = allowed && std::ranges::any_of(hub_.runs(), [](const std::shared_ptr<Run> &run) {
              return run->source() == Run::Source::Charger;
          });
    if (live == awake_)
        return;
    awake_ = live;
    if (live)
        inhibitor_.take();
    else
        inhibitor_.release();
}
