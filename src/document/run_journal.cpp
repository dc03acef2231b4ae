#include "document/run_journal.h"

#include "document/run_file.h"

#include <QDir>
#include <QFile>
#include <QSqlError>
#include <QUuid>
#include <QVariant>

namespace {
const QString Suffix = QStringLiteral(".journal");

QString sqlError(const QSqlError &e)
{
    return e.text().trimmed();
}

void removeFiles(const QString &path)
{
    for (const char *extra : { "", "-wal", "-shm" })
        QFile::remove(path + QLatin1String(extra));
}

// A plain connection that gives up at once on a lock instead of waiting for it.
class Probe {
public:
    explicit Probe(const QString &path) : name_(QUuid::createUuid().toString())
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name_);
        db.setDatabaseName(path);
        db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=0"));
    }
    ~Probe() { QSqlDatabase::removeDatabase(name_); }
    QSqlDatabase db() const { return QSqlDatabase::database(name_, false); }

private:
    QString name_;
};

constexpr auto SqliteBusy = "5";
} // namespace

RunJournal::RunJournal(const QString &path)
    : path_(path), connection_(QUuid::createUuid().toString())
{
}

RunJournal::~RunJournal()
{
    insert_.reset();
    db_.close();
    db_ = QSqlDatabase();
    QSqlDatabase::removeDatabase(connection_);
    removeFiles(path_);
}

QString RunJournal::open()
{
    db_ = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection_);
    db_.setDatabaseName(path_);
    db_.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=0"));
    if (!db_.open())
        return sqlError(db_.lastError());
    // Exclusive locking: held from here until the connection closes (or the process dies),
    // and WAL needs no shared-memory file then. NORMAL sync: a commit is a plain write.
    QSqlQuery q(db_);
    if (!q.exec(QStringLiteral("PRAGMA locking_mode = EXCLUSIVE"))
        || !q.exec(QStringLiteral("PRAGMA journal_mode = WAL")) || !q.next()
        || !q.exec(QStringLiteral("PRAGMA synchronous = NORMAL")))
        return sqlError(q.lastError());
    return {};
}

std::unique_ptr<RunJournal> RunJournal::start(const QString &folder, const QString &caption,
                                              QString &error)
{
    if (!QDir().mkpath(folder)) {
        error = QStringLiteral("The folder %1 cannot be made.").arg(folder);
        return nullptr;
    }
    std::unique_ptr<RunJournal> j(new RunJournal(
        QDir(folder).filePath(QUuid::createUuid().toString(QUuid::WithoutBraces) + Suffix)));
    error = j->open();
    if (!error.isEmpty())
        return nullptr;
    QSqlQuery q(j->db_);
    const auto failed = [&](const QSqlError &e) {
        error = sqlError(e);
        return nullptr;
    };
    // The run and the caption arrive together: a journal is never seen half made.
    if (!j->db_.transaction())
        return failed(j->db_.lastError());
    error = RunFile::createTables(j->db_);
    if (!error.isEmpty())
        return nullptr;
    if (!q.exec(QStringLiteral("INSERT INTO Title VALUES ('')"))
        || !q.exec(QStringLiteral("CREATE TABLE Journal (Caption TEXT)"))
        || !q.prepare(QStringLiteral("INSERT INTO Journal VALUES (?)")))
        return failed(q.lastError());
    q.bindValue(0, caption);
    if (!q.exec())
        return failed(q.lastError());
    if (!j->db_.commit())
        return failed(j->db_.lastError());
    j->insert_.emplace(j->db_);
    if (!RunFile::prepareRowInsert(*j->insert_))
        return failed(j->insert_->lastError());
    return j;
}

QString RunJournal::append(const std::function<QString(int field)> &text, const QString &title)
{
    if (!db_.transaction())
        return sqlError(db_.lastError());
    QString failure = RunFile::insertRow(*insert_, text);
    if (failure.isEmpty() && title != title_) {
        QSqlQuery q(db_);
        q.prepare(QStringLiteral("UPDATE Title SET Title = ?"));
        q.bindValue(0, title);
        if (q.exec())
            title_ = title;
        else
            failure = sqlError(q.lastError());
    }
    if (!failure.isEmpty()) {
        db_.rollback();
        return failure;
    }
    return db_.commit() ? QString() : sqlError(db_.lastError());
}

RunJournal::LeftBehind RunJournal::leftBehind(const QString &folder)
{
    LeftBehind found;
    const QDir dir(folder);
    for (const QString &name : dir.entryList({ QLatin1Char('*') + Suffix }, QDir::Files)) {
        const QString path = dir.filePath(name);
        Probe probe(path);
        QSqlDatabase db = probe.db();
        QSqlQuery q(db);
        const bool read = db.open() && q.exec(QStringLiteral("SELECT Caption FROM Journal"))
            && q.next() && !q.value(0).isNull();
        if (!read) {
            // Held: a live window of a running program, ours or another's.
            if (q.lastError().nativeErrorCode() != QLatin1String(SqliteBusy))
                ++found.unreadable;
            continue;
        }
        found.paths << path;
        found.captions << q.value(0).toString();
        // Fold the log into the file, so that it reads like any run file.
        q.exec(QStringLiteral("PRAGMA journal_mode = DELETE"));
    }
    return found;
}

std::unique_ptr<RunJournal> RunJournal::adopt(const QString &path)
{
    std::unique_ptr<RunJournal> j(new RunJournal(path));
    j->open(); // whether it locks or not, the file now goes with its window
    return j;
}
