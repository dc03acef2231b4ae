#pragma once

#include <QFile>
#include <QTest>
#include <csignal>
#include <functional>
#include <sys/resource.h>

// Writes `bytes` as the whole of `path`, failing the test when it cannot.
inline void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size(),
             qPrintable(path));
}

// The whole of `path`; nothing when it cannot be read.
inline QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// What `write` says when files may grow no larger than `bytes`, as on a disk that fills.
inline QString diskFullAt(rlim_t bytes, const std::function<QString()> &write)
{
    rlimit limit {};
    getrlimit(RLIMIT_FSIZE, &limit);
    const rlimit before = limit;
    limit.rlim_cur = bytes; // a file grows past this with an error, not a signal
    std::signal(SIGXFSZ, SIG_IGN);
    setrlimit(RLIMIT_FSIZE, &limit);
    const QString said = write();
    setrlimit(RLIMIT_FSIZE, &before);
    return said;
}
