#include "document/imdi_document.h"
#include "setup/infoform1.h"
#include "shell/mdi_form.h"

#include <QMdiArea>
#include <QMdiSubWindow>

void MDIForm1::ShowReading(const ChannelReading &reading)
{
    info_->ShowReading(reading);
}

void MDIForm1::setSeriesLamp(int series, bool on)
{
    info_->setChartLight(series, on);
}

void MDIForm1::switchSeries(int series, bool shown)
{
    if (auto *doc = dynamic_cast<IMDIDocument *>(area_->currentSubWindow()))
        doc->setSeriesShown(series, shown);
}
