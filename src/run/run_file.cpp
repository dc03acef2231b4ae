#include "run/run_file.h"

#include "run/sqlite_pages.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QSqlError>
#include <QTemporaryFile>
#include <QUuid>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <limits>
#include <memory>
#include <sqlite3.h>
#include <unistd.h>
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

// What the fields can hold: the date range of a Date/Time, 16 bits, a Currency's whole units.
constexpr double MaxDays = 2958466;
constexpr double MaxCurrency = 922337203685477;

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
        // What a file could not be read back with is refused.
        const auto n = Fixed::parse(text);
        if (!n || std::abs(n->toDouble()) > MaxCurrency)
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
            if (kind == Kind::Currency)
                return std::abs(f.toDouble()) > MaxCurrency ? std::nullopt
                                                            : std::optional<Stored>(f.toDouble());
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

// Why a value is refused by its field.
QString misfit(const Value &given, int field)
{
    return QStringLiteral("\"%1\" does not fit the field %2.")
        .arg(given.text(), QString::fromLatin1(FieldNames[field]));
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

// A value as SQLite keeps it in its column: in a column of numeric affinity (all but the
// texts, which only texts reach) a real that is a whole number as an integer.
void store(double d, SqlitePages::Record &record)
{
    constexpr double Bound = 9223372036854775808.0; // 2 to the 63rd
    if (d > -Bound && d < Bound && double(qint64(d)) == d)
        return record.integer(qint64(d));
    record.real(d);
}

void store(const Stored &value, SqlitePages::Record &record)
{
    if (const auto *d = std::get_if<double>(&value))
        return store(*d, record);
    if (const auto *n = std::get_if<qint64>(&value))
        return record.integer(*n);
    if (const auto *t = std::get_if<QString>(&value))
        return record.text(t->toUtf8());
    record.null();
}

// The file's tables as SQLite is told to make them, and as a written file's schema holds them.
QList<SqlitePages::Table> tables()
{
    QStringList fields;
    for (int f = 0; f < FieldCount; ++f)
        fields << QStringLiteral("\"%1\" %2").arg(FieldNames[f], declaredType(kindOf(f)));
    return { { "CHGLOG", "CREATE TABLE CHGLOG (" + fields.join(u", ").toUtf8() + ')' },
             { "Title",
               "CREATE TABLE Title (\"Title\" TEXT(" + QByteArray::number(TitleSize) + "))" } };
}

} // namespace

int createTables(sqlite3 *db)
{
    QByteArray sql = "PRAGMA user_version = " + QByteArray::number(FormatVersion);
    for (const SqlitePages::Table &t : tables())
        sql += "; " + t.sql;
    return sqlite3_exec(db, sql.constData(), nullptr, nullptr, nullptr);
}

Statement prepareRowInsert(sqlite3 *db)
{
    QByteArray sql("INSERT INTO CHGLOG VALUES (?");
    for (int f = 1; f < FieldCount; ++f)
        sql += ",?";
    return prepared(db, sql + ')');
}

bool fits(int field, const QString &text)
{
    return toField(field, text).has_value();
}

QString insertRow(sqlite3_stmt *q, const std::function<QString(int field)> &text)
{
    for (int f = 0; f < FieldCount; ++f) {
        const Value given(text(f));
        const auto v = toField(f, given);
        if (!v)
            return misfit(given, f);
        if (bindStored(q, f + 1, *v) != SQLITE_OK)
            return sqliteReason(sqlite3_db_handle(q));
    }
    return stepped(q);
}

QString write(const QString &path, const QString &title, qint64 rowCount, const RowTexts &cell)
{
    return writeValues(path, title, rowCount,
                       [&](qint64 row, int field) { return Value(cell(row, field)); });
}

