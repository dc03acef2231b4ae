#include "platform/core/private_folder.h"

#include <QDir>

#include <unistd.h>

namespace {
const QString Prefix = QStringLiteral("chargemon-");
const QString LockName = QStringLiteral(".lock");

// Removes the folders that earlier starts left behind, then gives the pattern of a new one.
QString afterRemovingAbandoned()
{
    const QFileInfoList found = QDir(QDir::tempPath())
                                    .entryInfoList({ Prefix + QStringLiteral("??????") },
                                                   QDir::Dirs | QDir::NoSymLinks | QDir::Hidden);
    for (const QFileInfo &folder : found) {
        if (folder.ownerId() != ::geteuid())
            continue;
        QDir dir(folder.filePath());
        // A folder without a lock is one still being made, or not one of ours.
        if (!dir.exists(LockName))
            continue;
        QLockFile lock(dir.filePath(LockName));
        lock.setStaleLockTime(0); // only a program that has gone leaves its lock
        if (lock.tryLock(0)) {
            lock.unlock(); // a lock kept would be released after its file has gone, and warn
            dir.removeRecursively();
        }
    }
    return QDir(QDir::tempPath()).filePath(Prefix + QStringLiteral("XXXXXX"));
}
} // namespace

PrivateFolder::PrivateFolder() : dir_(afterRemovingAbandoned())
{
    if (dir_.isValid())
        lock_.emplace(QDir(dir_.path()).filePath(LockName)).lock();
}
