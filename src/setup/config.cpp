#include "setup/config.h"

#include "platform/core/folders.h"
#include "platform/core/whole_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

namespace {

int sextet(const QByteArray &in, qsizetype i)
{
    if (i >= in.size())
        return 0;
    const char c = in[i];
    if (c >= 'A' && c <= 'Z')
        return c - 'A';
    if (c >= 'a' && c <= 'z')
        return c - 'a' + 26;
    if (c >= '0' && c <= '9')
        return c - '0' + 52;
    if (c == '+')
        return 62;
    return 63; // "/" and everything outside the alphabet, "=" included
}

QString unreadable(const QString &reason)
{
    return QStringLiteral("Cannot read the interface texts (%1); using the defaults.").arg(reason);
}

// Runs "select * from <table>" and moves to its first row; notes why when it cannot.
bool firstRow(QSqlQuery &query, const QString &table, InterfaceTextStore &store)
{
    if (!query.exec(QStringLiteral("select * from ") + table) || !query.first()) {
        const QString reason
            = query.lastError().isValid() ? query.lastError().text() : QStringLiteral("no row");
        store.noteProblem(unreadable(table + QStringLiteral(": ") + reason));
        return false;
    }
    return true;
}

QVariant field(const QSqlQuery &query, const char *name)
{
    return query.value(QLatin1String(name));
}

QString text(const QSqlQuery &query, const char *name)
{
    return Base64Decode(field(query, name).toString());
}

} // namespace

QString Base64Decode(const QString &text)
{
    const QByteArray in = text.toUtf8();
    const qsizetype padding = in.indexOf('=');
    const qsizetype significant = padding < 0 ? in.size() : padding;
    if (significant < 2)
        return {};
    const qsizetype length = significant - 1 - (significant - 1) / 4;
    QByteArray out;
    out.reserve(length + 2);
    for (qsizetype i = 0; out.size() < length; i += 4) {
        quint32 group = 0;
        for (int k = 0; k < 4; ++k)
            group = group << 6 | sextet(in, i + k);
        out.append(char(group >> 16));
        out.append(char(group >> 8));
        out.append(char(group));
    }
    out.truncate(length);
    return QString::fromUtf8(out);
}

InterfaceTextStore::InterfaceTextStore(const QString &storePath)
    : InterfaceTextStore(storePath, ::programFolder())
{
}

InterfaceTextStore::InterfaceTextStore(const QString &storePath, const QString &programFolder)
    : storePath_(storePath), programFolder_(programFolder)
{
}

QString InterfaceTextStore::takeProblem()
{
    if (problem_.isEmpty())
        return {};
    problemTaken_ = true;
    return std::exchange(problem_, QString());
}

void InterfaceTextStore::noteProblem(const QString &problem)
{
    if (problem_.isEmpty() && !problemTaken_)
        problem_ = problem;
}

QString InterfaceTextStore::databaseFile()
{
    // SQLite cannot read a resource, so the carried store is copied once into the private folder.
    if (storePath_.startsWith(u':')) {
        if (extractedStore_.isEmpty()) {
            QFile resource(storePath_);
            if (!resource.open(QIODevice::ReadOnly)) {
                noteProblem(unreadable(resource.errorString()));
                return {};
            }
            extractedStore_ = writePrivateFile(QStringLiteral("interface.db"), resource.readAll());
        }
        return extractedStore_;
    }
    if (!QFileInfo(storePath_).isFile()) {
        noteProblem(
            unreadable(QDir::toNativeSeparators(storePath_) + QStringLiteral(" is missing")));
        return {};
    }
    return storePath_;
}

