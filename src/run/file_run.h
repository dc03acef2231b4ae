#pragma once

#include "run/run_hub.h"

#include <QObject>
#include <QPointer>

#include <memory>

class Background;
class Clock;
namespace RunFile {
class Loader;
}

// A run file as a source of runs, and the one way a file becomes a run (opening, recovery, the
// comparison): its rows, as RunFile::read hands them, replayed into a run that the hub announces
// once the file's title is read and ends after the last row (Loaded) or where the file is
// refused (Interrupted).
class FileRun final : public QObject {
    Q_OBJECT
public:
    // The run is named `name`, the file's path unless given.
    FileRun(RunHub &hub, const QString &path, const Clock &clock, QObject *parent = nullptr,
            const QString &name = {});
    // A run still being read is ended (Stopped), while the hub is there, and its reading stopped.
    ~FileRun() override;

    // Reads the file in the background, a batch of rows per turn of the event loop.
    void start(Background &background);
    // Reads the file here and now; "" or why it is refused, as finished() says.
    QString readNow();

    const std::shared_ptr<Run> &run() const { return run_; }

signals:
    // The file is a run file: the run has its title and was announced; about `rows` follow.
    void opened(qint64 rows);
    // More rows are in the run.
    void rowsAdded();
    // The end: "" after the last row, otherwise why the file is refused (the rows before are in
    // the run).
    void finished(const QString &error);

private:
    void open(const QString &title, qint64 rows);
    void end(const QString &error);

    QPointer<RunHub> hub_; // goes first when the main window goes with a file being read
    QString path_;
    std::shared_ptr<Run> run_;
    std::unique_ptr<RunFile::Loader> loader_;
    bool announced_ = false, ended_ = false;
};
