#pragma once

#include "support/private_broker.h"

#include <QtNetwork>

// influxd on 127.0.0.1 at ports free when it started, its data in a folder of its own, with a
// database "lab".
struct Influx {
    QTemporaryDir dir;
    QProcess process;
    int port = Broker::freePort();

    ~Influx()
    {
        process.terminate();
        process.waitForFinished();
    }
    bool start()
    {
        const QString conf = dir.filePath("influxd.conf");
        writeFile(conf,
                  QStringLiteral("reporting-disabled = true\nbind-address = \"127.0.0.1:%1\"\n"
                                 "[meta]\ndir = \"%2/meta\"\n[data]\ndir = \"%2/data\"\n"
                                 "wal-dir = \"%2/wal\"\n[http]\nbind-address = \"127.0.0.1:%3\"\n"
                                 "log-enabled = false\n[monitor]\nstore-enabled = false\n")
                      .arg(Broker::freePort())
                      .arg(dir.path())
                      .arg(port)
                      .toUtf8());
        process.start("influxd", { "-config", conf });
        for (int i = 0; i < 50; ++i, QThread::msleep(100))
            if (query("CREATE DATABASE lab").contains("results")) // 1.x takes it with GET
                return true;
        return false;
    }
    QString url() const { return QStringLiteral("http://127.0.0.1:%1").arg(port); }
    // What the server answers to `q` in database "lab".
    QByteArray query(const QString &q) const
    {
        QUrl at(url() + "/query");
        at.setQuery(QUrlQuery { { "db", "lab" }, { "q", q } });
        QNetworkAccessManager network;
        QNetworkReply *reply = network.get(QNetworkRequest(at));
        QEventLoop wait;
        QObject::connect(reply, &QNetworkReply::finished, &wait, &QEventLoop::quit);
        wait.exec();
        return reply->readAll();
    }
};
