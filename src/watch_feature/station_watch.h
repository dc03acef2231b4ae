#pragma once

#include "document/feature.h"

#include <QHash>
#include <QObject>

class Clock;
class Dialogs;
class MqttWatcher;

// The "Watch" and "Stop watching" commands of one main window: a watcher per broker, whose runs
// the hub announces, each in a chart window of its own.
class StationWatch final : public QObject {
    Q_OBJECT
public:
    StationWatch(FeatureHost &host, QObject *parent);

    void watchStation();
    // Asks which watched station to stop watching, and ends its runs.
    void stopWatching();

private:
    void chooseStation(MqttWatcher *watcher);
    void State_add(const QString &str1) { host_.State_add(str1); }

    FeatureHost &host_;
    Dialogs &dialogs_;
    Settings &settings_;
    const Clock &clock_;
    QHash<QString, MqttWatcher *> watchers_; // by "host:port"
    QMetaObject::Connection stationsAwaited_; // the choice waiting for the broker's list
};
