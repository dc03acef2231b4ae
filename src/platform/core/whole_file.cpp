#include "platform/core/whole_file.h"

#include <QSaveFile>

bool writeWhole(QIODevice &device, QByteArrayView bytes)
{
    for (qint64 done = 0, n = 0; done < bytes.size(); done += n)
        if ((n = device.write(bytes.data() + done, bytes.size() - done)) <= 0)
            return false;
    return true;
}

QString saveWhole(const QString &path, QByteArrayView bytes)
{
    QSaveFile file(path);
    // Unbuffered: a buffered write that the disk cuts short at the commit goes unnoticed.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return file.errorString();
    // Taken before the commit, which forgets why a write failed.
    if (!writeWhole(file, bytes))
        return file.errorString();
    return file.commit() ? QString() : file.errorString();
}
