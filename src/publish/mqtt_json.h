#pragma once

#include "link/channel_reading.h"
#include "notify/notice.h"

#include <QByteArray>
#include <QDateTime>

#include <optional>

class RunSummary;

// The JSON the broker carries, built by hand: a reading's numbers keep exactly the decimals the
// charger sent, which a double on the way would lose.
namespace MqttJson {
// One accepted sample: the run file's columns in lower case, `time` the local time it was
// taken, `elapsed_s` the run's time, an empty value null and `cells` the cells up to the last
// one with a voltage.
QByteArray reading(const ChannelReading &sample, const QDateTime &time);
// The fields of reading(): the time is the run's (`elapsed_s`), decimals are Fixed, whole
// numbers such, cells not sent 0.00. None when `json` is not such an object.
std::optional<ChannelReading> parseReading(const QByteArray &json);
// A run that began at `started` and is live; `activity` "charging" or "discharging".
QByteArray live(const QString &description, const QDateTime &started, const char *activity);
// A run that ended for a reason (`activity`, Notice::name()), with its figures and the file it
// was saved to ("" not yet, or never).
QByteArray ended(const QString &description, const QDateTime &started, const RunSummary &summary,
                 const QString &file, const char *activity);
// A notice, told at `time`: its kind (twice: `event_type` is what home-automation event
// entities read), channel and station (null: a pack's notice; the sender's own), the battery
// book's pack (null: a run's), reason, priority, title and text,
// and its figures (null where the kind has none). The one form of a notice for machines: the
// broker's event topic and webhooks alike.
QByteArray event(const Notice &notice, const QDateTime &time);
// `text` as a JSON string, quotes included.
QByteArray string(const QString &text);
// Local time with its offset from UTC.
QByteArray time(const QDateTime &time);
} // namespace MqttJson
