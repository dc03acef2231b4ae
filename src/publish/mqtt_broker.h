#pragma once

#include <QObject>
#include <QString>

#include <optional>

class Clock;
class Settings;
struct mosquitto;

// Where a broker is and how to log in, and a client of it that keeps its own network thread and
// tries again every second whenever the broker is away.
struct MqttBroker {
    QString host; // "" none
    int port = 1883;
    QString user, passwordFile, caFile;
    QString station; // what a publisher publishes as
    bool haDiscovery = false;

    // "HOST[:PORT]"; false when the port is not one.
    bool setBroker(const QString &broker);
    // `name`, or the host name for "", as the station; "" or why it cannot be one of the
    // topics' levels.
    QString setStation(const QString &name);
    // The desktop program's: the settings' Mqtt/ keys.
    static MqttBroker fromSettings(const Settings &settings);

    // A client with the login, TLS and pauses between attempts, `self` handed to its
    // callbacks; none without memory. `failure` tells what of the login cannot be used.
    mosquitto *newClient(void *self, QString &failure) const;
    // Starts the client's thread, which connects; "" or why the first attempt failed.
    QString start(mosquitto *client) const;
    // Why a client that was connected is no longer, from its disconnection's code; on the
    // client's thread, which holds its errno.
    static QString lost(int rc);
};

// What the user of a client hears of its broker: that it answers, or that it is away or refuses
// and why. Said at once when the client hears why, within WaitMs when it hears nothing (a
// broker that takes the connection and never answers), and once until it changes.
class MqttLink final : public QObject {
    Q_OBJECT
public:
    static constexpr qint64 WaitMs = 10'000;

    explicit MqttLink(const Clock &clock, QObject *parent = nullptr)
        : QObject(parent), clock_(clock)
    {
    }
    // Starts `client` as `broker` says; `failure`: what of the login cannot be used.
    void start(mosquitto *client, const MqttBroker &broker, const QString &failure);
    // From the client's callbacks, on any thread: the broker answered ("") or refused, or the
    // connection ended (why).
    void heard(const QString &why);

signals:
    // "" when the broker answers, otherwise why it does not.
    void changed(const QString &why);

private:
    void say(const QString &why);

    const Clock &clock_;
    std::optional<bool> saidUp_;
};
