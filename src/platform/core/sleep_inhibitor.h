#pragma once

#include <QObject>
#include <QString>

class QDBusPendingCallWatcher;

// Keeps the computer from sleeping on idle while a run is recorded. Each platform asks its
// own power manager; where none answers, refused() says why and recording simply goes on.
class SleepInhibitor : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    // Asks for no idle sleep until release(); the answer may come later.
    virtual void take() = 0;
    virtual void release() = 0;

signals:
    void refused(const QString &reason);
};

// Linux: a "sleep:idle" block lock of logind on the system bus, held as a file descriptor
// that logind watches; closing it (or the process ending) releases the lock.
class LogindSleepInhibitor final : public SleepInhibitor {
    Q_OBJECT
public:
    using SleepInhibitor::SleepInhibitor;
    ~LogindSleepInhibitor() override;
    void take() override;
    void release() override;

private:
    void onReply(QDBusPendingCallWatcher *call);

    int fd_ = -1;
    bool wanted_ = false;
    bool asking_ = false;
};
