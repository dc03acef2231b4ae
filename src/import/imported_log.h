#pragma once

#include "run/samples.h"

#include <QDateTime>
#include <QStringList>

#include <functional>

// Another tool's log as a format's reader gives it, before it becomes a run file.
struct ImportedLog {
    // Time holds the seconds since the first sample (a DayTime of that many seconds, a day or
    // more for a long run); the other fields as a run keeps them: V, A (positive = charge), mAh,
    // °C, cells in V.
    Samples samples;
    QDateTime start; // the first sample's date and time; invalid when the log does not tell
    QStringList skipped; // what was left out and why, a line each
    QString error; // why the file is refused as a whole; "" when read

    static ImportedLog refused(const QString &why)
    {
        ImportedLog log;
        log.error = why;
        return log;
    }
};

// A log as it will be read: a reader's part that may wait, as on a thread of its own.
using LogReading = std::function<ImportedLog()>;