bool InterfaceTextStore::writeFile(const QString &path, const QByteArray &bytes)
{
    const auto known = written_.constFind(path);
    if (known != written_.cend() && *known == bytes && QFileInfo::exists(path))
        return true;
    QString reason = QStringLiteral("its folder cannot be made");
    if (QDir().mkpath(QFileInfo(path).absolutePath())) {
        reason = saveWhole(path, bytes);
        if (reason.isEmpty()) {
            written_.insert(path, bytes);
            return true;
        }
    }
    noteProblem(QStringLiteral("Cannot write %1: %2").arg(QDir::toNativeSeparators(path), reason));
    return false;
}

QString InterfaceTextStore::writePrivateFile(const QString &name, const QByteArray &bytes)
{
    const QString folder = privateFolder();
    if (folder.isEmpty())
        return {};
    const QString path = QDir(folder).filePath(name);
    return writeFile(path, bytes) ? path : QString();
}

QString InterfaceTextStore::privateFolder()
{
    if (!private_) {
        private_.emplace();
        if (!private_->isValid())
            noteProblem(QStringLiteral("Cannot create a private temporary folder: %1")
                            .arg(private_->errorString()));
    }
    return private_->isValid() ? private_->path() : QString();
}

Config::Config(InterfaceTextStore &store)
{
    const QString file = store.databaseFile();
    if (!file.isEmpty())
        load(store, file);
}

void Config::load(InterfaceTextStore &store, const QString &databaseFile)
{
    const QString connection = QStringLiteral("chargemon-config");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
        db.setDatabaseName(databaseFile);
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
        if (db.open()) {
            readInterface(store, db);
            readPages(store, db);
            readMenu(store, db);
        } else {
            store.noteProblem(unreadable(db.lastError().text()));
        }
    }
    QSqlDatabase::removeDatabase(connection);
}

void Config::readInterface(InterfaceTextStore &store, const QSqlDatabase &db)
{
    QSqlQuery query(db);
    if (!firstRow(query, QStringLiteral("interface"), store))
        return;
    caption_ = text(query, "Caption");
    aboutCHT_ = text(query, "AboutCHT");
    aboutEN_ = text(query, "AboutEN");
    adWidth_ = text(query, "Adwidth").trimmed().toInt();
    const auto image = [&](const char *name) {
        const QVariant bytes = field(query, name);
        return bytes.isNull() ? QString()
                              : store.writePrivateFile(QLatin1String(name), bytes.toByteArray());
    };
    aboutImg_ = image("aboutimg");
    splash_ = image("Splash");
}

const QString &Config::About(const char *column) const
{
    return qstrcmp(column, "AboutCHT") == 0 ? aboutCHT_ : aboutEN_;
}

void Config::readPages(InterfaceTextStore &store, const QSqlDatabase &db)
{
    QSqlQuery query(db);
    if (!firstRow(query, QStringLiteral("AD_manul"), store))
        return;
    const QDir html(QDir(store.programFolder()).filePath(QStringLiteral("html")));
    for (const auto &[name, file] :
         { std::pair("AD_img", "image/img.jpg"), std::pair("Guid_img", "image/001.jpg") }) {
        const QVariant bytes = field(query, name);
        if (!bytes.isNull())
            store.writeFile(html.filePath(QLatin1String(file)), bytes.toByteArray());
    }
    // A page that cannot be written is not named, so its window shows nothing stale or missing.
    const auto page = [&](const char *name, const char *file) {
        const QString path = html.filePath(QLatin1String(file));
        const QVariant content = field(query, name);
        if (content.isNull() || store.writeFile(path, content.toString().trimmed().toUtf8()))
            return path;
        return QString();
    };
    adHtmlFileName_ = page("AD_Html", "ad.htm");
    guidHtmlFileName_ = page("Guid_Html", "Manual.htm");
}

void Config::readMenu(InterfaceTextStore &store, const QSqlDatabase &db)
{
    QSqlQuery query(db);
    if (!firstRow(query, QStringLiteral("Menu"), store))
        return;
    for (const auto &[name, flag] : menuFlagFields) {
        const QVariant value = field(query, name);
        if (!value.isNull())
            flags_.*flag = value.toBool();
    }
}
