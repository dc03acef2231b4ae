#include "run/run_journal.h"

#include "platform/core/background.h"
#include "run/run_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>
#include <QVariant>

#include <atomic>
#include <fcntl.h>
#include <sqlite3.h>
#include <unistd.h>

namespace {
const QString Suffix = QStringLiteral(".journal");

QString removeFiles(const QString &path)
{
    for (const char *extra : { "-wal", "-shm", "" }) {
        QFile file(path + QLatin1String(extra));
        if (file.exists() && !file.remove())
            return file.errorString();
    }
    return {};
}

std::unique_ptr<QLockFile> lockFor(const QString &path)
{
    auto lock = std::make_unique<QLockFile>(path + QStringLiteral(".lock"));
    lock->setStaleLockTime(0); // a journal is written for days: only a dead owner lets go
    return lock;
}

// Kept, but out of the way: offered at every start it could only be told of again.
bool setAside(const QString &path)
{
    QString to = path + QStringLiteral(".unreadable");
    for (int n = 2; QFileInfo::exists(to); ++n)
        to = path + QStringLiteral(".unreadable%1").arg(n);
    if (!QFile::rename(path, to))
        return false;
    QFile::rename(path + QStringLiteral("-wal"), to + QStringLiteral("-wal"));
    return true;
}

bool canWrite(const QString &folder)
{
    QFile probe(QDir(folder).filePath(QUuid::createUuid().toString(QUuid::WithoutBraces)));
    return probe.open(QIODevice::WriteOnly | QIODevice::NewOnly) && probe.remove();
}

// SQLite's connection under Qt's, for the rows, which go as a run file's do.
sqlite3 *handleOf(const QSqlDatabase &db)
{
    const QVariant handle = db.driver()->handle();
    return qstrcmp(handle.typeName(), "sqlite3*") == 0
        ? *static_cast<sqlite3 *const *>(handle.constData())
        : nullptr;
}

// The caption of a journal copied aside, whose log is then folded into the file so that it
// reads like any run file; none when it is no journal.
std::optional<QString> captionOf(const QString &copy)
{
    RunFile::Connection c(copy);
    QSqlDatabase db = c.db();
    QSqlQuery q(db);
    if (!db.open() || !q.exec(QStringLiteral("SELECT Caption FROM Journal")) || !q.next()
        || q.value(0).isNull())
        return std::nullopt;
    const QString caption = q.value(0).toString();
    q.finish();
    q.exec(QStringLiteral("PRAGMA journal_mode = DELETE"));
    return caption;
}
} // namespace

// The journal's log (SQLite's write-ahead log), opened a second time beside SQLite's handle:
// a sync works on the file, whoever opened it. On a power cut SQLite replays the log up to its
// last whole commit, so a synced log holds every row committed before the sync. The file keeps
// its place while the journal is open: SQLite only starts it over from the beginning after a
// checkpoint (no size limit is set, so it is never cut short) and deletes it on closing.
struct RunJournal::Log {
    explicit Log(int fd) : fd(fd) { }
    ~Log() { ::close(fd); }
    Log(const Log &) = delete;
    Log &operator=(const Log &) = delete;

    QString sync()
    {
        if (::fdatasync(fd) != 0)
            return qt_error_string(errno);
        ++syncs;
        return {};
    }

    const int fd;
    std::atomic<bool> syncing { false };
    std::atomic<int> syncs { 0 };
};

RunJournal::RunJournal(const QString &path, std::unique_ptr<QLockFile> lock, Background &background)
    : path_(path), lock_(std::move(lock)), connection_(QUuid::createUuid().toString()),
      background_(background)
{
}

RunJournal::~RunJournal()
{
    insert_.reset();
    db_.close();
    db_ = QSqlDatabase();
    QSqlDatabase::removeDatabase(connection_);
    if (!keep_)
        removeFiles(path_); // before the lock goes: nobody sees half a journal unlocked
}

