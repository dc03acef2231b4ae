#include "notify/run_notices.h"

#include "platform/core/notifier.h"
#include "platform/core/settings.h"
#include "run/run_hub.h"

#include <QLocale>

RunNotices::RunNotices(RunHub &hub, Notifier &notifier, const Settings &settings, QObject *parent)
    : QObject(parent), notifier_(notifier)
{
    if (settings.value(SettingsKeys::NoticesOn, QStringLiteral("1")).trimmed() == u'0')
        return;
    bool ok = false;
    const double limit = settings.value(SettingsKeys::NoticeTempLimit).toDouble(&ok);
    if (ok)
        tempLimit_ = limit;
    connect(&hub, &RunHub::recorded, this, [this](const Run &run, const ChannelReading &sample) {
        if (const auto t = sample[Ext_temp].number())
            temperature(run, t->toDouble());
    });
    connect(&hub, &RunHub::runEnded, this,
            [this](const std::shared_ptr<Run> &run, const RunSummary &, RunEnd why) {
                if (why == RunEnd::LinkLost)
                    tell(*run,
                         tr("CH%1: the charger was lost during the run.").arg(run->channel()));
                if (why != RunEnd::Loaded)
                    runEnded(*run);
                hot_.remove(run.get());
            });
    connect(&notifier_, &Notifier::undelivered, this,
            [this](const QString &text, const QString &reason) {
                if (!noServiceSaid_)
                    emit message(tr("No desktop notification service was found (%1).").arg(reason));
                noServiceSaid_ = true;
                emit message(text);
            });
}

void RunNotices::temperature(const Run &run, double t)
{
    const bool hot = hot_.contains(&run);
    if (hot && t <= tempLimit_ - CoolBelowLimit) {
        hot_.remove(&run);
    } else if (!hot && t >= tempLimit_) {
        hot_.insert(&run);
        tell(run,
             tr("CH%1: pack temperature %2 °C, at or above the limit of %3 °C")
                 .arg(run.channel())
                 .arg(t)
                 .arg(tempLimit_));
    }
}

void RunNotices::runEnded(const Run &run)
{
    const RunSummary &summary = run.summary();
    const int channel = run.channel();
    const double in = summary.chargedMah(), out = summary.dischargedMah();
    // A cycle moves a good part of the pack both ways; the odd sample against the flow does not.
    const bool cycle = std::min(in, out) >= 0.1 * std::max(in, out) && in > 0;
    const bool charge = !cycle && in >= out;
    const QString mah = QLocale(QLocale::English).toString(qRound64(charge ? in : out));
    const QString time = runClock(summary.seconds());
    tell(run,
         (cycle        ? tr("CH%1: cycle complete: %2 mAh in %3")
              : charge ? tr("CH%1: charge complete: %2 mAh in %3")
                       : tr("CH%1: discharge complete: %2 mAh in %3"))
             .arg(channel)
             .arg(mah, time));
    const auto spread = summary.endOfChargeSpread();
    if (charge && spread && *spread > SpreadLimit)
        tell(
            run,
            tr("CH%1: the cells ended the charge %2 V apart").arg(channel).arg(*spread, 0, 'f', 2));
}

void RunNotices::tell(const Run &run, const QString &text)
{
    // A watched run's name is "<station> CHn Chart k".
    const QString told = run.source() == Run::Source::Station
        ? run.name().section(QStringLiteral(" CH"), 0, -2) + u' ' + text
        : text;
    notifier_.notify(told);
    emit this->told(told);
}
