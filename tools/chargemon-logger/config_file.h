#pragma once

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QHash>
#include <QStringList>

// The logger's options kept in a file, for a service started with none: a line
// `name = value` for each long option (a flag's value true or false), a name again for an
// option given again; blank lines and lines beginning with # aside.
struct ConfigFile {
    QStringList arguments; // "--name=value", or "--name" for a flag that is true
    QHash<QString, QString> lines; // "FILE:LINE" of each name's last line
    QString error; // "" or why the file cannot be used, naming it and the line

    // Adds `options` and --config FILE to `parser` and processes `arguments` with the file's
    // options after the command line's; a missing file is none unless named.
    static ConfigFile process(QCommandLineParser &parser, const QList<QCommandLineOption> &options,
                              const QStringList &arguments);
    // Reads `path`, which may be missing unless `required`. Names of `options` only; those in
    // `given`, which the command line sets, are left out so that the command line wins.
    static ConfigFile read(const QString &path, bool required,
                           const QList<QCommandLineOption> &options, const QStringList &given);
    // Where the value of the option `name` comes from: its line, or the command line.
    QString origin(const QString &name) const;
};
