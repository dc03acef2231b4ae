#include "run/file_run.h"

#include "run/run_loader.h"

FileRun::FileRun(RunHub &hub, const QString &path, const Clock &clock, QObject *parent,
                 const QString &name)
    : QObject(parent), hub_(&hub), path_(path),
      run_(std::make_shared<Run>(name.isEmpty() ? path : name, clock))
{
}

FileRun::~FileRun()
{
    loader_.reset();
    if (announced_ && !ended_ && hub_)
        hub_->end(run_, RunEnd::Stopped);
}

void FileRun::start(Background &background)
{
    loader_ = std::make_unique<RunFile::Loader>(path_, background);
    connect(loader_.get(), &RunFile::Loader::opened, this, &FileRun::open);
    connect(loader_.get(), &RunFile::Loader::rowsRead, this, [this](const SampleBatch &rows) {
        run_->replay(rows);
        emit rowsAdded();
    });
    connect(loader_.get(), &RunFile::Loader::finished, this, [this](const QString &error) {
        loader_.release()->deleteLater(); // it is signalling
        end(error);
    });
}

QString FileRun::readNow()
{
    const std::atomic<bool> going = false;
    const QString error
        = RunFile::read(path_,
                        { [this](const QString &title, qint64 rows) { open(title, rows); },
                          [this](ChannelReading &row) { run_->replay(row); } },
                        going);
    end(error);
    return error;
}

void FileRun::open(const QString &title, qint64 rows)
{
    run_->setTitle(title);
    announced_ = true;
    hub_->start(run_);
    emit opened(rows);
}

void FileRun::end(const QString &error)
{
    run_->replayed();
    if (announced_ && hub_) {
        ended_ = true;
        hub_->end(run_, error.isEmpty() ? RunEnd::Loaded : RunEnd::Interrupted);
    }
    emit finished(error);
}
