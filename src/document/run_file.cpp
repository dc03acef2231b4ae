#include "document/run_file.h"

#include <QFileInfo>
#include <QSqlError>
#include <QSqlRecord>
#include <QTemporaryFile>
#include <QTime>
#include <QUuid>
#include <QVariant>
#include <cstdio>
#include <limits>

namespace RunFile {
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

// SQLite keeps whatever it is given; the field sizes and ranges are enforced here.
std::optional<QVariant> toField(int field, const QString &text)
{
    if (text.isEmpty()) // an idle sample has no current: kept as Null, read back as empty
        return QVariant();
    switch (kindOf(field)) {
    case Kind::Time: {
        const QTime t = QTime::fromString(text, QStringLiteral("hh:mm:ss"));
        if (!t.isValid())
            return std::nullopt;
        const int seconds = t.msecsSinceStartOfDay() / 1000;
        return QVariant(seconds / 86400.0);
    }
    case Kind::Text:
        if (text.size() > TextFieldSize)
            return std::nullopt;
        return QVariant(text);
    case Kind::Integer: {
        const auto n = Fixed::parse(text);
        if (!n || n->raw() % 10000 != 0)
            return std::nullopt;
        const qint64 w = n->raw() / 10000;
        if (w < std::numeric_limits<qint16>::min() || w > std::numeric_limits<qint16>::max())
            return std::nullopt;
        return QVariant(w);
    }
    case Kind::Currency: {
        const auto n = Fixed::parse(text);
        if (!n)
            return std::nullopt;
        return QVariant(n->toDouble());
    }
    }
    return std::nullopt;
}

// A connection of its own per use, removed when done.
class Connection {
public:
    explicit Connection(const QString &path, bool readOnly) : name_(QUuid::createUuid().toString())
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name_);
        db.setDatabaseName(path);
        if (readOnly)
            db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
    }
    ~Connection() { QSqlDatabase::removeDatabase(name_); }
    QSqlDatabase db() const { return QSqlDatabase::database(name_, false); }
    const QString &name() const { return name_; }

private:
    QString name_;
};

QString sqlError(const QSqlError &e)
{
    return e.text().trimmed();
}

QString writeInto(QSqlDatabase &db, const QString &title, qint64 rowCount, const RowTexts &cell)
{
    if (!db.open())
        return sqlError(db.lastError());
    QString failure = createTables(db);
    if (!failure.isEmpty())
        return failure;
    if (!db.transaction())
        return sqlError(db.lastError());
    QSqlQuery q(db);
    if (!prepareRowInsert(q))
        return sqlError(q.lastError());
    for (qint64 r = 0; r < rowCount; ++r) {
        failure = insertRow(q, [&](int field) { return cell(r, field); });
        if (!failure.isEmpty())
            return QStringLiteral("Sample %1: %2").arg(r + 1).arg(failure);
    }
    if (title.size() > TitleSize)
        return QStringLiteral("The description is longer than %1 characters.").arg(TitleSize);
    if (!q.prepare(QStringLiteral("INSERT INTO Title VALUES (?)")))
        return sqlError(q.lastError());
    q.bindValue(0, title);
    if (!q.exec())
        return sqlError(q.lastError());
    if (!db.commit())
        return sqlError(db.lastError());
    return {};
}

} // namespace

QString createTables(QSqlDatabase &db)
{
    QSqlQuery q(db);
    QStringList fields;
    for (int f = 0; f < FieldCount; ++f)
        fields << QStringLiteral("\"%1\" %2").arg(FieldNames[f], declaredType(kindOf(f)));
    if (!q.exec(QStringLiteral("PRAGMA user_version = %1").arg(FormatVersion))
        || !q.exec(QStringLiteral("CREATE TABLE CHGLOG (%1)").arg(fields.join(u", ")))
        || !q.exec(QStringLiteral("CREATE TABLE Title (\"Title\" TEXT(%1))").arg(TitleSize)))
        return sqlError(q.lastError());
    return {};
}

bool prepareRowInsert(QSqlQuery &q)
{
    QStringList marks;
    for (int f = 0; f < FieldCount; ++f)
        marks << QStringLiteral("?");
    return q.prepare(QStringLiteral("INSERT INTO CHGLOG VALUES (%1)").arg(marks.join(u',')));
}

