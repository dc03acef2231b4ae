#pragma once

#include "platform/core/clock.h"
#include "publish/mqtt_broker.h"
#include "run/run_hub.h"

#include <QHash>
#include <QMap>
#include <QObject>
#include <QSet>

#include <memory>

struct mosquitto;

// Other stations as a source of runs, read from a broker: the stations its retained status
// topics name, and for each station watched, its channels' readings relayed to runs of this
// program named "<station> CHn Chart k", with the station's descriptions and run times, started
// and ended through the hub. A run opens with its first reading while the station's run state
// says live, and ends when the station says so, comes back from offline with another run, stays
// offline too long or is no longer watched. What a broker can make this do is bounded: message
// sizes, stations, runs open per station, readings whose time goes back; what is refused is
// said once. The client keeps its own network thread; messages are handled on this object's.
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
    // One message as the broker delivered it; the client's thread hands each one here.
    void received(const QString &topic, const QByteArray &payload);

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
        Waiting away; // since the station went offline with the run
    };
    bool admitted(const QString &station);
    void status(const QString &station, const QByteArray &payload);
    void runState(const QString &key, const QByteArray &payload);
    void reading(const QString &key, const QByteArray &payload);
    // The channel's run, started when the station has fewer than MaxRunsOpen open here.
    std::shared_ptr<Run> start(const QString &key);
    void end(const QString &key, RunEnd why);
    // Says `text` the first time `what` is refused.
    void refuse(const QString &what, const QString &text);
    void listedNow();
    // The broker refused or lost, or answers (""), as the link says it.
    void report(const QString &why);

    RunHub &hub_;
    const Clock &clock_;
    MqttBroker broker_;
    MqttLink link_;
    mosquitto *client_ = nullptr;
    int listMid_ = 0; // the subscription acknowledged after the retained statuses
    bool listed_ = false;
    bool down_ = false; // said that the broker is away
    QMap<QString, QString> stations_;
    QSet<QString> watched_;
    QSet<QString> known_; // the stations whose messages are read, at most MaxStations
    QHash<QString, Channel> channels_; // by "<station>/chN"
    QHash<QString, QList<std::weak_ptr<Run>>> opened_; // by station, the runs started here
    QHash<QString, bool> refused_; // what has been said refused
    int started_ = 0; // runs started so far, which number their names
};
