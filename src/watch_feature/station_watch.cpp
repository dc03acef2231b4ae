#include "watch_feature/station_watch.h"

#include "platform/core/settings.h"
#include "platform/dialogs.h"
#include "publish/mqtt_watcher.h"

StationWatch::StationWatch(FeatureHost &host, QObject *parent)
    : QObject(parent), host_(host), dialogs_(host.dialogs()), settings_(host.settings()),
      clock_(host.clock())
{
}

void StationWatch::watchStation()
{
    const std::optional<QString> broker = dialogs_.input(
        tr("MQTT broker (host[:port]):"), tr("Watch station"),
        settings_.value(SettingsKeys::MqttBroker, QStringLiteral("localhost")), 200);
    if (!broker)
        return;
    MqttBroker at = MqttBroker::fromSettings(settings_);
    if (!at.setBroker(broker->trimmed()) || at.host.isEmpty()) {
        State_add(tr("MQTT: \"%1\" is not a broker: write its host, or host:port.").arg(*broker));
        return;
    }
    MqttWatcher *&watcher = watchers_[at.host + u':' + QString::number(at.port)];
    if (!watcher) {
        watcher = new MqttWatcher(host_.runHub(), clock_, at, this);
        connect(watcher, &MqttWatcher::message, this, &StationWatch::State_add);
    }
    // The broker lists its stations once connected: they are offered then.
    disconnect(stationsAwaited_);
    if (watcher->listed()) {
        chooseStation(watcher);
        return;
    }
    State_add(tr("MQTT: asking %1:%2 for its stations…").arg(at.host).arg(at.port));
    stationsAwaited_ = connect(watcher, &MqttWatcher::stationsListed, this, [this, watcher] {
        disconnect(stationsAwaited_);
        chooseStation(watcher);
    });
}

void StationWatch::chooseStation(MqttWatcher *watcher)
{
    QStringList online, offline;
    for (auto it = watcher->stations().begin(); it != watcher->stations().end(); ++it)
        (it.value() == QLatin1String("online") ? online : offline) << it.key();
    const std::optional<QString> station = dialogs_.choose(
        online.isEmpty() ? tr("No station is online yet. Station:") : tr("Station:"),
        tr("Watch station"), online + offline, 200);
    if (station && !station->trimmed().isEmpty())
        watcher->watch(station->trimmed());
}

void StationWatch::stopWatching()
{
    QStringList watched;
    QHash<QString, MqttWatcher *> of;
    for (MqttWatcher *watcher : std::as_const(watchers_))
        for (const QString &station : watcher->watched())
            watched << station, of.insert(station, watcher);
    if (watched.isEmpty()) {
        State_add(tr("MQTT: no station is watched."));
        return;
    }
    watched.sort();
    const std::optional<QString> station
        = dialogs_.choose(tr("Station:"), tr("Stop watching"), watched, 200);
    if (!station || !of.contains(*station))
        return;
    of[*station]->unwatch(*station);
    State_add(tr("MQTT: %1 is no longer watched.").arg(*station));
}
