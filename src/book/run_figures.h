#pragma once

#include "run/run_summary.h"

#include <QDateTime>
#include <QString>

#include <atomic>
#include <optional>

// What the book keeps of one run file: where it is and how it stood when read, and the run's
// figures as its summary works them out. A file that is no readable run file is kept with
// the reason it was skipped.
struct RunFigures {
    QString path;
    qint64 size = 0;
    qint64 modifiedMs = 0; // since the epoch
    QString skipped; // why the file is no run of the book, "" for a run
    // The same for every copy of a run, however many paths lead to it.
    QString runKey;
    QString title;
    QDateTime date; // the run's start
    // The description carried no date: the file's time less the run's length instead.
    bool dateFromFile = false;
    RunSummary::Kind kind = RunSummary::Kind::Idle;
    QString chemistry;
    int cells = 0;
    double seconds = 0, chargedMah = 0, dischargedMah = 0, chargedWh = 0, dischargedWh = 0;
    double peakAmps = 0, startVolts = 0, endVolts = 0;
    std::optional<double> extMax, intMax, spread; // spread: at the end of a charge
    bool endsCharging = false;
    std::optional<double> loadedVolts; // the lowest while discharging
    std::optional<RunSummary::Resistance> resistance;
    // The cells that stood out, by number, 0 for none: as RunSummary tells them.
    int cvHigh = 0, endLow = 0, firstOut = 0;
    std::vector<double> chargedCells, dischargedCells; // at the end of a charge, of a discharge
    // The charge's constant-voltage share (0 to 1) and taper, as RunSummary tells them.
    std::optional<double> cvShare, taperSeconds;
    // A charge's incremental capacity at constant current: its main peak's voltage, per cell
    // where the cells are known, and height (mAh/V).
    std::optional<double> icaPeakVolts, icaPeakHeight;

    // Reads `path` as every part of the program reads a run file. A `stop` stops the reading
    // between rows.
    static RunFigures read(const QString &path, const std::atomic<bool> &stop);
    QDateTime end() const { return date.addMSecs(qint64(seconds * 1000)); }
    // A discharge down to its chemistry's end, with the pack's `cells`: one that tells the
    // pack's capacity. Unknown cells tell nothing.
    bool reachedEnd(int cells) const;
};

// A description as a pack's name: trimmed, runs of spaces as one; "" for the default one.
QString packNameOf(const QString &title);
// What tells packs apart: the name with case ignored.
QString packKey(const QString &name);