// A save that was killed leaves its temporary file behind. Those a minute old are no other
// save's that is still writing.
void removeLeftovers(const QDir &folder)
{
    const QString temporary = QStringLiteral(".*.mdb.") + QStringLiteral("[A-Za-z0-9]").repeated(6);
    const QDateTime old = QDateTime::currentDateTimeUtc().addSecs(-60);
    for (const QFileInfo &file :
         folder.entryInfoList({ temporary }, QDir::Files | QDir::Hidden | QDir::NoSymLinks))
        if (file.lastModified() < old)
            QFile::remove(file.absoluteFilePath());
}

namespace {

// Stores a value given for a field into `record`: "" when stored, otherwise why it does not fit.
QString storeValue(int field, const Value &given, SqlitePages::Record &record)
{
    const auto v = toField(field, given);
    if (!v)
        return misfit(given, field);
    store(*v, record);
    return {};
}

// Syncs a written temporary file and gives it the name `to`: "" when done, otherwise why not.
QString commit(QTemporaryFile &temp, const QByteArray &to)
{
    if (::fdatasync(temp.handle()) != 0)
        return QStringLiteral("The disk failed to store the file (%1).")
            .arg(QString::fromLocal8Bit(std::strerror(errno)));
    // A new run takes its name in one step, from the file as it is open (without a name of its
    // own where the file system allows); rename() replaces an old file in one step: it is either
    // the old or the new run.
    const QByteArray open = "/proc/self/fd/" + QByteArray::number(temp.handle());
    if (::linkat(AT_FDCWD, open.constData(), AT_FDCWD, to.constData(), AT_SYMLINK_FOLLOW) == 0)
        return {}; // a temporary name, where the file has one, goes with `temp`
    if (std::rename(QFile::encodeName(temp.fileName()).constData(), to.constData()) != 0)
        return QStringLiteral("The file cannot be replaced.");
    temp.setAutoRemove(false);
    return {};
}

// Writes a run file whose rows `row` puts into a record each, to be committed.
Written writeRows(const QString &path, const QString &title, qint64 rowCount,
                  const WriteOptions &options,
                  const std::function<QString(qint64 row, SqlitePages::Record &)> &row)
{
    const auto failed = [](const QString &why) { return Written { why, {} }; };
    const QFileInfo target(path);
    if (target.isDir())
        return failed(QStringLiteral("It is a folder."));
    if (title.size() > TitleSize)
        return failed(
            QStringLiteral("The description is longer than %1 characters.").arg(TitleSize));
    if (options.tidy)
        removeLeftovers(target.absoluteDir());
    // The clean-up knows a save's files by ".mdb." before their last six characters.
    QString name = target.fileName();
    if (!name.endsWith(QLatin1String(".mdb")))
        name += QStringLiteral(".mdb");
    const auto temp = std::make_shared<QTemporaryFile>(target.absolutePath() + QStringLiteral("/.")
                                                       + name + QStringLiteral(".XXXXXX"));
    if (!temp->open())
        return failed(QStringLiteral("The folder %1 cannot be written: %2")
                          .arg(target.absolutePath(), temp->errorString()));
    // A temporary file is private; a run file is as readable as any other file the user saves.
    temp->setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup
                         | QFileDevice::ReadOther);
    const auto unwritten = [&temp, &failed] {
        return failed(
            QStringLiteral("The disk failed to store the file (%1).").arg(temp->errorString()));
    };
    // A failed save throws the whole file away and the rename makes a save whole: the file is
    // written as it ends up, with no journal, and synced once before it takes the run's name.
    SqlitePages pages(*temp, tables(), FormatVersion);
    SqlitePages::Record record;
    for (qint64 r = 0; r < rowCount; ++r) {
        record.clear();
        if (const QString failure = row(r, record); !failure.isEmpty())
            return failed(QStringLiteral("Sample %1: %2").arg(r + 1).arg(failure));
        if (!pages.append(0, record))
            return unwritten();
    }
    record.clear();
    // A title that is no text at all is kept as Null, as a field's empty text is.
    store(title.isNull() ? Stored() : Stored(title), record);
    if (!pages.append(1, record) || !pages.finish() || !temp->flush()
        || (options.modified.isValid()
            && !temp->setFileTime(options.modified, QFileDevice::FileModificationTime)))
        return unwritten();
    return { {}, [temp, to = QFile::encodeName(target.absoluteFilePath())] {
                return commit(*temp, to);
            } };
}

