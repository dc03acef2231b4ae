#pragma once

#include "link/channel_reading.h"
#include "run/samples.h"

#include <QDateTime>
#include <QSqlDatabase>
#include <QSqlError>
#include <QString>
#include <atomic>
#include <functional>
#include <memory>
#include <optional>

class QDir;
struct sqlite3;
struct sqlite3_stmt;

// Run files: one SQLite database per run with the tables CHGLOG (one row per sample, the
// 22 fields of a reading in their fixed order) and Title (one row, the run's description).
namespace RunFile {

inline constexpr int FormatVersion = 1;
inline constexpr int TitleSize = 100;
inline constexpr int TextFieldSize = 10;

// One sample row as the sample table holds it: 22 texts.
using RowTexts = std::function<QString(qint64 row, int field)>;

// Writes a complete run file to `path`. The rows go to a temporary file in the same folder
// that replaces `path` only once it is complete, so a failure leaves any old file intact.
// Returns "" on success, otherwise a reason for the user.
QString write(const QString &path, const QString &title, qint64 rowCount, const RowTexts &cell);
// The same from values, each as its text would be written: cheaper for numbers and times.
using RowValues = std::function<Value(qint64 row, int field)>;
QString writeValues(const QString &path, const QString &title, qint64 rowCount,
                    const RowValues &cell);
// The same from the samples as they are kept.
struct WriteOptions {
    std::atomic<qint64> *done = nullptr; // follows the rows written
    // First remove what saves that were killed left in the folder, as removeLeftovers; one
    // that writes many files does that once.
    bool tidy = true;
    QDateTime modified; // the file's time, when valid
};
QString write(const QString &path, const QString &title, const Samples &rows,
              const WriteOptions &options = {});
// The same in two steps, for one that writes many files: the file is written in full under a
// temporary name of its folder, then `commit` syncs it and gives it its name, on any thread (so
// that threads waiting for the disk are not those that make files). `commit` is empty where the
// writing failed, `failure` says why; dropped uncalled, it leaves nothing behind.
struct Written {
    QString failure;
    std::function<QString()> commit;
};
Written writeUncommitted(const QString &path, const QString &title, const Samples &rows,
                         const WriteOptions &options = {});
// Removes a killed save's temporary file from `folder`, once they are a minute old.
void removeLeftovers(const QDir &folder);

// Replaces the description of the run file at `path`, leaving its samples and its modification
// time (the date of a run that is named) as they were. Returns "" on success, otherwise a
// reason for the user; a file that is read-only or being written by another program is left
// as it was.
QString retitle(const QString &path, const QString &title);

// A Qt SQL connection of its own for one use, removed when done.
class Connection {
public:
    explicit Connection(const QString &path);
    ~Connection();
    Connection(const Connection &) = delete;
    Connection &operator=(const Connection &) = delete;
    QSqlDatabase db() const { return QSqlDatabase::database(name_, false); }

private:
    QString name_;
};

// SQLite's own words for a failure ("database or disk is full"): Qt SQL's, or the last on `db`.
QString sqliteReason(const QSqlError &e);
QString sqliteReason(sqlite3 *db);

// Whether a field can hold `text`: a text of at most TextFieldSize, a temperature in 16 bits,
// any other number as a Fixed holds it. What comes from outside is checked by this too.
bool fits(int field, const QString &text);

struct Finalize {
    void operator()(sqlite3_stmt *q) const;
};
using Statement = std::unique_ptr<sqlite3_stmt, Finalize>;

// The pieces of writing, for files that are written a row at a time, through SQLite's own
// interface: Qt SQL's costs more than the writing itself.
// SQLite's result code (SQLITE_OK when made).
int createTables(sqlite3 *db);
// An insert of a sample row; none when SQLite refuses it, sqliteReason(db) says why.
Statement prepareRowInsert(sqlite3 *db);
// Binds the 22 texts of one sample row to a prepared insert and runs it: "" on success,
// otherwise why not (a text that does not fit its field, or SQLite's reason).
QString insertRow(sqlite3_stmt *q, const std::function<QString(int field)> &text);

// Reads a run file row by row, fields by position. Whatever the file holds, no value or row
// read is larger than a run file's ever is, so a crafted file cannot make one read huge.
class Reader {
public:
    // A `stop` set ends a wait for the file to come free.
    explicit Reader(const std::atomic<bool> *stop = nullptr);
    ~Reader();
    Reader(const Reader &) = delete;
    Reader &operator=(const Reader &) = delete;

    // Opens the file read-only; false (with error()) when it is no readable run file or its
    // CHGLOG and Title are not both tables: a view could compute rows for ever.
    bool open(const QString &path);
    // The first row's first field of Title; none (with error()) when missing, Null or longer
    // than the field holds.
    std::optional<QString> title();
    // About how many sample rows the file holds, for progress, found without reading them;
    // -1 when that cannot be told.
    qint64 rowCount();
    // The next CHGLOG row; false at the end or on an error (then error() is set). A value
    // outside its field's range, or not finite, is an error.
    bool next(ChannelReading &row);
    QString error() const { return error_; }

private:
    bool fail(const QString &reason);
    // Fails with SQLite's own reason.
    bool failSqlite();

    const std::atomic<bool> *stop_;
    sqlite3 *db_ = nullptr;
    Statement rows_;
    bool ended_ = false;
    QString error_;
    std::array<std::pair<QByteArray, QString>, FieldCount> lastTexts_;
};

} // namespace RunFile
