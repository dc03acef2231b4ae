#include "document/document_host.h"
#include "document/run_journal.h"
#include "document/tee.h"

void tee::adoptJournal(const QString &path)
{
    journal_ = RunJournal::adopt(path);
}

void tee::journalRow(const ChannelReading &cell)
{
    if (journalFailed_)
        return;
    QString failure;
    if (!journal_) {
        const QString folder = host_.journalFolder();
        if (folder.isEmpty())
            return;
        journal_ = RunJournal::start(folder, QString(caption()).remove(QLatin1String(" >>Live<<")),
                                     failure);
    }
    if (journal_)
        failure = journal_->append([&cell](int field) { return cell[field].text(); }, title_);
    if (failure.isEmpty())
        return;
    // Said once; the run goes on in memory and can still be saved.
    journalFailed_ = true;
    host_.State_add(
        caption().left(4)
        + QStringLiteral("cannot be kept safe against a crash (%1). Save it when it ends.")
              .arg(failure));
}
