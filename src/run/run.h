#pragma once

#include "run/run_summary.h"
#include "run/samples.h"

#include <QObject>
#include <QString>

#include <memory>
#include <optional>

#include "run/journal_place.h"

class Clock;
class RunJournal;

// One run: its samples, title and figures, live while a charger channel feeds it, or replayed
// from a run file. It keeps what it accepts and tells its followers; it draws nothing.
class Run final : public QObject {
    Q_OBJECT
public:
    // What a live sample did to the run.
    enum class Fate { Row, Skip, End };
    // What feeds the run: a run file (replayed), this program's charger, another station.
    enum class Source { File, Charger, Station };

    // `name` is what the user knows the run by: "CH1 Chart 3" live, a path opened.
    Run(const QString &name, const Clock &clock, QObject *parent = nullptr);
    ~Run() override;

    const QString &name() const { return name_; }
    // 1 or 2 while and after a charger channel feeds it; 0 for a run from a file.
    int channel() const { return channel_; }
    bool isLive() const { return live_; }
    Source source() const { return source_; }
    const QString &title() const { return title_; }
    const Samples &samples() const { return samples_; }
    // Fed sample by sample while live; worked out at once when a replay ends.
    const RunSummary &summary() const { return summary_; }

    // From now on `source` feeds the run on `channel`, its time counting from now, kept safe in
    // a recovery journal in `journals`.
    void goLive(int channel, const JournalPlace &journals, Source source = Source::Charger);
    // A live sample: dropped within the clock second of the last one, ending the run after a
    // silence or a capacity that fell, otherwise recorded, with the run's elapsed time. The
    // first sample `resumed` after the charger was away is no silence: the gap stays in the run.
    Fate offer(ChannelReading &reading, bool resumed = false);
    // A sample another station recorded, at the run time it carries: recorded as it stands, so
    // that readings lost on the way leave a gap in time rather than end the run. Skipped when
    // its second is recorded already; End when its time goes back, as a new run's does.
    Fate relay(ChannelReading &sample);
    // The channel stopped feeding the run.
    void end();
    // A row of a run file as RunFile::read hands it, in file order.
    void replay(ChannelReading &row);
    // Rows of a run file in one piece, checked and in the form the run keeps them.
    void replay(const SampleBatch &rows);
    // The replay is complete.
    void replayed();
    // The field a chart needs that `reading` has no value in (a time, the battery voltage,
    // the capacity, the temperature), -1 when it has them all.
    static int lacking(const ChannelReading &reading);

    // The user's description of the run.
    void setTitle(const QString &title);
    // A recovered run takes over the journal it was read from.
    void adoptJournal(std::unique_ptr<RunJournal> journal);
    // A recovered run whose journal cannot be taken over gets one of its own in `journals`,
    // tried again as a live run's is until it can be written.
    void keepSafe(const JournalPlace &journals);
    // The journal stays behind when the run goes, to be recovered at the next start; false
    // when the run has none.
    bool leaveJournal();
    // Its recovery journal, if it has one.
    const RunJournal *journal() const { return journal_.get(); }

signals:
    // A sample was recorded as `samples()` keeps it, at `days` on the chart's time, which
    // goes on past midnight.
    void recorded(const ChannelReading &sample, double days);
    // Rows of a file were taken in one piece, rather than recorded one by one.
    void replayedRows(const SampleBatch &rows);
    void titleChanged(const QString &title);
    // The channel stopped feeding the run.
    void ended();
    // The whole run, ended, was written to the run file `path`.
    void saved(const QString &path);
    // A line for the status line.
    void message(const QString &text);

private:
    bool record(ChannelReading &reading, double days);
    // Brings the journal up to the samples and the title; after a failure, tries again once
    // JournalRetryMs have passed.
    void keepJournal();
    // Has the journal synced once it is due, whether more samples come or not.
    void syncJournalSoon();

    QString name_;
    const Clock &clock_;
    int channel_ = 0;
    bool live_ = false;
    Source source_ = Source::File;
    QString title_;
    Samples samples_;
    RunSummary summary_;
    qint64 startMs_ = 0; // monotonic, aligned to the whole second of the time of day
    qint64 lastSeconds_ = 0;
    qint64 lastCapacity_ = 0;
    JournalPlace journals_;
    std::unique_ptr<RunJournal> journal_;
    bool journalSyncWaiting_ = false;
    qint64 journalled_ = 0; // samples in the journal
    std::optional<qint64> journalFailedMs_; // monotonic, since the journal cannot be written
};
