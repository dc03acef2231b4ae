#include "platform/core/notifier.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QVariantMap>

namespace {
// A service that does not answer within this long is taken for none.
constexpr int ReplyTimeoutMs = 5000;
} // namespace

DBusNotifier::DBusNotifier(const QString &appName, const QString &icon, QObject *parent)
    : Notifier(parent), appName_(appName), icon_(icon)
{
}

void DBusNotifier::notify(const QString &title, const QString &text)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        emit undelivered(text, QStringLiteral("no session bus"));
        return;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.Notifications"),
        QStringLiteral("/org/freedesktop/Notifications"),
        QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("Notify"));
    const QVariantMap hints { { QStringLiteral("sound-name"), QStringLiteral("complete") },
                              { QStringLiteral("desktop-entry"), icon_ } };
    // No replaced notice, no actions, the server's own timeout.
    call << appName_ << 0u << icon_ << title << text << QStringList() << hints << -1;
    auto *watcher = new QDBusPendingCallWatcher(bus.asyncCall(call, ReplyTimeoutMs), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, text](QDBusPendingCallWatcher *reply) {
                reply->deleteLater();
                if (reply->isError())
                    emit undelivered(text, reply->error().message());
            });
}
