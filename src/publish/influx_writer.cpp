#include "influx_writer.h"

#include "platform/core/clock.h"
#include "platform/core/settings.h"
#include "publish/mqtt_json.h"
#include "run/run_hub.h"

#include <QFile>
#include <QSysInfo>
#include <QUrlQuery>

#include <cmath>

namespace {
constexpr int BatchLines = 100;
constexpr qint64 BatchMs = 5000; // a charger sends a reading a second

// A tag's key or value, or a field's key: what would end it goes behind a backslash.
QByteArray escaped(const QString &text)
{
    QByteArray out;
    for (const char c : text.toUtf8()) {
        if (c == ',' || c == '=' || c == ' ' || c == '\\')
            out += '\\';
        out += c == '\n' || c == '\r' ? ' ' : c;
    }
    return out;
}
} // namespace

InfluxTarget InfluxTarget::fromSettings(const Settings &settings)
{
    return { settings.value(SettingsKeys::InfluxUrl).trimmed(),
             settings.value(SettingsKeys::InfluxDatabase).trimmed(),
             settings.value(SettingsKeys::InfluxOrg).trimmed(),
             settings.value(SettingsKeys::InfluxTokenFile),
             settings.value(SettingsKeys::MqttStation) };
}

QString InfluxTarget::problem() const
{
    const QUrl at(url, QUrl::StrictMode);
    if (!at.isValid() || at.host().isEmpty()
        || (at.scheme() != QLatin1String("http") && at.scheme() != QLatin1String("https")))
        return InfluxWriter::tr("InfluxDB: \"%1\" is not an http:// or https:// address").arg(url);
    if (database.isEmpty())
        return InfluxWriter::tr("InfluxDB: no database or bucket named");
    if (QFile file(tokenFile); !tokenFile.isEmpty() && !file.open(QIODevice::ReadOnly))
        return InfluxWriter::tr("InfluxDB: the token file %1 cannot be read (%2)")
            .arg(tokenFile, file.errorString());
    return {};
}

InfluxWriter::InfluxWriter(RunHub &hub, const Clock &clock, const InfluxTarget &target,
                           QObject *parent)
    : QObject(parent), clock_(clock), outbox_(clock, QStringLiteral("InfluxDB"), this)
{
    connect(&outbox_, &HttpOutbox::message, this, &InfluxWriter::message);
    if (const QString why = target.problem(); !why.isEmpty()) {
        QMetaObject::invokeMethod(
            this, [this, why] { emit message(tr("%1; nothing is written").arg(why)); },
            Qt::QueuedConnection);
        return;
    }
    QUrlQuery query;
    if (!target.org.isEmpty())
        query.addQueryItem(QStringLiteral("org"), target.org);
    query.addQueryItem(target.org.isEmpty() ? QStringLiteral("db") : QStringLiteral("bucket"),
                       target.database);
    query.addQueryItem(QStringLiteral("precision"), QStringLiteral("ms"));
    url_ = QUrl(target.url);
    url_.setPath(
        url_.path().chopped(url_.path().endsWith(u'/'))
        + (target.org.isEmpty() ? QLatin1String("/write") : QLatin1String("/api/v2/write")));
    url_.setQuery(query);
    headers_ = { { "Content-Type", "text/plain; charset=utf-8" } };
    if (QFile file(target.tokenFile); !target.tokenFile.isEmpty() && file.open(QIODevice::ReadOnly))
        headers_.append({ "Authorization", "Token " + file.readLine().trimmed() });

    const QByteArray station
        = escaped(target.station.isEmpty() ? QSysInfo::machineHostName() : target.station);
    // This station's own runs: a watched station writes its own.
    connect(&hub, &RunHub::runStarted, this, [this, station](const std::shared_ptr<Run> &run) {
        if (run->source() == Run::Source::Charger)
            series_[run->channel() == 2] = "chargemon,channel=" + QByteArray::number(run->channel())
                + ",run=" + MqttJson::time(clock_.now()).mid(1).chopped(1) + ",station=" + station;
    });
    connect(&hub, &RunHub::recorded, this, [this](const Run &run, const ChannelReading &sample) {
        if (run.source() != Run::Source::Charger)
            return;
        if (lines_ == 0)
            clock_.after(BatchMs, this, [this] { flush(); });
        batch_ += line(series_[run.channel() == 2], sample, clock_.now().toMSecsSinceEpoch());
        if (++lines_ == BatchLines)
            flush();
    });
    // The last readings of a run go at once: the program may be about to stop.
    connect(&hub, &RunHub::runEnded, this, &InfluxWriter::flush);
}

QByteArray InfluxWriter::line(const QByteArray &series, const ChannelReading &sample, qint64 ms)
{
    QByteArray out = series;
    char separator = ' ';
    const auto field = [&](const char *key, const Value &v) {
        if (v.isEmpty())
            return;
        out += separator;
        separator = ',';
        out += key;
        out += '=';
        if (const QString *text = v.heldText()) {
            out += '"' + text->toUtf8().replace('\\', "\\\\").replace('"', "\\\"") + '"';
        } else if (const DayTime *t = v.time()) {
            out += QByteArray::number(std::llround(t->days * 86400));
        } else {
            v.appendText(out); // as the charger sent it: "16.80" stays exact
        }
    };
    field("elapsed_s", sample[Time]);
    for (int f = Type; f < C1; ++f)
        field(QByteArray(FieldNames[f]).toLower().constData(), sample[f]);
    const int present = cellsShown(sample);
    for (int c = C1; c < C1 + present; ++c)
        field(QByteArray(FieldNames[c]).toLower().constData(), sample[c]);
    if (separator == ' ')
        return {}; // a line needs a field
    return out + ' ' + QByteArray::number(ms) + '\n';
}

void InfluxWriter::flush()
{
    if (lines_ == 0)
        return;
    outbox_.post(url_, headers_, batch_);
    batch_.clear();
    lines_ = 0;
}
