#include "publish/mqtt_watcher.h"

#include "publish/mqtt_json.h"
#include "run/live_runs.h"
#include "run/run_file.h"

#include <QJsonDocument>
#include <QJsonObject>

#include <mosquitto.h>

namespace {
// What a station sends is far smaller; anything larger is not read.
constexpr qsizetype MaxReadingBytes = 4096, MaxStateBytes = 65536;
} // namespace

MqttWatcher::MqttWatcher(RunHub &hub, const Clock &clock, const MqttBroker &broker, QObject *parent)
    : QObject(parent), hub_(hub), clock_(clock), broker_(broker)
{
    QString failure;
    client_ = broker_.newClient(this, failure);
    if (!client_)
        return;
    mosquitto_connect_callback_set(client_, [](mosquitto *client, void *self, int rc) {
        auto *w = static_cast<MqttWatcher *>(self);
        w->report(rc == 0 ? QString() : QString::fromUtf8(mosquitto_connack_string(rc)));
        if (rc != 0)
            return;
        mosquitto_subscribe(client, nullptr, "chargemon/#", 0);
        // The broker acknowledges this one after it has sent the first one's retained messages.
        mosquitto_subscribe(client, &w->listMid_, "chargemon-watcher/listed", 0);
    });
    mosquitto_disconnect_callback_set(client_, [](mosquitto *, void *self, int rc) {
        if (rc != 0)
            static_cast<MqttWatcher *>(self)->report(MqttBroker::lost());
    });
    mosquitto_subscribe_callback_set(
        client_, [](mosquitto *, void *self, int mid, int, const int *) {
            auto *w = static_cast<MqttWatcher *>(self);
            if (mid == w->listMid_)
                QMetaObject::invokeMethod(w, &MqttWatcher::listedNow, Qt::QueuedConnection);
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
        report(failure);
}

MqttWatcher::~MqttWatcher()
{
    if (!client_)
        return;
    mosquitto_disconnect(client_);
    mosquitto_loop_stop(client_, true);
    mosquitto_destroy(client_);
}

void MqttWatcher::listedNow()
{
    if (!std::exchange(listed_, true))
        emit stationsListed();
}

void MqttWatcher::report(const QString &why)
{
    QMetaObject::invokeMethod(
        this,
        [this, why] {
            if (why.isEmpty() == !down_)
                return; // said once, until it changes
            down_ = !why.isEmpty();
            const QString broker = QStringLiteral("%1:%2").arg(broker_.host).arg(broker_.port);
            emit message(down_ ? tr("MQTT: broker %1: %2").arg(broker, why)
                               : tr("MQTT: broker %1 answers again.").arg(broker));
        },
        Qt::QueuedConnection);
}

void MqttWatcher::watch(const QString &station)
{
    watched_.insert(station);
    for (const QString &key :
         { station + QStringLiteral("/ch1"), station + QStringLiteral("/ch2") })
        if (channels_.value(key).live)
            start(key);
}

void MqttWatcher::unwatch(const QString &station)
{
    watched_.remove(station);
    for (const QString &key :
         { station + QStringLiteral("/ch1"), station + QStringLiteral("/ch2") })
        end(key, RunEnd::Stopped);
}

std::shared_ptr<Run> &MqttWatcher::start(const QString &key)
{
    Channel &c = channels_[key];
    if (!c.run) {
        const QString station = key.section(u'/', 0, 0);
        const int channel = key.endsWith(u'2') ? 2 : 1;
        c.run = std::make_shared<Run>(
            QStringLiteral("%1 CH%2 Chart %3").arg(station).arg(channel).arg(++started_), clock_);
        c.run->goLive(channel, {}, Run::Source::Station);
        if (!c.description.isEmpty())
            c.run->setTitle(c.description);
        hub_.start(c.run);
    }
    return c.run;
}

void MqttWatcher::received(const QString &topic, const QByteArray &payload)
{
    const QStringList parts = topic.split(u'/');
    if (parts.size() < 3)
        return;
    const QString &station = parts[1];
    if (parts[2] == QLatin1String("status")) {
        stations_[station] = QString::fromUtf8(payload);
        if (payload == "offline" && watched_.contains(station))
            for (int channel : { 1, 2 })
                if (const QString key = station + QStringLiteral("/ch%1").arg(channel);
                    channels_.value(key).run) {
                    end(key, RunEnd::LinkLost);
                    emit message(
                        tr("%1 went offline: its CH%2 run ended.").arg(station).arg(channel));
                }
        return;
    }
    if (parts.size() != 4 || (parts[2] != QLatin1String("ch1") && parts[2] != QLatin1String("ch2")))
        return;
    const QString key = station + u'/' + parts[2];
    if (parts[3] == QLatin1String("run") && payload.size() <= MaxStateBytes)
        runState(key, payload);
    if (parts[3] != QLatin1String("reading") || !watched_.contains(station)
        || payload.size() > MaxReadingBytes)
        return;
    std::optional<ChannelReading> reading = MqttJson::parseReading(payload);
    if (!reading || implausible(*reading))
        return;
    if (start(key)->relay(*reading) == Run::Fate::End) {
        end(key, RunEnd::Finished); // its time went back: a run whose start was not heard
        start(key)->relay(*reading);
    }
}

void MqttWatcher::runState(const QString &key, const QByteArray &payload)
{
    const QJsonObject state = QJsonDocument::fromJson(payload).object();
    const QString started = state.value(QLatin1String("started")).toString();
    const QString description
        = state.value(QLatin1String("description")).toString().left(RunFile::TitleSize);
    Channel &c = channels_[key];
    if (c.run && !c.started.isEmpty() && started != c.started)
        end(key, RunEnd::Finished); // the station began another run
    const bool retitled = c.run && description != c.description && !description.isEmpty();
    c.started = started;
    c.description = description;
    c.live = state.value(QLatin1String("state")).toString() == QLatin1String("live");
    if (!watched_.contains(key.section(u'/', 0, 0)))
        return;
    if (!c.live) {
        if (const std::shared_ptr<Run> run = c.run) {
            end(key, RunEnd::Finished);
            emit message(tr("%1 completed. You can save it now.").arg(run->name()));
        }
        return;
    }
    const std::shared_ptr<Run> &run = start(key);
    if (retitled)
        run->setTitle(description);
}

void MqttWatcher::end(const QString &key, RunEnd why)
{
    const auto c = channels_.find(key);
    if (c == channels_.end() || !c->run)
        return;
    c->started.clear();
    hub_.end(std::exchange(c->run, nullptr), why);
}
