#pragma once

#include "run/samples.h"

#include <QObject>
#include <QTimer>
#include <memory>

class Background;
class Progress;
class QWidget;

namespace RunFile {

class Writer;

// Writes a run file in the background (RunFile::Writer), with its progress over `window` as
// an open shows it.
class Saver final : public QObject {
    Q_OBJECT
public:
    Saver(QWidget &window, Background &background, const QString &path, const QString &title,
          const Samples &rows, QObject *parent);
    ~Saver() override;
    void showProgress();

signals:
    // The end, after which the saver goes: "" when the file is written, otherwise why not.
    void finished(const QString &failure);

private:
    void end(const QString &failure);

    Writer *writer_;
    std::unique_ptr<Progress> progress_;
    QTimer poll_;
};

} // namespace RunFile
