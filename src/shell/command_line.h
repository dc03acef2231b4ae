#pragma once

#include <QStringList>

// What the command line asks for. It is read before the application object exists, so that
// --help and --version need no display.
struct CommandLine {
    enum class Action { Run, Print, Fail };
    Action action = Action::Run;
    QStringList files; // Run: the run files to open, as absolute paths, in order
    QString text; // Print: for standard output; Fail: the one-line error for standard error
};

// `arguments` without the program name.
CommandLine parseCommandLine(const QStringList &arguments);
