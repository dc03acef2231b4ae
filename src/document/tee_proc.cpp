#include "document/axis_rules.h"
#include "document/document_host.h"
#include "document/live_sample.h"
#include "document/tee.h"
#include "platform/chart.h"
#include "platform/clock.h"
#include "platform/command_bar.h"
#include "platform/sample_table.h"

#include <QLocale>

namespace {
constexpr double Day = 86400.0;

// "S" and the number of cells that carry a voltage, or "" without any.
QString packTag(const ChannelReading &cell)
{
    int n = 0;
    for (int f = C1; f <= C12; ++f) {
        const auto v = cell[f].number();
        if (v && v->raw() != 0)
            ++n;
    }
    return n ? QStringLiteral("S%1").arg(n) : QString();
}

double plotted(const Value &v)
{
    return v.number().value_or(Fixed()).toDouble();
}
} // namespace

bool tee::Proc(ChannelReading &cell, bool isOpen)
{
    procFailure_.clear();
    qint64 elapsed = 0;
    if (!isOpen) {
        live_ = true; // the link feeds this window until it ends it with deCaption
        elapsed = elapsedSeconds();
        cell[Time] = DayTime { elapsed / Day };
        const LiveSample fate
            = liveSample(elapsed - lastSeconds_, cell[Cap].number(), lastCapacity_);
        if (fate != LiveSample::Row)
            return fate == LiveSample::Skip;
    }

    // The chart needs a time, a voltage, a capacity and a temperature; an idle sample
    // without current is drawn at zero current.
    const DayTime *time = cell[Time].time();
    for (int f : { int(Bat_volt), int(Cap), int(Ext_temp) }) {
        if (!time || !cell[f].number()) {
            procFailure_ = QStringLiteral("A sample has no value in %1.")
                               .arg(QLatin1String(time ? FieldNames[f] : FieldNames[Time]));
            return false;
        }
    }
    const QString tag = packTag(cell);
    // A run file keeps times of day, which start again at midnight; the chart's time goes on,
    // so that its points stay in the order of the table's rows, as a live run's do.
    double x = time->days;
    if (isOpen) {
        if (x < lastOpenedTime_)
            ++openedDays_;
        lastOpenedTime_ = x;
        x += openedDays_;
    }
    chart_->addPoint(Chart::Voltage, x, plotted(cell[Bat_volt]));
    chart_->addPoint(Chart::Current, x, std::abs(plotted(cell[Current])));
    chart_->addPoint(Chart::Capacity, x, plotted(cell[Cap]));
    chart_->addPoint(Chart::Temperature, x, plotted(cell[Ext_temp]));

    const Chart::Range t = chart_->timeRange();
    chart_->setTimeMax(AxisRules::grownTimeMax(t.max, x));

    if (!title_.isEmpty()) {
        chart_->setTitleLine(title_);
    } else {
        const QDateTime now = host_.clock().now();
        const QLocale locale = QLocale::system();
        const QString line = cell[Type].text() + QLatin1Char('/') + cell[Chg].text()
            + QStringLiteral("  ") + tag + QStringLiteral("  @") + caption().left(3)
            + QStringLiteral("  ") + locale.toString(now.date(), QLocale::ShortFormat)
            + QStringLiteral("  ") + now.time().toString(QStringLiteral("HH:mm:ss"));
        title_ = line + QStringLiteral("\r\n");
        chart_->setTitleLine(line);
        host_.State_add(QStringLiteral("Communication connected.Now receive data from charger."));
    }
    if (!isOpen)
        rescale();

    cell[Time] = Value(time->hhmmss());
    for (int f : { int(In_Volt), int(Bat_volt), int(Current) }) {
        const auto v = cell[f].number();
        cell[f] = v ? Value(v->format2()) : Value();
    }
    QByteArray row;
    row.reserve(192);
    for (const Value &v : cell) {
        v.appendText(row);
        row += '\t';
    }
    table_->appendRow(row);
    if (!isOpen) {
        summary_.add(row);
        showSummary();
    }

    if (!isVisible() && !fullScreen_)
        QMdiSubWindow::show();
    if (isOpen)
        return false;
    keepJournal();
    lastCapacity_ = cell[Cap].number().value_or(Fixed()).roundedHalfEven();
    lastSeconds_ = elapsed;
    feedPanel(cell);
    return true;
}

void tee::feedPanel(const ChannelReading &cell)
{
    if (!CrossLineFlag && caption().contains(channelToolCaption()))
        host_.ShowReading(cell);
}