// Writes and commits at once: "" when written, otherwise why not.
QString written(const Written &w)
{
    return w.commit ? w.commit() : w.failure;
}

} // namespace

QString writeValues(const QString &path, const QString &title, qint64 rowCount,
                    const RowValues &cell)
{
    return written(writeRows(path, title, rowCount, {}, [&](qint64 r, SqlitePages::Record &record) {
        QString failure;
        for (int f = 0; f < FieldCount && failure.isEmpty(); ++f)
            failure = storeValue(f, cell(r, f), record);
        return failure;
    }));
}

QString write(const QString &path, const QString &title, const Samples &rows,
              const WriteOptions &options)
{
    return written(writeUncommitted(path, title, rows, options));
}

Written writeUncommitted(const QString &path, const QString &title, const Samples &rows,
                         const WriteOptions &options)
{
    std::vector<QByteArray> utf8; // by text index, made once
    std::array<Kind, FieldCount> kinds;
    for (int f = 0; f < FieldCount; ++f)
        kinds[std::size_t(f)] = kindOf(f);
    return writeRows(
        path, title, rows.count(), options, [&](qint64 r, SqlitePages::Record &record) {
            if (options.done)
                options.done->store(r, std::memory_order_relaxed);
            // Unrolled, each field has branches of its own, which a column's steady kind keeps
            // guessed right.
#pragma GCC unroll 32
            for (int f = 0; f < FieldCount; ++f) {
                // What a charger sends, straight from how it is kept; the rest as a value.
                const auto [kind, data] = rows.kept(r, f);
                const Kind field = kinds[std::size_t(f)];
                switch (kind) {
                case Samples::Empty:
                    record.null();
                    continue;
                case Samples::Hundredths:
                    if (field != Kind::Currency)
                        break;
                    data % 100 == 0 ? record.integer(data / 100) : record.real(data / 100.0);
                    continue;
                case Samples::Thousandths: // never whole: that is kept in hundredths
                    if (field != Kind::Currency)
                        break;
                    record.real(data / 1000.0);
                    continue;
                case Samples::BigDecimal: {
                    const qint64 raw = rows.bigAt(data);
                    const double d = Fixed::fromRaw(raw).toDouble();
                    if (field != Kind::Currency || std::abs(d) > MaxCurrency)
                        break;
                    // Below 10 to the 16th, a quotient with a fraction keeps one: a real.
                    raw % 10'000 != 0 && std::abs(raw) < 10'000'000'000'000'000 ? record.real(d)
                                                                                : store(d, record);
                    continue;
                }
                case Samples::Whole:
                    if (field != Kind::Currency && (field != Kind::Integer || data != qint16(data)))
                        break;
                    record.integer(data);
                    continue;
                case Samples::Time:
                    if (int seconds = 0; field == Kind::Time && rows.secondsOfDay(r, f, seconds)) {
                        // A time of day is a whole number of days only at midnight.
                        seconds == 0 ? record.integer(0) : record.real(seconds / 86400.0);
                        continue;
                    }
                    break;
                case Samples::Text: {
                    if (field != Kind::Text || rows.textAt(data).size() > TextFieldSize)
                        break;
                    if (std::size_t(data) >= utf8.size())
                        utf8.resize(std::size_t(data) + 1);
                    QByteArray &text = utf8[std::size_t(data)];
                    if (text.isNull())
                        text = rows.textAt(data).toUtf8();
                    text.isEmpty() ? record.null() : record.text(text);
                    continue;
                }
                default:
                    break;
                }
                if (const QString failure = storeValue(f, rows.value(r, f), record);
                    !failure.isEmpty())
                    return failure;
            }
            return QString();
        });
}

namespace {
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
