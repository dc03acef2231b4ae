#pragma once

#include "link/channel_reading.h"
#include "platform/progress.h"
#include "shell/doc_ref.h"

#include <QObject>
#include <QPointer>
#include <functional>
#include <memory>

class Background;
class Clock;
class FileRun;
class RunHub;
class CommandBar;
class Dialogs;
class QWidget;
class StatusLine;

// What an open needs of the main window.
struct OpeningHost {
    QWidget &window;
    CommandBar &bar;
    Dialogs &dialogs;
    StatusLine &status;
    Background &background;
    RunHub &hub;
    const Clock &clock;
    DocumentFactory newDocument;
    // Opens a file of the kind a feature opens (by its suffix), chosen in the same dialog.
    std::function<void(const QString &suffix, const QString &file)> openFeatureFile;
};

// One open of a run file, from the chosen file to the filled chart window. The file is read
// on a thread of its own into a run (FileRun), which the new chart window shows as its rows
// come in batches from the event loop, so the serial port and the timers go on meanwhile and no
// nested event loop can run a command in the middle of the open. A failed or cancelled open leaves
// no window behind.
class OpenInProgress final : public QObject {
    Q_OBJECT
public:
    OpenInProgress(const OpeningHost &host, const QString &file);

    // The chart window being filled: none before the title is read or after the end.
    IMDIDocument *document() const { return doc_.get(); }
    bool running() const { return file_ != nullptr; }
    // Shows the progress now rather than after a while.
    void showProgress();

signals:
    // The open is over and any message of its end has been answered.
    void over();

private:
    void opened(qint64 rows);
    void rowsAdded();
    void finished(const QString &error);
    void cancel();
    void end();
    void discard();

    OpeningHost host_;
    QString path_;
    FileRun *file_;
    std::unique_ptr<Progress> progress_;
    DocRef doc_;
};

// The "Open" command: replays run files into new chart windows, one open at a time.
class RunOpening {
public:
    explicit RunOpening(OpeningHost host) : host_(std::move(host)) { }

    void OpenSavedRun();
    // Opens each file as Open does, one after another (the program's command line).
    void openFiles(const QStringList &files);
    // Recovery at start: a journal read here and now, before any live run, into a window
    // captioned `caption`; null (and no window) when it is no run file. A damaged one gives
    // the rows before the damage, and `damage` says what stopped the reading.
    IMDIDocument *openRun(const QString &file, const QString &caption, QString &damage);
    // The window being filled by the open in progress, if any.
    IMDIDocument *DocOpen() const { return current_ ? current_->document() : nullptr; }

private:
    bool busy() const { return current_ && current_->running(); }
    void open(const QString &file);
    void openNext();

    OpeningHost host_;
    QPointer<OpenInProgress> current_;
    QStringList queued_;
};
