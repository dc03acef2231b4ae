#include "document/tee.h"
#include "platform/chart.h"
#include "platform/command_bar.h"

void tee::showSummary()
{
    chart_->setSubtitleLine(summaryShown_ ? summary_.line() : QString());
}

void tee::switchSummary()
{
    summaryShown_ = !summaryShown_;
    if (bar_)
        bar_->tool(QStringLiteral("View"), QStringLiteral("Summary")).setChecked(summaryShown_);
    showSummary();
}
