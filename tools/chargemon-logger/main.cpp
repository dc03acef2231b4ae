// chargemon-logger: records the charger's runs with no display and nobody at hand, saving each
// run as a run file when it ends.

#include "config_file.h"
#include "logger.h"

#include "book/pack_warning_watch.h"
#include "i18n/languages.h"
#include "link/frame_assembler.h"
#include "link/port_search.h"
#include "notify/run_notices.h"
#include "platform/core/background.h"
#include "platform/core/clock.h"
#include "platform/core/folders.h"
#include "platform/core/notifier.h"
#include "platform/core/port_list.h"
#include "platform/core/qt_serial_port.h"
#include "platform/core/settings.h"
#include "platform/core/sleep_inhibitor.h"
#include "publish/influx_writer.h"
#include "publish/mqtt_publisher.h"
#include "publish/pushes.h"
#include "run/keep_awake.h"
#include "run/live_runs.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSocketNotifier>
#include <QTemporaryFile>
#include <QTranslator>

#include <csignal>
#include <cstdio>
#include <sys/signalfd.h>
#include <unistd.h>

namespace {
const char *const Description
    = "Records every run of the charger's channels with no display, and saves each run\n"
      "by itself when it ends, as a run file chargemon opens, named\n"
      "YYYY-MM-DD_HHMMSS_CHn.mdb after its start. The charger is found as chargemon\n"
      "finds it (the ports in CHARGEMON_PORTS first, then USB and other serial ports), and\n"
      "found again after a pulled adapter. Every sample is kept in a recovery journal: a\n"
      "run of a logger that was killed is saved at the next start, marked \"(recovered)\".\n"
      "One time-stamped line per event on standard output, errors on standard error.\n"
      "SIGINT or SIGTERM ends the live runs and saves them; the exit status is 1 when a\n"
      "run could not be saved (it stays in its journal). The computer is kept awake\n"
      "while a channel is live, and a run that ends, a lost charger, a hot pack, cells\n"
      "apart at the end of a charge or packs of the battery book that need care (left\n"
      "full for days, a weak cell, worn) are told through the desktop's notifications.\n"
      "With --mqtt, the runs are published to an MQTT broker under chargemon/<station>/:\n"
      "status (retained online/offline), ch1/reading and ch2/reading (a JSON object per\n"
      "sample), ch1/run and ch2/run (retained, live or ended with the figures and file)\n"
      "and event (the notices). A broker that is away is retried; the runs are recorded\n"
      "and saved all the same. With --ntfy and --webhook, the notices are pushed to a\n"
      "phone through an ntfy topic and posted as JSON to a webhook, off the serial path.\n"
      "With --influx, every reading is written to an InfluxDB in its line protocol\n"
      "(measurement chargemon, tags station, channel and run start), in batches.\n"
      "Each long option may also be a line \"name = value\" of the configuration file (a\n"
      "flag's value true or false, a repeatable option's name again, # a comment), for a\n"
      "service started without options; those of the command line win over the file's.";

QString tr(const char *text)
{
    return QCoreApplication::translate("Logger", text);
}
} // namespace

