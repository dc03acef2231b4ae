#pragma once

#include "import/text_log.h"

#include <QHash>
#include <QSemaphore>
#include <QString>
#include <QStringList>
#include <QThreadPool>

#include <deque>
#include <future>

// What importing one file did, for the user.
struct ImportOutcome {
    QString source;
    QString run; // the run file written, or the one that holds the log already
    qint64 taken = 0; // samples
    QStringList skipped; // a line per reason
    QString warning; // the current looks flipped
    QString error; // why nothing was written; "" when imported or imported before
    bool already = false; // imported before: nothing written
    // A paragraph: what was taken into which file, what was skipped and why.
    QString text() const;
};

// Turns other tools' logs into run files in one folder, each log once: a run file's name ends
// in the first 16 hex digits of the SHA-256 of the log's bytes ("NAME-0123456789abcdef.mdb"),
// and a log whose digits a run file of the folder or its subfolders already ends in is not
// imported again.
// A log's layout is found on the calling thread (the mapper is asked there); its samples are
// read and its run file written on a thread of the import's own while the next is looked at,
// and the file synced and named on another. An import goes only once those are done.
class LogImport {
public:
    explicit LogImport(const QString &folder);
    ~LogImport();
    LogImport(const LogImport &) = delete;
    LogImport &operator=(const LogImport &) = delete;

    // Imports the log at `path`. Returns the outcomes that have ended meanwhile, in the order
    // their files were given; finish() waits for the rest.
    QList<ImportOutcome> add(const QString &path, const ColumnMapper &mapper);
    QList<ImportOutcome> finish();
    // For an event loop that must not wait: whether add() would wait for a run being made
    // first, the outcomes that have ended, and whether none is left to end.
    bool full() const;
    QList<ImportOutcome> ended() { return settled(false); }
    bool idle() const { return queue_.empty(); }

    static constexpr qint64 MaxBytes = 256 * 1024 * 1024;

private:
    static constexpr int MaxMaking = 16;
    struct Pending {
        ImportOutcome out;
        QString hash;
        std::future<ImportOutcome> made; // valid while its run file is made
    };
    Pending read(const QString &path, const ColumnMapper &mapper);
    // Waits for a file's run to be made, and takes in how it ended.
    void land(Pending &p);
    // The outcomes from the first on that have ended, or all of them when `wait`.
    QList<ImportOutcome> settled(bool wait);

    QString folder_;
    QHash<QString, QString> known_; // hash digits: run file
    std::deque<Pending> queue_; // read, in order, not yet returned
    QSemaphore making_ { MaxMaking }; // a place for each run being made
    QThreadPool makers_, syncers_;
};
