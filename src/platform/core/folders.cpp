#include "platform/core/folders.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace {
bool isUnder(const QString &dir, const QString &root)
{
    const QString r = QDir::cleanPath(root);
    const QString d = QDir::cleanPath(dir);
    return !root.isEmpty() && (d == r || d.startsWith(r == u'/' ? r : r + u'/'));
}

ProgramPlace thisProgram()
{
    const QString exeDir = QCoreApplication::applicationDirPath();
    return { exeDir, QFileInfo(exeDir).isWritable(), QStringLiteral(CHARGEMON_INSTALL_PREFIX),
             QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation) };
}
} // namespace

bool isInstalled(const ProgramPlace &place)
{
    return !place.writable || isUnder(place.exeDir, place.installPrefix)
        || isUnder(place.exeDir, QStringLiteral("/usr"));
}

QString saveFolderAt(const ProgramPlace &place)
{
    return isInstalled(place) ? QDir(place.documents).filePath(QStringLiteral("chargemon"))
                              : QDir(place.exeDir).filePath(QStringLiteral("save"));
}

QString programFolder()
{
    static const QString folder = [] {
        const ProgramPlace place = thisProgram();
        if (!isInstalled(place))
            return place.exeDir;
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
    static const QString folder = saveFolderAt(thisProgram());
    return folder;
}

QString bookFile()
{
    const QString data = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    QDir().mkpath(data);
    return QDir(data).filePath(QStringLiteral("book.db"));
}

QString configFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
}
