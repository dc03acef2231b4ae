#include "platform/core/folders.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

QString programFolder()
{
    static const QString folder = [] {
        const QString exeDir = QCoreApplication::applicationDirPath();
        if (QFileInfo(exeDir).isWritable())
            return exeDir;
        const QString data = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
        QDir().mkpath(data);
        return data;
    }();
    return folder;
}

QString journalFolder()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation))
        .filePath(QStringLiteral("journal"));
}

QString saveFolder()
{
    return QDir(programFolder()).filePath(QStringLiteral("save"));
}

QString bookFile()
{
    const QString data = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    QDir().mkpath(data);
    return QDir(data).filePath(QStringLiteral("book.db"));
}
