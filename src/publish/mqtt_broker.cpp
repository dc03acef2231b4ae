#include "publish/mqtt_broker.h"

#include "platform/core/settings.h"

#include <QCoreApplication>
#include <QFile>
#include <QSysInfo>

#include <mosquitto.h>

#include <cerrno>
#include <cstring>

namespace {
constexpr int KeepAliveS = 30;
constexpr int RetryFirstS = 1, RetryMostS = 30; // the pause between attempts

QString tr(const char *text)
{
    return QCoreApplication::translate("MqttBroker", text);
}
} // namespace

bool MqttBroker::setBroker(const QString &broker)
{
    const qsizetype colon = broker.lastIndexOf(u':');
    host = colon < 0 ? broker : broker.left(colon);
    if (colon < 0)
        return true;
    bool ok = false;
    port = broker.mid(colon + 1).toInt(&ok);
    return ok && port > 0 && port < 65536;
}

QString MqttBroker::setStation(const QString &name)
{
    station = name.isEmpty() ? QSysInfo::machineHostName() : name;
    // A topic level may hold anything but the separator and the wildcards.
    if (station.isEmpty() || station.contains(u'/') || station.contains(u'+')
        || station.contains(u'#'))
        return tr("the station name \"%1\" cannot be used: it must not be empty nor hold /, + "
                  "or #")
            .arg(station);
    return {};
}

MqttBroker MqttBroker::fromSettings(const Settings &settings)
{
    MqttBroker o;
    o.setBroker(settings.value(SettingsKeys::MqttBroker).trimmed());
    o.user = settings.value(SettingsKeys::MqttUser);
    o.passwordFile = settings.value(SettingsKeys::MqttPasswordFile);
    o.caFile = settings.value(SettingsKeys::MqttCa);
    o.station = settings.value(SettingsKeys::MqttStation);
    o.haDiscovery = settings.value(SettingsKeys::MqttHaDiscovery) == QLatin1String("1");
    return o;
}

mosquitto *MqttBroker::newClient(void *self, QString &failure) const
{
    static const int init = mosquitto_lib_init();
    Q_UNUSED(init);
    mosquitto *client = mosquitto_new(nullptr, true, self);
    if (!client)
        return nullptr;
    mosquitto_int_option(client, MOSQ_OPT_PROTOCOL_VERSION, MQTT_PROTOCOL_V311);
    if (!user.isEmpty()) {
        QByteArray password;
        if (!passwordFile.isEmpty()) {
            QFile file(passwordFile);
            if (file.open(QIODevice::ReadOnly))
                password = file.readLine().trimmed();
            else
                failure = tr("the password file %1 cannot be read (%2)")
                              .arg(passwordFile, file.errorString());
        }
        mosquitto_username_pw_set(client, user.toUtf8().constData(),
                                  password.isNull() ? nullptr : password.constData());
    }
    if (!caFile.isEmpty()
        && mosquitto_tls_set(client, QFile::encodeName(caFile).constData(), nullptr, nullptr,
                             nullptr, nullptr)
            != MOSQ_ERR_SUCCESS)
        failure = tr("the certificate authority file %1 cannot be used").arg(caFile);
    mosquitto_reconnect_delay_set(client, RetryFirstS, RetryMostS, true);
    return client;
}

QString MqttBroker::lost()
{
    return tr("connection lost");
}

QString MqttBroker::start(mosquitto *client) const
{
    const int rc = mosquitto_connect_async(client, host.toUtf8().constData(), port, KeepAliveS);
    const QString failure = rc == MOSQ_ERR_SUCCESS ? QString()
        : rc == MOSQ_ERR_ERRNO                     ? QString::fromLocal8Bit(std::strerror(errno))
                                                   : QString::fromUtf8(mosquitto_strerror(rc));
    mosquitto_loop_start(client);
    return failure;
}
