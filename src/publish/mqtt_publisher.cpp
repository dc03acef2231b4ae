#include "mqtt_publisher.h"

#include "notify/run_notices.h"
#include "platform/core/clock.h"
#include "publish/mqtt_json.h"
#include "run/run_hub.h"

#include <mosquitto.h>

namespace {
// The figures a home-automation hub shows of each channel: key, name, unit, device class.
struct Figure {
    const char *key, *name, *unit, *deviceClass;
};
constexpr Figure Figures[] = {
    { "bat_volt", "battery voltage", "V", "voltage" },
    { "current", "current", "A", "current" },
    { "cap", "capacity", "mAh", nullptr },
    { "power", "power", "W", "power" },
    { "ext_temp", "pack temperature", "°C", "temperature" },
};
// The state of a channel that has had no run since its station started.
constexpr char Idle[] = R"({"state":"idle","activity":"idle"})";
} // namespace

MqttPublisher::MqttPublisher(RunHub &hub, const Clock &clock, const MqttBroker &options,
                             QObject *parent)
    : QObject(parent), clock_(clock), options_(options), link_(clock)
{
    if (options_.host.isEmpty())
        return;
    if (const QString why = options_.setStation(options_.station); !why.isEmpty()) {
        QMetaObject::invokeMethod(
            this, [this, why] { emit message(tr("MQTT: %1; nothing is published").arg(why)); },
            Qt::QueuedConnection);
        return;
    }
    root_ = "chargemon/" + options_.station.toUtf8() + '/';
    connect(&link_, &MqttLink::changed, this, &MqttPublisher::report);
    QString failure;
    client_ = options_.newClient(this, failure);
    if (!client_) {
        link_.heard(tr("no memory"));
        return;
    }
    const QByteArray status = topic("status");
    mosquitto_will_set(client_, status.constData(), 7, "offline", 1, true);
    mosquitto_connect_callback_set(client_, [](mosquitto *, void *self, int rc) {
        static_cast<MqttPublisher *>(self)->connected(rc);
    });
    mosquitto_disconnect_callback_set(client_, [](mosquitto *, void *self, int rc) {
        auto *p = static_cast<MqttPublisher *>(self);
        p->connected_ = false;
        if (rc != 0)
            p->link_.heard(MqttBroker::lost(rc));
    });
    link_.start(client_, options_, failure);

    // This station's own runs: a watched station's are its own news.
    const auto ours = [](const Run &run) { return run.source() == Run::Source::Charger; };
    connect(&hub, &RunHub::runStarted, this, [this, ours](const std::shared_ptr<Run> &run) {
        if (!ours(*run))
            return;
        Channel &c = channels_[run->channel() == 2];
        c = Channel();
        c.run = run.get();
        c.started = clock_.now();
        // Live once its first sample says which way the current flows.
        connect(run.get(), &Run::titleChanged, this, [this, &c, run = run.get()] {
            if (run->isLive() && c.activity)
                live(*run);
        });
        connect(run.get(), &Run::saved, this, [this, &c, run = run.get()](const QString &path) {
            if (c.run == run)
                runState(
                    run->channel(),
                    MqttJson::ended(run->title(), c.started, c.summary, path, Notice::name(c.why)));
        });
    });
    connect(&hub, &RunHub::recorded, this,
            [this, ours](const Run &run, const ChannelReading &reading) {
                if (!ours(run))
                    return;
                Channel &c = channels_[run.channel() == 2];
                const auto current = reading[Current].number();
                const char *activity = current && *current < Fixed() ? "discharging"
                    : (current && *current > Fixed()) || !c.activity ? "charging"
                                                                     : c.activity;
                if (activity != c.activity) {
                    c.activity = activity;
                    live(run);
                }
                if (connected_)
                    publish(topic(run.channel() == 2 ? "ch2/reading" : "ch1/reading"),
                            MqttJson::reading(reading, clock_.now()), 0, false);
            });
    connect(&hub, &RunHub::runEnded, this,
            [this, ours](const std::shared_ptr<Run> &run, const RunSummary &summary, RunEnd why) {
                if (!ours(*run))
                    return;
                const int channel = run->channel();
                Channel &c = channels_[channel == 2];
                c.summary = summary;
                c.why = why;
                runState(channel,
                         MqttJson::ended(run->title(), c.started, summary, {}, Notice::name(why)));
            });
}

MqttPublisher::~MqttPublisher()
{
    if (!client_)
        return;
    publish(topic("status"), "offline", 1, true);
    mosquitto_disconnect(client_);
    mosquitto_loop_stop(client_, !connected_); // no waiting out a back-off
    mosquitto_destroy(client_);
}

QByteArray MqttPublisher::topic(const char *leaf) const
{
    return root_ + leaf;
}

void MqttPublisher::follow(const RunNotices &notices)
{
    connect(&notices, &RunNotices::noticed, this, [this](const Notice &notice) {
        publish(topic("event"), MqttJson::event(notice, clock_.now()), 1, false);
    });
}

