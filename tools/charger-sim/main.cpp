// charger-sim: a two-channel charger on a pseudo-terminal (or a serial device) that streams
// telemetry frames, for trying and testing the monitor without a charger.

#include "output_line.h"
#include "simulator.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QSocketNotifier>

#include <csignal>
#include <cstdio>
#include <optional>
#include <sys/signalfd.h>
#include <unistd.h>

namespace {

struct Parsed {
    SimulatorOptions options;
    QString device;
    QString link;
};

int number(const QCommandLineParser &parser, const QString &name, bool &ok)
{
    if (!parser.isSet(name))
        return 0;
    bool valid = false;
    const int value = parser.value(name).toInt(&valid);
    ok = ok && valid && value >= 0;
    return value;
}

std::optional<Parsed> parse(QCommandLineParser &parser, const QStringList &arguments)
{
    parser.setApplicationDescription(
        QStringLiteral("Streams the telemetry frames of a two-channel charger (9600 8N1) on a "
                       "new pseudo-terminal, whose path it prints, or on a serial device."));
    parser.addHelpOption();
    parser.addOptions({
        { QStringLiteral("device"), QStringLiteral("Write to this serial device instead."),
          QStringLiteral("path") },
        { QStringLiteral("link"),
          QStringLiteral("Also name the line by this symbolic link while running."),
          QStringLiteral("path") },
        { QStringLiteral("kind"),
          QStringLiteral("Frame kind: 36, 76 (one channel) or 112 (two channels; default)."),
          QStringLiteral("bytes"), QStringLiteral("112") },
        { QStringLiteral("speed"),
          QStringLiteral("Run this many times faster than one frame per second (up to 1000)."),
          QStringLiteral("factor"), QStringLiteral("1") },
        { QStringLiteral("count"), QStringLiteral("Send this many frames, then exit."),
          QStringLiteral("frames") },
        { QStringLiteral("noise"), QStringLiteral("Add random bytes between frames.") },
        { QStringLiteral("pause-at"),
          QStringLiteral("Fall silent after this frame (for --pause seconds; over 10 s "
                         "trips the monitor's watchdog)."),
          QStringLiteral("frame") },
        { QStringLiteral("pause"),
          QStringLiteral("Length of that silence in seconds, not scaled by --speed (default 12)."),
          QStringLiteral("seconds"), QStringLiteral("12") },
        { QStringLiteral("reset-at"),
          QStringLiteral("This frame starts new runs: the capacity goes back to zero."),
          QStringLiteral("frame") },
        { QStringLiteral("seed"),
          QStringLiteral("Seed of the packs' spread and the noise (default 1)."),
          QStringLiteral("number"), QStringLiteral("1") },
    });
    parser.process(arguments);

    Parsed parsed;
    SimulatorOptions &o = parsed.options;
    bool ok = parser.positionalArguments().isEmpty();
    const int kind = parser.value(QStringLiteral("kind")).toInt();
    ok = ok && (kind == 36 || kind == 76 || kind == 112);
    o.kind = static_cast<FrameKind>(kind);
    bool valid = false;
    o.speed = parser.value(QStringLiteral("speed")).toDouble(&valid);
    ok = ok && valid && o.speed > 0 && o.speed <= 1000;
    o.pauseSeconds = parser.value(QStringLiteral("pause")).toDouble(&valid);
    ok = ok && valid && o.pauseSeconds >= 0;
    o.count = number(parser, QStringLiteral("count"), ok);
    o.pauseAt = number(parser, QStringLiteral("pause-at"), ok);
    o.resetAt = number(parser, QStringLiteral("reset-at"), ok);
    o.seed = static_cast<quint32>(number(parser, QStringLiteral("seed"), ok));
    o.noise = parser.isSet(QStringLiteral("noise"));
    parsed.device = parser.value(QStringLiteral("device"));
    parsed.link = parser.value(QStringLiteral("link"));
    if (!ok)
        return std::nullopt;
    return parsed;
}

} // namespace

int main(int argc, char *argv[])
{
    // Stop signals are read from a descriptor in the event loop, so that the simulator
    // ends normally and removes its link. Blocked before Qt starts any thread.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    for (int s : { SIGINT, SIGTERM, SIGHUP })
        sigaddset(&stopSignals, s);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("charger-sim"));
    QCommandLineParser parser;
    const std::optional<Parsed> parsed = parse(parser, QCoreApplication::arguments());
    if (!parsed) {
        std::fputs("charger-sim: invalid arguments\n\n", stderr);
        std::fputs(qPrintable(parser.helpText()), stderr);
        return 2;
    }

    OutputLine line;
    QString error;
    const bool opened = parsed->device.isEmpty() ? line.openPseudoTerminal(error)
                                                 : line.openDevice(parsed->device, error);
    if (!opened || (!parsed->link.isEmpty() && !line.addLink(parsed->link, error))) {
        std::fprintf(stderr, "charger-sim: %s\n", qPrintable(error));
        return 1;
    }
    std::printf("%s\n", qPrintable(line.path()));
    std::fflush(stdout);

    const int stopFd = signalfd(-1, &stopSignals, SFD_CLOEXEC);
    QSocketNotifier stop(stopFd, QSocketNotifier::Read);
    QObject::connect(&stop, &QSocketNotifier::activated, &app, &QCoreApplication::quit);

    Simulator simulator(parsed->options, line);
    QObject::connect(&simulator, &Simulator::finished, &app, &QCoreApplication::quit);
    simulator.start();
    const int status = QCoreApplication::exec();
    ::close(stopFd);
    return status;
}
