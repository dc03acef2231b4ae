#include "publish/pushes.h"

#include "notify/run_notices.h"
#include "platform/core/clock.h"
#include "platform/core/settings.h"
#include "publish/http_outbox.h"
#include "publish/mqtt_json.h"

#include <QCoreApplication>
#include <QFile>

namespace {
// A header's value: text beyond ASCII as an encoded word, which ntfy reads.
QByteArray header(const QString &text)
{
    const QByteArray utf8 = text.toUtf8();
    for (const char c : utf8)
        if (uchar(c) < 0x20 || uchar(c) > 0x7e)
            return "=?UTF-8?B?" + utf8.toBase64() + "?=";
    return utf8;
}
} // namespace

QString PushTargets::parse(const QString &address, bool topic, QUrl &url)
{
    url = QUrl(address.contains(QLatin1String("://")) ? address : "https://" + address,
               QUrl::StrictMode);
    const bool http
        = url.scheme() == QLatin1String("http") || url.scheme() == QLatin1String("https");
    if (url.isValid() && http && !url.host().isEmpty() && (!topic || url.path().size() > 1))
        return {};
    url.clear();
    return topic
        ? QCoreApplication::translate("Pushes",
                                      "\"%1\" is not an ntfy topic's address (SERVER/TOPIC)")
              .arg(address)
        : QCoreApplication::translate("Pushes",
                                      "\"%1\" is not a webhook's address (http:// or https://)")
              .arg(address);
}

PushTargets PushTargets::fromSettings(const Settings &settings, QString &failure)
{
    PushTargets to;
    for (const auto &[key, topic, url] :
         { std::tuple(SettingsKeys::PushNtfy, true, &to.ntfy),
           std::tuple(SettingsKeys::PushWebhook, false, &to.webhook) })
        if (const QString address = settings.value(key).trimmed(); !address.isEmpty())
            if (const QString why = parse(address, topic, *url); !why.isEmpty())
                failure = why;
    to.ntfyTokenFile = settings.value(SettingsKeys::PushNtfyTokenFile);
    return to;
}

Pushes::Pushes(const Clock &clock, const PushTargets &to, QObject *parent)
    : QObject(parent), clock_(clock), to_(to)
{
    for (auto [url, outbox, name] :
         { std::tuple(&to_.ntfy, &ntfy_, "ntfy"), std::tuple(&to_.webhook, &webhook_, "Webhook") })
        if (!url->isEmpty()) {
            *outbox = new HttpOutbox(clock_, QString::fromLatin1(name), this);
            connect(*outbox, &HttpOutbox::message, this, &Pushes::message);
        }
    if (ntfy_ && !to_.ntfyTokenFile.isEmpty()) {
        QFile file(to_.ntfyTokenFile);
        if (file.open(QIODevice::ReadOnly))
            token_ = file.readLine().trimmed();
        else
            QMetaObject::invokeMethod(
                this,
                [this,
                 why
                 = QCoreApplication::translate(
                       "Pushes", "ntfy: the token file %1 cannot be read (%2); pushing without it")
                       .arg(to_.ntfyTokenFile, file.errorString())] { emit message(why); },
                Qt::QueuedConnection);
    }
}

void Pushes::follow(const RunNotices &notices)
{
    connect(&notices, &RunNotices::noticed, this, &Pushes::push);
}

void Pushes::push(const Notice &notice)
{
    if (ntfy_) {
        const bool urgent = notice.urgent();
        HttpOutbox::Headers headers { { "Title", header(notice.title) },
                                      { "Priority", urgent ? "high" : "default" },
                                      { "Content-Type", "text/plain; charset=utf-8" } };
        // The phone shows these as emoji before the title.
        if (urgent || notice.reason == RunEnd::Finished)
            headers.append(
                qMakePair(QByteArray("Tags"), QByteArray(urgent ? "warning" : "white_check_mark")));
        if (!token_.isEmpty())
            headers.append(qMakePair(QByteArray("Authorization"), "Bearer " + token_));
        ntfy_->post(to_.ntfy, headers, notice.text.toUtf8());
    }
    if (webhook_)
        webhook_->post(to_.webhook, { { "Content-Type", "application/json" } },
                       MqttJson::event(notice, clock_.now()));
}
