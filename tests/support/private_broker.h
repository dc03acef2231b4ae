#pragma once

#include "publish/mqtt_broker.h"
#include "support/files.h"

#include <QtCore>
#include <mosquitto.h>

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

// mosquitto on 127.0.0.1 at a port free when it started, anonymous or with user "lab", its
// listener configured further by `more`.
struct Broker {
    QTemporaryDir dir;
    QProcess process;
    int port = 0;

    ~Broker() { stop(); }
    // A port free now; with `silent`, one that takes connections and never answers, until
    // `silent` is closed.
    static int freePort(int *silent = nullptr)
    {
        const int s = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a {};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t size = sizeof a;
        ::bind(s, reinterpret_cast<sockaddr *>(&a), size);
        ::getsockname(s, reinterpret_cast<sockaddr *>(&a), &size);
        if (silent)
            ::listen(*silent = s, 4);
        else
            ::close(s);
        return ntohs(a.sin_port);
    }
    bool start(bool login, const QByteArray &more = {})
    {
        if (port == 0)
            port = freePort();
        const QString conf = dir.filePath("broker.conf"), users = dir.filePath("users");
        if (login)
            QProcess::execute("mosquitto_passwd", { "-b", "-c", users, "lab", "right" });
        // Run by root, it stays root: the private folder is not another user's to read.
        writeFile(
            conf,
            QStringLiteral("listener %1 127.0.0.1\nlog_dest stderr\nuser root\n").arg(port).toUtf8()
                + more
                + (login ? "allow_anonymous false\npassword_file " + users.toUtf8()
                         : "allow_anonymous true\n"));
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.start("mosquitto", { "-c", conf });
        QString log;
        for (int i = 0; i < 50 && !log.contains(" running"); ++i) {
            process.waitForReadyRead(100);
            log += process.readAll();
        }
        return log.contains(" running");
    }
    void stop()
    {
        for (QProcess *sub : process.findChildren<QProcess *>())
            sub->kill(), sub->waitForFinished();
        process.terminate();
        process.waitForFinished();
    }
    // Everything on `topic` as "topic payload" lines, retained ones alone when `retained`,
    // until `seconds` pass.
    QProcess *subscribe(bool retained, int seconds = 30, const QString &topic = "chargemon/#")
    {
        auto *sub = new QProcess(&process);
        QStringList args { "-p", QString::number(port),   "-t", topic, "-F", "%t %p",
                           "-W", QString::number(seconds) };
        sub->start("mosquitto_sub", retained ? args << "--retained-only" : args);
        sub->waitForStarted();
        return sub;
    }
    // A client's way to this broker, as `station`.
    MqttBroker client(const QString &station) const
    {
        MqttBroker broker;
        broker.host = "127.0.0.1", broker.port = port, broker.station = station;
        return broker;
    }
    QStringList retained(const QString &topic = "chargemon/#")
    {
        QProcess *sub = subscribe(true, 1, topic);
        sub->waitForFinished(5000);
        return QString::fromUtf8(sub->readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
    }
    // Publishes `messages` (topic, payload) in order, as a station could.
    void publish(const QList<QPair<QString, QByteArray>> &messages) const
    {
        mosquitto *client = mosquitto_new(nullptr, true, nullptr);
        mosquitto_connect(client, "127.0.0.1", port, 10);
        mosquitto_loop_start(client);
        for (const auto &[topic, payload] : messages)
            mosquitto_publish(client, nullptr, topic.toUtf8().constData(), int(payload.size()),
                              payload.constData(), 1, false);
        QThread::msleep(500);
        mosquitto_disconnect(client);
        mosquitto_loop_stop(client, false);
        mosquitto_destroy(client);
    }
};
