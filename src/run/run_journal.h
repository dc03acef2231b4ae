#pragma once

#include <QLockFile>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "run/journal_place.h"
#include "run/run_file.h"

// The recovery journal of one chart window: a run file that grows by one small transaction
// per accepted sample (SQLite in WAL mode), with the window's caption beside the run, so that
// a crash, a kill or a power cut loses at most the last moments. Commits are plain writes; its
// log is forced to disk at most SyncEveryMs after a write, in the background, since a disk's
// sync takes longer than the GUI thread can spare for a sample.
// A lock file beside it is held while a program writes it or asks about it, so that no other
// running chargemon offers or deletes it meanwhile.
// Destroying it removes the file, unless kept: a journal lives exactly as long as its window.
class RunJournal {
public:
    static constexpr qint64 SyncEveryMs = 2000;

    ~RunJournal();
    RunJournal(const RunJournal &) = delete;
    RunJournal &operator=(const RunJournal &) = delete;

    // A new journal in `place` for a window captioned `caption`; none (with `error`, the
    // system's reason) when it cannot be made.
    static std::unique_ptr<RunJournal> start(const JournalPlace &place, const QString &caption,
                                             QString &error);
    // Adds the run's rows `from` to `to` (exclusive; texts of its table rows) and its title
    // as it stands, in one transaction, then syncs as syncIfDue does, or now when only the
    // title changed. "" when the rows and the title are in, otherwise the system's reason.
    QString write(const QString &title, qint64 from, qint64 to,
                  const std::function<QString(qint64 row, int field)> &text, qint64 nowMs);
    // Has the journal forced to disk in the background when rows were written since its last
    // sync and that sync is SyncEveryMs old at `nowMs` (monotonic). False while rows still
    // wait for a sync: ask again later.
    bool syncIfDue(qint64 nowMs);
    // Forces what was written to disk now.
    QString sync();
    // Leaves the file behind when the journal goes, for the next start to recover.
    void keep() { keep_ = true; }
    // The syncs of its log done so far, on any thread.
    int syncs() const;

    // A journal that no running program holds, taken under its lock (unless its folder is
    // read-only: then nobody can write or delete it) and copied aside to be read.
    struct Found {
        QString path, caption;
        QString copy; // a plain run file with the journal's rows, to read from
        QString mark; // who it is: its path and time of change
        bool readOnly = false;
        std::unique_ptr<QLockFile> lock;
    };
    struct LeftBehind {
        std::vector<Found> journals;
        // Files that could not be read as journals (damaged, or not ours): set aside, renamed
        // to end in ".unreadable", or left where they are in a folder that cannot be written.
        int setAside = 0, unreadable = 0;
        std::unique_ptr<QTemporaryDir> copies;
    };
    // The journals in `folder` but those whose mark is in `ignored`.
    static LeftBehind leftBehind(const QString &folder, const QStringList &ignored);
    // Takes over a journal left behind, so that it goes with the window it was opened into.
    static std::unique_ptr<RunJournal> adopt(Found &&found, Background &background);
    // Deletes a journal left behind; "" when done, otherwise the system's reason.
    static QString remove(Found &found);

private:
    RunJournal(const QString &path, std::unique_ptr<QLockFile> lock, Background &background);
    QString open();
    QString openLog();
    bool syncLater();

    QString path_;
    std::unique_ptr<QLockFile> lock_;
    QString connection_;
    QSqlDatabase db_;
    RunFile::Statement insert_; // on the connection under db_
    QString title_;
    std::optional<qint64> syncedMs_;
    bool unsynced_ = false; // rows written since the last sync began
    Background &background_;
    bool keep_ = false;
    struct Log;
    std::shared_ptr<Log> log_; // shared with a worker still syncing it
};
