#include "publish/mqtt_broker.h"

#include "platform/core/clock.h"
#include "platform/core/settings.h"

#include <QCoreApplication>
#include <QFile>
#include <QSysInfo>

#include <mosquitto.h>

#include <cerrno>
#include <cstring>

namespace {
// A broker that stops answering is noticed within two of them.
constexpr int KeepAliveS = 5;
// A broker back after a restart is heard within a second; an attempt a second costs it nothing.
constexpr int RetryS = 1;

QString failure(int rc)
{
    return rc == MOSQ_ERR_ERRNO ? QString::fromLocal8Bit(std::strerror(errno))
                                : QString::fromUtf8(mosquitto_strerror(rc));
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
        return QCoreApplication::translate(
                   "MqttBroker",
                   "the station name \"%1\" cannot be used: it must not be empty nor hold /, + "
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
                failure = QCoreApplication::translate("MqttBroker",
                                                      "the password file %1 cannot be read (%2)")
                              .arg(passwordFile, file.errorString());
        }
        mosquitto_username_pw_set(client, user.toUtf8().constData(),
                                  password.isNull() ? nullptr : password.constData());
    }
    if (!caFile.isEmpty()
        && mosquitto_tls_set(client, QFile::encodeName(caFile).constData(), nullptr, nullptr,
                             nullptr, nullptr)
            != MOSQ_ERR_SUCCESS)
        failure = QCoreApplication::translate("MqttBroker",
                                              "the certificate authority file %1 cannot be used")
                      .arg(caFile);
    mosquitto_reconnect_delay_set(client, RetryS, RetryS, false);
    return client;
}

QString MqttBroker::lost(int rc)
{
    // A broker that closed the connection leaves no cause to name.
    const bool closed = rc == MOSQ_ERR_CONN_LOST || (rc == MOSQ_ERR_ERRNO && errno == 0);
    return closed
        ? QCoreApplication::translate("MqttBroker", "connection lost")
        : QCoreApplication::translate("MqttBroker", "connection lost (%1)").arg(failure(rc));
}

QString MqttBroker::start(mosquitto *client) const
{
    const int rc = mosquitto_connect_async(client, host.toUtf8().constData(), port, KeepAliveS);
    mosquitto_loop_start(client);
    return rc == MOSQ_ERR_SUCCESS ? QString() : failure(rc);
}

void MqttLink::start(mosquitto *client, const MqttBroker &broker, const QString &failure)
{
    if (!failure.isEmpty()) // before the client's thread can say it answers
        heard(failure);
    if (const QString why = broker.start(client); !why.isEmpty())
        heard(why);
    // A certificate that fails to verify ends the client's thread without a word.
    const QString hint = broker.caFile.isEmpty()
        ? QString()
        : QCoreApplication::translate("MqttBroker", "; is its certificate signed by %1?")
              .arg(broker.caFile);
    clock_.after(WaitMs, this, [this, hint] {
        if (!saidUp_)
            say(QCoreApplication::translate("MqttBroker", "no answer within %1 s")
                    .arg(WaitMs / 1000)
                + hint);
    });
}

void MqttLink::heard(const QString &why)
{
    QMetaObject::invokeMethod(
        this, [this, why] { say(why); }, Qt::QueuedConnection);
}

void MqttLink::say(const QString &why)
{
    if (saidUp_ == why.isEmpty())
        return; // said once, until it changes
    saidUp_ = why.isEmpty();
    emit changed(why);
}
