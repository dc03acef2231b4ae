#include "platform/core/settings.h"

#include <QCoreApplication>
#include <QSettings>

Settings::Settings()
    : settings_(std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope,
                                            QCoreApplication::applicationName()))
{
}

Settings::Settings(const QString &file)
    : settings_(std::make_unique<QSettings>(file, QSettings::IniFormat))
{
}

Settings::~Settings() = default;

QString Settings::value(const char *key, const QString &fallback) const
{
    return settings_->value(QLatin1String(key), fallback).toString();
}

bool Settings::setValue(const char *key, const QString &value)
{
    settings_->setValue(QLatin1String(key), value);
    settings_->sync();
    return settings_->status() == QSettings::NoError;
}

QString Settings::fileName() const
{
    return settings_->fileName();
}

QString storedLanguage(const Settings &settings)
{
    return settings.value(SettingsKeys::Lang, QStringLiteral("ENG")).trimmed();
}