void MqttPublisher::live(const Run &run)
{
    const Channel &c = channels_[run.channel() == 2];
    runState(run.channel(), MqttJson::live(run.title(), c.started, c.activity));
}

void MqttPublisher::runState(int channel, const QByteArray &state)
{
    {
        const std::lock_guard hold(lock_);
        runStates_[channel == 2] = state;
    }
    publish(topic(channel == 2 ? "ch2/run" : "ch1/run"), state, 1, true);
}

void MqttPublisher::publish(const QByteArray &topic, const QByteArray &payload, int qos,
                            bool retain)
{
    if (client_)
        mosquitto_publish(client_, nullptr, topic.constData(), int(payload.size()),
                          payload.constData(), qos, retain);
}

void MqttPublisher::connected(int rc)
{
    connected_ = rc == 0;
    if (rc == 0) {
        publish(topic("status"), "online", 1, true);
        // A broker that was restarted has forgotten the retained states.
        const std::lock_guard hold(lock_);
        // A channel with no run yet says so, over what a station before this one left.
        for (int channel : { 1, 2 })
            publish(topic(channel == 2 ? "ch2/run" : "ch1/run"),
                    runStates_[channel == 2].isEmpty() ? QByteArray(Idle)
                                                       : runStates_[channel == 2],
                    1, true);
        if (options_.haDiscovery)
            discovery();
    }
    link_.heard(rc == 0 ? QString() : QString::fromUtf8(mosquitto_connack_string(rc)));
}

void MqttPublisher::discovery()
{
    // Ids name topics of their own and the hub's entities: letters, digits, _ and - only.
    QString name = options_.station;
    for (QChar &c : name)
        if (c.unicode() > 127 || !(c.isLetterOrNumber() || c == u'-'))
            c = u'_';
    const QByteArray station = name.toLatin1();
    const QByteArray device = "{\"identifiers\":[\"chargemon_" + station
        + "\"],\"name\":" + MqttJson::string("chargemon " + options_.station) + '}';
    const auto string
        = [](const QByteArray &utf8) { return MqttJson::string(QString::fromUtf8(utf8)); };
    // Name, unique id and availability, as every entity of the station has them.
    const auto entity = [&](const QString &title, const QByteArray &id) {
        return "{\"name\":" + MqttJson::string(title) + ",\"unique_id\":\"" + id
            + "\",\"availability_topic\":" + string(topic("status")) + ",\"device\":" + device;
    };
    const QByteArray prefix = "chargemon_" + station + '_';
    for (const char *ch : { "ch1", "ch2" }) {
        const QString channel = QString::fromUtf8(ch).toUpper() + u' ';
        for (const Figure &f : Figures) {
            const QByteArray id = prefix + ch + '_' + f.key;
            const QByteArray config = entity(channel + QString::fromUtf8(f.name), id)
                + ",\"state_topic\":" + string(topic(ch) + "/reading")
                + ",\"value_template\":\"{{ value_json." + f.key + " }}\""
                + ",\"unit_of_measurement\":" + string(f.unit)
                + (f.deviceClass ? ",\"device_class\":\"" + QByteArray(f.deviceClass) + '"'
                                 : QByteArray())
                + ",\"state_class\":\"measurement\"}";
            publish("homeassistant/sensor/" + id + "/config", config, 1, true);
        }
        // The run's state, with the run's figures as attributes.
        const QByteArray id = prefix + ch + "_run";
        const QByteArray run = string(topic(ch) + "/run");
        publish("homeassistant/sensor/" + id + "/config",
                entity(channel + QStringLiteral("run"), id) + ",\"state_topic\":" + run
                    + ",\"json_attributes_topic\":" + run
                    + ",\"value_template\":\"{{ value_json.activity }}\""
                    + ",\"device_class\":\"enum\",\"options\":[\"idle\",\"charging\","
                      "\"discharging\",\"finished\",\"interrupted\",\"link_lost\","
                      "\"stopped\"]}",
                1, true);
    }
    // The notices, for automations that pass them on.
    const QByteArray id = prefix + "notice";
    QByteArray types;
    for (auto kind : { Notice::Kind::RunEnded, Notice::Kind::TooHot, Notice::Kind::CellSpread,
                       Notice::Kind::StoredFull, Notice::Kind::PackWarning })
        types += (types.isEmpty() ? "\"" : ",\"") + QByteArray(Notice::name(kind)) + '"';
    publish("homeassistant/event/" + id + "/config",
            entity(QStringLiteral("notice"), id) + ",\"state_topic\":" + string(topic("event"))
                + ",\"event_types\":[" + types + "]}",
            1, true);
}

void MqttPublisher::report(const QString &why)
{
    const QString broker = QStringLiteral("%1:%2").arg(options_.host).arg(options_.port);
    emit message(why.isEmpty()
                     ? tr("MQTT: publishing to %1 as %2").arg(broker, options_.station)
                     : tr("MQTT: broker %1: %2; readings are not published until it answers, the "
                          "recording goes on")
                           .arg(broker, why));
}