QString insertRow(QSqlQuery &q, const std::function<QString(int field)> &text)
{
    for (int f = 0; f < FieldCount; ++f) {
        const QString t = text(f);
        const auto v = toField(f, t);
        if (!v)
            return QStringLiteral("\"%1\" does not fit the field %2.")
                .arg(t, QString::fromLatin1(FieldNames[f]));
        q.bindValue(f, *v);
    }
    return q.exec() ? QString() : sqlError(q.lastError());
}

QString write(const QString &path, const QString &title, qint64 rowCount, const RowTexts &cell)
{
    const QFileInfo target(path);
    if (target.isDir())
        return QStringLiteral("It is a folder.");
    QTemporaryFile temp(target.absolutePath() + QStringLiteral("/.") + target.fileName()
                        + QStringLiteral(".XXXXXX"));
    if (!temp.open())
        return QStringLiteral("The folder %1 cannot be written: %2")
            .arg(target.absolutePath(), temp.errorString());
    // A temporary file is private; a run file is as readable as any other file the user saves.
    temp.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup
                        | QFileDevice::ReadOther);
    temp.close();
    QString error;
    {
        Connection c(temp.fileName(), false);
        QSqlDatabase db = c.db();
        error = writeInto(db, title, rowCount, cell);
        db.close();
    }
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

Reader::Reader() : connection_(QUuid::createUuid().toString()) { }

Reader::~Reader()
{
    titles_.reset();
    rows_.reset();
    db_ = QSqlDatabase();
    QSqlDatabase::removeDatabase(connection_);
}

bool Reader::fail(const QString &reason)
{
    error_ = reason;
    titles_.reset();
    rows_.reset();
    return false;
}

bool Reader::open(const QString &path)
{
    db_ = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection_);
    db_.setDatabaseName(path);
    db_.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
    if (!db_.open())
        return fail(sqlError(db_.lastError()));
    return true;
}

bool Reader::openTitle()
{
    titles_.emplace(db_);
    titles_->setForwardOnly(true);
    if (!titles_->exec(QStringLiteral(" select * from Title")))
        return fail(sqlError(titles_->lastError()));
    return true;
}

std::optional<QString> Reader::title()
{
    if (!titles_ && !openTitle())
        return std::nullopt;
    const bool found = titles_->next() && !titles_->value(0).isNull();
    const QString text = found ? titles_->value(0).toString() : QString();
    titles_.reset();
    if (!found) {
        fail(QStringLiteral("The file has no title."));
        return std::nullopt;
    }
    return text;
}

qint64 Reader::rowCount()
{
    QSqlQuery q(db_);
    if (!q.exec(QStringLiteral("select count(*) from chglog")) || !q.next())
        return -1;
    return q.value(0).toLongLong();
}

bool Reader::next(ChannelReading &row)
{
    if (!rows_) {
        if (!error_.isEmpty())
            return false;
        rows_.emplace(db_);
        rows_->setForwardOnly(true);
        if (!rows_->exec(QStringLiteral(" select * from chglog")))
            return fail(sqlError(rows_->lastError()));
        if (rows_->record().count() < FieldCount)
            return fail(
                QStringLiteral("The sample table has fewer than %1 fields.").arg(FieldCount));
    }
    if (!rows_->next()) {
        if (rows_->lastError().isValid())
            return fail(sqlError(rows_->lastError()));
        return false;
    }
    for (int f = 0; f < FieldCount; ++f) {
        const QVariant v = rows_->value(f);
        if (v.isNull()) {
            row[f] = Value();
            continue;
        }
        const Kind kind = kindOf(f);
        if (kind == Kind::Text) {
            row[f] = Value(v.toString());
            continue;
        }
        const int type = v.metaType().id();
        if (type != QMetaType::Double && type != QMetaType::LongLong && type != QMetaType::Int)
            return fail(QStringLiteral("The field %1 holds no number.")
                            .arg(QString::fromLatin1(FieldNames[f])));
        const Fixed n = Fixed::fromDouble(v.toDouble());
        if (kind == Kind::Time)
            row[f] = Value(DayTime { v.toDouble() });
        else if (kind == Kind::Integer || (f == Field::Cap && n.raw() % 10000 == 0))
            row[f] = Value(n.roundedHalfEven()); // a live capacity is a whole number
        else
            row[f] = Value(n);
    }
    return true;
}

} // namespace RunFile
