#include "document/document_host.h"
#include "document/run_saver.h"
#include "document/tee.h"
#include "platform/core/folders.h"
#include "platform/dialogs.h"
#include "run/run.h"

#include <QCoreApplication>
#include <QFileInfo>

bool tee::DBSave()
{
    if (saving_) { // one save of a window at a time
        saving_->showProgress();
        return false;
    }
    Dialogs &dialogs = host_.dialogs();
    const QString F
        = dialogs.saveFile(saveFolder(), QStringLiteral("DataBase(*.mdb)|*.mdb|All files(*.*)|*.*"),
                           QStringLiteral("mdb"));
    if (F.isEmpty())
        return false;
    if (QFileInfo::exists(F)
        && dialogs.message(QStringLiteral("Database already exist,overwriter it?"),
                           QStringLiteral("Notice"), Dialogs::Icon::Question,
                           Dialogs::Buttons::OkCancel)
            == Dialogs::Answer::Cancel)
        return false;

    // Written from the rows and the title as they are now; a live run goes on meanwhile and
    // keeps its caption.
    saving_ = new RunFile::Saver(*QWidget::window(), host_.background(), F, run_->title(),
                                 run_->samples(), this);
    connect(saving_, &RunFile::Saver::finished, this,
            [this, F, run = run_, live = isLive()](const QString &failure) {
                saving_ = nullptr;
                Dialogs &dialogs = host_.dialogs();
                if (!failure.isEmpty()) {
                    dialogs.message(
                        QCoreApplication::translate("tee", "The run was not saved to %1\r\n%2")
                            .arg(F, failure),
                        QStringLiteral("Notice"), Dialogs::Icon::Critical);
                    return;
                }
                savedTo_ = F;
                if (!live) { // a file begun while live misses the rest of the run
                    setCaption(F);
                    emit run->saved(F);
                }
                host_.State_add(QStringLiteral("Chart was save at ") + F + QStringLiteral(" ."));
                dialogs.forgetFileName();
            });
    return false;
}

QString tee::file() const
{
    if (!savedTo_.isEmpty())
        return savedTo_;
    return !run_->isLive() && QFileInfo(run_->name()).isFile() ? run_->name() : QString();
}