int main(int argc, char *argv[])
{
    // Stop signals are read from a descriptor in the event loop, so that the runs are saved
    // first. Blocked before Qt starts any thread.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    for (int s : { SIGINT, SIGTERM })
        sigaddset(&stopSignals, s);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    QCoreApplication app(argc, argv);
    // The desktop program's name: its settings, journal and save folders are the logger's.
    QCoreApplication::setApplicationName(QStringLiteral("chargemon"));
    QCommandLineParser parser;
    parser.setApplicationDescription(QString::fromLatin1(Description));
    parser.addHelpOption();
    // Every one of them may be a line of the configuration file too.
    const QList<QCommandLineOption> options {
        { QStringLiteral("port"),
          QStringLiteral("Look for the charger on this serial device only (repeatable)."),
          QStringLiteral("path") },
        { QStringLiteral("dir"),
          QStringLiteral("Save the run files in this folder (default: %1).").arg(saveFolder()),
          QStringLiteral("folder"), saveFolder() },
        { QStringLiteral("title"),
          QStringLiteral("The description of the runs this logger records (default: the "
                         "run's own, its pack and start)."),
          QStringLiteral("text") },
        { QStringLiteral("verbose"), QStringLiteral("Print every sample too.") },
        { QStringLiteral("mqtt"), QStringLiteral("Publish the runs to this MQTT broker."),
          QStringLiteral("host[:port]") },
        { QStringLiteral("mqtt-user"), QStringLiteral("Log in to the broker as this user."),
          QStringLiteral("name") },
        { QStringLiteral("mqtt-password-file"),
          QStringLiteral("The user's password, the first line of this file."),
          QStringLiteral("file") },
        { QStringLiteral("mqtt-ca"),
          QStringLiteral("Reach the broker over TLS, trusting this certificate authority."),
          QStringLiteral("file") },
        { QStringLiteral("station"),
          QStringLiteral("The name this logger publishes under, without /, + or # (default: "
                         "the host name)."),
          QStringLiteral("name") },
        { QStringLiteral("ha-discovery"),
          QStringLiteral("Publish home-automation discovery configurations of each channel's "
                         "main figures, run state and notices.") },
        { QStringLiteral("influx"), QStringLiteral("Write the readings to this InfluxDB."),
          QStringLiteral("http://host:port") },
        { QStringLiteral("influx-db"),
          QStringLiteral("The InfluxDB database (a 2.x server's bucket)."),
          QStringLiteral("name") },
        { QStringLiteral("influx-org"),
          QStringLiteral("A 2.x server's organisation: written through its /api/v2/write."),
          QStringLiteral("name") },
        { QStringLiteral("influx-token-file"),
          QStringLiteral("The InfluxDB token, the first line of this file."),
          QStringLiteral("file") },
        { QStringLiteral("ntfy"),
          QStringLiteral("Push the notices to this ntfy topic (https:// unless another scheme "
                         "is given), e.g. ntfy.sh/my-garage-7f3a."),
          QStringLiteral("server/topic") },
        { QStringLiteral("ntfy-token-file"),
          QStringLiteral("The ntfy access token, the first line of this file."),
          QStringLiteral("file") },
        { QStringLiteral("webhook"),
          QStringLiteral("Post each notice as JSON (the MQTT event's) to this address."),
          QStringLiteral("url") },
    };
    const ConfigFile config = ConfigFile::process(parser, options, app.arguments());
    if (!config.error.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(config.error));
        return 2;
    }
    if (!parser.positionalArguments().isEmpty()) {
        std::fputs(qPrintable(parser.helpText()), stderr);
        return 2;
    }
    // A mistake is told before anything is recorded, with where the option was given.
    const auto refuse = [&config](const char *name, const QString &why) {
        std::fprintf(stderr, "%s: %s\n", qPrintable(config.origin(QLatin1String(name))),
                     qPrintable(why));
        return 2;
    };
    MqttBroker mqtt;
    if (!mqtt.setBroker(parser.value(QStringLiteral("mqtt"))))
        return refuse("mqtt",
                      tr("\"%1\" is not HOST[:PORT]").arg(parser.value(QStringLiteral("mqtt"))));

    Settings settings;
    QTranslator translation;
    const Language &language = languageNamed(storedLanguage(settings));
    useLocale(language);
    if (loadTranslation(translation, language))
        QCoreApplication::installTranslator(&translation);
    if (const QString why = mqtt.setStation(parser.value(QStringLiteral("station")));
        !mqtt.host.isEmpty() && !why.isEmpty())
        return refuse("station", why);
    const QString folder = parser.value(QStringLiteral("dir"));
    // Made and written to now, so that a folder that cannot be is told before any run.
    QDir().mkpath(folder);
    QTemporaryFile probe(QDir(folder).filePath(QStringLiteral(".chargemon-XXXXXX")));
    if (!probe.open())
        return refuse("dir", tr("the folder %1 cannot be written").arg(folder));
    for (const char *name : { "mqtt-password-file", "mqtt-ca", "ntfy-token-file" }) {
        QFile file(parser.value(QLatin1String(name)));
        if (!file.fileName().isEmpty() && !file.open(QIODevice::ReadOnly))
            return refuse(name,
                          tr("%1 cannot be read (%2)").arg(file.fileName(), file.errorString()));
    }

    const InfluxTarget influx { parser.value(QStringLiteral("influx")),
                                parser.value(QStringLiteral("influx-db")),
                                parser.value(QStringLiteral("influx-org")),
                                parser.value(QStringLiteral("influx-token-file")), mqtt.station };
    if (const QString why = influx.problem(); !influx.url.isEmpty() && !why.isEmpty())
        return refuse("influx", why);
    PushTargets push;
    push.ntfyTokenFile = parser.value(QStringLiteral("ntfy-token-file"));
    for (const auto &[option, topic, url] :
         { std::tuple("ntfy", true, &push.ntfy), std::tuple("webhook", false, &push.webhook) })
        if (const QString address = parser.value(QString::fromLatin1(option)); !address.isEmpty())
            if (const QString why = PushTargets::parse(address, topic, *url); !why.isEmpty())
                return refuse(option, why);

    SystemClock clock;
    const QStringList only = parser.values(QStringLiteral("port"));
    if (!only.isEmpty())
        qputenv("CHARGEMON_PORTS", only.join(u':').toLocal8Bit());
    SystemPortList ports(
        QStringLiteral("/dev"),
        only.isEmpty() ? SystemPortList::Lister(SystemPortList::systemPorts)
                       : [] { return QList<SystemPortList::Listed>(); });
    QtSerialPort port(ports);
    // Journals of its own: the desktop program's are the desktop's to offer.
    const QString journals = QDir(journalFolder()).filePath(QStringLiteral("logger"));
    // Its work is waited for before the runs and the logger go.
    Background background;
    RunHub hub;
    LiveRuns runs(hub, clock, { journals, &background });
    Logger logger(
        hub, runs, clock, background,
        { folder, parser.value(QStringLiteral("title")), parser.isSet(QStringLiteral("verbose")) });
    LogindSleepInhibitor inhibitor;
    KeepAwake awake(hub, inhibitor);
    QObject::connect(&awake, &KeepAwake::message, &logger, &Logger::print);
    DBusNotifier notifier(QStringLiteral("chargemon"), QStringLiteral(CHARGEMON_APP_ID));
    RunNotices notices(hub, notifier, settings);
    QObject::connect(&notices, &RunNotices::message, &logger, &Logger::print);
    mqtt.user = parser.value(QStringLiteral("mqtt-user"));
    mqtt.passwordFile = parser.value(QStringLiteral("mqtt-password-file"));
    mqtt.caFile = parser.value(QStringLiteral("mqtt-ca"));
    mqtt.haDiscovery = parser.isSet(QStringLiteral("ha-discovery"));
    MqttPublisher publisher(hub, clock, mqtt);
    publisher.follow(notices);
    QObject::connect(&publisher, &MqttPublisher::message, &logger, &Logger::error);
    std::unique_ptr<InfluxWriter> writer;
    if (!influx.url.isEmpty()) {
        writer = std::make_unique<InfluxWriter>(hub, clock, influx);
        QObject::connect(writer.get(), &InfluxWriter::message, &logger, &Logger::error);
    }
    Pushes pushes(clock, push);
    pushes.follow(notices);
    QObject::connect(&pushes, &Pushes::message, &logger, &Logger::error);
    // The battery book over the save folder: packs that need care are told too.
    PackWarningWatch warnings(bookFile(), folder, background, clock);
    QObject::connect(&warnings, &PackWarningWatch::standing, &logger, &Logger::print);
    QObject::connect(&warnings, &PackWarningWatch::told, &notices, &RunNotices::packsNeedCare);
    FrameAssembler assembler(port, runs, clock);
    PortSearch search(port, ports, runs, clock, assembler);

    const int stopFd = signalfd(-1, &stopSignals, SFD_CLOEXEC);
    QSocketNotifier stop(stopFd, QSocketNotifier::Read);
    QObject::connect(&stop, &QSocketNotifier::activated, &logger, [&] {
        stop.setEnabled(false);
        // Nothing more is read: the runs end as they stand.
        search.Timer1().stop();
        search.Timer_out().stop();
        port.close();
        logger.stop();
    });
    QObject::connect(&logger, &Logger::finished, &app, &QCoreApplication::exit);

    logger.recover(journals);
    logger.print(tr("searching for the charger"));
    search.start();
    const int status = QCoreApplication::exec();
    ::close(stopFd);
    return status;
}
