#include "mqtt_json.h"

#include "run/run_file.h"
#include "run/run_summary.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QRegularExpression>

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace MqttJson {
namespace {
constexpr qint64 MaxElapsedS = 366 * 86400; // no charge lasts a year
void value(QByteArray &out, const Value &v)
{
    if (v.isEmpty())
        out += "null";
    else if (v.isText())
        out += string(v.text());
    else
        v.appendText(out);
}

QByteArray number(double v, int decimals)
{
    return QByteArray::number(v, 'f', decimals);
}
} // namespace

QByteArray string(const QString &text)
{
    // A one-element array escapes the text as JSON does; its brackets go.
    return QJsonDocument(QJsonArray { text }).toJson(QJsonDocument::Compact).chopped(1).mid(1);
}

QByteArray time(const QDateTime &time)
{
    // By hand: Qt's ISO form of a local time costs a reading most of its JSON.
    const QDate d = time.date();
    const QTime t = time.time();
    const int offset = time.offsetFromUtc() / 60;
    char text[40];
    int n = std::snprintf(text, sizeof text, "\"%04d-%02d-%02dT%02d:%02d:%02d", d.year(), d.month(),
                          d.day(), t.hour(), t.minute(), t.second());
    n += offset == 0
        ? std::snprintf(text + n, sizeof text - n, "Z\"")
        : std::snprintf(text + n, sizeof text - n, "%c%02d:%02d\"", offset < 0 ? '-' : '+',
                        std::abs(offset) / 60, std::abs(offset) % 60);
    return QByteArray(text, n);
}

QByteArray reading(const ChannelReading &sample, const QDateTime &when)
{
    QByteArray out = "{\"time\":" + time(when) + ",\"elapsed_s\":";
    if (const DayTime *t = sample[Time].time())
        out += QByteArray::number(std::llround(t->days * 86400));
    else
        out += "null";
    for (int f = Type; f < C1; ++f) {
        out += ",\"" + QByteArray(FieldNames[f]).toLower() + "\":";
        value(out, sample[f]);
    }
    const int present = cellsShown(sample);
    out += ",\"cells\":[";
    for (int c = C1; c < C1 + present; ++c) {
        if (c > C1)
            out += ',';
        value(out, sample[c]);
    }
    return out + "]}";
}

std::optional<ChannelReading> parseReading(const QByteArray &json)
{
    // Each value's own text: a double on the way would lose "16.80"'s last digit.
    static const QRegularExpression field(R"re("(\w+)":("(?:[^"\\]|\\.)*"|\[[^\]]*\]|[^,}\]]+))re");
    QHash<QString, QString> values;
    for (auto it = field.globalMatch(QString::fromUtf8(json)); it.hasNext();) {
        const auto m = it.next();
        values.insert(m.captured(1), m.captured(2));
    }
    auto value = [](int field, const QString &text) -> std::optional<Value> {
        std::optional<Value> v;
        bool whole = false;
        if (text == QLatin1String("null")) {
            v = Value();
        } else if (text.startsWith(u'"')) {
            const QJsonArray a = QJsonDocument::fromJson('[' + text.toUtf8() + ']').array();
            if (!a.isEmpty())
                v = a[0].toString();
        } else if (const qint64 w = text.toLongLong(&whole); whole) {
            v = w;
        } else if (const auto f = Fixed::parse(text)) {
            v = *f;
        }
        // Held to what a run file holds: a larger whole number would wrap as a decimal.
        return v && RunFile::fits(field, v->text()) ? v : std::nullopt;
    };
    ChannelReading r;
    bool timed = false;
    const qint64 s = values.value(QStringLiteral("elapsed_s")).toLongLong(&timed);
    if (timed) {
        if (s < 0 || s > MaxElapsedS)
            return std::nullopt;
        r[Time] = DayTime { s / 86400.0 };
    }
    for (int f = Type; f < C1; ++f) {
        const auto v = value(f, values.value(QString::fromLatin1(FieldNames[f]).toLower()));
        if (!v)
            return std::nullopt;
        r[f] = *v;
    }
    const QString cells = values.value(QStringLiteral("cells"));
    if (!cells.startsWith(u'[') || !cells.endsWith(u']'))
        return std::nullopt;
    const QStringList each = cells.mid(1).chopped(1).split(u',', Qt::SkipEmptyParts);
    for (int c = 0; c < 12; ++c) {
        const auto v = c < each.size() ? value(C1 + c, each[c]) : Value(Fixed());
        if (!v)
            return std::nullopt;
        r[C1 + c] = *v;
    }
    return r;
}

namespace {
// A description without the line break that ends the one a run gives itself.
QByteArray describe(const QString &description)
{
    return string(description.endsWith(QStringLiteral("\r\n")) ? description.chopped(2)
                                                               : description);
}
} // namespace

QByteArray live(const QString &description, const QDateTime &started, const char *activity)
{
    return "{\"state\":\"live\",\"description\":" + describe(description) + ",\"activity\":\""
        + activity + "\",\"started\":" + time(started) + '}';
}

QByteArray ended(const QString &description, const QDateTime &started, const RunSummary &summary,
                 const QString &file, const char *activity)
{
    return "{\"state\":\"ended\",\"description\":" + describe(description) + ",\"activity\":\""
        + activity + "\",\"started\":" + time(started) + ",\"samples\":"
        + QByteArray::number(summary.samples()) + ",\"seconds\":" + number(summary.seconds(), 0)
        + ",\"charged_mah\":" + number(summary.chargedMah(), 0) + ",\"discharged_mah\":"
        + number(summary.dischargedMah(), 0) + ",\"charged_wh\":" + number(summary.chargedWh(), 2)
        + ",\"discharged_wh\":" + number(summary.dischargedWh(), 2) + ",\"average_a\":"
        + number(summary.averageAmps(), 2) + ",\"peak_a\":" + number(summary.peakAmps(), 2)
        + ",\"start_v\":" + number(summary.startVolts(), 2)
        + ",\"end_v\":" + number(summary.endVolts(), 2)
        + ",\"file\":" + (file.isEmpty() ? QByteArray("null") : string(file)) + '}';
}

QByteArray event(const Notice &notice, const QDateTime &when)
{
    const QByteArray kind = '"' + QByteArray(Notice::name(notice.kind)) + '"';
    QByteArray out = "{\"time\":" + time(when) + ",\"kind\":" + kind + ",\"event_type\":" + kind
        + ",\"channel\":" + (notice.channel ? QByteArray::number(notice.channel) : "null")
        + ",\"station\":" + (notice.station.isEmpty() ? "null" : string(notice.station))
        + ",\"pack\":" + (notice.pack.isEmpty() ? "null" : string(notice.pack)) + ",\"reason\":"
        + (notice.reason ? '"' + QByteArray(Notice::name(*notice.reason)) + '"' : "null")
        + ",\"priority\":\"" + (notice.urgent() ? "high" : "default")
        + "\",\"title\":" + string(notice.title) + ",\"text\":" + string(notice.text);
    const auto figure = [&out](const char *key, const auto &v, int decimals = 0) {
        out += ",\"" + QByteArray(key) + "\":" + (v ? number(double(*v), decimals) : "null");
    };
    figure("mah", notice.mah);
    figure("seconds", notice.seconds);
    figure("temperature", notice.temperature, 1);
    figure("limit", notice.limit, 1);
    figure("spread", notice.spread, 2);
    return out + '}';
}
} // namespace MqttJson
