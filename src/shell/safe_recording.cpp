#include "document/run_journal.h"
#include "platform/dialogs.h"
#include "shell/mdi_form.h"
#include "shell/open_saved_run.h"

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
        const Dialogs::Answer answer = dialogs_.message(
            question, QStringLiteral("Notice"), Dialogs::Icon::Question, Dialogs::Buttons::YesNo);
        // Only a plain No deletes them; a question closed unanswered asks again next start.
        const bool answered = answer == Dialogs::Answer::Yes || answer == Dialogs::Answer::No;
        for (qsizetype i = 0; answered && i < n; ++i) {
            if (answer == Dialogs::Answer::No) {
                RunJournal::adopt(found.paths[i]); // and let go at once: removed
                continue;
            }
            if (IMDIDocument *doc = opening_->openRun(
                    found.paths[i], found.captions[i] + QStringLiteral(" (recovered)")))
                doc->adoptJournal(found.paths[i]);
            else
                ++unreadable; // left where it is, for another try
        }
    }
    if (unreadable > 0)
        State_add(QStringLiteral("Unreadable recovery journals left alone in %1: %2.")
                      .arg(journalFolder_)
                      .arg(unreadable));
}
