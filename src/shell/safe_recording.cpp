#include "platform/core/settings.h"
#include "platform/dialogs.h"
#include "run/run_journal.h"
#include "shell/mdi_form.h"
#include "shell/open_saved_run.h"

#include <QCoreApplication>

void MDIForm1::recoverRuns()
{
    if (journalFolder_.isEmpty())
        return;
    QStringList kept = settings_.value(SettingsKeys::KeptJournals).split(u'\n', Qt::SkipEmptyParts);
    RunJournal::LeftBehind found = RunJournal::leftBehind(journalFolder_, kept);
    int unreadable = found.unreadable;
    const qsizetype n = qsizetype(found.journals.size());
    if (n > 0) {
        const QString question = n == 1
            ? QCoreApplication::translate(
                "MDIForm1", "1 run was still being recorded when chargemon last stopped. Open it?")
            : QCoreApplication::translate(
                  "MDIForm1",
                  "%1 runs were still being recorded when chargemon last stopped. "
                  "Open them?")
                  .arg(n);
        const Dialogs::Answer answer = dialogs_.message(
            question, QStringLiteral("Notice"), Dialogs::Icon::Question, Dialogs::Buttons::YesNo);
        // Only a plain No deletes them; a question closed unanswered asks again next start.
        const bool answered = answer == Dialogs::Answer::Yes || answer == Dialogs::Answer::No;
        for (qsizetype i = 0; answered && i < n; ++i) {
            RunJournal::Found &j = found.journals[size_t(i)];
            if (answer == Dialogs::Answer::Yes) {
                const QString caption
                    = j.caption + QCoreApplication::translate("MDIForm1", " (recovered)");
                QString damage;
                IMDIDocument *doc = opening_->openRun(j.copy, caption, damage);
                if (!doc) {
                    ++unreadable; // left where it is, for another try
                    continue;
                }
                if (!damage.isEmpty())
                    State_add(QCoreApplication::translate(
                                  "MDIForm1",
                                  "%1: %2 samples recovered; the rest of its journal "
                                  "is damaged (%3).")
                                  .arg(caption)
                                  .arg(doc->RtnGridRows() - 1)
                                  .arg(damage));
                if (!j.readOnly) {
                    doc->adoptJournal(RunJournal::adopt(std::move(j), background_));
                    continue;
                }
                doc->keepSafe({ journalFolder_, &background_ });
            }
            const QString failure = RunJournal::remove(j);
            if (failure.isEmpty())
                continue;
            State_add(QCoreApplication::translate(
                          "MDIForm1",
                          "The recovery journal %1 cannot be deleted and will not be "
                          "offered again (%2).")
                          .arg(j.path, failure));
            kept << j.mark;
            settings_.setValue(SettingsKeys::KeptJournals, kept.join(u'\n'));
        }
    }
    if (found.setAside > 0)
        State_add(QCoreApplication::translate(
                      "MDIForm1",
                      "Unreadable recovery journals in %1, kept with names ending in "
                      "\".unreadable\": %2.")
                      .arg(journalFolder_)
                      .arg(found.setAside));
    if (unreadable > 0)
        State_add(QCoreApplication::translate("MDIForm1",
                                              "Unreadable recovery journals left alone in %1: %2.")
                      .arg(journalFolder_)
                      .arg(unreadable));
}
