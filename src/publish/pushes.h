#pragma once

#include <QObject>
#include <QUrl>

class Clock;
class HttpOutbox;
class RunNotices;
class Settings;
struct Notice;

// Where the notices are pushed: an ntfy topic ("SERVER/TOPIC", https when no scheme is given)
// with an access token from a file, and a webhook that takes each notice's JSON.
struct PushTargets {
    QUrl ntfy, webhook; // empty: none
    QString ntfyTokenFile; // "" none; its first line

    // "" or why `address` cannot be an ntfy topic's (one with a topic) or a webhook's.
    static QString parse(const QString &address, bool topic, QUrl &url);
    // The desktop program's: the settings' Push/ keys; "" or what of them cannot be used.
    static PushTargets fromSettings(const Settings &settings, QString &failure);
};

// The notices on the user's phone through ntfy, and wherever a webhook leads, each through an
// outbox on the event loop: the sample path never waits for a server, one that is away costs a
// bounded queue, tried again, and its failure is said once.
class Pushes final : public QObject {
    Q_OBJECT
public:
    Pushes(const Clock &clock, const PushTargets &to, QObject *parent = nullptr);
    void follow(const RunNotices &notices);

signals:
    // A line for the status line or standard error: a server failing or back, a token unread.
    void message(const QString &text);

private:
    void push(const Notice &notice);

    const Clock &clock_;
    PushTargets to_;
    QByteArray token_;
    HttpOutbox *ntfy_ = nullptr, *webhook_ = nullptr;
};
