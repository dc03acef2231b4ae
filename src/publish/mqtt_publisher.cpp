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
        const int channel = run->channel();
        Channel &c = channels_[channel == 2];
        c.run = run.get();
        c.started = clock_.now();
        auto tell = [this, &c, channel](const QString &title) {
            runState(channel, MqttJson::live(title, c.started));
        };
        tell(run->title());
        connect(run.get(), &Run::titleChanged, this, [run = run.get(), tell](const QString &t) {
            if (run->isLive())
                tell(t);
        });
        connect(run.get(), &Run::saved, this,
                [this, &c, channel, run = run.get()](const QString &path) {
                    if (c.run == run)
                        runState(channel,
                                 MqttJson::ended(run->title(), c.started, c.summary, path));
                });
    });
    connect(&hub, &RunHub::recorded, this,
            [this, ours](const Run &run, const ChannelReading &reading) {
                if (connected_ && ours(run))
                    publish(topic(run.channel() == 2 ? "ch2/reading" : "ch1/reading"),
                            MqttJson::reading(reading, clock_.now()), 0, false);
            });
    connect(&hub, &RunHub::runEnded, this,
            [this, ours](const std::shared_ptr<Run> &run, const RunSummary &summary) {
                if (!ours(*run))
                    return;
                const int channel = run->channel();
                Channel &c = channels_[channel == 2];
                c.summary = summary;
                runState(channel, MqttJson::ended(run->title(), c.started, summary, {}));
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
    connect(&notices, &RunNotices::told, this, [this](const QString &text) {
        publish(topic("event"), MqttJson::event(text, clock_.now()), 1, false);
    });
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
        for (int channel : { 1, 2 })
            if (!runStates_[channel == 2].isEmpty())
                publish(topic(channel == 2 ? "ch2/run" : "ch1/run"), runStates_[channel == 2], 1,
                        true);
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
    for (const char *ch : { "ch1", "ch2" })
        for (const Figure &f : Figures) {
            const QByteArray id = "chargemon_" + station + '_' + ch + '_' + f.key;
            QByteArray config = "{\"name\":"
                + MqttJson::string(QString::fromUtf8(ch).toUpper() + ' '
                                   + QString::fromUtf8(f.name))
                + ",\"unique_id\":\"" + id + "\",\"state_topic\":" + string(topic(ch) + "/reading")
                + ",\"value_template\":\"{{ value_json." + f.key + " }}\""
                + ",\"unit_of_measurement\":" + string(f.unit)
                + (f.deviceClass ? ",\"device_class\":\"" + QByteArray(f.deviceClass) + '"'
                                 : QByteArray())
                + ",\"state_class\":\"measurement\",\"availability_topic\":"
                + string(topic("status")) + ",\"device\":" + device + '}';
            publish("homeassistant/sensor/" + id + "/config", config, 1, true);
        }
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
