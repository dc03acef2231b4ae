#pragma once

#include "compare/curves.h"

#include <QList>
#include <QString>
#include <QStringList>

// A saved comparison (*.chargemon-compare): a small JSON object naming its run files (by name
// alone where they share the comparison's folder, so the two move together), the alignment,
// the reference run and the quantities shown.
namespace CompareFile {

inline constexpr const char *Suffix = "chargemon-compare";
inline constexpr int MinRuns = 2, MaxRuns = 8;
// Far more than any comparison needs; a larger file is no comparison.
inline constexpr qint64 MaxBytes = 64 * 1024;

// What the comparison window shows, by view.
enum class View { Overlay, Difference, IncrementalCapacity };

struct Comparison {
    QStringList runs; // absolute paths
    Compare::Alignment alignment = Compare::Alignment::Start;
    int reference = 0; // index into runs
    QList<int> quantities; // sample fields
    View view = View::Overlay;
};

// Writes `c` to `path` as a whole (a failure leaves any old file): "" or why it failed.
QString write(const QString &path, const Comparison &c);
// Reads `path`; on failure `error` says why, for the user, and the result is empty. The file must
// be a regular file, small, and hold 2 to 8 runs, known quantities and alignment.
Comparison read(const QString &path, QString &error);

// Why the run file `run` of a comparison cannot be opened ("" when it is a regular file): missing,
// a folder, a device or a FIFO, named for the user.
QString unreadableRun(const QString &run);

} // namespace CompareFile
