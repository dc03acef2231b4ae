#include "run/run_file.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QSqlError>
#include <QTemporaryFile>
#include <QUuid>
#include <cmath>
#include <cstdio>
#include <limits>
#include <memory>
#include <sqlite3.h>
#include <variant>

namespace RunFile {

Connection::Connection(const QString &path) : name_(QUuid::createUuid().toString())
{
    QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name_).setDatabaseName(path);
}

Connection::~Connection()
{
    QSqlDatabase::removeDatabase(name_);
}

QString retitle(const QString &path, const QString &title)
{
    const QFileInfo info(path);
    if (title.size() > TitleSize)
        return QStringLiteral("The description is longer than %1 characters.").arg(TitleSize);
    if (!info.isFile() || !info.isWritable())
        return QStringLiteral("The file cannot be written.");
    const QDateTime modified = info.lastModified();
    sqlite3 *db = nullptr;
    const QByteArray utf8 = title.toUtf8();
    sqlite3_stmt *q = nullptr;
    int rc = sqlite3_open_v2(QFile::encodeName(info.absoluteFilePath()).constData(), &db,
                             SQLITE_OPEN_READWRITE, nullptr);
    if (rc == SQLITE_OK)
        rc = sqlite3_prepare_v2(
            db, "update Title set Title = ? where rowid = (select min(rowid) from Title)", -1, &q,
            nullptr);
    if (rc == SQLITE_OK) {
        sqlite3_bind_text(q, 1, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
        rc = sqlite3_step(q);
    }
    const QString reason = rc == SQLITE_BUSY || rc == SQLITE_LOCKED
        ? QStringLiteral("Another program is writing the file.")
        : rc != SQLITE_DONE        ? QString::fromUtf8(sqlite3_errmsg(db))
        : sqlite3_changes(db) != 1 ? QStringLiteral("The file has no description.")
                                   : QString();
    sqlite3_finalize(q);
    sqlite3_close(db);
    QFile file(path);
    if (reason.isEmpty() && file.open(QIODevice::ReadWrite))
        file.setFileTime(modified, QFileDevice::FileModificationTime);
    return reason;
}

QString sqliteReason(const QSqlError &e)
{
    const QString reason = e.databaseText().trimmed();
    return reason.isEmpty() ? e.text().trimmed() : reason;
}

QString sqliteReason(sqlite3 *db)
{
    return QString::fromUtf8(sqlite3_errmsg(db));
}

void Finalize::operator()(sqlite3_stmt *q) const
{
    sqlite3_finalize(q);
}

namespace {

enum class Kind { Time, Text, Integer, Currency };

Kind kindOf(int field)
{
    switch (field) {
    case Field::Time:
        return Kind::Time;
    case Field::Type:
    case Field::Chg:
        return Kind::Text;
    case Field::Ext_temp:
    case Field::In_temp:
        return Kind::Integer;
    default:
        return Kind::Currency;
    }
}

QString declaredType(Kind kind)
{
    switch (kind) {
    case Kind::Time:
        return QStringLiteral("DATETIME");
    case Kind::Text:
        return QStringLiteral("TEXT(%1)").arg(TextFieldSize);
    case Kind::Integer:
        return QStringLiteral("SMALLINT");
    case Kind::Currency:
        return QStringLiteral("CURRENCY");
    }
    return {};
}

// A value as the file stores it: Null, a real, an integer or a text.
using Stored = std::variant<std::monostate, double, qint64, QString>;

// SQLite keeps whatever it is given; the field sizes and ranges are enforced here.
std::optional<Stored> toField(int field, const QString &text)
{
    if (text.isEmpty()) // an idle sample has no current: kept as Null, read back as empty
        return Stored();
    switch (kindOf(field)) {
    case Kind::Time: {
        // "hh:mm:ss" as a time of day is written; read here by hand, as every sample passes.
        if (text.size() != 8 || text[2] != u':' || text[5] != u':')
            return std::nullopt;
        int seconds = 0;
        for (const auto &[at, below] : { std::pair(0, 24), std::pair(3, 60), std::pair(6, 60) }) {
            const int tens = text[at].unicode() - '0', ones = text[at + 1].unicode() - '0';
            if (tens < 0 || tens > 9 || ones < 0 || ones > 9 || tens * 10 + ones >= below)
                return std::nullopt;
            seconds = seconds * 60 + tens * 10 + ones;
        }
        return seconds / 86400.0;
    }
    case Kind::Text:
        if (text.size() > TextFieldSize)
            return std::nullopt;
        return text;
    case Kind::Integer: {
        const auto n = Fixed::parse(text);
        if (!n || n->raw() % 10000 != 0)
            return std::nullopt;
        const qint64 w = n->raw() / 10000;
        if (w < std::numeric_limits<qint16>::min() || w > std::numeric_limits<qint16>::max())
            return std::nullopt;
        return w;
    }
    case Kind::Currency: {
        const auto n = Fixed::parse(text);
        if (!n)
            return std::nullopt;
        return n->toDouble();
    }
    }
    return std::nullopt;
}

// toField of the value's text, read from the number or time itself: an import writes millions
// of them.
std::optional<Stored> toField(int field, const Value &value)
{
    struct {
        int field;
        Kind kind;
        std::optional<Stored> whole(qint64 w) const
        {
            if (kind == Kind::Integer)
                return w < std::numeric_limits<qint16>::min()
                        || w > std::numeric_limits<qint16>::max()
                    ? std::nullopt
                    : std::optional<Stored>(w);
            return Fixed::fromWhole(w).toDouble();
        }
        std::optional<Stored> operator()(std::monostate) const { return Stored(); }
        std::optional<Stored> operator()(const QString &t) const { return toField(field, t); }
        std::optional<Stored> operator()(qint64 w) const
        {
            // Beyond what a Fixed holds the text is refused, as here.
            constexpr qint64 MaxWhole = std::numeric_limits<qint64>::max() / 10000;
            if (kind != Kind::Integer && kind != Kind::Currency)
                return toField(field, QString::number(w));
            return w < -MaxWhole || w > MaxWhole ? std::nullopt : whole(w);
        }
        std::optional<Stored> operator()(Fixed f) const
        {
            if (kind == Kind::Currency && f.raw() != std::numeric_limits<qint64>::min())
                return f.toDouble();
            if (kind == Kind::Integer)
                return f.raw() % 10000 != 0 ? std::nullopt : whole(f.raw() / 10000);
            return toField(field, f.plain());
        }
        std::optional<Stored> operator()(DayTime t) const
        {
            return kind == Kind::Time ? std::optional<Stored>(t.secondsOfDay() / 86400.0)
                                      : toField(field, t.hhmmss());
        }
    } stored { field, kindOf(field) };
    return value.visit(stored);
}

// What went wrong in the user's words, with SQLite's own after it.
QString inWords(int code, sqlite3 *db)
{
    const char *what = "The file could not be written";
    switch (code & 0xff) { // the primary code of an extended one
    case SQLITE_FULL:
        what = "The disk is full";
        break;
    case SQLITE_IOERR:
        what = "The disk failed to store the file";
        break;
    case SQLITE_READONLY:
    case SQLITE_PERM:
    case SQLITE_CANTOPEN:
        what = "The file may not be written here";
        break;
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        what = "Another program is using the file";
        break;
    case SQLITE_NOMEM:
        what = "There is not enough memory";
        break;
    }
    return QStringLiteral("%1 (%2).").arg(QLatin1String(what), sqliteReason(db));
}

// None when SQLite refuses `sql`.
Statement prepared(sqlite3 *db, const char *sql)
{
    sqlite3_stmt *q = nullptr;
    sqlite3_prepare_v2(db, sql, -1, &q, nullptr);
    return Statement(q);
}

int bindStored(sqlite3_stmt *q, int column, const Stored &value)
{
    if (const auto *d = std::get_if<double>(&value))
        return sqlite3_bind_double(q, column, *d);
    if (const auto *n = std::get_if<qint64>(&value))
        return sqlite3_bind_int64(q, column, *n);
    if (const auto *t = std::get_if<QString>(&value))
        return sqlite3_bind_text16(q, column, t->utf16(), int(t->size() * sizeof(QChar)),
                                   SQLITE_TRANSIENT);
    return sqlite3_bind_null(q, column);
}

// Binds the 22 values of one sample row to a prepared insert from parameter `first` on: "" when
// bound, otherwise why not. A template, so that a row's values come through no more than one
// call of a std::function.
template <class ValueOf> QString bindValues(sqlite3_stmt *q, int first, const ValueOf &value)
{
    int rc = SQLITE_OK;
    for (int f = 0; f < FieldCount; ++f) {
        const Value given = value(f);
        const auto v = toField(f, given);
        if (!v)
            return QStringLiteral("\"%1\" does not fit the field %2.")
                .arg(given.text(), QString::fromLatin1(FieldNames[f]));
        if (rc == SQLITE_OK)
            rc = bindStored(q, first + f + 1, *v);
    }
    return rc == SQLITE_OK ? QString() : sqliteReason(sqlite3_db_handle(q));
}

// Runs a bound insert: "" when its rows are in, otherwise SQLite's reason.
QString stepped(sqlite3_stmt *q)
{
    const int rc = sqlite3_step(q);
    // Taken before the reset, which leaves only the code's general words.
    const QString reason = rc == SQLITE_DONE ? QString() : sqliteReason(sqlite3_db_handle(q));
    sqlite3_reset(q);
    return reason;
}

QString writeInto(sqlite3 *db, const QString &title, qint64 rowCount, const RowValues &cell)
{
    // A failed save throws the whole file away and the rename makes a save whole, so SQLite's
    // journal on disk would only cost syncs. One transaction, the tables with the rows: one
    // sync of the file, which is on disk before it takes the run's name.
    int rc = sqlite3_exec(db, "PRAGMA journal_mode = MEMORY; BEGIN", nullptr, nullptr, nullptr);
    if (rc == SQLITE_OK)
        rc = createTables(db);
    if (rc != SQLITE_OK)
        return inWords(rc, db);
    // Rows go in sixteen at a time: running a statement costs as much as a row's values.
    constexpr int Together = 16;
    const Statement one = prepareRowInsert(db), many = prepareRowInsert(db, Together);
    if (!one || !many)
        return inWords(sqlite3_errcode(db), db);
    for (qint64 r = 0; r < rowCount;) {
        const int n = rowCount - r >= Together ? Together : 1;
        sqlite3_stmt *q = (n == 1 ? one : many).get();
        QString failure;
        for (int i = 0; i < n && failure.isEmpty(); ++i, ++r)
            failure = bindValues(q, i * FieldCount, [&](int field) { return cell(r, field); });
        if (failure.isEmpty())
            failure = stepped(q);
        if (failure.isEmpty())
            continue;
        // A text that does not fit its field leaves no error on the connection.
        rc = sqlite3_errcode(db);
        return QStringLiteral("Sample %1: %2") // r is past the row that failed
            .arg(r)
            .arg(rc == SQLITE_OK || rc == SQLITE_DONE ? failure : inWords(rc, db));
    }
    if (title.size() > TitleSize)
        return QStringLiteral("The description is longer than %1 characters.").arg(TitleSize);
    const Statement t = prepared(db, "INSERT INTO Title VALUES (?)");
    // A title that is no text at all is kept as Null, as a field's empty text is.
    rc = t ? bindStored(t.get(), 1, title.isNull() ? Stored() : Stored(title))
           : sqlite3_errcode(db);
    if (rc == SQLITE_OK)
        rc = sqlite3_step(t.get());
    if (rc == SQLITE_DONE)
        rc = sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    return rc == SQLITE_OK ? QString() : inWords(rc, db);
}

} // namespace

int createTables(sqlite3 *db)
{
    QStringList fields;
    for (int f = 0; f < FieldCount; ++f)
        fields << QStringLiteral("\"%1\" %2").arg(FieldNames[f], declaredType(kindOf(f)));
    const QByteArray sql = QStringLiteral("PRAGMA user_version = %1; CREATE TABLE CHGLOG (%2); "
                                          "CREATE TABLE Title (\"Title\" TEXT(%3))")
                               .arg(FormatVersion)
                               .arg(fields.join(u", "))
                               .arg(TitleSize)
                               .toUtf8();
    return sqlite3_exec(db, sql.constData(), nullptr, nullptr, nullptr);
}

Statement prepareRowInsert(sqlite3 *db, int rows)
{
    QByteArray row("(?");
    for (int f = 1; f < FieldCount; ++f)
        row += ",?";
    row += ')';
    return prepared(db, "INSERT INTO CHGLOG VALUES " + QByteArrayList(rows, row).join(','));
}

bool fits(int field, const QString &text)
{
    return toField(field, text).has_value();
}

QString insertRow(sqlite3_stmt *q, const std::function<QString(int field)> &text)
{
    const QString failure = bindValues(q, 0, [&](int field) { return Value(text(field)); });
    return failure.isEmpty() ? stepped(q) : failure;
}

QString write(const QString &path, const QString &title, qint64 rowCount, const RowTexts &cell)
{
    return writeValues(path, title, rowCount,
                       [&](qint64 row, int field) { return Value(cell(row, field)); });
}

// A save that was killed leaves its temporary file, and SQLite's journal of it, behind. Those
// a minute old are no other save's that is still writing.
void removeLeftovers(const QDir &folder)
{
    const QString temporary = QStringLiteral(".*.mdb.") + QStringLiteral("[A-Za-z0-9]").repeated(6);
    const QDateTime old = QDateTime::currentDateTimeUtc().addSecs(-60);
    for (const QFileInfo &file :
         folder.entryInfoList({ temporary, temporary + QStringLiteral("-journal") },
                              QDir::Files | QDir::Hidden | QDir::NoSymLinks))
        if (file.lastModified() < old)
            QFile::remove(file.absoluteFilePath());
}

QString writeValues(const QString &path, const QString &title, qint64 rowCount,
                    const RowValues &cell, bool tidy)
{
    const QFileInfo target(path);
    if (target.isDir())
        return QStringLiteral("It is a folder.");
    if (tidy)
        removeLeftovers(target.absoluteDir());
    // The clean-up knows a save's files by ".mdb." before their last six characters.
    QString name = target.fileName();
    if (!name.endsWith(QLatin1String(".mdb")))
        name += QStringLiteral(".mdb");
    QTemporaryFile temp(target.absolutePath() + QStringLiteral("/.") + name
                        + QStringLiteral(".XXXXXX"));
    if (!temp.open())
        return QStringLiteral("The folder %1 cannot be written: %2")
            .arg(target.absolutePath(), temp.errorString());
    // A temporary file is private; a run file is as readable as any other file the user saves.
    temp.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup
                        | QFileDevice::ReadOther);
    temp.close();
    // Written on this thread alone: SQLite's locking of each call would only cost time.
    sqlite3 *db = nullptr;
    const int rc = sqlite3_open_v2(QFile::encodeName(temp.fileName()).constData(), &db,
                                   SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
    QString error = rc == SQLITE_OK ? writeInto(db, title, rowCount, cell) : inWords(rc, db);
    sqlite3_close(db);
    if (error.isEmpty()) {
        // rename() replaces the old file in one step: it is either the old or the new run.
        if (std::rename(QFile::encodeName(temp.fileName()).constData(),
                        QFile::encodeName(target.absoluteFilePath()).constData())
            != 0)
            error = QStringLiteral("The file cannot be replaced.");
        else
            temp.setAutoRemove(false);
    }
    return error;
}

namespace {
// What the fields can hold: the date range of a Date/Time, 16 bits, a Currency's whole units.
constexpr double MaxDays = 2958466;
constexpr double MaxCurrency = 922337203685477;
// A run file's row is a few hundred bytes: SQLite refuses to read a value or row larger than
// this, and keeps no more pages than this in memory for a read.
constexpr int MaxReadBytes = 64 * 1024;
constexpr int BusyWaitMs = 20, BusyWaits = 250;

// The value of a column as text; numbers in their shortest form.
QString textOf(sqlite3_stmt *q, int column)
{
    switch (sqlite3_column_type(q, column)) {
    case SQLITE_NULL:
        return {};
    case SQLITE_INTEGER:
        return QString::number(sqlite3_column_int64(q, column));
    case SQLITE_FLOAT:
        return QString::number(sqlite3_column_double(q, column), 'g',
                               QLocale::FloatingPointShortest);
    case SQLITE_BLOB:
        return QString::fromUtf8(static_cast<const char *>(sqlite3_column_blob(q, column)),
                                 sqlite3_column_bytes(q, column));
    default:
        const void *text = sqlite3_column_text16(q, column);
        return QString(static_cast<const QChar *>(text), sqlite3_column_bytes16(q, column) / 2);
    }
}

// Reads a field of the current row into `value`; false, leaving it, when the field holds what
// it cannot. `last` is the text the field held before, as stored and as read.
bool readField(sqlite3_stmt *q, int field, Value &value, std::pair<QByteArray, QString> &last)
{
    // The value itself: each column call of SQLite's costs as much again as reading it.
    sqlite3_value *stored = sqlite3_column_value(q, field);
    const int type = sqlite3_value_type(stored);
    if (type == SQLITE_NULL) {
        value = Value();
        return true;
    }
    const Kind kind = kindOf(field);
    if (kind == Kind::Text) {
        // Rows mostly repeat the row before's text: compared as stored, that string is kept
        // rather than made anew.
        QByteArray utf8;
        if (type == SQLITE_TEXT) {
            const QByteArrayView now(sqlite3_value_text(stored), sqlite3_value_bytes(stored));
            if (now == last.first && !last.second.isNull()) {
                value = last.second;
                return true;
            }
            utf8 = now.toByteArray();
        }
        QString text = textOf(q, field);
        if (text.size() > TextFieldSize)
            return false;
        last = { utf8, type == SQLITE_TEXT ? text : QString() };
        value = text;
        return true;
    }
    if (type != SQLITE_FLOAT && type != SQLITE_INTEGER)
        return false;
    const double d = sqlite3_value_double(stored);
    if (kind == Kind::Time) {
        if (!(std::abs(d) <= MaxDays))
            return false;
        value = DayTime { d };
        return true;
    }
    if (!(std::abs(d) <= MaxCurrency)) // NaN too
        return false;
    const Fixed n = Fixed::fromDouble(d);
    if (kind == Kind::Integer) {
        const qint64 w = n.roundedHalfEven();
        if (w < std::numeric_limits<qint16>::min() || w > std::numeric_limits<qint16>::max())
            return false;
        value = w;
    } else if (field == Field::Cap && n.raw() % 10000 == 0) {
        value = n.roundedHalfEven(); // a live capacity is a whole number
    } else {
        value = n;
    }
    return true;
}
} // namespace

Reader::Reader(const std::atomic<bool> *stop) : stop_(stop) { }

Reader::~Reader()
{
    rows_.reset(); // before the connection it was made on
    sqlite3_close(db_);
}

bool Reader::fail(const QString &reason)
{
    error_ = reason;
    rows_.reset();
    return false;
}

bool Reader::failSqlite()
{
    return fail(db_ ? QString::fromUtf8(sqlite3_errmsg(db_))
                    : QStringLiteral("The file cannot be opened."));
}

bool Reader::open(const QString &path)
{
    // One thread uses a reader: SQLite's locking of each call would only cost time. The path
    // is absolute, so that SQLite never takes a name beginning with "file:" for a URI.
    if (sqlite3_open_v2(QFile::encodeName(QFileInfo(path).absoluteFilePath()).constData(), &db_,
                        SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, nullptr)
        != SQLITE_OK)
        return failSqlite();
    sqlite3_limit(db_, SQLITE_LIMIT_LENGTH, MaxReadBytes);
    // A file another program is still writing gets a few seconds to come free.
    sqlite3_busy_handler(
        db_,
        [](void *self, int tries) {
            const std::atomic<bool> *stop = static_cast<Reader *>(self)->stop_;
            if (tries >= BusyWaits || (stop && *stop))
                return 0;
            sqlite3_sleep(BusyWaitMs);
            return 1;
        },
        this);
    // Functions with side effects are not the file's to call.
    sqlite3_db_config(db_, SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0, nullptr);
    const QByteArray cache = "pragma cache_size = -" + QByteArray::number(MaxReadBytes / 1024);
    if (sqlite3_exec(db_, cache.constData(), nullptr, nullptr, nullptr) != SQLITE_OK)
        return failSqlite();
    // A view or a computed column could make a read take any time and memory it likes, in
    // SQLite's own code; what the tables store is bounded by the limit above.
    const Statement q(prepared(db_,
                               "select m.type = 'table' and m.sql not like 'create virtual%' and "
                               "not exists (select 1 from pragma_table_xinfo(m.name) c where "
                               "c.hidden = 2) from sqlite_master m where lower(m.name) in "
                               "('chglog', 'title')"));
    if (!q)
        return failSqlite();
    int tables = 0, rc;
    while ((rc = sqlite3_step(q.get())) == SQLITE_ROW) {
        if (!sqlite3_column_int(q.get(), 0))
            return fail(QStringLiteral("CHGLOG or Title is not a table of stored values."));
        ++tables;
    }
    if (rc != SQLITE_DONE)
        return failSqlite();
    if (tables != 2)
        return fail(QStringLiteral("The file has no CHGLOG or no Title table."));
    return true;
}

std::optional<QString> Reader::title()
{
    const Statement q(prepared(db_, " select * from Title"));
    const int rc = q ? sqlite3_step(q.get()) : SQLITE_ERROR;
    if (rc != SQLITE_ROW && rc != SQLITE_DONE) {
        failSqlite();
        return std::nullopt;
    }
    if (rc == SQLITE_DONE || sqlite3_column_type(q.get(), 0) == SQLITE_NULL) {
        fail(QStringLiteral("The file has no title."));
        return std::nullopt;
    }
    QString text = textOf(q.get(), 0);
    if (text.size() > TitleSize) {
        fail(QStringLiteral("The title is longer than %1 characters.").arg(TitleSize));
        return std::nullopt;
    }
    return text;
}

qint64 Reader::rowCount()
{
    // Rows are only ever added, so the last row number is the count, found without a scan.
    const Statement q(prepared(db_, "select max(rowid) from chglog"));
    if (!q || sqlite3_step(q.get()) != SQLITE_ROW)
        return -1;
    return std::max<qint64>(sqlite3_column_int64(q.get(), 0), 0);
}

bool Reader::next(ChannelReading &row)
{
    if (!rows_) {
        if (!error_.isEmpty() || ended_)
            return false;
        rows_ = prepared(db_, " select * from chglog");
        if (!rows_)
            return failSqlite();
        if (sqlite3_column_count(rows_.get()) < FieldCount)
            return fail(
                QStringLiteral("The sample table has fewer than %1 fields.").arg(FieldCount));
    }
    const int rc = sqlite3_step(rows_.get());
    if (rc != SQLITE_ROW) {
        if (rc != SQLITE_DONE)
            return failSqlite();
        // Stepping on would start the rows again.
        rows_.reset();
        ended_ = true;
        return false;
    }
    for (int f = 0; f < FieldCount; ++f)
        if (!readField(rows_.get(), f, row[f], lastTexts_[f]))
            return fail(
                QStringLiteral("The field %1 holds %2, which it cannot hold.")
                    .arg(QString::fromLatin1(FieldNames[f]), textOf(rows_.get(), f).left(20)));
    return true;
}

} // namespace RunFile
