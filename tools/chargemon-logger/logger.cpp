#include "logger.h"

#include "platform/core/clock.h"
#include "run/file_run.h"
#include "run/live_runs.h"
#include "run/run_hub.h"
#include "run/run_journal.h"
#include "run/run_writer.h"

#include <QDir>
#include <QFileInfo>

#include <cstdio>

Logger::Logger(RunHub &hub, LiveRuns &runs, const Clock &clock, Background &background,
               const Options &options, QObject *parent)
    : QObject(parent), hub_(hub), runs_(runs), clock_(clock), background_(background),
      options_(options)
{
    connect(&runs_, &LiveRuns::linkFound, this, [this] { print(tr("connected")); });
    connect(&runs_, &LiveRuns::linkLost, this, [this] { print(tr("link lost")); });
    connect(&runs_, &LiveRuns::message, this, &Logger::print);
    connect(&hub, &RunHub::runStarted, this, [this](const std::shared_ptr<Run> &run) {
        if (announcing_)
            return;
        started_[run->channel() == 2] = clock_.now();
        print(tr("CH%1: run started").arg(run->channel()));
    });
    connect(&hub, &RunHub::recorded, this, [this](const Run &run, const ChannelReading &reading) {
        if (!options_.title.isEmpty() && run.samples().count() == 1)
            runs_.run(run.channel())->setTitle(options_.title);
        if (!options_.verbose)
            return;
        QStringList fields;
        for (const Value &v : reading)
            fields << v.text();
        print(QStringLiteral("CH%1: %2").arg(run.channel()).arg(fields.join(u' ')));
    });
    connect(&hub, &RunHub::runEnded, this, &Logger::save);
}

void Logger::print(const QString &line) const
{
    std::printf("%s %s\n", qPrintable(clock_.now().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))),
                qPrintable(line));
    std::fflush(stdout);
}

void Logger::error(const QString &line) const
{
    std::fprintf(stderr, "%s %s\n",
                 qPrintable(clock_.now().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))),
                 qPrintable(line));
}

QString Logger::freePath(const QDateTime &start, int channel, const QString &mark) const
{
    const QString base = QDir(options_.folder)
                             .filePath(start.toString(QStringLiteral("yyyy-MM-dd_HHmmss"))
                                       + QStringLiteral("_CH%1").arg(channel) + mark);
    QString path = base + QStringLiteral(".mdb");
    for (int n = 2; QFileInfo::exists(path); ++n)
        path = base + QStringLiteral("_%1.mdb").arg(n);
    return path;
}

void Logger::save(const std::shared_ptr<Run> &run, const RunSummary &summary)
{
    if (announcing_)
        return;
    const int channel = run->channel();
    print(tr("CH%1: run ended: %2").arg(channel).arg(summary.line()));
    if (run->samples().count() == 0)
        return;
    QDir().mkpath(options_.folder);
    const QString path = freePath(started_[channel == 2], channel);
    ++writing_;
    auto *writer = new RunFile::Writer(path, run->title(), run->samples(), background_, this);
    // The run, and with it its journal, lives until its file is written.
    connect(writer, &RunFile::Writer::finished, this,
            [this, run, channel, path](const QString &failure) {
                --writing_;
                if (failure.isEmpty()) {
                    print(tr("CH%1: saved to %2").arg(channel).arg(path));
                    emit run->saved(path);
                } else {
                    failed_ = true;
                    error(run->leaveJournal()
                              ? tr("CH%1: not saved to %2 (%3); its journal is kept for the next "
                                   "start.")
                                    .arg(channel)
                                    .arg(path, failure)
                              : tr("CH%1: not saved to %2 (%3).").arg(channel).arg(path, failure));
                }
                settle();
            });
}

void Logger::recover(const QString &journalFolder)
{
    RunJournal::LeftBehind found = RunJournal::leftBehind(journalFolder, {});
    for (RunJournal::Found &j : found.journals) {
        QDir().mkpath(options_.folder);
        // The journal is named after the run ("CH1 Chart 3") and was made when it began.
        const QFileInfo info(j.path);
        const QDateTime start = info.birthTime().isValid() ? info.birthTime() : info.lastModified();
        const int channel = j.caption.mid(2, 1).toInt();
        const QString path = freePath(start, channel, tr(" (recovered)"));
        if (!QFile::copy(j.copy, path)) {
            failed_ = true;
            error(tr("%1 was left by a logger that stopped, and cannot be saved to %2; its "
                     "journal is kept.")
                      .arg(j.caption, path));
            continue;
        }
        print(tr("recovered %1 to %2").arg(j.caption, path));
        announce(path, channel, j.caption);
        const QString failure = RunJournal::remove(j);
        if (!failure.isEmpty())
            error(tr("The recovery journal %1 cannot be deleted (%2).").arg(j.path, failure));
    }
    if (found.setAside > 0)
        error(tr("Unreadable recovery journals in %1, kept with names ending in "
                 "\".unreadable\": %2.")
                  .arg(journalFolder)
                  .arg(found.setAside));
    if (found.unreadable > 0)
        error(tr("Unreadable recovery journals left alone in %1: %2.")
                  .arg(journalFolder)
                  .arg(found.unreadable));
}

void Logger::announce(const QString &path, int channel, const QString &name)
{
    // Read back from its file, quietly: its samples are no news, its end is.
    RunHub reading;
    FileRun file(reading, path, clock_, nullptr, name);
    if (!file.readNow().isEmpty())
        return;
    const std::shared_ptr<Run> &run = file.run();
    run->goLive(channel, {});
    announcing_ = true;
    hub_.start(run);
    hub_.end(run, RunEnd::Stopped);
    announcing_ = false;
    emit run->saved(path);
}

void Logger::stop()
{
    stopping_ = true;
    runs_.stop();
    settle();
}

void Logger::settle()
{
    if (stopping_ && writing_ == 0)
        emit finished(failed_ ? 1 : 0);
}