QString RunJournal::open()
{
    db_ = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection_);
    db_.setDatabaseName(path_);
    db_.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=0"));
    if (!db_.open())
        return RunFile::sqliteReason(db_.lastError());
    // Exclusive locking: WAL needs no shared-memory file then. NORMAL sync: a commit is a
    // plain write, and sync() forces the log to disk when it is time.
    QSqlQuery q(db_);
    if (!q.exec(QStringLiteral("PRAGMA locking_mode = EXCLUSIVE"))
        || !q.exec(QStringLiteral("PRAGMA journal_mode = WAL")) || !q.next()
        || !q.exec(QStringLiteral("PRAGMA synchronous = NORMAL")))
        return RunFile::sqliteReason(q.lastError());
    return {};
}

std::unique_ptr<RunJournal> RunJournal::start(const JournalPlace &place, const QString &caption,
                                              QString &error)
{
    const QString &folder = place.folder;
    if (!QDir().mkpath(folder)) {
        error = QStringLiteral("cannot make the folder %1").arg(folder);
        return nullptr;
    }
    const QString path
        = QDir(folder).filePath(QUuid::createUuid().toString(QUuid::WithoutBraces) + Suffix);
    std::unique_ptr<QLockFile> lock = lockFor(path);
    if (!lock->tryLock(0)) {
        error = QStringLiteral("cannot write in the folder %1").arg(folder);
        return nullptr;
    }
    std::unique_ptr<RunJournal> j(new RunJournal(path, std::move(lock), *place.background));
    error = j->open();
    if (!error.isEmpty())
        return nullptr;
    QSqlQuery q(j->db_);
    const auto failed = [&](const QSqlError &e) {
        error = RunFile::sqliteReason(e);
        return nullptr;
    };
    // The run and the caption arrive together: a journal is never seen half made.
    if (!j->db_.transaction())
        return failed(j->db_.lastError());
    sqlite3 *handle = handleOf(j->db_);
    const auto failedRows = [&] {
        error = RunFile::sqliteReason(handle);
        return nullptr;
    };
    if (RunFile::createTables(handle) != SQLITE_OK)
        return failedRows();
    if (!q.exec(QStringLiteral("INSERT INTO Title VALUES ('')"))
        || !q.exec(QStringLiteral("CREATE TABLE Journal (Caption TEXT)"))
        || !q.prepare(QStringLiteral("INSERT INTO Journal VALUES (?)")))
        return failed(q.lastError());
    q.bindValue(0, caption);
    if (!q.exec())
        return failed(q.lastError());
    if (!j->db_.commit())
        return failed(j->db_.lastError());
    // Once on disk, the file itself: after a power cut SQLite drops a log beside an empty file.
    if (!q.exec(QStringLiteral("PRAGMA wal_checkpoint(PASSIVE)")))
        return failed(q.lastError());
    // And its name in the folder, or the file may not be found after a power cut.
    const int dir
        = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    const bool named = dir >= 0 && ::fsync(dir) == 0;
    if (!named)
        error = qt_error_string(errno);
    if (dir >= 0)
        ::close(dir);
    if (!named)
        return nullptr;
    j->insert_ = RunFile::prepareRowInsert(handle);
    if (!j->insert_)
        return failedRows();
    return j;
}

QString RunJournal::write(const QString &title, qint64 from, qint64 to,
                          const std::function<QString(qint64 row, int field)> &text, qint64 nowMs)
{
    if (!insert_)
        return QStringLiteral("the journal cannot be opened");
    if (!db_.transaction())
        return RunFile::sqliteReason(db_.lastError());
    QString failure;
    for (qint64 r = from; r < to && failure.isEmpty(); ++r)
        failure = RunFile::insertRow(insert_.get(), [&](int field) { return text(r, field); });
    if (failure.isEmpty() && title != title_) {
        QSqlQuery q(db_);
        q.prepare(QStringLiteral("UPDATE Title SET Title = ?"));
        q.bindValue(0, title);
        if (!q.exec())
            failure = RunFile::sqliteReason(q.lastError());
    }
    if (failure.isEmpty() && !db_.commit())
        failure = RunFile::sqliteReason(db_.lastError());
    if (!failure.isEmpty()) {
        db_.rollback();
        return failure;
    }
    title_ = title;
    // A title alone comes from the user, maybe after the run: it is synced at once.
    if (from == to)
        sync();
    else {
        unsynced_ = true;
        syncIfDue(nowMs);
    }
    return {};
}

