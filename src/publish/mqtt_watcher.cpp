#include "publish/mqtt_watcher.h"

#include "platform/core/clock.h"
#include "publish/mqtt_json.h"
#include "run/live_runs.h"
#include "run/run_file.h"

#include <QJsonDocument>
#include <QJsonObject>

#include <mosquitto.h>

#include <string_view>

namespace {
// What a station sends is far smaller; anything larger is refused unread.
int maxBytes(std::string_view topic)
{
    if (topic.ends_with("/status"))
        return 64;
    return topic.ends_with("/reading") ? 4096 : 65536;
}
// A broker that names more stations, or a station with more runs open here (two channels,
// a few runs each), is refused the rest, so that no publisher can fill the desktop.
constexpr qsizetype MaxStations = 64, MaxRunsOpen = 6;
// A broker's restart takes the station offline for seconds; a station that stays away for
// longer has lost its run.
constexpr qint64 OfflineWaitMs = 5 * 60 * 1000;
} // namespace

MqttWatcher::MqttWatcher(RunHub &hub, const Clock &clock, const MqttBroker &broker, QObject *parent)
    : QObject(parent), hub_(hub), clock_(clock), broker_(broker), link_(clock)
{
    connect(&link_, &MqttLink::changed, this, &MqttWatcher::report);
    QString failure;
    client_ = broker_.newClient(this, failure);
    if (!client_)
        return;
    mosquitto_connect_callback_set(client_, [](mosquitto *client, void *self, int rc) {
        auto *w = static_cast<MqttWatcher *>(self);
        w->link_.heard(rc == 0 ? QString() : QString::fromUtf8(mosquitto_connack_string(rc)));
        if (rc != 0)
            return;
        mosquitto_subscribe(client, nullptr, "chargemon/#", 0);
        // The broker acknowledges this one after it has sent the first one's retained messages.
        mosquitto_subscribe(client, &w->listMid_, "chargemon-watcher/listed", 0);
    });
    mosquitto_disconnect_callback_set(client_, [](mosquitto *, void *self, int rc) {
        if (rc != 0)
            static_cast<MqttWatcher *>(self)->link_.heard(MqttBroker::lost(rc));
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
            if (m->payloadlen > maxBytes(m->topic)) {
                QMetaObject::invokeMethod(
                    w,
                    [w, topic, size = m->payloadlen] {
                        w->refuse(QStringLiteral("size"),
                                  tr("MQTT: a message of %1 bytes on %2 is larger than a "
                                     "station sends: such messages are left out.")
                                      .arg(size)
                                      .arg(topic));
                    },
                    Qt::QueuedConnection);
                return;
            }
            const QByteArray payload(static_cast<const char *>(m->payload), m->payloadlen);
            QMetaObject::invokeMethod(
                w, [w, topic, payload] { w->received(topic, payload); }, Qt::QueuedConnection);
        });
    link_.start(client_, broker_, failure);
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
    const bool wasDown = std::exchange(down_, !why.isEmpty());
    const QString broker = QStringLiteral("%1:%2").arg(broker_.host).arg(broker_.port);
    if (down_)
        emit message(tr("MQTT: broker %1: %2").arg(broker, why));
    else if (wasDown)
        emit message(tr("MQTT: broker %1 answers again.").arg(broker));
}

void MqttWatcher::refuse(const QString &what, const QString &text)
{
    if (!std::exchange(refused_[what], true))
        emit message(text);
}

void MqttWatcher::watch(const QString &station)
{
    // Its live runs open with their next readings.
    watched_.insert(station);
    known_.insert(station);
}

void MqttWatcher::unwatch(const QString &station)
{
    watched_.remove(station);
    for (const QString &key :
         { station + QStringLiteral("/ch1"), station + QStringLiteral("/ch2") })
        end(key, RunEnd::Stopped);
}

std::shared_ptr<Run> MqttWatcher::start(const QString &key)
{
    Channel &c = channels_[key];
    if (c.run)
        return c.run;
    const QString station = key.section(u'/', 0, 0);
    QList<std::weak_ptr<Run>> &opened = opened_[station];
    opened.removeIf([](const std::weak_ptr<Run> &run) { return run.expired(); });
    if (opened.size() >= MaxRunsOpen) {
        refuse(QStringLiteral("runs/") + station,
               tr("MQTT: %1 has %2 runs open here: its next runs are left out until some of "
                  "their windows are closed.")
                   .arg(station)
                   .arg(MaxRunsOpen));
        return nullptr;
    }
    const int channel = key.endsWith(u'2') ? 2 : 1;
    c.run = std::make_shared<Run>(
        QStringLiteral("%1 CH%2 Chart %3").arg(station).arg(channel).arg(++started_), clock_);
    c.run->goLive(channel, {}, Run::Source::Station);
    if (!c.description.isEmpty())
        c.run->setTitle(c.description);
    opened << c.run;
    hub_.start(c.run);
    return c.run;
}

