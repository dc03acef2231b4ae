#pragma once

#include <QObject>
#include <QString>

class QDBusPendingCallWatcher;

// Tells the user something outside the program's windows, where they look even when chargemon
// is out of sight: a desktop notification. A text that reaches nobody comes back by
// undelivered(), for the program to show it as it can.
class Notifier : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    // `title` says whose news it is (a station and channel), `text` the news itself.
    virtual void notify(const QString &title, const QString &text) = 0;

signals:
    void undelivered(const QString &text, const QString &reason);
};

// The desktop's notification service (org.freedesktop.Notifications) on the session bus, with
// the program's icon and the "complete" sound. Asked without waiting, so that the serial line
// is served meanwhile.
class DBusNotifier final : public Notifier {
    Q_OBJECT
public:
    // `appName` names the sender; `icon` is an icon name of the theme or a file path.
    DBusNotifier(const QString &appName, const QString &icon, QObject *parent = nullptr);
    void notify(const QString &title, const QString &text) override;

private:
    QString appName_, icon_;
};
