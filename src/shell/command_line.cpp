#include "shell/command_line.h"

#include <QDir>

CommandLine parseCommandLine(const QStringList &arguments)
{
    CommandLine line;
    bool options = true; // until "--"
    for (const QString &arg : arguments) {
        if (options && arg == QLatin1String("--")) {
            options = false;
        } else if (options && (arg == QLatin1String("--help") || arg == QLatin1String("-h"))) {
            return { CommandLine::Action::Print,
                     {},
                     QStringLiteral(
                         "Usage: chargemon [OPTION]... [FILE]...\n"
                         "Monitors a two-channel battery charger on a serial port and plots its "
                         "runs;\nopens each run FILE (.mdb) as File > Open does.\n\n"
                         "  -h, --help     show this help and exit\n"
                         "      --version  show the version and exit\n\n"
                         "CHARGEMON_PORTS (colon-separated device paths) names the ports to "
                         "try first.\nSee chargemon(1).\n") };
        } else if (options && arg == QLatin1String("--version")) {
            return { CommandLine::Action::Print,
                     {},
                     QStringLiteral("chargemon " CHARGEMON_VERSION "\n") };
        } else if (options && arg.startsWith(u'-') && arg.size() > 1) {
            return {
                CommandLine::Action::Fail,
                {},
                QStringLiteral("chargemon: unknown option '%1' (try chargemon --help)").arg(arg)
            };
        } else {
            line.files << QDir::current().absoluteFilePath(arg);
        }
    }
    return line;
}
