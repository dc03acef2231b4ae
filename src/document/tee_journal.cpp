#include "document/document_host.h"
#include "document/run_journal.h"
#include "document/tee.h"
#include "platform/clock.h"
#include "platform/sample_table.h"

namespace {
// A full disk or a folder that cannot be written is asked again after this pause.
constexpr qint64 JournalRetryMs = 10'000;
} // namespace

void tee::adoptJournal(std::unique_ptr<RunJournal> journal)
{
    journal_ = std::move(journal);
    journalled_ = table_->rows() - 1;
}

void tee::keepJournal()
{
    const qint64 now = host_.clock().monotonicMs();
    if (journalFailedMs_ && now - *journalFailedMs_ < JournalRetryMs)
        return;
    QString failure;
    if (!journal_) {
        const QString folder = host_.journalFolder();
        if (folder.isEmpty())
            return;
        journal_ = RunJournal::start(folder, QString(caption()).remove(QLatin1String(" >>Live<<")),
                                     failure);
    }
    const qint64 rows = table_->rows() - 1; // the first row holds the captions
    if (journal_)
        failure = journal_->write(
            title_, journalled_, rows,
            [this](qint64 row, int field) { return table_->cell(row + 1, field); }, now);
    if (failure.isEmpty()) {
        journalled_ = rows;
        if (journalFailedMs_)
            host_.State_add(caption().left(4)
                            + QStringLiteral("is kept safe against a crash again."));
        journalFailedMs_.reset();
        return;
    }
    // Said once; the run goes on in memory, and the journal catches up once it can be written.
    if (!journalFailedMs_)
        host_.State_add(caption().left(4)
                        + QStringLiteral("cannot be kept safe against a crash: its recovery "
                                         "journal cannot be written (%1). Save it when it ends.")
                              .arg(failure));
    journalFailedMs_ = now;
}
