#pragma once

#include "document/feature.h"

#include <QHash>
#include <QObject>

class Clock;
class CommandBar;
class Dialogs;
class MqttWatcher;

// The "Watch" command of one main window: a watcher per broker, each run it announces in a
// chart window of its own.
class StationWatch final : public QObject {
    Q_OBJECT
public:
    StationWatch(FeatureHost &host, QObject *parent);

    void watchStation();

private:
    void chooseStation(MqttWatcher *watcher);
    void State_add(const QString &str1) { host_.State_add(str1); }
    void ShowReading(const ChannelReading &reading) { host_.ShowReading(reading); }
    IMDIDocument *newDocument() { return host_.newDocument(); }

    FeatureHost &host_;
    Dialogs &dialogs_;
    Settings &settings_;
    const Clock &clock_;
    CommandBar *menu_;
    ViewState &view_;
    QPointer<const Run> &watched_; // the watched station's run the panel follows
    QHash<QString, MqttWatcher *> watchers_; // by "host:port"
    QMetaObject::Connection stationsAwaited_; // the choice waiting for the broker's list
};
