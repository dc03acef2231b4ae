#pragma once

#include <QDateTime>
#include <QObject>
#include <QString>

#include <array>
#include <memory>

class Background;
class Clock;
class LiveRuns;
class RunHub;
class Run;
class RunSummary;

// The logger's side of the live runs: each run saved by itself when it ends, and one
// time-stamped line per event on standard output (errors on standard error).
class Logger final : public QObject {
    Q_OBJECT
public:
    struct Options {
        QString folder; // where run files go
        QString title; // the description of every run, "" for the run's own
        bool verbose = false; // a line per sample too
    };

    Logger(RunHub &hub, LiveRuns &runs, const Clock &clock, Background &background,
           const Options &options, QObject *parent = nullptr);

    // Saves the runs that a killed logger left in `journalFolder` as run files marked
    // "(recovered)".
    void recover(const QString &journalFolder);
    // Ends the live runs; finished() follows once every run file is written or given up.
    void stop();
    void print(const QString &line) const;
    void error(const QString &line) const;

signals:
    // 0 when every run was saved, 1 when one stays in its journal.
    void finished(int status);

private:
    void save(const std::shared_ptr<Run> &run, const RunSummary &summary);
    // Tells the hub's followers of the recovered run saved to `path` as of a run of `channel`
    // that ended when the logger stopped.
    void announce(const QString &path, int channel, const QString &name);
    // A name in the folder for a run of `channel` begun at `start`, taken by no file yet.
    QString freePath(const QDateTime &start, int channel, const QString &mark = {}) const;
    void settle();

    RunHub &hub_;
    LiveRuns &runs_;
    const Clock &clock_;
    Background &background_;
    Options options_;
    std::array<QDateTime, 2> started_;
    int writing_ = 0;
    bool failed_ = false;
    bool stopping_ = false;
    bool announcing_ = false; // a recovered run, saved already
};