void MqttWatcher::received(const QString &topic, const QByteArray &payload)
{
    const QStringList parts = topic.split(u'/');
    if (parts.size() < 3 || !admitted(parts[1]))
        return;
    if (parts[2] == QLatin1String("status")) {
        status(parts[1], payload);
        return;
    }
    if (parts.size() != 4 || (parts[2] != QLatin1String("ch1") && parts[2] != QLatin1String("ch2")))
        return;
    const QString key = parts[1] + u'/' + parts[2];
    if (parts[3] == QLatin1String("run"))
        runState(key, payload);
    else if (parts[3] == QLatin1String("reading") && watched_.contains(parts[1]))
        reading(key, payload);
}

bool MqttWatcher::admitted(const QString &station)
{
    if (known_.contains(station))
        return true;
    if (known_.size() < MaxStations) {
        known_.insert(station);
        return true;
    }
    refuse(QStringLiteral("stations"),
           tr("MQTT: more than %3 stations on broker %1:%2: the others are left out.")
               .arg(broker_.host)
               .arg(broker_.port)
               .arg(MaxStations));
    return false;
}

void MqttWatcher::status(const QString &station, const QByteArray &payload)
{
    stations_[station] = QString::fromUtf8(payload);
    if (payload != "offline" || !watched_.contains(station))
        return;
    // Its runs wait: a station back with the same run goes on in it.
    for (int channel : { 1, 2 }) {
        const QString key = station + QStringLiteral("/ch%1").arg(channel);
        Channel &c = channels_[key];
        if (!c.run || c.away.waiting())
            continue;
        emit message(tr("%1 went offline: its CH%2 run ends unless it is back within %3 minutes.")
                         .arg(station)
                         .arg(channel)
                         .arg(OfflineWaitMs / 60000));
        c.away.start(clock_, OfflineWaitMs, this, [this, key] { end(key, RunEnd::LinkLost); });
    }
}

void MqttWatcher::runState(const QString &key, const QByteArray &payload)
{
    const QJsonObject state = QJsonDocument::fromJson(payload).object();
    const QString started = state.value(QLatin1String("started")).toString();
    const QString description
        = state.value(QLatin1String("description")).toString().left(RunFile::TitleSize);
    Channel &c = channels_[key];
    // The station began another run; one begun while it was away is all that is known of
    // the end of the run before.
    if (c.run && started != c.started)
        end(key, c.away.waiting() ? RunEnd::LinkLost : RunEnd::Finished);
    const bool retitled = c.run && description != c.description && !description.isEmpty();
    c.started = started;
    c.description = description;
    c.live = state.value(QLatin1String("state")).toString() == QLatin1String("live");
    if (!c.run)
        return;
    if (!c.live) {
        const QString name = c.run->name();
        end(key, RunEnd::Finished);
        emit message(tr("%1 completed. You can save it now.").arg(name));
        return;
    }
    c.away.cancel(); // back with the same run
    if (retitled)
        c.run->setTitle(description);
}

void MqttWatcher::reading(const QString &key, const QByteArray &payload)
{
    // Readings of a run the station has said live, and one that can be recorded, open a run.
    const Channel &c = channels_[key];
    std::optional<ChannelReading> reading = MqttJson::parseReading(payload);
    if (!c.live || c.away.waiting() || !reading || implausible(*reading)
        || Run::lacking(*reading) >= 0)
        return;
    if (const std::shared_ptr<Run> run = start(key);
        run && run->relay(*reading) == Run::Fate::End) {
        const QString station = key.section(u'/', 0, 0);
        refuse(QStringLiteral("time/") + station,
               tr("MQTT: %1 sends readings whose time goes back: they are left out.").arg(station));
    }
}

void MqttWatcher::end(const QString &key, RunEnd why)
{
    const auto c = channels_.find(key);
    if (c == channels_.end() || !c->run)
        return;
    c->away.cancel();
    hub_.end(std::exchange(c->run, nullptr), why);
}
