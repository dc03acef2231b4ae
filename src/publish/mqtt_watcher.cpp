#include "publish/mqtt_watcher.h"

#include "publish/mqtt_json.h"
#include "run/run.h"

#include <mosquitto.h>

MqttWatcher::MqttWatcher(const Clock &clock, const MqttBroker &broker, QObject *parent)
    : QObject(parent), clock_(clock), broker_(broker)
{
    QString failure;
    client_ = broker_.newClient(this, failure);
    if (!client_)
        return;
    mosquitto_connect_callback_set(client_, [](mosquitto *client, void *, int rc) {
        if (rc == 0)
            mosquitto_subscribe(client, nullptr, "chargemon/#", 0);
    });
    mosquitto_message_callback_set(
        client_, [](mosquitto *, void *self, const mosquitto_message *m) {
            auto *w = static_cast<MqttWatcher *>(self);
            const QString topic = QString::fromUtf8(m->topic);
            const QByteArray payload(static_cast<const char *>(m->payload), m->payloadlen);
            QMetaObject::invokeMethod(
                w, [w, topic, payload] { w->received(topic, payload); }, Qt::QueuedConnection);
        });
    if (const QString why = broker_.start(client_); !why.isEmpty())
        failure = why;
    if (!failure.isEmpty())
        QMetaObject::invokeMethod(
            this,
            [this, failure] {
                emit message(
                    tr("MQTT: broker %1:%2: %3").arg(broker_.host).arg(broker_.port).arg(failure));
            },
            Qt::QueuedConnection);
}

MqttWatcher::~MqttWatcher()
{
    if (!client_)
        return;
    mosquitto_disconnect(client_);
    mosquitto_loop_stop(client_, true);
    mosquitto_destroy(client_);
}

void MqttWatcher::watch(const QString &station)
{
    watched_.insert(station);
    for (const QString &key :
         { station + QStringLiteral("/ch1"), station + QStringLiteral("/ch2") })
        if (live_.contains(key))
            start(key);
}

// Begun when the station's run goes live, the run counts its time from the station's skipped
// first frame and records each reading published, as the station's run does.
std::shared_ptr<Run> &MqttWatcher::start(const QString &key)
{
    std::shared_ptr<Run> &run = runs_[key];
    if (!run) {
        const QString station = key.section(u'/', 0, 0);
        const int channel = key.endsWith(u'2') ? 2 : 1;
        run = std::make_shared<Run>(
            QStringLiteral("%1 CH%2 Chart %3").arg(station).arg(channel).arg(++started_), clock_);
        run->goLive(channel, {});
        emit runStarted(run);
    }
    return run;
}

void MqttWatcher::received(const QString &topic, const QByteArray &payload)
{
    const QStringList parts = topic.split(u'/');
    if (parts.size() < 3)
        return;
    const QString &station = parts[1];
    if (parts[2] == QLatin1String("status")) {
        stations_[station] = QString::fromUtf8(payload);
        emit stationsChanged();
        if (payload == "offline" && watched_.contains(station))
            for (int channel : { 1, 2 })
                if (runs_.contains(station + QStringLiteral("/ch%1").arg(channel))) {
                    end(station + QStringLiteral("/ch%1").arg(channel));
                    emit message(
                        tr("%1 went offline: its CH%2 run ended.").arg(station).arg(channel));
                }
        return;
    }
    const int channel = parts[2] == QLatin1String("ch1") ? 1
        : parts[2] == QLatin1String("ch2")               ? 2
                                                         : 0;
    if (channel == 0 || parts.size() != 4)
        return;
    const QString key = station + u'/' + parts[2];
    if (parts[3] == QLatin1String("run")) {
        const bool live = payload.startsWith("{\"state\":\"live\"");
        if (live)
            live_.insert(key);
        else
            live_.remove(key);
        if (watched_.contains(station)) {
            if (live)
                start(key);
            else
                end(key);
        }
        return;
    }
    if (parts[3] != QLatin1String("reading") || !watched_.contains(station))
        return;
    std::optional<ChannelReading> reading = MqttJson::parseReading(payload);
    if (!reading)
        return;
    if (start(key)->offer(*reading) == Run::Fate::End) {
        end(key); // a silence or a capacity that fell: the reading begins a new run
        start(key)->offer(*reading);
    }
}

void MqttWatcher::end(const QString &key)
{
    if (const std::shared_ptr<Run> run = runs_.take(key))
        run->end();
}