bool RunJournal::syncIfDue(qint64 nowMs)
{
    if (unsynced_ && (!syncedMs_ || nowMs - *syncedMs_ >= SyncEveryMs) && syncLater()) {
        syncedMs_ = nowMs;
        unsynced_ = false;
    }
    return !unsynced_;
}

QString RunJournal::sync()
{
    QString failure = openLog();
    if (failure.isEmpty())
        failure = log_->sync();
    if (failure.isEmpty())
        unsynced_ = false;
    return failure;
}

int RunJournal::syncs() const
{
    return log_ ? log_->syncs.load() : 0;
}

// Opened once it is there: SQLite makes the log with the journal's first write.
QString RunJournal::openLog()
{
    if (log_)
        return {};
    const int fd = ::open(QFile::encodeName(path_ + QStringLiteral("-wal")).constData(),
                          O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return qt_error_string(errno);
    log_ = std::make_shared<Log>(fd);
    return {};
}

// Has a worker sync the log unless one still does; whether it was asked. The worker holds the
// log, so the journal may go meanwhile.
bool RunJournal::syncLater()
{
    if (!openLog().isEmpty() || log_->syncing.exchange(true))
        return false;
    background_.start([log = log_] {
        log->sync();
        log->syncing = false;
    });
    return true;
}

RunJournal::LeftBehind RunJournal::leftBehind(const QString &folder, const QStringList &ignored)
{
    LeftBehind found;
    const QDir dir(folder);
    const QStringList names = dir.entryList({ QLatin1Char('*') + Suffix }, QDir::Files);
    if (names.isEmpty())
        return found;
    found.copies = std::make_unique<QTemporaryDir>();
    const bool readOnly = !canWrite(folder);
    for (const QString &name : names) {
        Found j;
        j.path = dir.filePath(name);
        j.mark = QStringLiteral("%1 %2")
                     .arg(QFileInfo(j.path).lastModified().toMSecsSinceEpoch())
                     .arg(j.path);
        if (ignored.contains(j.mark))
            continue;
        j.readOnly = readOnly;
        if (!readOnly) {
            j.lock = lockFor(j.path);
            if (!j.lock->tryLock(0))
                continue; // a live window of a running program, ours or another's
        }
        j.copy = found.copies->filePath(name);
        bool copied = QFile::copy(j.path, j.copy);
        if (QFile::exists(j.path + QStringLiteral("-wal")))
            copied = copied && QFile::copy(j.path + QStringLiteral("-wal"), j.copy + "-wal");
        const std::optional<QString> caption = copied ? captionOf(j.copy) : std::nullopt;
        if (!caption) {
            if (!readOnly && setAside(j.path))
                ++found.setAside;
            else
                ++found.unreadable;
            continue;
        }
        j.caption = *caption;
        found.journals.push_back(std::move(j));
    }
    return found;
}

std::unique_ptr<RunJournal> RunJournal::adopt(Found &&found, Background &background)
{
    std::unique_ptr<RunJournal> j(new RunJournal(found.path, std::move(found.lock), background));
    // Whether it opens or not, the file now goes with its window.
    if (!j->open().isEmpty())
        return j;
    QSqlQuery q(j->db_);
    if (q.exec(QStringLiteral("SELECT Title FROM Title")) && q.next())
        j->title_ = q.value(0).toString();
    q.finish();
    j->insert_ = RunFile::prepareRowInsert(handleOf(j->db_));
    return j;
}

QString RunJournal::remove(Found &found)
{
    const QString failure = removeFiles(found.path);
    found.lock.reset();
    return failure;
}
