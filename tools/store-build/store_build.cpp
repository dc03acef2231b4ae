// Packs the readable sources of the interface-text store (an .ini naming texts, pictures and
// pages) into the SQLite database that the program carries as a resource.
//   store-build <store.ini> <interface.db>

#include "setup/config.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>
#include <QVariant>
#include <cstdio>
#include <stdexcept>
#include <vector>

namespace {

// How a field's source value becomes its stored value.
enum class Kind {
    Text, // the value itself, stored as Base64
    TextFile, // a file's UTF-8 text, stored as Base64
    Bytes, // a file's bytes
    Page, // a file's text, stored as it is
};

struct Field {
    const char *name;
    Kind kind;
};

struct Table {
    const char *name;
    std::vector<Field> fields;
};

[[noreturn]] void fail(const QString &why)
{
    throw std::runtime_error(why.toStdString());
}

QByteArray fileBytes(const QDir &folder, const QString &name)
{
    QFile file(folder.filePath(name));
    if (!file.open(QIODevice::ReadOnly))
        fail(QStringLiteral("%1: %2").arg(file.fileName(), file.errorString()));
    return file.readAll();
}

const char *sqlType(Kind kind)
{
    return kind == Kind::Bytes ? "BLOB" : "TEXT";
}

// An empty source value stores Null.
QVariant stored(const Field &field, const QString &source, const QDir &folder)
{
    if (source.isEmpty())
        return QVariant(QMetaType::fromType<QString>());
    switch (field.kind) {
    case Kind::Text:
        return QString::fromLatin1(source.toUtf8().toBase64());
    case Kind::TextFile:
        return QString::fromLatin1(fileBytes(folder, source).toBase64());
    case Kind::Bytes:
        return fileBytes(folder, source);
    case Kind::Page:
        return QString::fromUtf8(fileBytes(folder, source));
    }
    return {};
}

void exec(QSqlQuery &query, const QString &sql)
{
    if (!query.exec(sql))
        fail(QStringLiteral("%1: %2").arg(sql, query.lastError().text()));
}

// Creates one table and its single row from the .ini group of the same name.
void writeTable(QSqlDatabase &db, QSettings &ini, const Table &table, const QDir &folder)
{
    ini.beginGroup(QLatin1String(table.name));
    QStringList columns;
    QStringList names;
    for (const Field &field : table.fields) {
        if (!ini.contains(QLatin1String(field.name)))
            fail(QStringLiteral("[%1] lacks %2").arg(table.name, field.name));
        columns << QStringLiteral("\"%1\" %2").arg(field.name, sqlType(field.kind));
        names << QStringLiteral("\"%1\"").arg(field.name);
    }
    if (ini.childKeys().size() != qsizetype(table.fields.size()))
        fail(QStringLiteral("[%1] has keys of no field").arg(table.name));

    QSqlQuery query(db);
    exec(query, QStringLiteral("CREATE TABLE \"%1\" (%2)").arg(table.name, columns.join(u',')));
    query.prepare(QStringLiteral("INSERT INTO \"%1\" (%2) VALUES (%3)")
                      .arg(table.name, names.join(u','),
                           QStringList(names.size(), QStringLiteral("?")).join(u',')));
    for (const Field &field : table.fields)
        query.addBindValue(stored(field, ini.value(QLatin1String(field.name)).toString(), folder));
    if (!query.exec())
        fail(QStringLiteral("%1: %2").arg(table.name, query.lastError().text()));
    ini.endGroup();
}

// The Menu table: yes/no fields, one a flag, stored as 0 or 1.
void writeMenu(QSqlDatabase &db, QSettings &ini)
{
    ini.beginGroup(QStringLiteral("Menu"));
    QStringList columns;
    QStringList values;
    for (const auto &[name, flag] : menuFlagFields) {
        const QString value = ini.value(QLatin1String(name)).toString();
        if (value != u"true" && value != u"false")
            fail(QStringLiteral("[Menu] %1 must be true or false").arg(name));
        columns << QStringLiteral("\"%1\" INTEGER NOT NULL").arg(name);
        values << (value == u"true" ? QStringLiteral("1") : QStringLiteral("0"));
    }
    if (ini.childKeys().size() != qsizetype(menuFlagFields.size()))
        fail(QStringLiteral("[Menu] has keys of no flag"));
    ini.endGroup();
    QSqlQuery query(db);
    exec(query, QStringLiteral("CREATE TABLE Menu (%1)").arg(columns.join(u',')));
    exec(query, QStringLiteral("INSERT INTO Menu VALUES (%1)").arg(values.join(u',')));
}

void build(const QString &iniPath, const QString &output)
{
    if (!QFileInfo(iniPath).isFile())
        fail(iniPath + QStringLiteral(" is missing"));
    QSettings ini(iniPath, QSettings::IniFormat);
    const QDir folder = QFileInfo(iniPath).dir();
    const std::vector<Table> tables {
        { "interface",
          { { "Caption", Kind::Text },
            { "AboutCHT", Kind::TextFile },
            { "AboutEN", Kind::TextFile },
            { "Adwidth", Kind::Text },
            { "aboutimg", Kind::Bytes },
            { "Splash", Kind::Bytes } } },
        { "AD_manul",
          { { "AD_img", Kind::Bytes },
            { "Guid_img", Kind::Bytes },
            { "AD_Html", Kind::Page },
            { "Guid_Html", Kind::Page } } },
    };

    // Built beside the output and renamed at the end, so a failed run leaves no half store.
    const QString partial = output + QStringLiteral(".part");
    QFile::remove(partial);
    QDir().mkpath(QFileInfo(output).absolutePath());
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"));
        db.setDatabaseName(partial);
        if (!db.open())
            fail(db.lastError().text());
        for (const Table &table : tables)
            writeTable(db, ini, table, folder);
        writeMenu(db, ini);
        db.close();
    }
    QSqlDatabase::removeDatabase(QLatin1String(QSqlDatabase::defaultConnection));
    QFile::remove(output);
    if (!QFile::rename(partial, output))
        fail(QStringLiteral("cannot rename %1 to %2").arg(partial, output));
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 3) {
        std::fprintf(stderr, "usage: store-build <store.ini> <interface.db>\n");
        return 2;
    }
    try {
        build(args[1], args[2]);
    } catch (const std::exception &e) {
        std::fprintf(stderr, "store-build: %s\n", e.what());
        return 1;
    }
    return 0;
}
