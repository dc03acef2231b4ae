#pragma once

#include "publish/mqtt_broker.h"
#include "run/run_hub.h"
#include "run/run_summary.h"

#include <QDateTime>
#include <QObject>
#include <QString>

#include <array>
#include <atomic>
#include <memory>
#include <mutex>

class Clock;
class Run;
class RunHub;
class RunNotices;

// Tells an MQTT broker what the charger's runs do, under chargemon/<station>/: its status, every
// accepted reading, each run's state and the notices. The client keeps its own network thread:
// the sample path only hands it a copy, a broker that is down or slow costs the recording
// nothing, and readings are dropped while it is away (run states and notices wait for it).
class MqttPublisher final : public QObject {
    Q_OBJECT
public:
    MqttPublisher(RunHub &hub, const Clock &clock, const MqttBroker &options,
                  QObject *parent = nullptr);
    // Says "offline" and leaves the broker.
    ~MqttPublisher() override;

    // The notices go to the event topic too.
    void follow(const RunNotices &notices);

    QByteArray topic(const char *leaf) const;

signals:
    // A line for the status line or standard error: the broker reached, lost or refusing.
    void message(const QString &text);

private:
    void publish(const QByteArray &topic, const QByteArray &payload, int qos, bool retain);
    // The retained state of the run of `channel`, published again at each connection.
    void runState(int channel, const QByteArray &state);
    void live(const Run &run);
    void connected(int rc); // on the client's thread
    void discovery();
    void report(const QString &why); // on the GUI thread

    const Clock &clock_;
    MqttBroker options_;
    QByteArray root_; // "chargemon/<station>/"
    MqttLink link_;
    mosquitto *client_ = nullptr;
    std::atomic<bool> connected_ = false;
    struct Channel {
        const Run *run = nullptr; // started last; a file of an older one is no news
        QDateTime started;
        const char *activity = nullptr; // "charging", "discharging"; none before a sample
        RunSummary summary; // of `run`, once it ended
        RunEnd why = RunEnd::Finished;
    };
    std::array<Channel, 2> channels_;
    std::mutex lock_; // of runStates_, which the client's thread reads
    std::array<QByteArray, 2> runStates_;
};
