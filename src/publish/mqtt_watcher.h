#pragma once

#include "publish/mqtt_broker.h"
#include "run/run_hub.h"

#include <QHash>
#include <QMap>
#include <QObject>
#include <QSet>

#include <memory>

class Clock;
struct mosquitto;

// Other stations as a source of runs, read from a broker: the stations its retained status
// topics name, and for each station watched, its channels' readings relayed to runs of this
// program named "<station> CHn Chart k", with the station's descriptions and run times, started
// and ended through the hub. A run ends when the station says so, goes offline or is no longer
// watched. The client keeps its own network thread; messages are handled on this object's.
class MqttWatcher final : public QObject {
    Q_OBJECT
public:
    MqttWatcher(RunHub &hub, const Clock &clock, const MqttBroker &broker,
                QObject *parent = nullptr);
    ~MqttWatcher() override;

    // Each station seen, with its status ("online", "offline").
    const QMap<QString, QString> &stations() const { return stations_; }
    // The broker has told every station it keeps a status of.
    bool listed() const { return listed_; }
    void watch(const QString &station);
    // Ends the station's runs and lets its readings pass.
    void unwatch(const QString &station);
    const QSet<QString> &watched() const { return watched_; }

signals:
    // The stations the broker keeps a status of are all in stations().
    void stationsListed();
    // A line for the status line.
    void message(const QString &text);

private:
    struct Channel {
        std::shared_ptr<Run> run; // while live
        bool live = false; // the station's last run state
        QString started, description; // of the station's run
    };
    void received(const QString &topic, const QByteArray &payload);
    void runState(const QString &key, const QByteArray &payload);
    std::shared_ptr<Run> &start(const QString &key);
    void end(const QString &key, RunEnd why);
    void listedNow();
    // The broker refused or lost ("" when it answers), said when it changes; any thread.
    void report(const QString &why);

    RunHub &hub_;
    const Clock &clock_;
    MqttBroker broker_;
    mosquitto *client_ = nullptr;
    int listMid_ = 0; // the subscription acknowledged after the retained statuses
    bool listed_ = false;
    bool down_ = false; // said that the broker is away
    QMap<QString, QString> stations_;
    QSet<QString> watched_;
    QHash<QString, Channel> channels_; // by "<station>/chN"
    int started_ = 0; // runs started so far, which number their names
};
