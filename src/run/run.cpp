#include "run/run.h"

#include "platform/core/clock.h"
#include "run/live_sample.h"
#include "run/run_journal.h"

#include <QCoreApplication>
#include <QLocale>

#include <cmath>

namespace {
constexpr double Day = 86400.0;
// A full disk or a folder that cannot be written is asked again after this pause.
constexpr qint64 JournalRetryMs = 10'000;

// "S" and the number of cells that carry a voltage, or "" without any.
QString packTag(const ChannelReading &reading)
{
    int n = 0;
    for (int f = C1; f <= C12; ++f) {
        const auto v = reading[f].number();
        if (v && v->raw() != 0)
            ++n;
    }
    return n ? QStringLiteral("S%1").arg(n) : QString();
}
} // namespace

Run::Run(const QString &name, const Clock &clock, QObject *parent)
    : QObject(parent), name_(name), clock_(clock)
{
}

// The journal goes with the run: a run closed, or the program ending normally, removes it.
Run::~Run() = default;

void Run::goLive(int channel, const JournalPlace &journals, Source source)
{
    channel_ = channel;
    source_ = source;
    live_ = true;
    journals_ = journals;
    startMs_ = clock_.monotonicMs() - clock_.now().time().msec();
}

Run::Fate Run::offer(ChannelReading &reading, bool resumed)
{
    const qint64 elapsed = (clock_.monotonicMs() - startMs_) / 1000;
    reading[Time] = DayTime { elapsed / Day };
    const qint64 gap = elapsed - lastSeconds_;
    switch (liveSample(resumed ? std::min(gap, SilenceSeconds) : gap, reading[Cap].number(),
                       lastCapacity_)) {
    case LiveSample::Skip:
        return Fate::Skip;
    case LiveSample::End:
        return Fate::End;
    case LiveSample::Row:
        break;
    }
    if (!record(reading, elapsed / Day))
        return Fate::End;
    keepJournal();
    lastCapacity_ = reading[Cap].number().value_or(Fixed()).roundedHalfEven();
    lastSeconds_ = elapsed;
    return Fate::Row;
}

Run::Fate Run::relay(ChannelReading &sample)
{
    const DayTime *time = sample[Time].time();
    if (!time)
        return Fate::Skip;
    const qint64 elapsed = std::llround(time->days * Day);
    if (elapsed < lastSeconds_)
        return Fate::End;
    if (elapsed == lastSeconds_ || !record(sample, time->days))
        return Fate::Skip;
    lastSeconds_ = elapsed;
    return Fate::Row;
}

void Run::replay(ChannelReading &row)
{
    record(row, row[Time].time()->days);
}

void Run::replay(const SampleBatch &rows)
{
    // A file without a title gets one from its first sample, as a live run does.
    if (title_.isEmpty()) {
        for (qint64 r = 0; r < rows.samples.count(); ++r) {
            ChannelReading row = rows.samples.reading(r);
            record(row, rows.days[size_t(r)]);
        }
        return;
    }
    samples_.append(rows.samples);
    emit replayedRows(rows);
}

void Run::replayed()
{
    // Asked again by a window that shows a run read elsewhere: once is enough.
    if (summary_.samples() != samples_.count())
        summary_ = RunSummary::of(samples_);
}

int Run::lacking(const ChannelReading &reading)
{
    // An idle sample without current is drawn at zero current.
    if (!reading[Time].time())
        return Time;
    for (int f : { int(Bat_volt), int(Cap), int(Ext_temp) })
        if (!reading[f].number())
            return f;
    return -1;
}

bool Run::record(ChannelReading &reading, double days)
{
    if (lacking(reading) >= 0)
        return false;
    if (title_.isEmpty()) {
        const QDateTime now = clock_.now();
        const QLocale locale = QLocale::system();
        const QString line = reading[Type].text() + QLatin1Char('/') + reading[Chg].text()
            + QStringLiteral("  ") + packTag(reading) + QStringLiteral("  @") + name_.left(3)
            + QStringLiteral("  ") + locale.toString(now.date(), QLocale::ShortFormat)
            + QStringLiteral("  ") + now.time().toString(QStringLiteral("HH:mm:ss"));
        title_ = line + QStringLiteral("\r\n");
        emit titleChanged(title_);
        emit message(QCoreApplication::translate(
            "Run", "Communication connected.Now receive data from charger."));
    }
    Samples::shown(reading);
    samples_.append(reading);
    if (live_)
        summary_.add(reading);
    emit recorded(reading, days);
    return true;
}

void Run::end()
{
    if (!live_)
        return;
    live_ = false;
    if (journal_) // the last moments of the run too
        journal_->sync();
    emit ended();
    emit message(name_.left(4)
                 + QCoreApplication::translate("Run", "Completed. You can save it now."));
}

void Run::setTitle(const QString &title)
{
    title_ = title;
    emit titleChanged(title_);
    if (journal_)
        keepJournal();
}

void Run::adoptJournal(std::unique_ptr<RunJournal> journal)
{
    journal_ = std::move(journal);
    journalled_ = samples_.count();
}

void Run::keepSafe(const JournalPlace &journals)
{
    journals_ = journals;
    keepJournal();
}

bool Run::leaveJournal()
{
    if (journal_)
        journal_->keep();
    return journal_ != nullptr;
}

void Run::keepJournal()
{
    const qint64 now = clock_.monotonicMs();
    if (journalFailedMs_ && now - *journalFailedMs_ < JournalRetryMs)
        return;
    QString failure;
    if (!journal_) {
        if (journals_.folder.isEmpty())
            return;
        journal_ = RunJournal::start(journals_, name_, failure);
    }
    const qint64 rows = samples_.count();
    if (journal_)
        failure = journal_->write(
            title_, journalled_, rows,
            [this](qint64 row, int field) { return samples_.text(row, field); }, now);
    if (failure.isEmpty()) {
        journalled_ = rows;
        syncJournalSoon();
        if (journalFailedMs_)
            emit message(
                name_.left(4)
                + QCoreApplication::translate("Run", "is kept safe against a crash again."));
        journalFailedMs_.reset();
        return;
    }
    // Said once; the run goes on in memory, and the journal catches up once it can be written.
    if (!journalFailedMs_)
        emit message(name_.left(4)
                     + QCoreApplication::translate(
                           "Run",
                           "cannot be kept safe against a crash: its recovery journal "
                           "cannot be written (%1). Save it when it ends.")
                           .arg(failure));
    journalFailedMs_ = now;
    // No sample may come to try again: an ended or recovered run.
    clock_.after(JournalRetryMs, this, [this] {
        if (journalFailedMs_)
            keepJournal();
    });
}

void Run::syncJournalSoon()
{
    if (journalSyncWaiting_ || journal_->syncIfDue(clock_.monotonicMs()))
        return;
    journalSyncWaiting_ = true;
    clock_.after(RunJournal::SyncEveryMs, this, [this] {
        journalSyncWaiting_ = false;
        syncJournalSoon();
    });
}
