#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QPair>
#include <QUrl>

#include <deque>

class Clock;
class QNetworkAccessManager;
class QNetworkReply;

// Requests to an HTTP server, posted one at a time on the event loop: the caller (the sample
// path) only queues. A server that fails is tried again after a growing pause, a request that
// failed `attempts` times is dropped, and so is the oldest waiting one beyond `queued`. Its
// trouble is said once, and once again when it answers.
class HttpOutbox final : public QObject {
    Q_OBJECT
public:
    struct Limits {
        int queued = 60; // waiting requests
        int attempts = 4; // of one request
        qint64 firstPauseMs = 1000, lastPauseMs = 16000;
        qint64 timeoutMs = 10000; // for an answer
    };
    using Headers = QList<QPair<QByteArray, QByteArray>>;

    // `name` says what the server is to the user ("InfluxDB").
    HttpOutbox(const Clock &clock, const QString &name, Limits limits, QObject *parent = nullptr);
    HttpOutbox(const Clock &clock, const QString &name, QObject *parent = nullptr)
        : HttpOutbox(clock, name, Limits(), parent)
    {
    }

    void post(const QUrl &url, const Headers &headers, const QByteArray &body);
    // Requests given up since the start.
    qint64 dropped() const { return dropped_; }

signals:
    // A line for the status line or standard error: the server failing, or answering again.
    void message(const QString &text);

private:
    struct Request {
        QUrl url;
        Headers headers;
        QByteArray body;
        int tries = 0;
    };
    void send();
    void answered(QNetworkReply *reply);
    void fail(const QString &why, bool again);
    QString server() const;

    const Clock &clock_;
    QString name_;
    Limits limits_;
    QNetworkAccessManager *network_;
    std::deque<Request> queue_; // the front one is in flight or waits for its next try
    bool busy_ = false; // a request in flight, or a pause before the next try
    bool timedOut_ = false; // the request in flight
    int failures_ = 0; // in a row
    bool failing_ = false; // what was said last
    qint64 dropped_ = 0, droppedSaid_ = 0;
};
