#include "shell/open_saved_run.h"

#include "document/run_file.h"
#include "document/run_loader.h"
#include "document/tee.h"
#include "platform/dialogs.h"
#include "platform/folders.h"
#include "shell/mdi_form.h"

#include <QFileInfo>
#include <QProgressBar>
#include <QProgressDialog>

namespace {
// Opens show progress only when they take longer than this.
constexpr int ProgressAfterMs = 500;
} // namespace

void MDIForm1::OpenSavedRun()
{
    if (opening_ && opening_->running()) {
        opening_->showProgress();
        return;
    }
    const QString file = dialogs_.openFile(
        saveFolder(), QStringLiteral("Chart Database(*.mdb)|*.mdb"), QStringLiteral("mdb"));
    // A failed open offers the same name next time; anything else starts afresh.
    dialogs_.fileName.clear();
    if (file.isEmpty())
        return;
    if (!QFileInfo::exists(file)) {
        dialogs_.message(QStringLiteral("File not found."), QStringLiteral("Notice."),
                         Dialogs::Icon::None);
        return;
    }
    opening_ = new RunOpening(*this, file);
}

RunOpening::RunOpening(MDIForm1 &window, const QString &file)
    : QObject(&window), window_(window), file_(file), loader_(new RunFile::Loader(file, this)),
      progress_(new QProgressDialog(QStringLiteral("Opening %1").arg(QFileInfo(file).fileName()),
                                    QStringLiteral("Cancel"), 0, 0, &window)),
      bar_(new QProgressBar)
{
    // The dialog's own setValue runs a nested event loop while it is modal, so the bar is set
    // directly. It shows that it is busy until the rows are counted.
    progress_->setBar(bar_);
    progress_->setWindowModality(Qt::WindowModal);
    progress_->setAutoClose(false);
    progress_->setAutoReset(false);
    progress_->setMinimumDuration(ProgressAfterMs);
    progress_->setValue(0);
    connect(progress_, &QProgressDialog::canceled, this, &RunOpening::cancel);
    connect(loader_, &RunFile::Loader::opened, this, &RunOpening::opened);
    connect(loader_, &RunFile::Loader::rowsRead, this, &RunOpening::rowsRead);
    connect(loader_, &RunFile::Loader::finished, this, &RunOpening::finished);
}

tee *RunOpening::document() const
{
    return doc_;
}

void RunOpening::showProgress()
{
    if (progress_)
        progress_->show();
}

namespace {
// A new chart window for a replay, its drawing suspended until the rows are in.
tee *replayWindow(MDIForm1 &window, const QString &caption, const QString &title)
{
    tee *doc = window.newDocument();
    doc->InitDoc(&window.Menu(), caption, true);
    doc->RePaint(true);
    doc->ChartTitle(title);
    return doc;
}
} // namespace

// Recovery at start: the journals of runs that were live, read here and now, before any live
// run; null (and no window) when one cannot be read.
tee *MDIForm1::openRun(const QString &file, const QString &caption)
{
    RunFile::Reader reader;
    const auto title = reader.open(file) ? reader.title() : std::nullopt;
    if (!title)
        return nullptr;
    tee *doc = replayWindow(*this, caption, *title);
    ChannelReading row;
    while (reader.next(row)) {
        doc->Proc(row, true);
        if (!doc->procFailure().isEmpty())
            break;
    }
    if (!reader.error().isEmpty() || !doc->procFailure().isEmpty()) {
        delete doc;
        return nullptr;
    }
    doc->RePaint(false);
    return doc;
}

void RunOpening::opened(const QString &title, qint64 rows)
{
    doc_ = replayWindow(window_, file_, title);
    if (rows >= 0)
        bar_->setRange(0, int(std::min<qint64>(rows, std::numeric_limits<int>::max())));
}

void RunOpening::rowsRead(QList<ChannelReading> &rows)
{
    if (!doc_) { // the user closed the window
        cancel();
        return;
    }
    for (ChannelReading &row : rows) {
        doc_->Proc(row, true);
        if (!doc_->procFailure().isEmpty()) {
            finished(doc_->procFailure());
            return;
        }
    }
    done_ += rows.size();
    if (bar_->maximum() > 0)
        bar_->setValue(int(std::min<qint64>(done_, bar_->maximum())));
}

void RunOpening::finished(const QString &error)
{
    if (error.isEmpty() && !doc_)
        return cancel();
    end();
    if (error.isEmpty()) {
        doc_->RePaint(false);
        doc_.clear();
        window_.State_add(file_ + QStringLiteral(" was open in chart ."));
        return;
    }
    delete doc_;
    Dialogs &dialogs = window_.dialogs();
    dialogs.fileName = file_;
    dialogs.message(QStringLiteral("An error has occurrenced,Make sure your file: \r\n") + file_
                        + QStringLiteral("\r\nwas created by this program."),
                    QStringLiteral("An Error."), Dialogs::Icon::Critical);
}

void RunOpening::cancel()
{
    end();
    delete doc_;
}

void RunOpening::end()
{
    // Called from the loader's and the dialog's own signals: they go once those return.
    loader_->disconnect(this);
    loader_->deleteLater();
    loader_ = nullptr;
    if (progress_) {
        progress_->disconnect(this);
        progress_->hide();
        progress_->deleteLater();
    }
    deleteLater();
}
