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
    on_ = true;
    bool ok = false;
    const double limit = settings.value(SettingsKeys::NoticeTempLimit).toDouble(&ok);
    if (ok)
        tempLimit_ = limit;
    // A file read is no news.
    connect(&hub, &RunHub::recorded, this, [this](const Run &run, const ChannelReading &sample) {
        if (const auto t = sample[Ext_temp].number(); t && run.source() != Run::Source::File)
            temperature(run, t->toDouble());
    });
    connect(&hub, &RunHub::runEnded, this,
            [this](const std::shared_ptr<Run> &run, const RunSummary &, RunEnd why) {
                hot_.remove(run.get());
                // Nor is a station the user stopped watching.
                if (run->source() == Run::Source::Charger
                    || (run->source() == Run::Source::Station && why != RunEnd::Stopped))
                    runEnded(*run, why);
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
        Notice n;
        n.kind = Notice::Kind::TooHot;
        n.temperature = t;
        n.limit = tempLimit_;
        n.text = tr("CH%1: pack temperature %2 °C, at or above the limit of %3 °C")
                     .arg(run.channel())
                     .arg(t)
                     .arg(tempLimit_);
        tell(run, n);
    }
}

void RunNotices::runEnded(const Run &run, RunEnd why)
{
    // Each way a run ends, for a charge, a discharge and a cycle: "complete" only when the
    // charger or the station ended it.
    static const char *const texts[][3] = {
        { QT_TRANSLATE_NOOP("RunNotices", "CH%1: charge complete: %2 mAh in %3"),
          QT_TRANSLATE_NOOP("RunNotices", "CH%1: discharge complete: %2 mAh in %3"),
          QT_TRANSLATE_NOOP("RunNotices", "CH%1: cycle complete: %2 mAh in %3") },
        { QT_TRANSLATE_NOOP("RunNotices", "CH%1: charger lost during the charge: %2 mAh in %3"),
          QT_TRANSLATE_NOOP("RunNotices", "CH%1: charger lost during the discharge: %2 mAh in %3"),
          QT_TRANSLATE_NOOP("RunNotices", "CH%1: charger lost during the cycle: %2 mAh in %3") },
        { QT_TRANSLATE_NOOP("RunNotices", "CH%1: station lost during the charge: %2 mAh in %3"),
          QT_TRANSLATE_NOOP("RunNotices", "CH%1: station lost during the discharge: %2 mAh in %3"),
          QT_TRANSLATE_NOOP("RunNotices", "CH%1: station lost during the cycle: %2 mAh in %3") },
        { QT_TRANSLATE_NOOP("RunNotices",
                            "CH%1: recording stopped during the charge: %2 mAh in %3"),
          QT_TRANSLATE_NOOP("RunNotices",
                            "CH%1: recording stopped during the discharge: %2 mAh in %3"),
          QT_TRANSLATE_NOOP("RunNotices",
                            "CH%1: recording stopped during the cycle: %2 mAh in %3") },
        { QT_TRANSLATE_NOOP("RunNotices",
                            "CH%1: charge interrupted (the samples stopped or the capacity went "
                            "back): %2 mAh in %3"),
          QT_TRANSLATE_NOOP("RunNotices",
                            "CH%1: discharge interrupted (the samples stopped or the capacity "
                            "went back): %2 mAh in %3"),
          QT_TRANSLATE_NOOP("RunNotices",
                            "CH%1: cycle interrupted (the samples stopped or the capacity went "
                            "back): %2 mAh in %3") },
    };
    const int reason = why == RunEnd::Finished ? 0
        : why == RunEnd::LinkLost              ? (run.source() == Run::Source::Station ? 2 : 1)
        : why == RunEnd::Stopped               ? 3
                                               : 4;
    const RunSummary &summary = run.summary();
    const int channel = run.channel();
    const double in = summary.chargedMah(), out = summary.dischargedMah();
    // A cycle moves a good part of the pack both ways; the odd sample against the flow does not.
    const bool cycle = std::min(in, out) >= 0.1 * std::max(in, out) && in > 0;
    const bool charge = !cycle && in >= out;
    // The charger's own count, which knows the pack better than the samples' currents do.
    const Samples &samples = run.samples();
    const qint64 counted
        = samples.number(samples.count() - 1, Cap).value_or(Fixed()).roundedHalfEven();
    const int kind = cycle ? 2 : charge ? 0 : 1;
    Notice ended;
    ended.reason = why;
    ended.mah = counted;
    ended.seconds = qRound64(summary.seconds());
    ended.text = tr(texts[reason][kind])
                     .arg(channel)
                     .arg(QLocale().toString(counted), runClock(summary.seconds()));
    tell(run, ended);
    if (const auto spread = summary.endOfChargeSpread();
        charge && spread && *spread > SpreadLimit) {
        Notice apart;
        apart.kind = Notice::Kind::CellSpread;
        apart.spread = *spread;
        apart.text = tr("CH%1: the cells ended the charge %2 V apart")
                         .arg(channel)
                         .arg(*spread, 0, 'f', 2);
        tell(run, apart);
    }
}

void RunNotices::tell(const Run &run, Notice notice)
{
    notice.channel = run.channel();
    // A watched run's name is "<station> CHn Chart k".
    if (run.source() == Run::Source::Station) {
        notice.station = run.name().section(QStringLiteral(" CH"), 0, -2);
        notice.text = notice.station + u' ' + notice.text;
    }
    notice.title = QStringLiteral("%1 CH%2")
                       .arg(notice.station.isEmpty() ? QStringLiteral("chargemon") : notice.station)
                       .arg(notice.channel);
    tell(notice);
}

void RunNotices::packsNeedCare(const QStringList &packs, const QString &text, bool storedFull)
{
    if (!on_ || packs.isEmpty())
        return;
    Notice n;
    n.kind = storedFull ? Notice::Kind::StoredFull : Notice::Kind::PackWarning;
    n.pack = packs.join(QStringLiteral(", "));
    n.text = text;
    n.title = QStringLiteral("chargemon ") + n.pack;
    tell(n);
}

void RunNotices::tell(const Notice &notice)
{
    notifier_.notify(notice.title, notice.text);
    emit noticed(notice);
}
