#include "shell/open_saved_run.h"

#include "document/run_file.h"
#include "platform/dialogs.h"
#include "platform/folders.h"
#include "shell/status_line.h"

#include <QFileInfo>
#include <QProgressDialog>

#include <optional>

namespace {
// Replays show progress only when they take longer than this.
constexpr int ProgressAfterMs = 500;
constexpr qint64 ProgressStep = 2048;
} // namespace

void RunOpening::OpenSavedRun()
{
    const QString file = dialogs_.openFile(
        saveFolder(), QStringLiteral("Chart Database(*.mdb)|*.mdb"), QStringLiteral("mdb"));
    if (file.isEmpty())
        return;
    if (!QFileInfo::exists(file)) {
        dialogs_.forgetFileName();
        dialogs_.message(QStringLiteral("File not found."), QStringLiteral("Notice."),
                         Dialogs::Icon::None);
        return;
    }
    if (!openRun(file, file)) {
        // The next open offers the same name.
        dialogs_.message(QStringLiteral("An error has occurrenced,Make sure your file: \r\n") + file
                             + QStringLiteral("\r\nwas created by this program."),
                         QStringLiteral("An Error."), Dialogs::Icon::Critical);
        return;
    }
    dialogs_.forgetFileName();
    status_.State_add(file + QStringLiteral(" was open in chart ."));
}

// The run file `file` replayed into a new chart window captioned `caption`; null when it
// fails, and then the window made so far, if any, stays as DocOpen with what was read.
IMDIDocument *RunOpening::openRun(const QString &file, const QString &caption)
{
    RunFile::Reader reader;
    if (!reader.open(file) || !reader.openTitle())
        return nullptr;
    IMDIDocument *doc = newDocument_();
    docOpen_ = doc;
    doc->InitDoc(&bar_, caption, true);
    doc->RePaint(true);
    const std::optional<QString> title = reader.title();
    if (!title)
        return nullptr;
    doc->ChartTitle(*title);

    // Shown only when the replay takes long; without a count it shows that it is busy.
    const qint64 rows = std::max<qint64>(reader.rowCount(), 0);
    QProgressDialog progress(QStringLiteral("Opening %1").arg(QFileInfo(file).fileName()),
                             QString(), 0, int(rows), &window_);
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(ProgressAfterMs);
    progress.setValue(0);
    ChannelReading row;
    for (qint64 n = 1; reader.next(row); ++n) {
        doc->Proc(row, true);
        if (!doc->procFailure().isEmpty())
            return nullptr;
        if (n % ProgressStep == 0)
            progress.setValue(int(std::min(n, rows)));
    }
    progress.close();
    if (!reader.error().isEmpty())
        return nullptr;
    doc->RePaint(false);
    docOpen_.clear();
    return doc;
}
