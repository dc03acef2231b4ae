#include "http_outbox.h"

#include "platform/core/clock.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>

#include <algorithm>

HttpOutbox::HttpOutbox(const Clock &clock, const QString &name, Limits limits, QObject *parent)
    : QObject(parent), clock_(clock), name_(name), limits_(limits),
      network_(new QNetworkAccessManager(this))
{
}

void HttpOutbox::post(const QUrl &url, const Headers &headers, const QByteArray &body)
{
    queue_.push_back({ url, headers, body });
    if (std::ssize(queue_) > limits_.queued + (busy_ ? 1 : 0)) {
        // The front one is in flight or waits for its next try: the oldest behind it goes.
        queue_.erase(queue_.begin() + (busy_ ? 1 : 0));
        ++dropped_;
    }
    if (!busy_) {
        busy_ = true;
        QMetaObject::invokeMethod(this, &HttpOutbox::send, Qt::QueuedConnection);
    }
}

void HttpOutbox::send()
{
    if (queue_.empty()) {
        busy_ = false;
        return;
    }
    Request &r = queue_.front();
    ++r.tries;
    QNetworkRequest request(r.url);
    for (const auto &[key, value] : r.headers)
        request.setRawHeader(key, value);
    QNetworkReply *reply = network_->post(request, r.body);
    timedOut_ = false;
    connect(reply, &QNetworkReply::finished, this, [this, reply] { answered(reply); });
    clock_.after(limits_.timeoutMs, reply, [this, reply] {
        if (reply->isRunning()) {
            timedOut_ = true;
            reply->abort();
        }
    });
}

void HttpOutbox::answered(QNetworkReply *reply)
{
    reply->deleteLater();
    const QString at = server();
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (reply->error() == QNetworkReply::NoError) {
        queue_.pop_front();
        failures_ = 0;
        if (failing_) {
            failing_ = false;
            const qint64 lost = dropped_ - droppedSaid_;
            droppedSaid_ = dropped_;
            emit message(lost == 0 ? tr("%1: %2 answers again").arg(name_, at)
                                   : tr("%1: %2 answers again; %3 requests were given up")
                                         .arg(name_, at)
                                         .arg(lost));
        }
        send();
        return;
    }
    const QString why = timedOut_ ? tr("no answer in %1 s").arg(limits_.timeoutMs / 1000.0)
        : status != 0
        ? tr("answered %1 %2")
              .arg(status)
              .arg(reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString())
        : reply->errorString();
    // A request the server refuses (bad data, no right) fares no better the next time.
    fail(why, status == 0 || status >= 500 || status == 429);
}

void HttpOutbox::fail(const QString &why, bool again)
{
    if (!failing_) {
        failing_ = true;
        emit message(
            tr("%1: %2: %3; tried again later, the recording goes on").arg(name_, server(), why));
    }
    if (!again || queue_.front().tries >= limits_.attempts) {
        queue_.pop_front();
        ++dropped_;
    }
    const qint64 pause
        = std::min(limits_.lastPauseMs, limits_.firstPauseMs << std::min(failures_, 20));
    ++failures_;
    clock_.after(pause, this, [this] { send(); });
}

QString HttpOutbox::server() const
{
    // Not the path: a push topic in it is a secret of sorts.
    return queue_.empty()
        ? QString()
        : queue_.front()
              .url.adjusted(QUrl::RemovePath | QUrl::RemoveQuery | QUrl::RemoveUserInfo)
              .toDisplayString();
}
