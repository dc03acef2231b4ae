#include "document/run_saver.h"

#include "platform/progress.h"
#include "run/run_writer.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace RunFile {

Saver::Saver(QWidget &window, Background &background, const QString &path, const QString &title,
             const Samples &rows, QObject *parent)
    : QObject(parent), writer_(new Writer(path, title, rows, background, this)),
      progress_(std::make_unique<Progress>(
          window,
          QCoreApplication::translate("RunFile", "Saving %1").arg(QFileInfo(path).fileName()),
          false))
{
    progress_->setTotal(rows.count());
    connect(&poll_, &QTimer::timeout, this, [this] { progress_->setDone(writer_->written()); });
    poll_.start(100);
    connect(writer_, &Writer::finished, this, &Saver::end);
}

Saver::~Saver() = default;

void Saver::showProgress()
{
    if (progress_)
        progress_->show();
}

void Saver::end(const QString &failure)
{
    poll_.stop();
    progress_.reset(); // before any message of the end can stand under it
    deleteLater();
    emit finished(failure);
}

} // namespace RunFile
