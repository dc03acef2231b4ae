#include "document/tee.h"
#include "platform/chart.h"
#include "platform/command_bar.h"
#include "platform/command_names.h"
#include "run/run.h"

#include <QEvent>

void tee::showSummary()
{
    chart_->setSubtitleLine(
        summaryShown_ ? run_->summary().line(RunSummary::ratedMahIn(run_->title())) : QString());
}

void tee::changeEvent(QEvent *event)
{
    QMdiSubWindow::changeEvent(event);
    if (event->type() == QEvent::LanguageChange)
        showSummary();
}

void tee::switchSummary()
{
    summaryShown_ = !summaryShown_;
    if (bar_)
        bar_->tool(Band::View, ToolName::Summary).setChecked(summaryShown_);
    showSummary();
}
