#pragma once

#include "publish/mqtt_broker.h"

#include <QHash>
#include <QMap>
#include <QObject>
#include <QSet>

#include <memory>

class Clock;
class Run;
struct mosquitto;

// Other stations' runs, read from a broker: the stations its retained status topics name, and
// for each station watched, its channels' readings fed to runs of this program, as live runs
// are, named "<station> CHn Chart k". A run ends when the station says so, goes offline or falls
// silent. The client keeps its own network thread; messages are handled on this object's.
class MqttWatcher final : public QObject {
    Q_OBJECT
public:
    MqttWatcher(const Clock &clock, const MqttBroker &broker, QObject *parent = nullptr);
    ~MqttWatcher() override;

    // Each station seen, with its status ("online", "offline").
    const QMap<QString, QString> &stations() const { return stations_; }
    void watch(const QString &station);

signals:
    void stationsChanged();
    // A watched station began `run`; its readings follow.
    void runStarted(const std::shared_ptr<Run> &run);
    // A line for the status line.
    void message(const QString &text);

private:
    void received(const QString &topic, const QByteArray &payload);
    std::shared_ptr<Run> &start(const QString &key);
    void end(const QString &key);

    const Clock &clock_;
    MqttBroker broker_;
    mosquitto *client_ = nullptr;
    QMap<QString, QString> stations_;
    QSet<QString> watched_;
    QSet<QString> live_; // "<station>/chN" whose last run state is live
    QHash<QString, std::shared_ptr<Run>> runs_; // by "<station>/chN"
    int started_ = 0; // runs started so far, which number their names
};
