#include "document/run_journal.h"
#include "document/tee.h"
#include "platform/dialogs.h"
#include "platform/sleep_inhibitor.h"
#include "shell/mdi_form.h"

void MDIForm1::watchSleepInhibitor()
{
    if (!inhibitor_)
        return;
    connect(inhibitor_, &SleepInhibitor::refused, this, [this](const QString &reason) {
        if (sleepRefusalNoted_)
            return;
        sleepRefusalNoted_ = true;
        State_add(QStringLiteral("No power manager keeps the computer awake (%1); recording "
                                 "goes on, but the computer may sleep.")
                      .arg(reason));
    });
}

// No idle sleep while a channel is live; released when the last run ends or the program
// closes.
void MDIForm1::keepAwake()
{
    const bool live = !closingAll_ && (newdoc_ || ch2doc_);
    if (!inhibitor_ || live == awake_)
        return;
    awake_ = live;
    if (live)
        inhibitor_->take();
    else
        inhibitor_->release();
}

void MDIForm1::recoverRuns()
{
    if (journalFolder_.isEmpty())
        return;
    const RunJournal::LeftBehind found = RunJournal::leftBehind(journalFolder_);
    int unreadable = found.unreadable;
    const qsizetype n = found.paths.size();
    if (n > 0) {
        const QString question = n == 1
            ? QStringLiteral("1 run was still being recorded when chargemon last stopped. Open it?")
            : QStringLiteral("%1 runs were still being recorded when chargemon last stopped. "
                             "Open them?")
                  .arg(n);
        const bool open = dialogs_.message(question, QStringLiteral("Notice"),
                                           Dialogs::Icon::Question, Dialogs::Buttons::YesNo)
            == Dialogs::Answer::Yes;
        for (qsizetype i = 0; i < n; ++i) {
            if (!open) {
                RunJournal::adopt(found.paths[i]); // and let go at once: removed
                continue;
            }
            if (tee *doc
                = openRun(found.paths[i], found.captions[i] + QStringLiteral(" (recovered)")))
                doc->adoptJournal(RunJournal::adopt(found.paths[i]));
            else
                ++unreadable; // left where it is, for another try
        }
    }
    if (unreadable > 0)
        State_add(QStringLiteral("Unreadable recovery journals left alone in %1: %2.")
                      .arg(journalFolder_)
                      .arg(unreadable));
}
