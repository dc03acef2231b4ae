#include "config_file.h"

#include "platform/core/folders.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <algorithm>

namespace {
QString tr(const char *text)
{
    return QCoreApplication::translate("Logger", text);
}
} // namespace

ConfigFile ConfigFile::process(QCommandLineParser &parser, const QList<QCommandLineOption> &options,
                               const QStringList &arguments)
{
    const QString path = QDir(configFolder()).filePath(QStringLiteral("logger.conf"));
    const QCommandLineOption named(
        QStringLiteral("config"),
        QStringLiteral("Read the options from this file too (default: %1).").arg(path),
        QStringLiteral("file"), path);
    parser.addOptions(options);
    parser.addOption(named);
    // The command line alone first: which file, and which options it sets itself.
    parser.parse(arguments);
    ConfigFile config
        = read(parser.value(named), parser.isSet(named), options, parser.optionNames());
    // Before a "--" and the arguments after it.
    qsizetype end = arguments.indexOf(QStringLiteral("--"));
    end = end < 0 ? arguments.size() : end;
    parser.process(arguments.mid(0, end) + config.arguments + arguments.mid(end));
    return config;
}

ConfigFile ConfigFile::read(const QString &path, bool required,
                            const QList<QCommandLineOption> &options, const QStringList &given)
{
    ConfigFile config;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        if (required || file.exists())
            config.error = tr("%1 cannot be read (%2)").arg(path, file.errorString());
        return config;
    }
    for (int number = 1; !file.atEnd(); ++number) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        const QString at = QStringLiteral("%1:%2").arg(path).arg(number);
        const qsizetype equals = line.indexOf(u'=');
        const QString name = line.left(equals).trimmed(), value = line.mid(equals + 1).trimmed();
        const auto option = std::find_if(options.begin(), options.end(),
                                         [&](const auto &o) { return o.names().contains(name); });
        const bool flag = option != options.end() && option->valueName().isEmpty();
        const QString why = equals < 0 ? tr("not a line \"name = value\"")
            : option == options.end()  ? tr("%1 is not an option of the logger").arg(name)
            : flag && value != QLatin1String("true") && value != QLatin1String("false")
            ? tr("%1 takes true or false").arg(name)
            : QString();
        if (!why.isEmpty()) {
            config.error = at + QStringLiteral(": ") + why;
            return config;
        }
        if (given.contains(name))
            continue;
        config.lines.insert(name, at);
        if (!flag)
            config.arguments << QStringLiteral("--%1=%2").arg(name, value);
        else if (value == QLatin1String("true"))
            config.arguments << QStringLiteral("--") + name;
    }
    return config;
}

QString ConfigFile::origin(const QString &name) const
{
    return lines.value(name, QStringLiteral("--") + name);
}
