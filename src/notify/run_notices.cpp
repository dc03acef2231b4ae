#include "notify/run_notices.h"

#include "platform/core/notifier.h"
#include "platform/core/settings.h"
#include "run/live_runs.h"

#include <QLocale>

RunNotices::RunNotices(LiveRuns &runs, Notifier &notifier, const Settings &settings,
                       QObject *parent)
    : QObject(parent), runs_(runs), notifier_(notifier)
{
    if (settings.value(SettingsKeys::NoticesOn, QStringLiteral("1")).trimmed() == u'0')
        return;
    bool ok = false;
    const double limit = settings.value(SettingsKeys::NoticeTempLimit).toDouble(&ok);
    if (ok)
        tempLimit_ = limit;
    connect(&runs_, &LiveRuns::runStarted, this,
            [this](int channel) { hot_[channel == 2] = false; });
    connect(&runs_, &LiveRuns::readingAccepted, this,
            [this](int channel, const ChannelReading &reading) {
                const auto t = reading[Ext_temp].number();
                if (!t)
                    return;
                bool &hot = hot_[channel == 2];
                if (hot && t->toDouble() <= tempLimit_ - CoolBelowLimit)
                    hot = false;
                else if (!hot && t->toDouble() >= tempLimit_) {
                    hot = true;
                    tell(tr("CH%1: pack temperature %2 °C, at or above the limit of %3 °C")
                             .arg(channel)
                             .arg(t->toDouble())
                             .arg(tempLimit_));
                }
            });
    connect(&runs_, &LiveRuns::runEnded, this,
            [this](int channel, const std::shared_ptr<Run> &, const RunSummary &summary) {
                runEnded(channel, summary);
            });
    // The link goes before its runs end.
    connect(&runs_, &LiveRuns::linkLost, this, [this] {
        for (int channel : { 1, 2 })
            if (runs_.run(channel))
                tell(tr("CH%1: the charger was lost during the run.").arg(channel));
    });
    connect(&notifier_, &Notifier::undelivered, this,
            [this](const QString &text, const QString &reason) {
                if (!noServiceSaid_)
                    emit message(tr("No desktop notification service was found (%1).").arg(reason));
                noServiceSaid_ = true;
                emit message(text);
            });
}

void RunNotices::runEnded(int channel, const RunSummary &summary)
{
    const double in = summary.chargedMah(), out = summary.dischargedMah();
    // A cycle moves a good part of the pack both ways; the odd sample against the flow does not.
    const bool cycle = std::min(in, out) >= 0.1 * std::max(in, out) && in > 0;
    const bool charge = !cycle && in >= out;
    const QString mah = QLocale(QLocale::English).toString(qRound64(charge ? in : out));
    const QString time = runClock(summary.seconds());
    tell((cycle        ? tr("CH%1: cycle complete: %2 mAh in %3")
              : charge ? tr("CH%1: charge complete: %2 mAh in %3")
                       : tr("CH%1: discharge complete: %2 mAh in %3"))
             .arg(channel)
             .arg(mah, time));
    const auto spread = summary.endOfChargeSpread();
    if (charge && spread && *spread > SpreadLimit)
        tell(
            tr("CH%1: the cells ended the charge %2 V apart").arg(channel).arg(*spread, 0, 'f', 2));
}

void RunNotices::tell(const QString &text)
{
    notifier_.notify(text);
    emit told(text);
}
