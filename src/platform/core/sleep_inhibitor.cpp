#include "platform/core/sleep_inhibitor.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusUnixFileDescriptor>

#include <unistd.h>

LogindSleepInhibitor::~LogindSleepInhibitor()
{
    release();
}

void LogindSleepInhibitor::take()
{
    wanted_ = true;
    if (fd_ >= 0 || asking_)
        return;
    QDBusConnection bus = QDBusConnection::systemBus();
    if (!bus.isConnected()) {
        emit refused(QStringLiteral("no system bus"));
        return;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.login1"), QStringLiteral("/org/freedesktop/login1"),
        QStringLiteral("org.freedesktop.login1.Manager"), QStringLiteral("Inhibit"));
    call << QStringLiteral("sleep:idle") << QStringLiteral("chargemon")
         << QStringLiteral("Recording a charger run") << QStringLiteral("block");
    // Asked without waiting: the answer must not hold up the samples arriving meanwhile.
    asking_ = true;
    auto *watcher = new QDBusPendingCallWatcher(bus.asyncCall(call, 5000), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, &LogindSleepInhibitor::onReply);
}

void LogindSleepInhibitor::onReply(QDBusPendingCallWatcher *call)
{
    call->deleteLater();
    asking_ = false;
    const QDBusPendingReply<QDBusUnixFileDescriptor> reply = *call;
    if (reply.isError()) {
        emit refused(reply.error().message());
        return;
    }
    // dup: the reply's descriptor closes with the reply.
    fd_ = ::dup(reply.value().fileDescriptor());
    if (!wanted_) // released while the question was on its way
        release();
}

void LogindSleepInhibitor::release()
{
    wanted_ = false;
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
}
