#pragma once

#include <QString>
#include <memory>

class QSettings;

// The keys of the per-user settings, "section/key". Sections and keys are case-sensitive
// here, so each has this one spelling.
namespace SettingsKeys {
// The interface language: the code of one of the languages' rows, "ENG" or "CHT".
inline constexpr char Lang[] = "Lang/Lang";
// Recovery journals that could not be deleted and are not offered again: one line each,
// their time of change and path.
inline constexpr char KeptJournals[] = "Recovery/Kept";
// Desktop notifications of runs: "0" keeps them off; the pack temperature (°C) worth one.
inline constexpr char NoticesOn[] = "Notices/On";
inline constexpr char NoticeTempLimit[] = "Notices/TempLimit";
// Publishing the live runs: the broker "HOST[:PORT]" ("" publishes nothing), the login, a file
// holding the password, a certificate authority for TLS, the station's name (default: the host
// name) and "1" for home-automation discovery.
inline constexpr char MqttBroker[] = "Mqtt/Broker";
inline constexpr char MqttUser[] = "Mqtt/User";
inline constexpr char MqttPasswordFile[] = "Mqtt/PasswordFile";
inline constexpr char MqttCa[] = "Mqtt/Ca";
inline constexpr char MqttStation[] = "Mqtt/Station";
inline constexpr char MqttHaDiscovery[] = "Mqtt/HaDiscovery";
// Writing the readings to an InfluxDB: its address "http://HOST:PORT" ("" writes nothing), the
// database (a 2.x server's bucket), a 2.x server's organisation and a file holding the token.
// The station's name is Mqtt/Station's.
inline constexpr char InfluxUrl[] = "Influx/Url";
inline constexpr char InfluxDatabase[] = "Influx/Database";
inline constexpr char InfluxOrg[] = "Influx/Org";
inline constexpr char InfluxTokenFile[] = "Influx/TokenFile";
// Pushing the notices: an ntfy topic "SERVER/TOPIC" (https:// unless another scheme is given),
// a file whose first line is its access token, and a webhook's address that takes each
// notice's JSON; "" pushes nothing.
inline constexpr char PushNtfy[] = "Push/Ntfy";
inline constexpr char PushNtfyTokenFile[] = "Push/NtfyTokenFile";
inline constexpr char PushWebhook[] = "Push/Webhook";
} // namespace SettingsKeys

// The per-user settings of the program, an INI file named after the executable in the
// user's configuration folder; tests give a file of their own.
class Settings {
public:
    Settings();
    explicit Settings(const QString &file);
    ~Settings();
    Settings(const Settings &) = delete;
    Settings &operator=(const Settings &) = delete;

    QString value(const char *key, const QString &fallback = {}) const;
    // Stores at once; false when the store cannot be written.
    bool setValue(const char *key, const QString &value);
    QString fileName() const;

private:
    std::unique_ptr<QSettings> settings_;
};

// The interface language as the program reads it back: without surrounding spaces, "ENG"
// when nothing is stored.
QString storedLanguage(const Settings &settings);
