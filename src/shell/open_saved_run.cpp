#include "shell/open_saved_run.h"

#include "platform/core/folders.h"
#include "platform/dialogs.h"
#include "run/file_run.h"
#include "shell/features.h"
#include "shell/status_line.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace {
// A new chart window for the run `file` reads, its drawing suspended until the rows are in.
IMDIDocument *replayWindow(const OpeningHost &host, const QString &caption, const FileRun &file)
{
    IMDIDocument *doc = host.newDocument();
    doc->InitDoc(&host.bar, caption, true);
    doc->showRun(file.run());
    doc->RePaint(true);
    return doc;
}
} // namespace

void RunOpening::OpenSavedRun()
{
    if (busy()) {
        current_->showProgress();
        return;
    }
    QString filter = QStringLiteral("Chart Database(*.mdb)|*.mdb");
    for (const Feature &feature : features())
        if (!feature.fileKind.isEmpty())
            filter += QStringLiteral("|%1(*.%2)|*.%2").arg(feature.fileKind, feature.fileSuffix);
    const QString file = host_.dialogs.openFile(saveFolder(), filter, QStringLiteral("mdb"));
    if (!file.isEmpty())
        open(file);
}

void RunOpening::openFiles(const QStringList &files)
{
    queued_ << files;
    openNext();
}

void RunOpening::openNext()
{
    while (!busy() && !queued_.isEmpty())
        open(queued_.takeFirst());
}

void RunOpening::open(const QString &file)
{
    if (!QFileInfo::exists(file)) {
        host_.dialogs.forgetFileName();
        host_.dialogs.message(QStringLiteral("File not found."), QStringLiteral("Notice."),
                              Dialogs::Icon::None);
        return;
    }
    for (const Feature &feature : features())
        if (!feature.fileSuffix.isEmpty() && file.endsWith(u'.' + feature.fileSuffix)) {
            host_.dialogs.forgetFileName();
            host_.openFeatureFile(feature.fileSuffix, file);
            return;
        }
    current_ = new OpenInProgress(host_, file);
    // The next file once this one's end has been told; from the event loop, as the open is
    // still unwinding when it says it is over.
    QObject::connect(
        current_, &OpenInProgress::over, &host_.window, [this] { openNext(); },
        Qt::QueuedConnection);
}

IMDIDocument *RunOpening::openRun(const QString &file, const QString &caption, QString &damage)
{
    IMDIDocument *doc = nullptr;
    FileRun run(host_.hub, file, host_.clock, nullptr, caption);
    QObject::connect(&run, &FileRun::opened, [&] { doc = replayWindow(host_, caption, run); });
    damage = run.readNow();
    if (doc)
        doc->RePaint(false);
    return doc;
}

OpenInProgress::OpenInProgress(const OpeningHost &host, const QString &file)
    : QObject(&host.window), host_(host), path_(file),
      file_(new FileRun(host.hub, file, host.clock, this)),
      progress_(std::make_unique<Progress>(
          host.window,
          QCoreApplication::translate("RunOpening", "Opening %1").arg(QFileInfo(file).fileName()),
          true))
{
    connect(progress_.get(), &Progress::canceled, this, &OpenInProgress::cancel);
    connect(file_, &FileRun::opened, this, &OpenInProgress::opened);
    connect(file_, &FileRun::rowsAdded, this, &OpenInProgress::rowsAdded);
    connect(file_, &FileRun::finished, this, &OpenInProgress::finished);
    file_->start(host.background);
}

void OpenInProgress::showProgress()
{
    if (progress_)
        progress_->show();
}

void OpenInProgress::opened(qint64 rows)
{
    doc_ = replayWindow(host_, path_, *file_);
    progress_->setTotal(rows);
}

void OpenInProgress::rowsAdded()
{
    if (!doc_) { // the user closed the window
        cancel();
        return;
    }
    progress_->setDone(file_->run()->samples().count());
}

void OpenInProgress::finished(const QString &error)
{
    if (error.isEmpty() && !doc_)
        return cancel();
    end();
    if (error.isEmpty()) {
        doc_->RePaint(false);
        doc_.clear();
        host_.dialogs.forgetFileName();
        host_.status.State_add(path_ + QStringLiteral(" was open in chart ."));
    } else {
        discard(); // the dialog offers the same name next time
        const QPointer<OpenInProgress> self(
            this); // a nested loop deleting deferred objects may take it
        host_.dialogs.message(QStringLiteral("An error has occurrenced,Make sure your file: \r\n")
                                  + path_ + QStringLiteral("\r\nwas created by this program."),
                              QStringLiteral("An Error."), Dialogs::Icon::Critical);
        if (!self)
            return;
    }
    emit over();
}

void OpenInProgress::cancel()
{
    end();
    discard();
    host_.dialogs.forgetFileName();
    emit over();
}

void OpenInProgress::discard()
{
    if (doc_)
        delete doc_->window();
    doc_.clear();
}

void OpenInProgress::end()
{
    // Called from the loader's signals: it goes once they return. The progress goes now, before
    // any message of the end can stand under it.
    file_->disconnect(this);
    file_->deleteLater();
    file_ = nullptr;
    progress_.reset();
    deleteLater();
}
