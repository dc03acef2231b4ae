#pragma once

#include "link/channel_reading.h"
#include "publish/http_outbox.h"

#include <QObject>
#include <QString>

#include <array>

class Clock;
class RunHub;
class Settings;

// Where an InfluxDB takes the readings: a 1.x server's database, or a 2.x server's bucket in an
// organisation, with a token.
struct InfluxTarget {
    QString url; // "http://HOST:PORT"; "" writes nothing
    QString database; // or bucket
    QString org; // a 2.x server's: written through its /api/v2/write
    QString tokenFile; // its first line is the token
    QString station; // the host name for ""

    // The desktop program's: the settings' Influx/ keys and the station of Mqtt/.
    static InfluxTarget fromSettings(const Settings &settings);
    // "" or why the target cannot be written to.
    QString problem() const;
};

// Writes every reading of the charger's runs to an InfluxDB as a line of its line protocol
// (measurement "chargemon", tags station, channel and run start, the reading's fields as the
// charger sent them), a batch every 5 s or 100 lines, through an outbox.
class InfluxWriter final : public QObject {
    Q_OBJECT
public:
    InfluxWriter(RunHub &hub, const Clock &clock, const InfluxTarget &target,
                 QObject *parent = nullptr);

    // `sample`'s line after `series` (measurement and tags), at `ms` since the epoch.
    static QByteArray line(const QByteArray &series, const ChannelReading &sample, qint64 ms);

signals:
    // A line for the status line or standard error: the server failing or back.
    void message(const QString &text);

private:
    void flush();

    const Clock &clock_;
    HttpOutbox outbox_;
    QUrl url_;
    HttpOutbox::Headers headers_;
    std::array<QByteArray, 2> series_; // of each channel's run
    QByteArray batch_;
    int lines_ = 0;
};
