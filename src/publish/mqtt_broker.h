#pragma once

#include <QString>

class Settings;
struct mosquitto;

// Where a broker is and how to log in, and a client of it that keeps its own network thread and
// tries again, with a growing pause, whenever the broker is away.
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
    // Why a client that was connected is no longer.
    static QString lost();
};
