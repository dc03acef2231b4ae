#include "platform/progress.h"

#include <QProgressBar>
#include <QProgressDialog>

#include <limits>

Progress::Progress(QWidget &window, const QString &label, bool cancellable)
    : window_(window), label_(label), cancellable_(cancellable)
{
    after_.setSingleShot(true);
    connect(&after_, &QTimer::timeout, this, &Progress::show);
    after_.start(ShowAfterMs);
}

Progress::~Progress()
{
    delete dialog_;
}

void Progress::setTotal(qint64 total)
{
    total_ = total;
    update();
}

void Progress::setDone(qint64 done)
{
    done_ = done;
    update();
}

void Progress::show()
{
    after_.stop();
    if (!dialog_) {
        dialog_ = new QProgressDialog(label_, cancellable_ ? QStringLiteral("Cancel") : QString(),
                                      0, 0, &window_);
        // The dialog's own setValue runs a nested event loop while it is modal: the bar is
        // set directly.
        bar_ = new QProgressBar;
        dialog_->setBar(bar_);
        if (!cancellable_)
            dialog_->setCancelButton(nullptr);
        dialog_->setWindowModality(Qt::WindowModal);
        dialog_->setAutoClose(false);
        dialog_->setAutoReset(false);
        connect(dialog_, &QProgressDialog::canceled, this, &Progress::canceled,
                Qt::QueuedConnection);
        update();
    }
    dialog_->show();
}

void Progress::update()
{
    if (!dialog_)
        return;
    // A range of 0 to 0 is a busy bar.
    const int total = int(std::clamp<qint64>(total_, 0, std::numeric_limits<int>::max()));
    bar_->setRange(0, total);
    bar_->setValue(int(std::clamp<qint64>(done_, 0, total)));
}
