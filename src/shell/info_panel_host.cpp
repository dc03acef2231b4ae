#include "document/tee.h"
#include "platform/chart.h"
#include "setup/infoform1.h"
#include "shell/mdi_form.h"

#include <QMdiArea>

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
    if (auto *doc = qobject_cast<tee *>(area_->currentSubWindow()))
        doc->chart().setSeriesShown(series, shown);
}
